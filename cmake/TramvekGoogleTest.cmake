# GoogleTest (with GoogleMock) for the tests. Native builds use the installed
# libraries (libgtest-dev, libgmock-dev); cross builds compile Debian's
# googletest sources with their own compiler, since no Windows build of the
# libraries is installed.
if(NOT CMAKE_CROSSCOMPILING)
  find_package(GTest CONFIG REQUIRED)
  if(NOT TARGET GTest::gmock)
    message(FATAL_ERROR "GTest was found without GoogleMock (install libgmock-dev)")
  endif()
  return()
endif()

find_path(TRAMVEK_GOOGLETEST_SOURCE_DIR
  NAMES googletest/CMakeLists.txt googlemock/CMakeLists.txt
  PATHS /usr/src/googletest
  DOC "GoogleTest's source tree (Debian's googletest package)"
  NO_CMAKE_FIND_ROOT_PATH)
if(NOT TRAMVEK_GOOGLETEST_SOURCE_DIR)
  message(FATAL_ERROR "GoogleTest's sources were not found; install googletest or set TRAMVEK_GOOGLETEST_SOURCE_DIR")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${TRAMVEK_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
