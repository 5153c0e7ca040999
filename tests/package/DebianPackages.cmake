# cmake -P driver of the package_debian test: makes the Debian packages of the build tree, checks
# that each expected file lands in its package and nothing else does, checks the dependencies
# that tie them together, and runs lintian. Nothing is installed.
cmake_minimum_required(VERSION 3.25)

function(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                    ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${what} failed (${result}):\n${output}\nLeft in ${WORK_DIR}")
    endif()
    set(run_output "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
run("cpack" ${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR})

# PACKAGE and the files it holds, regular expressions on the path below usr/ (doc/ is added).
string(REPLACE "." "\\." v ${VERSION})
string(REGEX MATCH "^[0-9]+" major ${VERSION})
set(expected "libstowline${major} ${LIBDIR}/libstowline\\.so\\.(${major}|${v})"
    "libstowline-dev include/stowline/[A-Za-z]+\\.h ${LIBDIR}/libstowline\\.so"
    "libstowline-dev ${LIBDIR}/cmake/Stowline/Stowline[A-Za-z-]*\\.cmake ${LIBDIR}/pkgconfig/stowline\\.pc")
if(PLUGIN)
    list(APPEND expected "stowline-designer-plugin ${PLUGIN}")
endif()
foreach(program IN LISTS PROGRAMS)
    list(APPEND expected "${program} bin/${program} share/man/man1/${program}\\.1\\.gz")
endforeach()
# PACKAGE and what its Depends must hold: the exact version of this build, or a library found
# only by reading the binaries.
set(dependencies "libstowline${major} libpugixml" "libstowline-dev libstowline${major} \\(= ${v}-1\\)"
    "stowline-designer-plugin libstowline${major} \\(= ${v}-1\\)"
    "stowline-server libsqlite3" "stowline-host libqt6widgets6")

file(GLOB debs ${WORK_DIR}/*.deb)
set(packages)
foreach(deb IN LISTS debs)
    run("dpkg-deb -f" dpkg-deb -f ${deb} Package Depends)
    string(REGEX MATCH "Package: ([^\n]+)" _ "${run_output}")
    set(package ${CMAKE_MATCH_1})
    list(APPEND packages ${package})
    foreach(entry IN LISTS dependencies)
        if(entry MATCHES "^${package} (.*)")
            if(NOT run_output MATCHES "Depends: [^\n]*${CMAKE_MATCH_1}")
                message(FATAL_ERROR "${package} lacks the dependency ${entry}:\n${run_output}")
            endif()
        endif()
    endforeach()
    set(patterns "share/doc/${package}/(copyright|changelog\\.Debian\\.gz)")
    foreach(entry IN LISTS expected)
        if(entry MATCHES "^${package} (.*)")
            string(REPLACE " " ";" more "${CMAKE_MATCH_1}")
            list(APPEND patterns ${more})
        endif()
    endforeach()
    run("dpkg-deb -c" dpkg-deb -c ${deb})
    string(REGEX MATCHALL " \\./usr/[^\n]*[^/\n]\n" files "${run_output}")
    list(TRANSFORM files REPLACE "^ \\./usr/([^ \n]+).*" "\\1")
    list(JOIN patterns "|" any)
    set(stray ${files})
    list(FILTER stray EXCLUDE REGEX "^(${any})$")
    if(stray)
        message(FATAL_ERROR "${package} holds usr/ ${stray}, which belong elsewhere")
    endif()
    foreach(pattern IN LISTS patterns)
        set(hits ${files})
        list(FILTER hits INCLUDE REGEX "^(${pattern})$")
        if(NOT hits)
            message(FATAL_ERROR "${package} lacks usr/${pattern}")
        endif()
    endforeach()
endforeach()
set(wanted ${expected})
list(TRANSFORM wanted REPLACE " .*" "")
list(REMOVE_DUPLICATES wanted)
list(SORT wanted)
list(SORT packages)
if(NOT packages STREQUAL wanted)
    message(FATAL_ERROR "made the packages ${packages} instead of ${wanted}")
endif()

# Accepted findings: the changelog closes no Debian bug, since nothing is uploaded to Debian;
# CPack writes an ldconfig call next to the trigger whenever a library lies in /usr/lib.
run("lintian" lintian --display-info --fail-on error,warning
    --suppress-tags initial-upload-closes-no-bugs,maintscript-calls-ldconfig ${debs})
message(STATUS "lintian:\n${run_output}")
file(REMOVE_RECURSE ${WORK_DIR})
