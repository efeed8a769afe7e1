# The build's layer checks fail on planted wrong includes, naming the file, and pass
# on a tree whose includes keep to the floors.
# Run with -DCHECKS_DIR=<cmake/ of the project> -DWORK_DIR=<a scratch directory>.

function(plant tree file text)
  file(WRITE ${tree}/${file} "${text}\n")
endfunction()

function(run_check script tree result_var output_var)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -P ${CHECKS_DIR}/${script}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(${result_var} ${result} PARENT_SCOPE)
  set(${output_var} "${out}${err}" PARENT_SCOPE)
endfunction()

# A tree with an include of each allowed kind.
set(good ${WORK_DIR}/good)
file(REMOVE_RECURSE ${good})
plant(${good} base/format.h "#include <string>")
plant(${good} platform/headless/headless_ui.h "#include \"platform/ui.h\"")
plant(${good} record/report.cpp "#include \"base/format.h\"\n#include \"platform/notices.h\"")
plant(${good} view/asks.cpp "#include \"platform/ui.h\"")
plant(${good} navaid/load.cpp "#include \"navaid/doc.h\"")
plant(${good} charts/track.cpp "#include \"navaid/doc.h\"\n#include \"record/table.h\"")
plant(${good} view/view.cpp "#include \"charts/track.h\"")
plant(${good} app/shell/frame.cpp "#include \"app/app.h\"\n#include \"cli/host.h\"")
plant(${good} cli/host.cpp "#include \"app/app.h\"\n#include \"view/view.h\"")
foreach(script CheckFloors.cmake CheckCoreLayer.cmake)
  run_check(${script} ${good} result out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${script} refused a tree that keeps to the floors:\n${out}")
  endif()
endforeach()

# Each wrong include alone in a copy of the good tree; the check must name the file.
set(cases
  "CheckFloors.cmake|record/summary.cpp|#include \"view/halbrico_view.h\""
  "CheckFloors.cmake|navaid/export.cpp|  #  include \"view/halbrico_view.h\""
  "CheckFloors.cmake|charts/stub.cpp|#include \"view/view_state.h\""
  "CheckFloors.cmake|record/uses_navaid.h|#include \"navaid/doc.h\""
  "CheckFloors.cmake|platform/headless/host.h|#include \"app/quarn_app.h\""
  "CheckFloors.cmake|base/helper.cpp|#include \"record/sample_table.h\""
  "CheckFloors.cmake|view/view2.cpp|#include \"cli/host.h\""
  "CheckFloors.cmake|charts/asks.cpp|#include \"platform/ui.h\""
  "CheckCoreLayer.cmake|charts/painter.cpp|#include <QPainter>")
set(index 0)
foreach(case ${cases})
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 script)
  list(GET parts 1 file)
  list(GET parts 2 text)
  math(EXPR index "${index} + 1")
  set(bad ${WORK_DIR}/bad${index})
  file(REMOVE_RECURSE ${bad})
  file(COPY ${good}/ DESTINATION ${bad})
  plant(${bad} ${file} "${text}")
  run_check(${script} ${bad} result out)
  if(result EQUAL 0)
    message(FATAL_ERROR "${script} passed a planted wrong include in ${file}")
  endif()
  string(FIND "${out}" "${file}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${script} failed without naming ${file}:\n${out}")
  endif()
endforeach()
message(STATUS "build checks: ${index} planted includes refused, the good tree passed")
