# One helper per target kind keeps each folder's CMakeLists.txt a short list.
# Warnings are listed once, here.

set(KAVRIX_WARNINGS -Wall -Wextra -Werror -Wno-missing-field-initializers)

function(kavrix_apply_common target)
  target_compile_options(${target} PRIVATE ${KAVRIX_WARNINGS})
  if(KAVRIX_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# kavrix_library(name DEPS lib...): a static library of every .cpp in the
# calling folder (and its sub-folders named in SUBDIRS).
function(kavrix_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;SUBDIRS" ${ARGN})
  set(patterns ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(sub ${ARG_SUBDIRS})
    list(APPEND patterns ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp)
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${patterns})
  if(NOT sources)
    # A folder whose first files have not landed yet still names its target.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  kavrix_apply_common(${name})
endfunction()

# kavrix_test_suite(name DEPS lib...): one GoogleTest program of every .cpp in
# the calling folder; each test runs as its own ctest case so that process-wide
# state (settings caches, the fake clock) never leaks from one test to another.
function(kavrix_test_suite name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} kavrix_test_support GTest::gtest GTest::gmock)
  kavrix_apply_common(${name})
  # Tests that start the real program or compare with the source tree find
  # both through these compiled-in paths.
  target_compile_definitions(${name} PRIVATE
    KAVRIX_TEST_BUILD_DIR="${CMAKE_BINARY_DIR}" KAVRIX_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()

function(kavrix_benchmark name)
  cmake_parse_arguments(ARG "" "" "DEPS;SOURCES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
  kavrix_apply_common(${name})
endfunction()
