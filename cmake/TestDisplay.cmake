# Tests that open windows (X11 editors, and every test run under Wine) run on
# a private Xvfb that a CTest fixture starts before them and stops after them
# (scripts/test-display.sh).
# Each build tree has its own display number, so builds side by side do not meet.
string(MD5 build_hash "${CMAKE_BINARY_DIR}")
string(SUBSTRING "${build_hash}" 0 4 build_hash)
math(EXPR default_display "0x${build_hash} % 30000 + 100")
set(TRAMVEK_TEST_DISPLAY ${default_display} CACHE STRING "X display number of the tests' private Xvfb")

function(tramvek_add_display_fixture)
  set(script ${PROJECT_SOURCE_DIR}/scripts/test-display.sh)
  set(arguments ${TRAMVEK_TEST_DISPLAY} ${CMAKE_BINARY_DIR}/test-display)
  if(CMAKE_CROSSCOMPILING)
    list(APPEND arguments ${CMAKE_BINARY_DIR}/wineprefix)
  endif()
  add_test(NAME tramvek_display_start COMMAND bash ${script} start ${arguments})
  add_test(NAME tramvek_display_stop COMMAND bash ${script} stop ${arguments})
  set_tests_properties(tramvek_display_start PROPERTIES FIXTURES_SETUP tramvek_display)
  set_tests_properties(tramvek_display_stop PROPERTIES FIXTURES_CLEANUP tramvek_display)
endfunction()

# tramvek_needs_display(TEST...)
function(tramvek_needs_display)
  set_property(TEST ${ARGN} APPEND PROPERTY FIXTURES_REQUIRED tramvek_display)
  set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT DISPLAY=:${TRAMVEK_TEST_DISPLAY})
endfunction()
