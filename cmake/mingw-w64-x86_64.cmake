# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads).
# Used both to build Qt for Windows (scripts/build-qt-windows.sh) and to build
# tavrin against it. Programs (moc, rcc, uic) come from the host; packages,
# libraries and headers are searched in the target roots and on the host, as
# Qt's cross build finds its host tools through the host's CMake packages.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAVRIN_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAVRIN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVRIN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVRIN_MINGW_TRIPLE}-windres)

# Qt for Windows as scripts/build-qt-windows.sh installs it: named by
# TAVRIN_QT_WINDOWS, else the newest such tree in the user's cache folder.
if(DEFINED ENV{TAVRIN_QT_WINDOWS})
    set(TAVRIN_QT_WINDOWS $ENV{TAVRIN_QT_WINDOWS})
else()
    if(DEFINED ENV{XDG_CACHE_HOME})
        set(_tavrin_cache $ENV{XDG_CACHE_HOME}/tavrin)
    else()
        set(_tavrin_cache $ENV{HOME}/.cache/tavrin)
    endif()
    file(GLOB _tavrin_qt_trees LIST_DIRECTORIES true ${_tavrin_cache}/qt-*-mingw64)
    if(_tavrin_qt_trees)
        list(SORT _tavrin_qt_trees)
        list(GET _tavrin_qt_trees -1 TAVRIN_QT_WINDOWS)
    endif()
endif()

list(APPEND CMAKE_FIND_ROOT_PATH /usr/${TAVRIN_MINGW_TRIPLE})
if(TAVRIN_QT_WINDOWS)
    list(APPEND CMAKE_FIND_ROOT_PATH ${TAVRIN_QT_WINDOWS})
    list(APPEND CMAKE_PREFIX_PATH ${TAVRIN_QT_WINDOWS})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
