# Build helpers shared by every folder.
#
# kv_library(<target> [RECURSE] [SHARED] [DEPS <targets...>] [PRIVATE_DEPS <targets...>])
#   A library made of the .c/.cpp files of the calling folder (and its subfolders
#   with RECURSE). Headers are included from the repository root, e.g.
#   #include "zul/io/Stream.h".
# kv_test(<target> [DEPS <targets...>])
#   A GoogleTest executable made of every .cpp below the calling folder,
#   registered with CTest.

set(KV_ROOT ${CMAKE_SOURCE_DIR})

function(kv_library name)
  cmake_parse_arguments(A "RECURSE;SHARED" "" "DEPS;PRIVATE_DEPS;EXCLUDE" ${ARGN})
  if(A_RECURSE)
    file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  else()
    file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  endif()
  foreach(ex ${A_EXCLUDE})
    list(FILTER srcs EXCLUDE REGEX "${ex}")
  endforeach()
  if(A_SHARED)
    add_library(${name} SHARED ${srcs})
  else()
    add_library(${name} STATIC ${srcs})
  endif()
  target_include_directories(${name} PUBLIC ${KV_ROOT})
  target_link_libraries(${name} PUBLIC ${A_DEPS} PRIVATE ${A_PRIVATE_DEPS})
endfunction()

function(kv_test name)
  cmake_parse_arguments(A "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_include_directories(${name} PRIVATE ${KV_ROOT} ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gtest_main GTest::gmock Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    KV_SOURCE_DIR="${KV_ROOT}" KV_BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "KV_DATA_DIR=${CMAKE_BINARY_DIR}/data")
endfunction()

# The data set: every generated data file goes to KV_DATA_DIR. A tool that
# produces part of it declares a custom target and registers it with
# kv_data_part(<target>); the target kv_data (built by default) builds all parts.
set(KV_DATA_DIR ${CMAKE_BINARY_DIR}/data)
function(kv_data_part target)
  set_property(GLOBAL APPEND PROPERTY KV_DATA_PARTS ${target})
endfunction()
