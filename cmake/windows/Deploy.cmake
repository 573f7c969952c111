# SPDX-License-Identifier: GPL-3.0-or-later
# The version the programs print, and what a Windows installation holds.
foreach(program ostelvia ostelvia-export)
  target_compile_definitions(${program} PRIVATE OSTELVIA_VERSION="${PROJECT_VERSION}")
endforeach()
