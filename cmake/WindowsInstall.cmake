# Installed layout on Windows: one folder under Program Files with the three
# programs, the Qt libraries and plugins that they load, the compiler's
# runtime and the README. A cross build has no windeployqt, so the files it
# would copy are named here.
install(TARGETS OvlixSetup ovlix ovlix-devsim RUNTIME DESTINATION .)
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Network
        RUNTIME DESTINATION .)
# Qt looks for its plugins in folders beside the program.
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsIntegrationPlugin LIBRARY DESTINATION platforms)
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsVistaStylePlugin LIBRARY DESTINATION styles)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    foreach(runtime libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                        OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
        install(FILES ${runtime_path} DESTINATION .)
    endforeach()
else()
    set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION .)
    include(InstallRequiredSystemLibraries)
endif()
install(FILES README.md DESTINATION .)
install(DIRECTORY docs/screenshots DESTINATION docs)

# The installer: NSIS, a 64-bit one for the 64-bit programs, with a Start
# menu entry for the windowed program and an uninstaller.
set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME OvlixSetup)
set(CPACK_PACKAGE_VENDOR "OvlixSetup developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Set up and operate an Ovlix network I/O board")
set(CPACK_SYSTEM_NAME win64)
# The program knows this folder as its installed one (src/core/OvlixConfig.h.in).
set(CPACK_PACKAGE_INSTALL_DIRECTORY ${PROJECT_NAME})
set(CPACK_PACKAGE_EXECUTABLES OvlixSetup OvlixSetup)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_INSTALLED_ICON_NAME OvlixSetup.exe)
set(CPACK_NSIS_DISPLAY_NAME OvlixSetup)
set(CPACK_NSIS_PACKAGE_NAME OvlixSetup)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# A 64-bit installer, which Windows and a 64-bit Wine run alike. The target is
# set in the script: CPack splits makensis's extra arguments at blanks.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_MENU_LINKS README.md README)
set(CPACK_STRIP_FILES ON)
include(CPack)
