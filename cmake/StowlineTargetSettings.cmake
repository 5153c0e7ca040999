# Per-target build settings: every target of the project calls stowline_target_settings()
# instead of relying on folder-wide flags.
option(STOWLINE_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)
option(STOWLINE_SANITIZE "Build with address and undefined-behaviour sanitizers" OFF)
# LoadData reads answers on a second thread; the thread sanitizer watches that hand-over.
option(STOWLINE_SANITIZE_THREAD "Build with the thread sanitizer" OFF)
# libFuzzer (clang only): coverage feedback and both sanitizers in every target; the fuzz
# targets under tests/fuzz add libFuzzer's own main when they link.
option(STOWLINE_FUZZ "Instrument for libFuzzer and build the fuzz targets (clang)" OFF)
# Debian's compiler and linker flags, hardening included (fortified functions, stack protector,
# full RELRO with immediate binding), as dpkg-buildflags gives them to Debian's own packages. On
# wherever dpkg-buildflags is found, whatever the preset or a plain configure, so that packages
# made from any ordinary build are hardened; off by default in the sanitizer and fuzz builds,
# whose own optimisation levels the flags' -O2 would override (no packages are made from those).
set(stowline_debian_flags_default OFF)
if(NOT STOWLINE_SANITIZE AND NOT STOWLINE_SANITIZE_THREAD AND NOT STOWLINE_FUZZ)
    find_program(STOWLINE_DPKG_BUILDFLAGS dpkg-buildflags)
    if(STOWLINE_DPKG_BUILDFLAGS)
        set(stowline_debian_flags_default ON)
    endif()
endif()
option(STOWLINE_DEBIAN_BUILD_FLAGS "Compile and link with the flags of dpkg-buildflags"
       ${stowline_debian_flags_default})
set(stowline_debian_compile_flags)
set(stowline_debian_link_flags)
if(STOWLINE_DEBIAN_BUILD_FLAGS)
    find_program(STOWLINE_DPKG_BUILDFLAGS dpkg-buildflags)
    if(NOT STOWLINE_DPKG_BUILDFLAGS)
        message(FATAL_ERROR "STOWLINE_DEBIAN_BUILD_FLAGS needs dpkg-buildflags (package dpkg-dev)")
    endif()
    # A packager's own DEB_BUILD_MAINT_OPTIONS come last and win.
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
        execute_process(
            COMMAND ${CMAKE_COMMAND} -E env
                    "DEB_BUILD_MAINT_OPTIONS=hardening=+all $ENV{DEB_BUILD_MAINT_OPTIONS}"
                    ${STOWLINE_DPKG_BUILDFLAGS} --get ${kind}
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE flags
            OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
        separate_arguments(flags UNIX_COMMAND "${flags}")
        if(kind STREQUAL "LDFLAGS")
            list(APPEND stowline_debian_link_flags ${flags})
        else()
            list(APPEND stowline_debian_compile_flags ${flags})
        endif()
    endforeach()
endif()

function(stowline_target_settings target)
    target_compile_features(${target} PRIVATE cxx_std_20)
    set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                             ${stowline_debian_compile_flags})
    target_link_options(${target} PRIVATE ${stowline_debian_link_flags})
    if(STOWLINE_WARNINGS_AS_ERRORS)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    if(STOWLINE_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined
                                                 -fno-sanitize-recover=all -fno-omit-frame-pointer)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
    if(STOWLINE_SANITIZE_THREAD)
        target_compile_options(${target} PRIVATE -fsanitize=thread -fno-omit-frame-pointer)
        target_link_options(${target} PRIVATE -fsanitize=thread)
    endif()
    if(STOWLINE_FUZZ)
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                                                 -fno-sanitize-recover=all -fno-omit-frame-pointer)
        target_link_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
    endif()
endfunction()
