# SPDX-License-Identifier: GPL-3.0-or-later
# Debian's hardening flags (dpkg-buildflags, hardening=+all) for everything
# the programs are made of: stack protector, format-string checks as errors,
# fortified libc calls, a read-only GOT bound at load. The build type keeps its own
# optimisation and debug flags; fortify needs the optimiser, so Debug and
# sanitizer builds go without the hardening.
find_program(DPKG_BUILDFLAGS dpkg-buildflags)

set(ostelvia_hardening_compile)
set(ostelvia_hardening_link)
if(DPKG_BUILDFLAGS)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                            ${DPKG_BUILDFLAGS} --get ${kind} OUTPUT_VARIABLE flags
                    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    foreach(flag IN LISTS flags)
      # Optimisation, debug information and path maps are the build type's.
      if(flag MATCHES "^-(O|g|ffile-prefix-map|fdebug-prefix-map)")
        continue()
      endif()
      if(kind STREQUAL "LDFLAGS")
        list(APPEND ostelvia_hardening_link ${flag})
      else()
        list(APPEND ostelvia_hardening_compile ${flag})
      endif()
    endforeach()
  endforeach()
else()
  set(ostelvia_hardening_compile -fstack-protector-strong -Wformat -Werror=format-security -D_FORTIFY_SOURCE=2)
  set(ostelvia_hardening_link -Wl,-z,relro)
endif()
list(APPEND ostelvia_hardening_link -Wl,-z,now)
# What hardening-check also looks for and newer dpkg-buildflags add: stack
# clash protection and control-flow protection (endbr64 on amd64).
include(CheckCXXCompilerFlag)
foreach(flag -fstack-clash-protection -fcf-protection)
  string(MAKE_C_IDENTIFIER "OSTELVIA_HAS${flag}" supported)
  check_cxx_compiler_flag(${flag} ${supported})
  if(${supported})
    list(APPEND ostelvia_hardening_compile ${flag})
  endif()
endforeach()
list(REMOVE_DUPLICATES ostelvia_hardening_compile)
list(REMOVE_DUPLICATES ostelvia_hardening_link)

if(NOT OSTELVIA_SANITIZE)
  add_compile_options("$<$<NOT:$<CONFIG:Debug>>:${ostelvia_hardening_compile}>")
  add_link_options("$<$<NOT:$<CONFIG:Debug>>:${ostelvia_hardening_link}>")
endif()
message(STATUS "Hardening (builds other than Debug): ${ostelvia_hardening_compile} ${ostelvia_hardening_link}")
