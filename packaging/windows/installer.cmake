# The Windows packages (cpack -G NSIS or -G ZIP in the build directory): the
# program, the Qt libraries and plugins it loads, the mingw-w64 runtime and
# the licences, in one folder, as Qt looks for its plugins beside the
# program. The installer adds a Start-menu entry with the icon and an
# uninstaller; the zip is the same folder to run from anywhere.
find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets)

if(TARGET tavrin)
    install(TARGETS tavrin RUNTIME DESTINATION .)
endif()
set(_libraries)
foreach(module Core Gui Widgets)
    install(FILES ${QT6_INSTALL_PREFIX}/bin/Qt6${module}.dll DESTINATION .)
    list(APPEND _libraries Qt6${module}.dll)
endforeach()
install(FILES ${TAVRIN_MINGW_DLLS} DESTINATION .)
foreach(dll IN LISTS TAVRIN_MINGW_DLLS)
    get_filename_component(_name ${dll} NAME)
    list(APPEND _libraries ${_name})
endforeach()
install(FILES ${QT6_INSTALL_PREFIX}/plugins/platforms/qwindows.dll DESTINATION platforms)
install(FILES ${QT6_INSTALL_PREFIX}/plugins/styles/qwindowsvistastyle.dll DESTINATION styles)
list(APPEND _libraries platforms/qwindows.dll styles/qwindowsvistastyle.dll)

# The libraries come with their debug data (libstdc++ alone is 24 MB of which
# 22 MB are debug data); a stripped install (every package) drops it, as it
# drops the program's.
find_program(TAVRIN_MINGW_STRIP NAMES ${CMAKE_STRIP} ${TAVRIN_MINGW_TRIPLE}-strip REQUIRED)
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(library ${_libraries})
            execute_process(COMMAND \"${TAVRIN_MINGW_STRIP}\" --strip-unneeded
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${library}\"
                COMMAND_ERROR_IS_FATAL ANY)
        endforeach()
    endif()")

# --- Licences: tavrin's, and those of the libraries beside it -------------
# Named after the Debian packages they are built from, with their versions,
# so that their sources can be had. Text files with Windows line ends.
get_filename_component(_qt_tree "${QT6_INSTALL_PREFIX}" NAME)
string(REGEX REPLACE "^qt-(.*)-mingw64$" "\\1" TAVRIN_QT_DEBIAN_VERSION "${_qt_tree}")
set(TAVRIN_QT_VERSION ${Qt6_VERSION})
foreach(pair "GCC_RUNTIME|gcc-mingw-w64-x86-64-posix-runtime" "MINGW|mingw-w64-x86-64-dev")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 var)
    list(GET pair 1 package)
    execute_process(COMMAND dpkg-query -W -f=\${Version} ${package}
        OUTPUT_VARIABLE TAVRIN_${var}_VERSION OUTPUT_STRIP_TRAILING_WHITESPACE
        COMMAND_ERROR_IS_FATAL ANY)
endforeach()
set(_licenses ${CMAKE_CURRENT_BINARY_DIR}/licenses)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${_licenses}/COPYING.txt @ONLY NEWLINE_STYLE WIN32)
configure_file(windows/COPYING.LESSER.txt ${_licenses}/COPYING.LESSER.txt @ONLY NEWLINE_STYLE WIN32)
configure_file(windows/THIRD-PARTY-NOTICES.txt.in ${_licenses}/THIRD-PARTY-NOTICES.txt @ONLY
    NEWLINE_STYLE WIN32)
install(FILES ${_licenses}/COPYING.txt ${_licenses}/COPYING.LESSER.txt
    ${_licenses}/THIRD-PARTY-NOTICES.txt DESTINATION licenses)

set(CPACK_GENERATOR NSIS ZIP)
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
set(CPACK_RESOURCE_FILE_LICENSE ${_licenses}/COPYING.txt)
# An earlier installation is removed by installer.nsh, which first makes sure
# that the program is closed and stops when the old uninstaller fails.
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL OFF)
# In single quotes: CPack does not carry double quotes through to the script.
string(APPEND CPACK_NSIS_DEFINES "\n!include '${CMAKE_CURRENT_SOURCE_DIR}/windows/installer.nsh'")
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS "!insertmacro TAVRIN_BEFORE_INSTALL")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "!insertmacro TAVRIN_COMPLETE_UNINSTALL_ENTRY")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "!insertmacro TAVRIN_BEFORE_UNINSTALL")
# The Start-menu entry: tavrin.exe lies in the installation folder itself.
set(CPACK_PACKAGE_EXECUTABLES tavrin tavrin)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
include(CPack)

if(TAVRIN_BUILD_TESTS AND TARGET tavrin)
    add_test(NAME packaging_installer
        COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/check-installer.sh
            ${CMAKE_CPACK_COMMAND} ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
    set_tests_properties(packaging_installer PROPERTIES TIMEOUT 600)
endif()
