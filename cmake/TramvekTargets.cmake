# Shared target helpers: warnings as errors on our own code, one static
# library per source folder, one CTest entry per test executable.

function(tramvek_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()

# tramvek_add_library(NAME DIR [LIBS ...]): every .cpp directly in DIR.
function(tramvek_add_library name dir)
  cmake_parse_arguments(ARG "" "" "LIBS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "/${ex}$")
  endforeach()
  if(NOT sources)
    # Header-only for now.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  tramvek_warnings(${name})
endfunction()

# tramvek_add_test(NAME DIR [LIBS ...]): a GoogleTest executable from every
# .cpp in DIR, registered whole (each Wine start costs time on Windows builds).
# Labelled unit; tests that run the host, open real windows or take minutes
# take another label (host, third-party, soak); the thread tests also take thread.
function(tramvek_add_test name dir)
  cmake_parse_arguments(ARG "" "" "LIBS;SOURCES" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  add_executable(${name} ${sources} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/src" "${PROJECT_SOURCE_DIR}/tests")
  tramvek_warnings(${name})
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES LABELS unit)
  tramvek_skippable_under_wine(${name})
  tramvek_thread_check(${name})
endfunction()

# tramvek_skippable_under_wine(TEST...): in Windows builds, exit code 77 from
# scripts/wine-run.sh means this machine cannot run the build's word size at
# all; such tests are reported as skipped. They all run on the tests' display:
# the first program of a Wine session gives the whole session its display.
function(tramvek_skippable_under_wine)
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${ARGN} PROPERTIES SKIP_RETURN_CODE 77)
    tramvek_needs_display(${ARGN})
  endif()
endfunction()

include(TestDisplay)
