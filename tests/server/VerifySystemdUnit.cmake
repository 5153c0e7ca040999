# cmake -P driver of the server_systemd_unit test: installs what the stowline-server package
# holds into a scratch root, beside the system's targets, and has systemd-analyze verify the
# unit there: its settings, its ExecStart program and its man page. systemd only warns about
# a setting it does not know or cannot parse, so any output fails the check as well.
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORK_DIR})
set(ENV{DESTDIR} ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --component server --prefix /usr
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "installing the server component failed:\n${errors}")
endif()
set(unit /lib/systemd/system/stowline-server.service)
if(NOT EXISTS ${WORK_DIR}${unit})
    message(FATAL_ERROR "the server component holds no ${unit}")
endif()
file(GLOB targets /lib/systemd/system/*.target)
file(COPY ${targets} DESTINATION ${WORK_DIR}/lib/systemd/system)

set(ENV{MANPATH} ${WORK_DIR}/usr/share/man)
execute_process(COMMAND systemd-analyze verify --root=${WORK_DIR} ${unit}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output STREQUAL "")
    message(FATAL_ERROR "systemd-analyze verify ${unit} (${result}):\n${output}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
