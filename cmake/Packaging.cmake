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

# Debian's copyright file, in its machine-readable format (DEP-5), made from
# LICENSE so the two always agree: the copyright line and the permission notice.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_LIST_DIR}/changelog.Debian)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE netmoth_license)
if(NOT netmoth_license MATCHES "\nCopyright \\(c\\) ([^\n]+)\n\n(.+)$")
  message(FATAL_ERROR "LICENSE has no 'Copyright (c) ...' line followed by the permission notice")
endif()
set(netmoth_copyright_holder "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" netmoth_license_text)
string(REGEX REPLACE "\n\n" "\n.\n" netmoth_license_text "${netmoth_license_text}")
string(REPLACE "\n" "\n " netmoth_license_text "${netmoth_license_text}")
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/package/copyright CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${PROJECT_NAME}

Files: *
Copyright: ${netmoth_copyright_holder}
License: Expat
 ${netmoth_license_text}
" @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/package/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The package's changelog, written by hand (its dates are the releases', never
# the build's); its newest entry must be the version being packaged.
set(netmoth_deb_release 1)
set(netmoth_changelog ${CMAKE_CURRENT_LIST_DIR}/changelog.Debian)
file(STRINGS ${netmoth_changelog} netmoth_changelog_top LIMIT_COUNT 1)
if(NOT netmoth_changelog_top MATCHES "^${PROJECT_NAME} \\(${PROJECT_VERSION}-${netmoth_deb_release}\\) ")
  message(FATAL_ERROR "${netmoth_changelog} starts with '${netmoth_changelog_top}', "
                      "not an entry for ${PROJECT_VERSION}-${netmoth_deb_release}: add one")
endif()
set(netmoth_changelog_gz ${PROJECT_BINARY_DIR}/package/changelog.Debian.gz)
add_custom_command(
  OUTPUT ${netmoth_changelog_gz}
  COMMAND ${NETMOTH_GZIP} -9 -n -c ${netmoth_changelog} > ${netmoth_changelog_gz}
  DEPENDS ${netmoth_changelog}
  COMMENT "Compressing the Debian changelog"
  VERBATIM)
add_custom_target(netmoth_changelog ALL DEPENDS ${netmoth_changelog_gz})
install(FILES ${netmoth_changelog_gz} DESTINATION ${CMAKE_INSTALL_DOCDIR})

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
set(CPACK_DEBIAN_PACKAGE_RELEASE ${netmoth_deb_release})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The netmoth-companion developers <packaging@netmoth-companion.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The run-time libraries (libnl, utf8proc, the C++ runtime) are found by
# dpkg-shlibdeps from what the binary actually links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded only when a scan asks the network manager over D-Bus, so no
# dependency tool sees it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libsystemd0")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
