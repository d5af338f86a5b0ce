# SPDX-License-Identifier: GPL-3.0-or-later
# Read right after project() when a build is configured with
# -DCMAKE_PROJECT_INCLUDE=<this file> (bench/window_cpu does): once the top
# folder has been read, adds kavrin_tick_probe, the program (src/main.cpp on
# kavrin_ui) with bench/tick_probe.cpp linked in. The tree being built is not
# changed, so an older commit gets the same probe.
set(KAVRIN_TICK_PROBE_SOURCE ${CMAKE_CURRENT_LIST_DIR}/tick_probe.cpp)
function(kavrin_add_tick_probe)
  add_executable(kavrin_tick_probe ${PROJECT_SOURCE_DIR}/src/main.cpp ${KAVRIN_TICK_PROBE_SOURCE})
  target_link_libraries(kavrin_tick_probe PRIVATE kavrin_ui)
  target_compile_definitions(kavrin_tick_probe PRIVATE KAVRIN_APP_ID="${KAVRIN_APP_ID}")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL kavrin_add_tick_probe)
