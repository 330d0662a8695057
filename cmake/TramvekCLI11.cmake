# tramvek_cli11: CLI11 (header-only) through its package config. The Windows
# builds take a copy of CLI11's own headers into the build tree, so that no
# other header of the build machine reaches the cross compiler.
find_package(CLI11 CONFIG REQUIRED NO_CMAKE_FIND_ROOT_PATH)
add_library(tramvek_cli11 INTERFACE)
if(CMAKE_CROSSCOMPILING)
  get_target_property(cli11_include_dirs CLI11::CLI11 INTERFACE_INCLUDE_DIRECTORIES)
  find_path(TRAMVEK_CLI11_INCLUDE_DIR CLI/CLI.hpp PATHS ${cli11_include_dirs} NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT TRAMVEK_CLI11_INCLUDE_DIR)
    message(FATAL_ERROR "CLI11's package names no folder with CLI/CLI.hpp (${cli11_include_dirs})")
  endif()
  set(cli11_copy ${CMAKE_BINARY_DIR}/cli11)
  file(COPY ${TRAMVEK_CLI11_INCLUDE_DIR}/CLI DESTINATION ${cli11_copy})
  target_include_directories(tramvek_cli11 SYSTEM INTERFACE ${cli11_copy})
else()
  target_link_libraries(tramvek_cli11 INTERFACE CLI11::CLI11)
endif()
