# Build helpers shared by every folder.
#
# kv_library(<target> [RECURSE] [SHARED] [DEPS <targets...>] [PRIVATE_DEPS <targets...>])
#   A library made of the .c/.cpp files of the calling folder (and its subfolders
#   with RECURSE). Headers are included by their path from the repository
#   root, e.g. #include "zul/io/Stream.h", but a library sees only its own
#   folder and the folders of what it links (see kv_include_view); a
#   library of the data tools sees the whole tree.
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
  file(RELATIVE_PATH folder ${KV_ROOT} ${CMAKE_CURRENT_SOURCE_DIR})
  kv_include_view(${name} ${folder})
  if(folder MATCHES "^tools/")
    # The data tools write what every layer reads: they see the whole tree.
    target_include_directories(${name} PUBLIC ${KV_ROOT})
  endif()
  target_link_libraries(${name} PUBLIC ${A_DEPS} PRIVATE ${A_PRIVATE_DEPS})
endfunction()

# kv_include_view(<target> <paths...>)
#   Gives `target` (and whoever links it) an include folder in the build tree
#   holding only the named files and folders of the repository, linked at
#   their own paths: "zul/io/Stream.h" is found where zul/io is in view and
#   nowhere else, so a library cannot include what it does not link.
function(kv_include_view target)
  set(view ${CMAKE_BINARY_DIR}/include/${target})
  set(wanted)
  foreach(path ${ARGN})
    get_filename_component(parent ${view}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    if(IS_SYMLINK ${view}/${path})
      file(READ_SYMLINK ${view}/${path} old)
      if(NOT old STREQUAL "${KV_ROOT}/${path}")
        file(REMOVE ${view}/${path})
      endif()
    endif()
    if(NOT IS_SYMLINK ${view}/${path})
      file(CREATE_LINK ${KV_ROOT}/${path} ${view}/${path} SYMBOLIC)
    endif()
    list(APPEND wanted ${view}/${path})
  endforeach()
  # Links left from an earlier view go (only the links, never what they name).
  file(GLOB_RECURSE entries LIST_DIRECTORIES true ${view}/*)
  foreach(entry ${entries})
    if(IS_SYMLINK ${entry} AND NOT entry IN_LIST wanted)
      file(REMOVE ${entry})
    endif()
  endforeach()
  target_include_directories(${target} PUBLIC ${view})
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
