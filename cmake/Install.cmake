# Installed layout: the programs and the device simulator in bin, the desktop
# entry, icons and AppStream metainfo in their freedesktop places, the command
# line's completion where bash-completion looks for it (its manual page is
# installed by ovlix_add_man_page).
install(TARGETS OvlixSetup ovlix ovlix-devsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/ovlix.bash-completion DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME ovlix)
install(FILES data/ovlixsetup.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/ovlixsetup.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES resources/ovlixsetup.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
    install(FILES resources/icons/hicolor/${size}x${size}/apps/ovlixsetup.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# On Windows the install step also copies in the Qt libraries (windeployqt).
if(WIN32)
    qt_generate_deploy_app_script(TARGET OvlixSetup OUTPUT_SCRIPT deploy_script
                                  NO_UNSUPPORTED_PLATFORM_ERROR)
    install(SCRIPT ${deploy_script})
endif()

# The Debian package: the Qt libraries come from what the programs link, the
# tools from what the network setup starts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ovlixsetup)
set(CPACK_PACKAGE_VENDOR "OvlixSetup developers")
set(CPACK_PACKAGE_CONTACT "OvlixSetup developers <ovlixsetup@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Set up and operate an Ovlix network I/O board")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "net-tools, iputils-ping")
include(CPack)
