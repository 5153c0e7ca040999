# Debian packages, made from a build tree with `cpack -G DEB`. One package per install component:
#   lib       libstowline2              the shared library and its soname link
#   dev       libstowline-dev           headers, the .so link, CMake package, stowline.pc
#   designer  stowline-designer-plugin  the Qt Designer plugin
#   server    stowline-server           the stand-in SOAP server and its man page
#   host      stowline-host             the demo host, its man page, menu entry and icon: a package
#                                       of its own, since it needs Qt and a display and the server
#                                       neither
# The packages are native ones: the project makes them from its own tree, so their version is
# the project version without a Debian revision. cmake/debian/FinishPackages.cmake completes
# each package between CPack's staging and packing.
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
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The source package all of them come from: the name the changelog gives.
set(CPACK_DEBIAN_PACKAGE_SOURCE stowline)
# dpkg-shlibdeps reads the dependencies from the binaries in FinishPackages.cmake rather than in
# CPack, whose own reading also writes postinst and postrm scripts that call ldconfig, which
# the library's trigger does already.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
# libstowline.so.2, still in the build tree, for the programs' and the plugin's dependencies.
set(CPACK_STOWLINE_SHLIBDEPS_DIRS ${PROJECT_BINARY_DIR}/src)
set(CPACK_STOWLINE_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_STOWLINE_DEBIAN_DIR ${CMAKE_CURRENT_LIST_DIR}/debian)
set(CPACK_STOWLINE_STRIP ${CMAKE_STRIP})
set(CPACK_STOWLINE_HARDENED ${STOWLINE_DEBIAN_BUILD_FLAGS})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian/FinishPackages.cmake)
# A component's DEPENDS (below) become dependencies on those packages at this exact version.
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(stowline_about "Stowline is a Qt 6 Widgets component with which an operator maintains delivery
routes, storage locations and their assignment to centers, kept in a remote
SOAP 1.1 service.")

# CPack 3.25 has no setting for the Multi-Arch field. Its control file is "Field: value" lines,
# so the field goes in as a line of its own after the Source field.
function(stowline_multiarch component value)
    string(TOUPPER ${component} upper)
    set(CPACK_DEBIAN_${upper}_PACKAGE_SOURCE
        "${CPACK_DEBIAN_PACKAGE_SOURCE}\nMulti-Arch: ${value}" PARENT_SCOPE)
endfunction()

set(CPACK_DEBIAN_LIB_PACKAGE_NAME libstowline${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_LIB_PACKAGE_SECTION libs)
# Installable for several architectures side by side: everything lies in the multiarch folder.
stowline_multiarch(lib same)
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
# The headers are the same for every architecture, the rest lies in the multiarch folder.
stowline_multiarch(dev same)
# The public headers include Qt's.
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS qt6-base-dev)
set(CPACK_COMPONENT_DEV_DESCRIPTION "development files of the Stowline widget
${stowline_about}

This package holds the headers, the CMake package (find_package(Stowline))
and the pkg-config file (stowline.pc).")

set(CPACK_DEBIAN_DESIGNER_PACKAGE_NAME stowline-designer-plugin)
set(CPACK_DEBIAN_DESIGNER_PACKAGE_SECTION devel)
# Designer loads the plugin of its own architecture, from the multiarch folder.
stowline_multiarch(designer same)
set(CPACK_DEBIAN_DESIGNER_PACKAGE_SUGGESTS designer-qt6)
# Forms that place the component are built against its development files.
set(CPACK_DEBIAN_DESIGNER_PACKAGE_RECOMMENDS libstowline-dev)
set(CPACK_COMPONENT_DESIGNER_DESCRIPTION "Qt Designer plugin for the Stowline widget
${stowline_about}

This package offers the component in Qt Designer's widget box, so that forms
can place it like any other widget.")

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME stowline-server)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
# A program: it serves clients of any architecture.
stowline_multiarch(server foreign)
set(CPACK_COMPONENT_SERVER_DESCRIPTION "stand-in SOAP service for the Stowline widget
A SOAP 1.1 service over HTTP or HTTPS that keeps facilities, routes, storage
locations and centers in an SQLite database, for demonstrations and tests of
hosts of the Stowline widget.")

set(CPACK_DEBIAN_HOST_PACKAGE_NAME stowline-host)
set(CPACK_DEBIAN_HOST_PACKAGE_SECTION x11)
stowline_multiarch(host foreign)
set(CPACK_COMPONENT_HOST_DESCRIPTION "demo application around the Stowline widget
${stowline_about}

This package holds a main window around the component that loads its data
from a Stowline SOAP service such as stowline-server, with its menu entry.")

# The packages of the parts this tree builds.
set(CPACK_COMPONENTS_ALL lib dev)
set(optional_components designer server host)
set(optional_targets stowline_designer stowline-server stowline-host)
foreach(component target IN ZIP_LISTS optional_components optional_targets)
    if(TARGET ${target})
        list(APPEND CPACK_COMPONENTS_ALL ${component})
    endif()
endforeach()

include(CPack)
cpack_add_component(lib)
cpack_add_component(dev DEPENDS lib)
cpack_add_component(designer DEPENDS lib)
cpack_add_component(server)
cpack_add_component(host DEPENDS lib)
