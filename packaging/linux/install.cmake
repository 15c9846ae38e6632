# Installation on Linux (program, desktop entry, icons, manual page, AppStream
# metadata, licence and changelogs) and the Debian package made from it.
include(${PROJECT_SOURCE_DIR}/cmake/changelog.cmake)
tavrin_read_changelog(${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_VERSION})

# The AppStream component ID: the project's mail domain (example.org, as in
# the maintainer address) reversed, then the program's name. Software centres
# key ratings and installs on it, so it does not change once published.
set(TAVRIN_APPSTREAM_ID org.example.tavrin)
set(TAVRIN_MAINTAINER "tavrin developers <tavrin@example.org>" CACHE STRING
    "Maintainer named in the Debian package")
set(TAVRIN_FONT_PACKAGE "fonts-liberation" CACHE STRING
    "Debian package of the font the window uses; the package depends on it")
# The package's own revision of the release: the Debian changelog belongs to it.
set(TAVRIN_DEB_RELEASE 1)
set(TAVRIN_DEB_VERSION ${PROJECT_VERSION}-${TAVRIN_DEB_RELEASE})

# --- Generated documents ---------------------------------------------------
set(_out ${CMAKE_CURRENT_BINARY_DIR}/linux)
execute_process(COMMAND date -u -R -d "${TAVRIN_RELEASE_DATE} 12:00"
    OUTPUT_VARIABLE TAVRIN_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
configure_file(linux/metainfo.xml.in ${_out}/${TAVRIN_APPSTREAM_ID}.metainfo.xml @ONLY)
configure_file(linux/copyright.in ${_out}/copyright @ONLY)
configure_file(linux/changelog.Debian.in ${_out}/changelog.Debian @ONLY)
configure_file(linux/tavrin.1.in ${_out}/tavrin.1 @ONLY)

# Debian wants manual pages and changelogs compressed at the highest level,
# without a time stamp, so that the package builds the same every time.
find_program(GZIP gzip REQUIRED)
set(_compressed)
foreach(pair "tavrin.1|${_out}/tavrin.1" "changelog|${PROJECT_SOURCE_DIR}/CHANGELOG.md"
        "changelog.Debian|${_out}/changelog.Debian")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 name)
    list(GET pair 1 source)
    add_custom_command(OUTPUT ${_out}/${name}.gz
        COMMAND ${GZIP} -9nc ${source} > ${_out}/${name}.gz
        DEPENDS ${source} VERBATIM)
    list(APPEND _compressed ${_out}/${name}.gz)
endforeach()
add_custom_target(tavrin_documents ALL DEPENDS ${_compressed})

# --- Installation ----------------------------------------------------------
if(TARGET tavrin)
    install(TARGETS tavrin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    # A stripped install (cmake --install --strip, and every package) drops
    # the compiler's version notes too, as Debian's own packages do.
    install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
            execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tavrin\"
                COMMAND_ERROR_IS_FATAL ANY)
        endif()")
endif()
install(FILES tavrin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_out}/${TAVRIN_APPSTREAM_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES icons/tavrin.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS TAVRIN_ICON_SIZES)
    install(FILES icons/tavrin-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME tavrin.png)
endforeach()
install(FILES ${_out}/tavrin.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_out}/copyright ${_out}/changelog.gz ${_out}/changelog.Debian.gz
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES linux/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
    RENAME tavrin)

# --- Debian package (cpack -G DEB in the build directory) -----------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TAVRIN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "savings and investment interest calculator")
# Debian wants the long description in lines of at most 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "A small desktop calculator for savings and investment interest. It finds"
    "the investment period, the final capital, the interest for some days, the"
    "final capital of an investment with a different rate each year, and the"
    "interest rate that turns a starting capital into a final capital."
    "The interface speaks German, English, Italian and French; results can be"
    "appended to a text file.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TAVRIN_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TAVRIN_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links, with their versions, as dpkg-shlibdeps
# finds them; two packages it cannot see are named by hand: qt6-qpa-plugins
# holds the X11 and Wayland platform plugins (libqt6gui6 only recommends it,
# and without it the program cannot open its window), and the window's font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(_qt "${Qt6_VERSION_MAJOR}.${Qt6_VERSION_MINOR}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins (>= ${_qt}), ${TAVRIN_FONT_PACKAGE}")
include(CPack)
