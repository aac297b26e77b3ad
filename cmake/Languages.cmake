# Reads the program's languages from a list file (resources/strings/languages.list): each line
# that is neither empty nor a comment ("#") holds a language id, a tab and a two-letter language
# code. Sets `out_ids` and `out_codes` to the two columns, in the list's order.
function(gapwell_read_languages list_file out_ids out_codes)
    file(STRINGS ${list_file} lines REGEX "^[^#]")
    set(ids)
    set(codes)
    foreach(line IN LISTS lines)
        if(NOT line MATCHES "^([0-9]+)\t([a-z][a-z])$")
            message(FATAL_ERROR
                "${list_file}: expected a language id, a tab and a two-letter code: \"${line}\"")
        endif()
        list(APPEND ids ${CMAKE_MATCH_1})
        list(APPEND codes ${CMAKE_MATCH_2})
    endforeach()
    if(NOT ids)
        message(FATAL_ERROR "${list_file}: no languages")
    endif()
    set(${out_ids} ${ids} PARENT_SCOPE)
    set(${out_codes} ${codes} PARENT_SCOPE)
endfunction()
