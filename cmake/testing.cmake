find_package(Qt6 REQUIRED COMPONENTS Test)

# The environment of every test: no display needed, and the known leaks of
# the libraries below us kept out of the sanitizer's report.
set(TAVRIN_TEST_ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")

# tavrin_add_test(NAME name SOURCES ... LIBS ... [TIMEOUT seconds])
# One QtTest executable, registered with ctest, always headless, and with a
# timeout so that a forgotten modal dialog fails the run instead of hanging it.
function(tavrin_add_test)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 60)
    endif()
    if(CMAKE_CROSSCOMPILING)
        # Under Wine a window test takes three times as long.
        math(EXPR T_TIMEOUT "${T_TIMEOUT} * 3")
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
    tavrin_warnings(${T_NAME})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "${TAVRIN_TEST_ENVIRONMENT}")
endfunction()
