# Debian packages, made from a build tree with `cpack -G DEB`. One package per install component:
#   lib       libstowline2              the shared library and its soname link
#   dev       libstowline-dev           headers, the .so link, CMake package, stowline.pc
#   designer  stowline-designer-plugin  the Qt Designer plugin
#   server    stowline-server           the stand-in SOAP server and its man page
#   host      stowline-host             the demo host and its man page: a package of its own,
#                                       since it needs Qt and a display and the server neither
set(STOWLINE_PACKAGE_MAINTAINER "Stowline developers <stowline@example.org>"
    CACHE STRING "Maintainer field of the Debian packages")

set(CPACK_PACKAGE_NAME stowline)
set(CPACK_PACKAGE_VENDOR Stowline)
set(CPACK_PACKAGE_CONTACT ${STOWLINE_PACKAGE_MAINTAINER})
# Each package's summary is the first line of its own description, not the project's.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps looks for libstowline.so.2 while the library is still in the build tree.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/src)
# A component's DEPENDS (below) become dependencies on those packages at this exact version.
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(stowline_debian_version ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
set(stowline_about "Stowline is a Qt 6 Widgets component with which an operator maintains delivery
routes, storage locations and their assignment to centers, kept in a remote
SOAP 1.1 service.")

set(CPACK_DEBIAN_LIB_PACKAGE_NAME libstowline${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_LIB_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_LIB_DESCRIPTION "embeddable Qt widget for route and bay reference data
${stowline_about}

This package holds the shared library.")
# shlibs lets other packages' dpkg-shlibdeps depend on the library (any later 2.x keeps its
# ABI); the trigger has dpkg refresh the loader's cache.
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/shlibs.in ${PROJECT_BINARY_DIR}/debian/shlibs
               @ONLY)
file(WRITE ${PROJECT_BINARY_DIR}/debian/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_LIB_PACKAGE_CONTROL_EXTRA
    ${PROJECT_BINARY_DIR}/debian/shlibs ${PROJECT_BINARY_DIR}/debian/triggers)

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libstowline-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
# The public headers include Qt's.
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS qt6-base-dev)
set(CPACK_COMPONENT_DEV_DESCRIPTION "development files of the Stowline widget
${stowline_about}

This package holds the headers, the CMake package (find_package(Stowline))
and the pkg-config file (stowline.pc).")

set(CPACK_DEBIAN_DESIGNER_PACKAGE_NAME stowline-designer-plugin)
set(CPACK_DEBIAN_DESIGNER_PACKAGE_SECTION devel)
set(CPACK_COMPONENT_DESIGNER_DESCRIPTION "Qt Designer plugin for the Stowline widget
${stowline_about}

This package offers the component in Qt Designer's widget box, so that forms
can place it like any other widget.")

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME stowline-server)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
set(CPACK_COMPONENT_SERVER_DESCRIPTION "stand-in SOAP service for the Stowline widget
A SOAP 1.1 service over HTTP or HTTPS that keeps facilities, routes, storage
locations and centers in an SQLite database, for demonstrations and tests of
hosts of the Stowline widget.")

set(CPACK_DEBIAN_HOST_PACKAGE_NAME stowline-host)
set(CPACK_DEBIAN_HOST_PACKAGE_SECTION misc)
set(CPACK_COMPONENT_HOST_DESCRIPTION "demo application around the Stowline widget
${stowline_about}

This package holds a main window around the component that loads its data
from a Stowline SOAP service such as stowline-server.")

# The packages of the parts this tree builds.
set(CPACK_COMPONENTS_ALL lib dev)
set(optional_components designer server host)
set(optional_targets stowline_designer stowline-server stowline-host)
foreach(component target IN ZIP_LISTS optional_components optional_targets)
    if(TARGET ${target})
        list(APPEND CPACK_COMPONENTS_ALL ${component})
    endif()
endforeach()

# Each package carries the copyright file and a changelog in usr/share/doc/<package>, as Debian
# requires; a plain `cmake --install` leaves them out (EXCLUDE_FROM_ALL).
string(TIMESTAMP stowline_package_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in
               ${PROJECT_BINARY_DIR}/debian/changelog.Debian @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz
    COMMAND gzip -9nkf ${PROJECT_BINARY_DIR}/debian/changelog.Debian
    DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.Debian VERBATIM)
add_custom_target(stowline_debian_changelog ALL
    DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
foreach(component IN LISTS CPACK_COMPONENTS_ALL)
    string(TOUPPER ${component} upper)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright
                  ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME}
            COMPONENT ${component} EXCLUDE_FROM_ALL)
endforeach()

include(CPack)
cpack_add_component(lib)
cpack_add_component(dev DEPENDS lib)
cpack_add_component(designer DEPENDS lib)
cpack_add_component(server)
cpack_add_component(host DEPENDS lib)
