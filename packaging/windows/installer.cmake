# The Windows installer (cpack -G NSIS in the build directory): the program,
# the Qt libraries and plugins it loads, the mingw-w64 runtime, a Start-menu
# entry with the icon, and an uninstaller. Everything lies in one folder, as
# Qt looks for its plugins beside the program.
find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets)

if(TARGET tavrin)
    install(TARGETS tavrin RUNTIME DESTINATION .)
endif()
foreach(module Core Gui Widgets)
    install(FILES ${QT6_INSTALL_PREFIX}/bin/Qt6${module}.dll DESTINATION .)
endforeach()
install(FILES ${TAVRIN_MINGW_DLLS} DESTINATION .)
install(FILES ${QT6_INSTALL_PREFIX}/plugins/platforms/qwindows.dll DESTINATION platforms)
install(FILES ${QT6_INSTALL_PREFIX}/plugins/styles/qwindowsvistastyle.dll DESTINATION styles)

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME tavrin)
set(CPACK_PACKAGE_VENDOR "tavrin developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "savings and investment interest calculator")
set(CPACK_PACKAGE_FILE_NAME tavrin-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY tavrin)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY tavrin)
set(CPACK_STRIP_FILES ON)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# A 64-bit installer for a 64-bit program: it needs no 32-bit subsystem.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_PACKAGE_NAME "tavrin ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "tavrin ${PROJECT_VERSION}")
set(CPACK_NSIS_MUI_ICON ${CMAKE_CURRENT_SOURCE_DIR}/icons/tavrin.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_CURRENT_SOURCE_DIR}/icons/tavrin.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME tavrin.exe)
set(CPACK_NSIS_CONTACT tavrin@example.org)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The Start-menu entry: tavrin.exe lies in the installation folder itself.
set(CPACK_PACKAGE_EXECUTABLES tavrin tavrin)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
include(CPack)

if(TAVRIN_BUILD_TESTS AND TARGET tavrin)
    add_test(NAME packaging_installer
        COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/check-installer.sh
            ${CMAKE_CPACK_COMMAND} ${CMAKE_BINARY_DIR} tavrin-${PROJECT_VERSION}-win64.exe)
    set_tests_properties(packaging_installer PROPERTIES TIMEOUT 600)
endif()
