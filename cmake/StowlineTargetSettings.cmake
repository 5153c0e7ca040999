# Per-target build settings: every target of the project calls stowline_target_settings()
# instead of relying on folder-wide flags.
option(STOWLINE_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)
option(STOWLINE_SANITIZE "Build with address and undefined-behaviour sanitizers" OFF)
# libFuzzer (clang only): coverage feedback and both sanitizers in every target; the fuzz
# targets under tests/fuzz add libFuzzer's own main when they link.
option(STOWLINE_FUZZ "Instrument for libFuzzer and build the fuzz targets (clang)" OFF)

function(stowline_target_settings target)
    target_compile_features(${target} PRIVATE cxx_std_20)
    set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
    if(STOWLINE_WARNINGS_AS_ERRORS)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    if(STOWLINE_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined
                                                 -fno-sanitize-recover=all -fno-omit-frame-pointer)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
    if(STOWLINE_FUZZ)
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                                                 -fno-sanitize-recover=all -fno-omit-frame-pointer)
        target_link_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
    endif()
endfunction()
