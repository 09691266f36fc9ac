# Windows has a layout and an installer of its own.
if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/WindowsInstall.cmake)
    return()
endif()

# Installed layout: the programs and the device simulator in bin, the desktop
# entry, icons and AppStream metainfo in their freedesktop places, the command
# line's completion where bash-completion looks for it (its manual page is
# installed by ovlix_add_man_page).
install(TARGETS OvlixSetup ovlix ovlix-devsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The ARP helper and the polkit action that lets pkexec start it: the action
# names the helper by the path the programs start it by (OVLIX_ARP_HELPER).
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    get_filename_component(helper_dir ${OVLIX_ARP_HELPER} DIRECTORY)
    install(TARGETS ovlix-arp-helper RUNTIME DESTINATION ${helper_dir})
    configure_file(data/io.github.ovlixsetup.arp-entry.policy.in
                   ${CMAKE_BINARY_DIR}/polkit/io.github.ovlixsetup.arp-entry.policy @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/polkit/io.github.ovlixsetup.arp-entry.policy
            DESTINATION ${CMAKE_INSTALL_DATADIR}/polkit-1/actions)
endif()
install(FILES data/ovlix.bash-completion DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME ovlix)

# The AppStream id, in reverse-DNS form; the desktop entry, the metainfo and
# the installed icons are named after it.
set(OVLIX_APP_ID io.github.ovlixsetup.ovlixsetup)
install(FILES data/${OVLIX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/${OVLIX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES resources/ovlixsetup.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${OVLIX_APP_ID}.svg)
foreach(size 16 32 48 64 128 256)
    install(FILES resources/icons/hicolor/${size}x${size}/apps/ovlixsetup.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${OVLIX_APP_ID}.png)
endforeach()

# Documentation where Debian keeps it: the README with its screenshots, the
# copyright file and the changelog; and OvlixSetup's manual page, written by
# hand since it takes no arguments.
set(OVLIX_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/ovlixsetup)
install(FILES README.md debian/copyright DESTINATION ${OVLIX_DOCDIR})
install(DIRECTORY docs/screenshots DESTINATION ${OVLIX_DOCDIR}/docs)
ovlix_install_gzipped(${CMAKE_SOURCE_DIR}/debian/changelog ${OVLIX_DOCDIR})
configure_file(docs/OvlixSetup.1.in ${CMAKE_BINARY_DIR}/man/OvlixSetup.1 @ONLY)
ovlix_install_gzipped(${CMAKE_BINARY_DIR}/man/OvlixSetup.1 ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package: the Qt libraries come from what the programs link, the
# tools from what the network setup starts, the font from what the windows'
# look is measured with; pkexec for a user without the right, and Qt's Wayland
# platform for native windows on a Wayland desktop. It installs where the
# programs look for the helper.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ovlixsetup)
set(CPACK_PACKAGE_VENDOR "OvlixSetup developers")
set(CPACK_PACKAGE_CONTACT "OvlixSetup developers <ovlixsetup@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Set up and operate an Ovlix network I/O board")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "OvlixSetup checks that an Ovlix device answers at an address and shows its\n"
    "firmware version, gives a freshly reset device a static IP address through\n"
    "a static ARP entry, edits and uploads the device's eight X10 labels,\n"
    "sends single X10 commands (On, Off, Query) through the device, and finds\n"
    "the devices on the networks this PC is on. Everything it does is written\n"
    "to a time-stamped log.\n"
    "\n"
    "The package also holds ovlix, which does the same from a command line\n"
    "(verify, x10, labels show, labels send, find, setup), and ovlix-devsim, a\n"
    "simulator of the device's web pages, to try both without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://ovlixsetup.github.io/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "net-tools, iputils-ping, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pkexec, qt6-wayland")
include(CPack)
