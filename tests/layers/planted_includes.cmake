# The include check passes on a copy of the real sources and fails on each
# include planted in it that reaches up or sideways, naming that include.
# -D CHECK=<CheckIncludes.cmake> ROOT=<source tree> WORK=<scratch folder>
file(REMOVE_RECURSE ${WORK})
foreach(dir zul windows_brew platform game)
  get_filename_component(parent ${WORK}/${dir} DIRECTORY)
  file(COPY ${ROOT}/${dir} DESTINATION ${parent})
endforeach()

function(run_check out_rc out_text)
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${WORK} -P ${CHECK}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE text ERROR_VARIABLE text)
  set(${out_rc} ${rc} PARENT_SCOPE)
  set(${out_text} "${text}" PARENT_SCOPE)
endfunction()

# A commented-out include and one of the standard library are not checked.
file(APPEND ${WORK}/zul/memory/StackMemoryPool.cpp
     "// #include \"game/Korvane/cGame/cGame.h\"\n#include <windows.h>\n")
run_check(rc text)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the unchanged copy fails:\n${text}")
endif()

# file | include line | layers named in the report
set(plants
  "zul/memory/StackMemoryPool.cpp|#include \"zul/io/Stream.h\"|(memory) includes zul/io/Stream.h (io)"
  "zul/2d/Image.cpp|#include \"korvane/gl.h\"|(2d) includes korvane/gl.h (gles)"
  "zul/lm/FMath.cpp|  #  include <windows_brew/Host.h>|(lm) includes windows_brew/Host.h (host)"
  "game/Korvane/PhysicalObject/PhysicsWorld.h|#include \"game/Korvane/cGame/cGame.h\"|(physics) includes game/Korvane/cGame/cGame.h (game)"
  "game/Korvane/PhysicalObject/TableLayout.h|#include \"game/Korvane/cGamePlay/RuleState.h\"|(physics) includes game/Korvane/cGamePlay/RuleState.h (rules)"
  "windows_brew/Host.cpp|#include \"platform/brew/GameBase.h\"|(host) includes platform/brew/GameBase.h (applet)"
  "game/Korvane/cGame/cGameSound.cpp|#include \"windows_brew/ShellHost.h\"|(game) includes windows_brew/ShellHost.h (host)"
  "zul/3d/Angles.h|#include \"zul/3d/Camera.h\"|(angles) includes zul/3d/Camera.h (3d)"
)
foreach(plant ${plants})
  string(REPLACE "|" ";" fields "${plant}")
  list(GET fields 0 file)
  list(GET fields 1 line)
  list(GET fields 2 expected)
  file(READ ${WORK}/${file} original)
  file(APPEND ${WORK}/${file} "${line}\n")
  run_check(rc text)
  file(WRITE ${WORK}/${file} "${original}")
  if(rc EQUAL 0)
    message(FATAL_ERROR "${file}: planted \"${line}\" passes the check")
  endif()
  string(FIND "${text}" "${file} ${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${file}: planted \"${line}\" is not the include reported:\n${text}")
  endif()
  # The planted include is the only one reported.
  string(REGEX MATCHALL "\\) includes " reported "${text}")
  list(LENGTH reported count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "${file}: ${count} includes reported for one plant:\n${text}")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
