# cmake -P driver of the package_install_and_consume test: install, find, build, run.
# The work folder is removed before and after a passing run; a failing run leaves it for a look.
cmake_minimum_required(VERSION 3.25)

foreach(var BUILD_DIR CONSUMER_DIR WORK_DIR GENERATOR CXX_COMPILER PKG_CONFIG LIBDIR BINDIR
            VERSION VERSION_MAJOR)
    if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
        message(FATAL_ERROR "InstallAndConsume: ${var} is not set")
    endif()
endforeach()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

function(run what)
    execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${WORK_DIR}
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${what} failed (${result}):\n${output}\nLeft in ${WORK_DIR}")
    endif()
    set(run_output "${output}" PARENT_SCOPE)
endfunction()

function(expect_file path)
    if(NOT EXISTS ${prefix}/${path})
        message(FATAL_ERROR "not installed: ${path}\nLeft in ${WORK_DIR}")
    endif()
endfunction()

run("cmake --install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

expect_file(${LIBDIR}/libstowline.so.${VERSION})
expect_file(${LIBDIR}/libstowline.so.${VERSION_MAJOR})
expect_file(${LIBDIR}/libstowline.so)
expect_file(${LIBDIR}/pkgconfig/stowline.pc)
foreach(header Stowline.h Records.h EventLog.h ServiceNamespace.h Export.h Version.h)
    expect_file(include/stowline/${header})
endforeach()
foreach(file StowlineConfig.cmake StowlineConfigVersion.cmake StowlineTargets.cmake)
    expect_file(${LIBDIR}/cmake/Stowline/${file})
endforeach()
# Internal headers stay private.
file(GLOB_RECURSE stray_headers RELATIVE ${prefix} ${prefix}/include/*)
list(FILTER stray_headers EXCLUDE REGEX "^include/stowline/[A-Za-z]+\\.h$")
if(stray_headers)
    message(FATAL_ERROR "unexpected headers installed: ${stray_headers}")
endif()

# Installed programs must start from the prefix (their run path finds the installed library).
foreach(program IN LISTS PROGRAMS)
    expect_file(${BINDIR}/${program})
    expect_file(share/man/man1/${program}.1.gz)
    if(program STREQUAL "stowline-host")
        # Without a display, help is shown and a wrong option refused with the usage, exit
        # status 2 and no word from Qt: the command line is read before Qt needs a screen.
        set(host ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                 --unset=QT_QPA_PLATFORM ${prefix}/${BINDIR}/stowline-host)
        execute_process(COMMAND ${host} --help RESULT_VARIABLE result OUTPUT_VARIABLE out
                        ERROR_VARIABLE err)
        if(NOT result EQUAL 0 OR NOT out MATCHES "^Usage: stowline-host " OR NOT err STREQUAL "")
            message(FATAL_ERROR "stowline-host --help (${result}):\n${out}${err}")
        endif()
        execute_process(COMMAND ${host} --bogus RESULT_VARIABLE result OUTPUT_VARIABLE out
                        ERROR_VARIABLE err)
        set(usage "stowline-host: Unknown option 'bogus'.\nUsage: stowline-host [options]\n")
        if(NOT result EQUAL 2 OR NOT out STREQUAL ""
           OR NOT err STREQUAL "${usage}Try 'stowline-host --help'.\n")
            message(FATAL_ERROR "stowline-host --bogus (${result}):\n${out}${err}")
        endif()
    endif()
endforeach()

# Designer loads the plugin into a process that has not loaded the component: the plugin's run
# path must lead to the installed library.
if(DESIGNER_PLUGIN)
    expect_file(${DESIGNER_PLUGIN})
    run("ldd on the Designer plugin" ldd ${prefix}/${DESIGNER_PLUGIN})
    if(NOT run_output MATCHES "libstowline\\.so\\.${VERSION_MAJOR} => (/[^ ]+)")
        message(FATAL_ERROR "the Designer plugin does not find libstowline:\n${run_output}")
    endif()
    file(REAL_PATH ${CMAKE_MATCH_1} found)
    file(REAL_PATH ${prefix}/${LIBDIR}/libstowline.so.${VERSION} installed)
    if(NOT found STREQUAL installed)
        message(FATAL_ERROR "the Designer plugin finds ${found} instead of ${installed}")
    endif()
endif()

set(consumer_flags)
set(sanitize_flag)
if(SANITIZE)
    # A sanitized library needs its runtime loaded first, so the host is sanitized too.
    set(sanitize_flag -fsanitize=address,undefined)
    list(APPEND consumer_flags "-DCMAKE_CXX_FLAGS=${sanitize_flag}"
         "-DCMAKE_EXE_LINKER_FLAGS=${sanitize_flag}")
endif()
set(common_flags -G ${GENERATOR} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
                 -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
                 ${consumer_flags})

# A later major version must not be accepted (SameMajorVersion).
math(EXPR next_major "${VERSION_MAJOR} + 1")
execute_process(COMMAND ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/too-new ${common_flags}
                        -DSTOWLINE_REQUESTED_VERSION=${next_major}.0
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(result EQUAL 0 OR NOT output MATCHES "Stowline")
    message(FATAL_ERROR "a request for Stowline ${next_major}.0 was not refused:\n${output}")
endif()

run("configure the consumer" ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/build
    ${common_flags} -DCMAKE_BUILD_TYPE=Release)
run("build the consumer" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)

# The same host once more, built with nothing but what pkg-config says, and -fPIC: Qt's
# libraries bind their own data directly, so a position-dependent host would hold copies of
# their meta-objects and findChild on the component's children would fail.
set(ENV{PKG_CONFIG_PATH} ${prefix}/${LIBDIR}/pkgconfig)
run("pkg-config --cflags --libs" ${PKG_CONFIG} --cflags --libs stowline)
separate_arguments(pc_flags UNIX_COMMAND "${run_output}")
run("pkg-config --modversion" ${PKG_CONFIG} --modversion stowline)
string(STRIP "${run_output}" pc_version)
run("pkg-config libdir" ${PKG_CONFIG} --variable=libdir stowline)
string(STRIP "${run_output}" pc_libdir)
# pkg-config asks for the Qt the CMake package asks for.
run("pkg-config --print-requires" ${PKG_CONFIG} --print-requires stowline)
file(READ ${prefix}/${LIBDIR}/cmake/Stowline/StowlineConfig.cmake config)
string(REGEX MATCH "find_dependency\\(Qt6 ([0-9.]+) " _ "${config}")
if(NOT CMAKE_MATCH_1 OR NOT run_output STREQUAL "Qt6Widgets >= ${CMAKE_MATCH_1}\n")
    message(FATAL_ERROR "stowline.pc requires ${run_output} while StowlineConfig.cmake asks for "
                        "Qt ${CMAKE_MATCH_1}")
endif()
run("build the consumer with pkg-config" ${CXX_COMPILER} -std=c++20 -fPIC ${sanitize_flag}
    -Wall -Wextra -Wpedantic -Wshadow -Werror "-DSTOWLINE_PACKAGE_VERSION=\"${pc_version}\""
    ${CONSUMER_DIR}/main.cpp ${pc_flags} -Wl,-rpath,${pc_libdir} -ldl
    -o ${WORK_DIR}/pc-consumer)

# Each consumer must have loaded the installed library, not the one in the build tree.
file(REAL_PATH ${prefix}/${LIBDIR}/libstowline.so.${VERSION} installed)
foreach(consumer ${WORK_DIR}/build/stowline-consumer ${WORK_DIR}/pc-consumer)
    run("run ${consumer}" ${consumer})
    if(NOT run_output MATCHES "library: ([^\n]+)")
        message(FATAL_ERROR "${consumer} did not name its library:\n${run_output}")
    endif()
    file(REAL_PATH ${CMAKE_MATCH_1} loaded)
    if(NOT loaded STREQUAL installed)
        message(FATAL_ERROR "${consumer} loaded ${loaded} instead of ${installed}")
    endif()
endforeach()

message(STATUS "installed package found, linked and run from ${prefix}")
file(REMOVE_RECURSE ${WORK_DIR})
