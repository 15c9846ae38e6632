# The Linux builds are hardened as Debian builds its packages: checked buffer
# functions, stack protector, a position-independent program and read-only
# relocations resolved at start. Objects stay -fPIC, as Qt asks of its users;
# the program is still linked as PIE.
# Left out for Windows (another toolchain and loader) and fuzz builds. The
# compiler's part is also left out for unoptimised builds (the buffer checks
# need optimisation) and sanitizer builds, whose own instrumentation covers the
# same ground; the loader's part costs them nothing and keeps the package that
# any build makes to Debian's standard.
option(TAVRIN_HARDENING "Build with Debian's hardening flags (Linux)" ON)

if(TAVRIN_HARDENING AND NOT WIN32 AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang"
   AND NOT TAVRIN_FUZZ)
    add_link_options(
        "$<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:-pie>"
        -Wl,-z,relro
        -Wl,-z,now)
    if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
        set(_optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
        add_compile_options(
            "$<${_optimised}:-U_FORTIFY_SOURCE>"
            "$<${_optimised}:-D_FORTIFY_SOURCE=2>"
            -fstack-protector-strong)
    endif()
endif()
