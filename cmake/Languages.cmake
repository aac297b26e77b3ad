# Reads the program's languages from a list file (resources/strings/languages.list): each line
# that is neither empty nor a comment ("#") holds a language id, a tab, a two-letter language
# code, a tab and the decimal separator ("." or ","). Sets `out_ids`, `out_codes` and
# `out_separators` to the three columns, in the list's order.
function(gapwell_read_languages list_file out_ids out_codes out_separators)
    file(STRINGS ${list_file} lines REGEX "^[^#]")
    set(ids)
    set(codes)
    set(separators)
    foreach(line IN LISTS lines)
        if(NOT line MATCHES "^([0-9]+)\t([a-z][a-z])\t([.,])$")
            message(FATAL_ERROR "${list_file}: expected a language id, a two-letter code and a "
                "decimal separator, separated by tabs: \"${line}\"")
        endif()
        list(APPEND ids ${CMAKE_MATCH_1})
        list(APPEND codes ${CMAKE_MATCH_2})
        list(APPEND separators "${CMAKE_MATCH_3}")
    endforeach()
    if(NOT ids)
        message(FATAL_ERROR "${list_file}: no languages")
    endif()
    set(${out_ids} ${ids} PARENT_SCOPE)
    set(${out_codes} ${codes} PARENT_SCOPE)
    set(${out_separators} "${separators}" PARENT_SCOPE)
endfunction()
