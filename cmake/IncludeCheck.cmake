# Includes follow the links: "includes_one_way" reads every #include of the
# engine, pool play, the platform layer, the host, the applet and the game
# and fails naming each one that reaches a layer its own layer may not
# include (the layers and what each may include are in Layers.txt);
# "includes_one_way_planted" shows that it fails on includes planted in a
# copy of the sources.
function(kv_include_check)
  add_test(NAME includes_one_way
           COMMAND ${CMAKE_COMMAND} -DROOT=${KV_ROOT} -P ${KV_ROOT}/cmake/CheckIncludes.cmake)
  add_test(NAME includes_one_way_planted
           COMMAND ${CMAKE_COMMAND} -DCHECK=${KV_ROOT}/cmake/CheckIncludes.cmake -DROOT=${KV_ROOT}
                   -DWORK=${CMAKE_BINARY_DIR}/planted_includes -P ${KV_ROOT}/tests/layers/planted_includes.cmake)
endfunction()
