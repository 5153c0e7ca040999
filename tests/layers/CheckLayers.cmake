cmake_minimum_required(VERSION 3.25)
# The folders of src/ form layers: a file includes only from its own folder and the layers listed
# after its own (LAYERS, top first). Folders of one rank are written together, comma-separated,
# and never include each other. HEADERS names the library headers that only some folders may
# include, as HEADER=FOLDER[,FOLDER...] entries: every folder listed must still include it, so the
# list names exactly the folders that wrap the library and can only shrink.
#   cmake -DSOURCE_DIR=src "-DLAYERS=widget;pages;...;controls,http,xml;..."
#         "-DHEADERS=curl/curl.h=http;pugixml.hpp=xml" -P CheckLayers.cmake
set(problems "")
set(folder_ranks "")
list(LENGTH LAYERS rank_count)
math(EXPR last_rank "${rank_count} - 1")
foreach(rank RANGE ${last_rank})
    list(GET LAYERS ${rank} rank_folders)
    string(REPLACE "," ";" rank_folders "${rank_folders}")
    foreach(folder IN LISTS rank_folders)
        set(rank_of_${folder} ${rank})
        list(APPEND folder_ranks ${folder})
    endforeach()
endforeach()

file(GLOB folders LIST_DIRECTORIES true RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
foreach(folder IN LISTS folders)
    if(IS_DIRECTORY ${SOURCE_DIR}/${folder} AND NOT folder IN_LIST folder_ranks)
        string(APPEND problems "folder ${folder} is not in the layer order\n")
    endif()
endforeach()

# Which folders include each guarded header.
set(header_names "")
foreach(entry IN LISTS HEADERS)
    string(REGEX REPLACE "=.*" "" header "${entry}")
    string(REGEX REPLACE "^[^=]*=" "" allowed "${entry}")
    string(MAKE_C_IDENTIFIER "${header}" id)
    string(REPLACE "," ";" allowed_${id} "${allowed}")
    set(includers_${id} "")
    list(APPEND header_names "${header}")
endforeach()

foreach(folder IN LISTS folder_ranks)
    file(GLOB_RECURSE files ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
    foreach(path IN LISTS files)
        file(STRINGS ${path} includes REGEX "^[ \t]*#[ \t]*include[ \t]+[\"<]")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+[\"<]([^\">]+)[\">].*" "\\1" included
                   "${line}")
            foreach(header IN LISTS header_names)
                if(included STREQUAL header)
                    string(MAKE_C_IDENTIFIER "${header}" id)
                    list(APPEND includers_${id} ${folder})
                    if(NOT folder IN_LIST allowed_${id})
                        string(APPEND problems "${path}: includes <${header}>, which only "
                                               "${allowed_${id}}/ may include\n")
                    endif()
                endif()
            endforeach()
            if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]+\"([^\"/]+)/")
                continue()
            endif()
            set(target "${CMAKE_MATCH_1}")
            if(target STREQUAL folder)
                continue()
            elseif(NOT DEFINED rank_of_${target})
                if(IS_DIRECTORY ${SOURCE_DIR}/${target})
                    string(APPEND problems "${path}: includes ${target}/, which is not a layer\n")
                endif()
            elseif(rank_of_${target} EQUAL rank_of_${folder})
                string(APPEND problems
                       "${path}: ${folder} includes ${target}/, a folder of the same rank\n")
            elseif(rank_of_${target} LESS rank_of_${folder})
                string(APPEND problems "${path}: ${folder} includes ${target}/, a layer above it\n")
            endif()
        endforeach()
    endforeach()
endforeach()

foreach(header IN LISTS header_names)
    string(MAKE_C_IDENTIFIER "${header}" id)
    foreach(folder IN LISTS allowed_${id})
        if(NOT folder IN_LIST includers_${id})
            string(APPEND problems "<${header}> is allowed in ${folder}/, which no longer includes "
                                   "it: take ${folder} off the list\n")
        endif()
    endforeach()
endforeach()

if(problems)
    message(FATAL_ERROR "The folders of src/ do not form layers:\n${problems}")
endif()
