# cmake -P driver of the package_debian test: makes the Debian packages of the build tree, checks
# that each expected file lands in its package and nothing else does, checks their control
# fields, copyright, changelog and menu entry, and runs lintian. Nothing is installed.
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
if("stowline-host" IN_LIST PROGRAMS)
    list(APPEND expected "stowline-host share/applications/stowline-host\\.desktop"
         "stowline-host share/icons/hicolor/scalable/apps/[^/]+\\.svg")
endif()
# PACKAGE and a line its control file must hold: dependencies on the exact version of this
# build, or on a library found only by reading the binaries, and what lets a package sit beside
# itself for other architectures (Multi-Arch) or offer what it works with.
set(fields "libstowline${major} Depends: [^\n]*libpugixml[^,\n]*"
    "libstowline${major} Multi-Arch: same"
    "libstowline-dev Depends: [^\n]*libstowline${major} \\(= ${v}\\)"
    "libstowline-dev Multi-Arch: same"
    "stowline-designer-plugin Depends: [^\n]*libstowline${major} \\(= ${v}\\)"
    "stowline-designer-plugin Multi-Arch: same" "stowline-designer-plugin Suggests: designer-qt6"
    "stowline-designer-plugin Recommends: libstowline-dev"
    "stowline-server Depends: [^\n]*libsqlite3[^,\n]*" "stowline-server Multi-Arch: foreign"
    "stowline-host Depends: [^\n]*libqt6widgets6[^,\n]*" "stowline-host Multi-Arch: foreign"
    "stowline-host Section: x11")
# The changelog's date is the last commit's, unless the environment chose another; without the
# git history (a tarball made by git archive) the files carry that commit's time.
set(commit_date "[^\n]+")
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC git -C ${SOURCE_DIR} log -1
                            "--date=format-local:%a, %d %b %Y %H:%M:%S +0000" --format=%cd
                    OUTPUT_VARIABLE commit_date OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(commit_date STREQUAL "")
        file(TIMESTAMP ${SOURCE_DIR}/CMakeLists.txt commit_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
    endif()
    string(REPLACE "+" "\\+" commit_date "${commit_date}")
endif()

file(GLOB debs ${WORK_DIR}/*.deb)
set(packages)
foreach(deb IN LISTS debs)
    run("dpkg-deb -f" dpkg-deb -f ${deb})
    set(control "\n${run_output}")
    string(REGEX MATCH "\nPackage: ([^\n]+)" _ "${control}")
    set(package ${CMAKE_MATCH_1})
    list(APPEND packages ${package})
    # One source, the one the changelog names; native packages of the project version.
    foreach(entry IN LISTS fields ITEMS "${package} Source: stowline" "${package} Version: ${v}")
        if(entry MATCHES "^${package} (.*)")
            set(field "${CMAKE_MATCH_1}")
            if(NOT control MATCHES "\n${field}[,\n]")
                message(FATAL_ERROR "${package} lacks the field ${field}:${control}")
            endif()
        endif()
    endforeach()

    set(patterns "share/doc/${package}/(copyright|changelog\\.gz)")
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

    # Redistributable under the Apache License 2.0, stated in the machine-readable format.
    set(root ${WORK_DIR}/root/${package})
    file(MAKE_DIRECTORY ${root})
    run("dpkg-deb -x" dpkg-deb -x ${deb} ${root})
    set(doc ${root}/usr/share/doc/${package})
    file(READ ${doc}/copyright copyright)
    foreach(line "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
                 "Files: *" "License: Apache-2.0" "/usr/share/common-licenses/Apache-2.0")
        string(FIND "${copyright}" "${line}" at)
        if(at LESS 0)
            message(FATAL_ERROR "${package}'s copyright lacks \"${line}\":\n${copyright}")
        endif()
    endforeach()
    run("changelog" gzip -dc ${doc}/changelog.gz)
    if(NOT run_output MATCHES "^stowline \\(${v}\\) .*\n -- [^\n]+  ${commit_date}\n$")
        message(FATAL_ERROR "${package}'s changelog does not name stowline ${VERSION} and the "
                            "date of the last commit (${commit_date}):\n${run_output}")
    endif()
endforeach()
list(SORT packages)
set(wanted ${expected})
list(TRANSFORM wanted REPLACE " .*" "")
list(REMOVE_DUPLICATES wanted)
list(SORT wanted)
if(NOT packages STREQUAL wanted)
    message(FATAL_ERROR "made the packages ${packages} instead of ${wanted}")
endif()

# The menu entry is valid and its icon is in the package.
set(desktop ${WORK_DIR}/root/stowline-host/usr/share/applications/stowline-host.desktop)
if(EXISTS ${desktop})
    run("desktop-file-validate" desktop-file-validate ${desktop})
    file(STRINGS ${desktop} icon REGEX "^Icon=")
    string(REPLACE "Icon=" "" icon "${icon}")
    file(GLOB icons ${WORK_DIR}/root/stowline-host/usr/share/icons/hicolor/*/apps/${icon}.*)
    if(NOT icons)
        message(FATAL_ERROR "stowline-host lacks the icon \"${icon}\" of its menu entry")
    endif()
endif()

# Nothing suppressed: any error, warning or pedantic finding fails. The binaries are built with
# Debian's hardening flags, so lintian's informational hardening tags must be absent too.
run("lintian" lintian --pedantic --display-info --fail-on error,warning,pedantic ${debs})
message(STATUS "lintian:\n${run_output}")
if(run_output MATCHES "hardening-[a-z-]+")
    message(FATAL_ERROR "lintian finds ${CMAKE_MATCH_0}: build with STOWLINE_DEBIAN_BUILD_FLAGS "
                        "(presets dev and package)")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
