# Every target of the project gets the same strict warning set; CI turns them into errors.
function(tavrin_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(TAVRIN_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
