# The .deb holds what an install puts in place, depends on the Qt 6 runtime packages,
# and its quarn-cli, unpacked into a scratch root, runs the example record.
# Run with -DCPACK=<cpack> -DBUILD_DIR=<build tree> -DWORK_DIR=<scratch directory>
# -DEXAMPLES_DIR=<examples/> -DVERSION=<project version> -DDPKG_DEB=<dpkg-deb>.

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${result}):\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

function(expect_in text what)
  string(FIND "${text}" "${what}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "expected \"${what}\" in:\n${text}")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/data)

# Packs the binaries of the build tree as they are: nothing is built again.
run(${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR}/package)
file(GLOB debs ${WORK_DIR}/package/*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one .deb, found: ${debs}")
endif()

run(${DPKG_DEB} --field ${debs} Package Version Depends)
set(control "${out}")
expect_in("${control}" "Package: quarn\n")
expect_in("${control}" "Version: ${VERSION}\n")
foreach(qt libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6svg6)
  expect_in("${control}" "${qt} (>= 6.")
endforeach()

set(root ${WORK_DIR}/root)
run(${DPKG_DEB} -x ${debs} ${root})
foreach(f bin/quarn bin/quarn-cli share/applications/quarn.desktop)
  if(NOT EXISTS ${root}/usr/${f})
    message(FATAL_ERROR "the package has no /usr/${f}")
  endif()
endforeach()
foreach(size 16 24 32 48 64 128 256)
  if(NOT EXISTS ${root}/usr/share/icons/hicolor/${size}x${size}/apps/quarn.png)
    message(FATAL_ERROR "the package has no ${size}x${size} icon")
  endif()
endforeach()
file(READ ${root}/usr/share/applications/quarn.desktop desktop)
expect_in("${desktop}" "\nExec=quarn %f\n")
expect_in("${desktop}" "\nIcon=quarn\n")

# Where dpkg-shlibdeps is at hand, every package it finds the programs need is named.
find_program(SHLIBDEPS dpkg-shlibdeps)
if(SHLIBDEPS)
  file(WRITE ${WORK_DIR}/shlibs/debian/control "")
  execute_process(COMMAND ${SHLIBDEPS} -O ${root}/usr/bin/quarn ${root}/usr/bin/quarn-cli
                  WORKING_DIRECTORY ${WORK_DIR}/shlibs RESULT_VARIABLE result
                  OUTPUT_VARIABLE needed ERROR_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "dpkg-shlibdeps failed on the unpacked programs")
  endif()
  string(REGEX MATCHALL "[a-z0-9.+-]+ \\(" packages "${needed}")
  foreach(p ${packages})
    string(REPLACE " (" "" p "${p}")
    expect_in("${control}" "${p} (")
  endforeach()
endif()

run(${root}/usr/bin/quarn-cli --version)
if(NOT out STREQUAL "quarn-cli ${VERSION}\n")
  message(FATAL_ERROR "quarn-cli --version printed: ${out}")
endif()

file(WRITE ${WORK_DIR}/job.quarn
  "answer file ${EXAMPLES_DIR}/flight.dat\ncommand ID_SELECT_RECORD_FILE\nstate\n")
run(${root}/usr/bin/quarn-cli run --data-dir ${WORK_DIR}/data ${WORK_DIR}/job.quarn)
expect_in("${out}" " Points (lat,lon) in memory\"}\n")
expect_in("${out}" "\"g_recordPath\":\"${EXAMPLES_DIR}/flight.dat\"")
expect_in("${out}" "\"dataDir\":\"${WORK_DIR}/data\",\"channels\":{")

# Installed where the user cannot write (as in /usr/bin), the program keeps its data in
# the user's data directory, made on first use. As root, that user is nobody.
execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
set(as_user "")
if(uid STREQUAL "0")
  find_program(RUNUSER runuser REQUIRED)
  set(as_user ${RUNUSER} -u nobody --)
endif()
set(tmp "$ENV{TMPDIR}")
if(tmp STREQUAL "")
  set(tmp /tmp)
endif()
string(RANDOM LENGTH 10 tag)
set(installed ${tmp}/quarn-deb-${tag})  # reachable for nobody, unlike a home directory
file(MAKE_DIRECTORY ${installed}/bin ${installed}/home)
file(COPY ${root}/usr/bin/quarn-cli DESTINATION ${installed}/bin)
file(CHMOD ${installed} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
           GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(CHMOD ${installed}/bin PERMISSIONS OWNER_READ OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
           WORLD_READ WORLD_EXECUTE)
file(CHMOD ${installed}/home PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
           GROUP_WRITE GROUP_EXECUTE WORLD_READ WORLD_WRITE WORLD_EXECUTE)
file(WRITE ${WORK_DIR}/state.quarn "state\n")
execute_process(
  COMMAND ${as_user} env -u XDG_DATA_HOME -u QUARN_DATA_DIR HOME=${installed}/home
          ${installed}/bin/quarn-cli run -
  INPUT_FILE ${WORK_DIR}/state.quarn RESULT_VARIABLE result OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
set(made_dir FALSE)
if(IS_DIRECTORY ${installed}/home/.local/share/quarn)
  set(made_dir TRUE)
endif()
file(CHMOD ${installed}/bin PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
file(REMOVE_RECURSE ${installed})
if(NOT result EQUAL 0)
  message(FATAL_ERROR "quarn-cli installed read-only failed (${result}):\n${out}${err}")
endif()
expect_in("${out}" "\"dataDir\":\"${installed}/home/.local/share/quarn\",\"channels\":{")
if(NOT made_dir)
  message(FATAL_ERROR "the user's data directory was not made")
endif()
