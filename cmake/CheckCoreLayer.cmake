# Fails when a source file of the core includes a Qt header.
file(GLOB core_files
  ${SOURCE_DIR}/base/*.h ${SOURCE_DIR}/base/*.cpp
  ${SOURCE_DIR}/cli/script_host.h ${SOURCE_DIR}/cli/script_host.cpp
  ${SOURCE_DIR}/app/*.h ${SOURCE_DIR}/app/*.cpp
  ${SOURCE_DIR}/record/*.h ${SOURCE_DIR}/record/*.cpp
  ${SOURCE_DIR}/view/*.h ${SOURCE_DIR}/view/*.cpp
  ${SOURCE_DIR}/navaid/*.h ${SOURCE_DIR}/navaid/*.cpp
  ${SOURCE_DIR}/charts/*.h ${SOURCE_DIR}/charts/*.cpp
  ${SOURCE_DIR}/platform/*.h ${SOURCE_DIR}/platform/*.cpp
  ${SOURCE_DIR}/platform/headless/*.h ${SOURCE_DIR}/platform/headless/*.cpp)
set(offenders "")
foreach(f ${core_files})
  if(f MATCHES "/app/shell/")
    continue()
  endif()
  file(STRINGS ${f} hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|qt)")
  if(hits)
    list(APPEND offenders "${f}: ${hits}")
  endif()
endforeach()
if(offenders)
  string(REPLACE ";" "\n" msg "${offenders}")
  message(FATAL_ERROR "Core code includes Qt headers:\n${msg}")
endif()
