# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack for each generator. Without dpkg-shlibdeps, CPack would still
# build a Debian package, depending on nothing but what we name ourselves.
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(KAVRIN_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(NOT KAVRIN_DPKG_SHLIBDEPS)
    message(FATAL_ERROR "dpkg-shlibdeps not found; it comes with the Debian package dpkg-dev")
  endif()
endif()
