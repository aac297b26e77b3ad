# gapwell_string_tables_source(OUT_VAR): a generated C++ source that holds the string tables of
# the languages in resources/strings/languages.list, with the languages' codes and decimal
# separators (cmake/EmbedStrings.cmake writes it); regenerated whenever the list, a table or the
# scripts change. The services library and the browser build compile it.
include(${CMAKE_CURRENT_LIST_DIR}/Languages.cmake)

function(gapwell_string_tables_source out_source)
    set(tables_dir ${PROJECT_SOURCE_DIR}/resources/strings)
    set(languages_list ${tables_dir}/languages.list)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${languages_list})
    gapwell_read_languages(${languages_list} language_ids language_codes decimal_separators)
    set(tables)
    foreach(language IN LISTS language_ids)
        list(APPEND tables ${tables_dir}/${language}.txt)
    endforeach()
    set(source ${CMAKE_BINARY_DIR}/generated/StringTablesData.cpp)
    add_custom_command(
        OUTPUT ${source}
        COMMAND ${CMAKE_COMMAND} -DSTRINGS_DIR=${tables_dir} -DOUTPUT=${source}
                -P ${PROJECT_SOURCE_DIR}/cmake/EmbedStrings.cmake
        DEPENDS ${languages_list} ${tables} ${PROJECT_SOURCE_DIR}/cmake/EmbedStrings.cmake
                ${PROJECT_SOURCE_DIR}/cmake/Languages.cmake
        COMMENT "Embedding the string tables"
        VERBATIM)
    set(${out_source} ${source} PARENT_SCOPE)
endfunction()
