# Installs what a Linux user expects beside the binary (its manual page) and
# describes the Debian package `cpack -G DEB` builds from an installed tree.
include_guard(GLOBAL)
include(GNUInstallDirs)

# Debian ships manual pages compressed; -n leaves the name and time out of the
# header so the same page always compresses to the same bytes.
find_program(NETMOTH_GZIP gzip REQUIRED)
set(netmoth_man_page ${PROJECT_SOURCE_DIR}/man/netmoth-companion.1)
set(netmoth_man_page_gz ${PROJECT_BINARY_DIR}/man/netmoth-companion.1.gz)
add_custom_command(
  OUTPUT ${netmoth_man_page_gz}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
  COMMAND ${NETMOTH_GZIP} -9 -n -c ${netmoth_man_page} > ${netmoth_man_page_gz}
  DEPENDS ${netmoth_man_page}
  COMMENT "Compressing the manual page"
  VERBATIM)
add_custom_target(netmoth_man_page ALL DEPENDS ${netmoth_man_page_gz})
install(FILES ${netmoth_man_page_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME netmoth-companion)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Wi-Fi facts as JSON for a calling program")
set(CPACK_PACKAGE_DESCRIPTION
    "netmoth-companion is a one-shot command-line helper for Wi-Fi analysers and
scripts. Each launch does one job and prints one answer on standard output:
the networks around the machine (hidden ones included), the network the
default Wi-Fi interface is joined to, the Wi-Fi interfaces, or the
location-permission state.

On Linux it reads the kernel's nl80211 interface through libnl.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "netmoth-companion maintainers <maintainers@netmoth-companion.invalid>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The run-time libraries (libnl, utf8proc, the C++ runtime) are found by
# dpkg-shlibdeps from what the binary actually links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
