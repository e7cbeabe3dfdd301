# Shared compile settings and the helpers every folder uses to declare its targets.

add_library(torvik_options INTERFACE)
target_include_directories(torvik_options INTERFACE ${CMAKE_SOURCE_DIR})
target_compile_options(torvik_options INTERFACE -Wall -Wextra -Wpedantic)
if(TORVIK_WERROR)
  target_compile_options(torvik_options INTERFACE -Werror)
endif()
if(TORVIK_SANITIZE)
  set(_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_options(torvik_options INTERFACE ${_san})
  target_link_options(torvik_options INTERFACE ${_san})
endif()
target_compile_definitions(torvik_options INTERFACE
  TORVIK_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  TORVIK_INSTALL_DIR="${TORVIK_INSTALL_DIR}")

# torvik_library(<name> [STATIC|SHARED] SOURCES ... [DEPS ...] [PRIVATE_DEPS ...])
function(torvik_library name)
  cmake_parse_arguments(ARG "STATIC;SHARED" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  if(ARG_SHARED)
    add_library(${name} SHARED ${ARG_SOURCES})
  else()
    add_library(${name} STATIC ${ARG_SOURCES})
  endif()
  target_link_libraries(${name} PUBLIC torvik_options ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# torvik_test(<name> SOURCES ... [DEPS ...] [LABELS ...])
# One GoogleTest executable per area; each test case becomes a CTest test.
function(torvik_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE torvik_options torvik_test_support ${ARG_DEPS}
                        GTest::gtest GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TORVIK_TEST_BIN_DIR})
  # Tests read the installation in build/bin (BuildBinDir): building any one of them alone must bring
  # it up to date. Copying the data is cheap, so every test depends on it and none can be forgotten.
  add_dependencies(${name} installation_data)
  set_property(GLOBAL APPEND PROPERTY TORVIK_TEST_TARGETS ${name})
  set(_props ENVIRONMENT "TORVIK_BUILD_BIN_DIR=${TORVIK_INSTALL_DIR}")
  if(ARG_LABELS)
    list(APPEND _props LABELS "${ARG_LABELS}")
  endif()
  # Tests on the one shared X display must not run at the same time: synthetic input goes to whatever
  # window is under the pointer.
  if("x11" IN_LIST ARG_LABELS)
    list(APPEND _props RESOURCE_LOCK x11_display)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ${_props})
endfunction()

# torvik_benchmark(<name> SOURCES ... [DEPS ...])
function(torvik_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE torvik_options ${ARG_DEPS} benchmark::benchmark)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
