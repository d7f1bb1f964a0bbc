# Links run one way: the engine (zul/, gles/, memory tracking) and pool play
# sit below the host and never link the platform layer, the host, the applet
# or the game, nor SDL2. kv_link_check() takes each such target's link
# closure from CMake's own target properties at configure time and writes it
# to engine_links.txt; the test "engine_links_one_way" reads that file and
# fails naming every link that goes the wrong way.

# Every target and library name that `target` links, directly or through
# other targets (private links of static libraries included).
function(kv_link_closure target out)
  set(seen)
  set(work ${target})
  while(work)
    list(POP_FRONT work item)
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" item "${item}")
    if(item STREQUAL "" OR item IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${item})
    if(NOT TARGET ${item})
      continue()
    endif()
    get_target_property(aliased ${item} ALIASED_TARGET)
    if(aliased)
      list(APPEND work ${aliased})
      continue()
    endif()
    foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(libs ${item} ${property})
      if(libs)
        list(APPEND work ${libs})
      endif()
    endforeach()
  endwhile()
  list(REMOVE_ITEM seen ${target})
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# The targets of the engine's folders and of pool play, with their closures.
function(kv_link_check)
  set(targets)
  foreach(dir zul/memory zul/io zul/comp zul/lm zul/2d gles zul/resourcemanager zul/3d
              zul/sound)
    if(EXISTS ${KV_ROOT}/${dir}/CMakeLists.txt)
      get_directory_property(t DIRECTORY ${KV_ROOT}/${dir} BUILDSYSTEM_TARGETS)
      list(APPEND targets ${t})
    endif()
  endforeach()
  foreach(t kv_pool kv_game_parsers pool_tests pool_bench opponent_bench fuzz_table)
    if(TARGET ${t})
      list(APPEND targets ${t})
    endif()
  endforeach()
  set(text "")
  foreach(t ${targets})
    kv_link_closure(${t} closure)
    list(JOIN closure " " line)
    string(APPEND text "${t}: ${line}\n")
  endforeach()
  file(WRITE ${CMAKE_BINARY_DIR}/engine_links.txt "${text}")
  add_test(NAME engine_links_one_way
           COMMAND ${CMAKE_COMMAND} -DLINKS=${CMAKE_BINARY_DIR}/engine_links.txt -P ${KV_ROOT}/cmake/CheckLinks.cmake)
endfunction()
