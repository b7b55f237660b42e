# The Debian package, built by CPack from this build's install rules:
#   cpack --config build/CPackConfig.cmake -B build/package
# (scripts/package.sh does that). Everything it holds comes from the
# install() rules; the version is the project version, the one --version
# prints. Included once the targets and their install rules exist.

set(DSP_PACKAGE_MAINTAINER "DSP Control developers <dsp-control@example.org>"
    CACHE STRING "Maintainer field of the Debian package (Name <address>)")

# The copyright and the changelog (a native Debian package's
# changelog.gz) in the program's doc folder; `cmake --install` puts them
# there as well.
set(DSP_PACKAGE_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/dsp-control)
string(TIMESTAMP DSP_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(data/package/changelog.in ${CMAKE_BINARY_DIR}/package/changelog @ONLY)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/package/changelog.gz
  COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/package/changelog > ${CMAKE_BINARY_DIR}/package/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/package/changelog
  VERBATIM)
add_custom_target(package_docs ALL DEPENDS ${CMAKE_BINARY_DIR}/package/changelog.gz)
install(FILES data/package/copyright ${CMAKE_BINARY_DIR}/package/changelog.gz
        DESTINATION ${DSP_PACKAGE_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dsp-control)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "DSP Control developers")
set(CPACK_PACKAGE_CONTACT "${DSP_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "remote front panel for a digital audio effect processor")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "dsp-control is the front panel, on the computer, of a karaoke and home-theatre\n"
    "digital audio effect processor attached over a serial port or behind a\n"
    "serial-over-network server (tcp:// or rfc2217://). It finds the processor,\n"
    "downloads every parameter, shows them on eight pages with equaliser graphs,\n"
    "and sends every change back live. Whole settings are kept as preset files;\n"
    "the processor's stored modes, volumes, passwords and keyboard lock are\n"
    "handled too.\n"
    ".\n"
    "Given a command, it runs without a window: info, backup, restore and\n"
    "mode commands for scripts that look after many rooms; rooms, which runs\n"
    "info, backup, check or restore on every room of a venue at once; serve,\n"
    "an HTTP API and browser dashboard for the front desk; and export, import,\n"
    "diff and report, which turn whole settings into JSON documents, lists of\n"
    "differences and PDF reports.\n"
    ".\n"
    "The package also holds dsp-emulator, which plays the processor on a\n"
    "pseudo-terminal for trying the program without hardware.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends: from the shared libraries the programs link (dpkg-shlibdeps), so
# it names the Qt 6 packages of the distribution the package is built on.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# No homepage field: the project has none yet.
unset(CPACK_DEBIAN_PACKAGE_HOMEPAGE)
include(CPack)
