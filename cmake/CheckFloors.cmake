# Fails when a source file includes a header of a floor above its own, or of a
# neighbour on its own floor. The floors, from the bottom:
#   0  base/ (helpers)        platform/ (with qt/ and headless/)
#   1  record/                navaid/
#   2  charts/
#   3  view/
#   4  app/ (with shell/)     cli/
# A folder includes its own headers and those of lower floors; the top floor's
# folders may include each other.
set(floor_base 0)
set(floor_platform 0)
set(floor_record 1)
set(floor_navaid 1)
set(floor_charts 2)
set(floor_view 3)
set(floor_app 4)
set(floor_cli 4)
set(top_floor 4)

set(offenders "")
foreach(folder base platform record navaid charts view app cli)
  file(GLOB_RECURSE sources ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  foreach(f ${sources})
    file(STRINGS ${f} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[A-Za-z_]+/")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([A-Za-z_]+)/.*" "\\1" target "${line}")
      if(NOT DEFINED floor_${target} OR target STREQUAL folder)
        continue()
      endif()
      set(allowed FALSE)
      if(floor_${target} LESS floor_${folder})
        set(allowed TRUE)
      elseif(floor_${target} EQUAL top_floor AND floor_${folder} EQUAL top_floor)
        set(allowed TRUE)
      endif()
      if(NOT allowed)
        file(RELATIVE_PATH rel ${SOURCE_DIR} ${f})
        string(STRIP "${line}" line)
        list(APPEND offenders "${rel}: ${line} (${folder}/ may not include ${target}/)")
      endif()
    endforeach()
  endforeach()
endforeach()
# Below the view nothing asks the user: the dialogs (platform/ui.h) are the view's
# and the app's. Routines there are handed what they need and tell through Notices.
foreach(folder base record navaid charts)
  file(GLOB_RECURSE sources ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  foreach(f ${sources})
    file(STRINGS ${f} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"platform/ui\\.h\"")
    foreach(line ${includes})
      file(RELATIVE_PATH rel ${SOURCE_DIR} ${f})
      string(STRIP "${line}" line)
      list(APPEND offenders "${rel}: ${line} (${folder}/ may not ask the user: no dialogs)")
    endforeach()
  endforeach()
endforeach()

if(offenders)
  string(REPLACE ";" "\n" msg "${offenders}")
  message(FATAL_ERROR "Includes against the floors:\n${msg}")
endif()
