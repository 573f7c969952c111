# SPDX-License-Identifier: GPL-3.0-or-later
# The libraries Debian gives the Linux build, built for Windows from the
# sources of the Windows kit: libmdb 1.0.0 (with win-iconv, so that Jet's
# text becomes UTF-8 as on Linux) and SQLite. Both are static.

set(kit_sources ${CMAKE_BINARY_DIR}/kit)
foreach(archive mdbtools-1.0.0 win-iconv-0.0.9 sqlite-amalgamation-3510200)
  if(NOT EXISTS ${kit_sources}/${archive})
    if(NOT EXISTS ${OSTELVIA_WINDOWS_KIT}/${archive}.tar.gz)
      message(FATAL_ERROR "The Windows kit lacks ${archive}.tar.gz (looked in ${OSTELVIA_WINDOWS_KIT}).")
    endif()
    file(ARCHIVE_EXTRACT INPUT ${OSTELVIA_WINDOWS_KIT}/${archive}.tar.gz DESTINATION ${kit_sources})
  endif()
endforeach()

# libmdb's configure would make these two headers.
set(mdb_dir ${kit_sources}/mdbtools-1.0.0)
set(mdb_generated ${CMAKE_BINARY_DIR}/kit-include)
set(HAVE_ICONV_H 1)
set(HAVE_XLOCALE_H 0)
set(GLIB_INCLUDE_HEADER mdbfakeglib.h)
set(LOCALE_T _locale_t)
set(PACKAGE mdbtools)
set(VERSION 1.0.0)
configure_file(${mdb_dir}/include/mdbtools.h.in ${mdb_generated}/mdbtools.h @ONLY)
configure_file(${mdb_dir}/include/mdbver.h.in ${mdb_generated}/mdbver.h @ONLY)

add_library(win_iconv STATIC ${kit_sources}/win-iconv-0.0.9/win_iconv.c)
target_compile_definitions(win_iconv PUBLIC ICONV_CONST=const)
target_include_directories(win_iconv SYSTEM PUBLIC ${kit_sources}/win-iconv-0.0.9)
target_compile_options(win_iconv PRIVATE -w)

set(mdb_files catalog file table data dump backend money sargs index like write stats map props worktable options
              iconv version rc4 fakeglib)
list(TRANSFORM mdb_files PREPEND ${mdb_dir}/src/libmdb/)
list(TRANSFORM mdb_files APPEND .c)
add_library(mdb STATIC ${mdb_files})
target_include_directories(mdb SYSTEM PUBLIC ${mdb_generated} ${mdb_dir}/include ${CMAKE_SOURCE_DIR}/cmake/windows/include)
target_compile_definitions(mdb PRIVATE HAVE_ICONV ICONV_CONST=const TLS=__thread)
target_compile_options(mdb PRIVATE -w)
target_link_libraries(mdb PUBLIC win_iconv)
add_library(PkgConfig::MDB ALIAS mdb)

set(sqlite_dir ${kit_sources}/sqlite-amalgamation-3510200)
add_library(sqlite3 STATIC ${sqlite_dir}/sqlite3.c)
target_include_directories(sqlite3 SYSTEM PUBLIC ${sqlite_dir})
target_compile_definitions(sqlite3 PRIVATE SQLITE_OMIT_LOAD_EXTENSION)
target_compile_options(sqlite3 PRIVATE -w)
add_library(PkgConfig::SQLITE ALIAS sqlite3)
