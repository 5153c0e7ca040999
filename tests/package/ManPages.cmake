# cmake -P driver of the package_man_pages test. PAGES holds PROGRAM=PAGE pairs: each page must
# render without a warning and describe every option the program's --help lists.
cmake_minimum_required(VERSION 3.25)

set(ENV{LC_ALL} C)
set(ENV{MANWIDTH} 80)
foreach(pair IN LISTS PAGES)
    string(REPLACE "=" ";" pair ${pair})
    list(GET pair 0 program)
    list(GET pair 1 page)
    execute_process(COMMAND man --warnings -l ${page} RESULT_VARIABLE result
                    OUTPUT_VARIABLE text ERROR_VARIABLE warnings)
    if(NOT result EQUAL 0 OR NOT warnings STREQUAL "")
        message(FATAL_ERROR "man -l ${page} (${result}):\n${warnings}")
    endif()
    execute_process(COMMAND ${program} --help OUTPUT_VARIABLE help ERROR_QUIET)
    string(REGEX MATCHALL "--[a-z][a-z-]*" options "${help}")
    foreach(option IN LISTS options)
        # An entry of the options list: the option at the start of an indented line.
        if(NOT text MATCHES "\n       (-[a-z], )?${option}[ ,\n]")
            message(FATAL_ERROR "${page} does not describe ${option}")
        endif()
    endforeach()
endforeach()
