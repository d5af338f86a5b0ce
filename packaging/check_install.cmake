# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a trial folder and fails unless it holds exactly the
# files we ship: the two programs, the language files, the desktop entry, the
# icon, the metadata, the copyright, the changelog and the manual pages. Test
# programs and benchmarks must never get in.
#   cmake -DBUILD_DIR=... -DSTAGE=... -DAPP_ID=... -DLANG_DIR=... -P check_install.cmake
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE}/usr
  OUTPUT_QUIET RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

file(GLOB_RECURSE found RELATIVE ${STAGE} ${STAGE}/*)
file(GLOB languages RELATIVE ${LANG_DIR} ${LANG_DIR}/*.lan)
list(TRANSFORM languages PREPEND usr/share/kavrin/lang/)
set(expected
  usr/bin/kavrin
  usr/bin/kavrin-ecusim
  usr/share/applications/${APP_ID}.desktop
  usr/share/icons/hicolor/scalable/apps/${APP_ID}.svg
  usr/share/metainfo/${APP_ID}.metainfo.xml
  usr/share/doc/kavrin/copyright
  usr/share/doc/kavrin/changelog.gz
  usr/share/man/man1/kavrin.1.gz
  usr/share/man/man1/kavrin-ecusim.1.gz
  ${languages})
list(SORT found)
list(SORT expected)
if(NOT found STREQUAL expected)
  list(JOIN found "\n  " found_text)
  list(JOIN expected "\n  " expected_text)
  message(FATAL_ERROR "Installed:\n  ${found_text}\nExpected:\n  ${expected_text}")
endif()
