# A warning is a bug: every target of ours gets these through trelk_set_warnings().
function(trelk_set_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
        -Woverloaded-virtual -Wconversion -Wsign-conversion -Wdouble-promotion -Wformat=2
        -Wimplicit-fallthrough)
    # The gcc builds hold the line on warnings; clang's fuzzing build only has to build.
    if(NOT TRELK_FUZZ)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    # WORKAROUND: GCC 12 reports -Wrestrict inside libstdc++'s string concatenation at -O2
    # and above (GCC bug 105329); the code it points at is the standard library's own.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
endfunction()
