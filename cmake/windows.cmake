# The Windows build, cross-compiled with mingw-w64: the runtime DLLs the
# program needs beside it, and Wine to run its tests.
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
