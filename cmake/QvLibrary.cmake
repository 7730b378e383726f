# qv_library(name folder [deps...] [EXCLUDE folder...])
# A static library of every .cpp under the folder; files are picked up as they
# are added, so new files need no edit here.
function(qv_library name folder)
  cmake_parse_arguments(ARG "" "" "EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  foreach(ex ${ARG_EXCLUDE})
    list(FILTER sources EXCLUDE REGEX "^${CMAKE_SOURCE_DIR}/${ex}/")
  endforeach()
  if(NOT sources)
    set(sources ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_UNPARSED_ARGUMENTS})
endfunction()

# qv_test_suite(name folder library): one GoogleTest program per folder.
function(qv_test_suite name folder lib)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${lib} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    QV_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    QV_BINARY_DIR="${CMAKE_BINARY_DIR}"
    QV_FIXTURE_DIR="${CMAKE_SOURCE_DIR}/tests/fixtures/xbase/")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()
