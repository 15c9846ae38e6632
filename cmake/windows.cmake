# The Windows build, cross-compiled with mingw-w64: the runtime DLLs the
# program needs beside it, Wine to run its tests, and the program file's
# resources.
set(TAVRIN_MINGW_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE _path OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(_path "${_path}" REALPATH)
    if(NOT EXISTS "${_path}")
        message(FATAL_ERROR "${dll} of the mingw-w64 runtime not found")
    endif()
    list(APPEND TAVRIN_MINGW_DLLS ${_path})
endforeach()

if(CMAKE_CROSSCOMPILING)
    set(_dirs)
    foreach(dll IN LISTS TAVRIN_MINGW_DLLS)
        get_filename_component(_dir ${dll} DIRECTORY)
        list(APPEND _dirs ${_dir})
    endforeach()
    list(REMOVE_DUPLICATES _dirs)
    string(JOIN ":" _dirs ${_dirs})
    # Every test program runs under Wine; scripts/with-wine.sh gives the session.
    set(CMAKE_CROSSCOMPILING_EMULATOR
        ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh ${QT6_INSTALL_PREFIX} ${_dirs})
endif()

# The program file's resources (packaging/windows/tavrin.rc.in): icon, version
# information and manifest, all from the project's version. Windows keeps
# versions as four numbers: 1.05 is 1.5.0.0 there, and "1.05" in the texts.
set(TAVRIN_VENDOR "tavrin developers")
set(TAVRIN_FILE_DESCRIPTION "tavrin - savings and investment interest calculator")
set(TAVRIN_COPYRIGHT "Copyright (C) 2026 tavrin developers. GPL-3.0-or-later.")
set(_numbers)
foreach(part MAJOR MINOR PATCH TWEAK)
    set(_n "${PROJECT_VERSION_${part}}")
    if(_n STREQUAL "")
        set(_n 0)
    endif()
    math(EXPR _n "${_n}")
    list(APPEND _numbers ${_n})
endforeach()
string(JOIN "," TAVRIN_VERSION_NUMBERS ${_numbers})
string(JOIN "." TAVRIN_VERSION_DOTTED ${_numbers})
set(_resources ${PROJECT_BINARY_DIR}/packaging/windows)
set(TAVRIN_ICON_FILE ${PROJECT_SOURCE_DIR}/packaging/icons/tavrin.ico)
set(TAVRIN_MANIFEST_FILE ${_resources}/tavrin.exe.manifest)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/tavrin.exe.manifest.in
    ${TAVRIN_MANIFEST_FILE} @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/tavrin.rc.in ${_resources}/tavrin.rc @ONLY)
set(TAVRIN_WINDOWS_RESOURCES ${_resources}/tavrin.rc)
# What the resource compiler reads besides the script, for rebuilding.
set(TAVRIN_WINDOWS_RESOURCE_INPUTS ${TAVRIN_MANIFEST_FILE} ${TAVRIN_ICON_FILE})
