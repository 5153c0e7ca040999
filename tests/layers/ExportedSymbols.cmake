cmake_minimum_required(VERSION 3.25)
# The shared library exports its public API only: no symbol of the layers below the public
# headers (namespaces stowline::<layer>) and nothing of the widget's private half.
#   cmake -DLIBRARY=libstowline.so "-DLAYERS=widget;pages;..." -P ExportedSymbols.cmake
execute_process(COMMAND nm -DC --defined-only ${LIBRARY} OUTPUT_VARIABLE symbols
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX REPLACE "[;,]" "|" layers "${LAYERS}")
string(REGEX MATCHALL "[^\n]*stowline::(${layers}|StowlinePrivate)[^\n]*" internal "${symbols}")
if(internal)
    string(REPLACE ";" "\n" internal "${internal}")
    message(FATAL_ERROR "${LIBRARY} exports internal symbols:\n${internal}")
endif()
if(NOT symbols MATCHES "stowline::Stowline::LoadData")
    message(FATAL_ERROR "${LIBRARY} does not export the public API:\n${symbols}")
endif()
