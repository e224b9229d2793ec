# Debian packages made by CPack (cpack -G DEB in a build configured with
# CMAKE_INSTALL_PREFIX=/usr): libkovan3 (the shared library), libkovan-dev
# (the header, the library's link name, the CMake package and the pkg-config
# file) and kovan-tools (the kovan tool and its man page), named and
# versioned as Debian names them, their dependencies found by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME kovan)
set(CPACK_PACKAGE_VENDOR "kovan")
set(CPACK_PACKAGE_CONTACT "kovan developers <kovan-developers@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Read, re-encode and write CalculiX FRD result files")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime development tools)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY "=")
# The tool's libkovan.so.3 comes from libkovan3 of this build: dpkg-shlibdeps
# finds it here (and so lists no package for it), the tool names it itself.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/kovan-frd/kovan")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libkovan${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "CalculiX FRD result files: the shared library
 kovan reads CalculiX FRD result files (ASCII and binary, whole or still being
 written), gives meshes the way VTK holds them, decodes result blocks exactly,
 and re-encodes and writes FRD files, through a plain C interface.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libkovan-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "libkovan${PROJECT_VERSION_MAJOR} (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "CalculiX FRD result files: development files
 The header kovan.h, the link name of the shared library, a CMake package
 (find_package(kovan) gives kovan::kovan) and a pkg-config file (kovan).")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME kovan-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION science)
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "libkovan${PROJECT_VERSION_MAJOR} (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_TOOLS_DESCRIPTION "CalculiX FRD result files: the kovan tool
 kovan info summarises a file (blocks, mesh, steps, arrays, diagnostics),
 kovan check reports its problems, kovan convert re-encodes it.")

include(CPack)
