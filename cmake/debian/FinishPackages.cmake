# CPack pre-build script of the Debian packages (CPACK_PRE_BUILD_SCRIPTS): runs once CPack has
# installed every package's files into its staging folder, before it packs them, and does what
# Debian's packaging helpers do at that point. For every package:
#   - the copyright file and the changelog go into usr/share/doc/<package>;
#   - ELF files lose their .comment and .note sections (CPack strips only the symbols);
#   - every file under etc/ becomes a conffile, so that dpkg keeps the administrator's changes;
#   - dpkg-shlibdeps reads the dependencies from the binaries.
# The changelog is dated by SOURCE_DATE_EPOCH, the time of the last commit unless the
# environment sets it, so that it is the same in every architecture's packages. A tree without
# its git history (a release tarball made by git archive) has the last commit's time as the time
# of its files.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
if(NOT CPACK_STOWLINE_HARDENED)
    message(FATAL_ERROR "Debian packages are built with Debian's hardening flags: configure "
                        "with -DSTOWLINE_DEBIAN_BUILD_FLAGS=ON (needs dpkg-buildflags)")
endif()

if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C ${CPACK_STOWLINE_SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT epoch MATCHES "^[0-9]+$")
        file(TIMESTAMP ${CPACK_STOWLINE_SOURCE_DIR}/CMakeLists.txt epoch "%s" UTC)
    endif()
    set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()
# TIMESTAMP takes SOURCE_DATE_EPOCH when it is set.
string(TIMESTAMP changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)

set(work ${CPACK_TOPLEVEL_DIRECTORY}/debian-finish)
file(REMOVE_RECURSE ${work})
file(READ ${CPACK_STOWLINE_DEBIAN_DIR}/changelog.in changelog)
string(CONFIGURE "${changelog}" changelog @ONLY)
file(WRITE ${work}/changelog "${changelog}")
# A native package's changelog: changelog.gz, compressed without name or time stamp.
execute_process(COMMAND gzip -9n ${work}/changelog COMMAND_ERROR_IS_FATAL ANY)
# dpkg-shlibdeps runs in the top folder of a source package, which has debian/control.
file(WRITE ${work}/debian/control "")
list(TRANSFORM CPACK_STOWLINE_SHLIBDEPS_DIRS PREPEND -l OUTPUT_VARIABLE private_dirs)

foreach(component IN LISTS CPACK_COMPONENTS_ALL)
    string(TOUPPER ${component} upper)
    set(root ${CPACK_TEMPORARY_DIRECTORY}/${component})
    set(package ${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
    file(COPY ${CPACK_STOWLINE_DEBIAN_DIR}/copyright ${work}/changelog.gz
         DESTINATION ${root}${CPACK_PACKAGING_INSTALL_PREFIX}/share/doc/${package}
         FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${root} ${root}/*)
    set(binaries)
    set(conffiles)
    foreach(file IN LISTS files)
        if(IS_SYMLINK ${root}/${file})
            continue()
        endif()
        file(READ ${root}/${file} magic LIMIT 4 HEX)
        if(magic STREQUAL "7f454c46")
            list(APPEND binaries ${root}/${file})
        endif()
        if(file MATCHES "^etc/")
            string(APPEND conffiles "/${file}\n")
        endif()
    endforeach()

    if(conffiles)
        file(WRITE ${work}/${component}/conffiles "${conffiles}")
        list(APPEND CPACK_DEBIAN_${upper}_PACKAGE_CONTROL_EXTRA ${work}/${component}/conffiles)
    endif()
    if(binaries)
        execute_process(COMMAND ${CPACK_STOWLINE_STRIP} --remove-section=.comment
                                --remove-section=.note ${binaries} COMMAND_ERROR_IS_FATAL ANY)
        # DEBIAN marks the package's root, where an $ORIGIN run path starts. The warning that
        # the binaries are not under debian/<package> is expected here and dropped.
        file(MAKE_DIRECTORY ${root}/DEBIAN)
        execute_process(COMMAND dpkg-shlibdeps -O --ignore-missing-info ${private_dirs} ${binaries}
                        WORKING_DIRECTORY ${work} OUTPUT_VARIABLE substvars
                        ERROR_VARIABLE warnings RESULT_VARIABLE failed)
        file(REMOVE_RECURSE ${root}/DEBIAN)
        if(failed)
            message(FATAL_ERROR "dpkg-shlibdeps failed for ${package}:\n${warnings}")
        endif()
        if(substvars MATCHES "shlibs:Depends=([^\n]+)")
            set(depends ${CPACK_DEBIAN_${upper}_PACKAGE_DEPENDS} ${CMAKE_MATCH_1})
            list(JOIN depends ", " CPACK_DEBIAN_${upper}_PACKAGE_DEPENDS)
        endif()
    endif()
endforeach()
