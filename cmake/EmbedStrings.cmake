# Turns the string tables (one UTF-8 file per language id, named <languageid>.txt) into a C++
# source that holds their bytes and the languages' codes and decimal separators, so the core
# carries them without any resource compiler. The folder's languages.list names the languages
# (read by cmake/Languages.cmake).
#
# Run in script mode:
#   cmake -DSTRINGS_DIR=<folder of the tables> -DOUTPUT=<generated .cpp> -P EmbedStrings.cmake
#
# Each line of a table is empty, a comment starting with "#", or a string id (decimal digits),
# one tab and the text, which runs to the end of the line and may be empty or begin with a blank.
# A malformed line, a duplicate id, a listed language without a table or a table of a language
# that is not listed stops the build.

cmake_minimum_required(VERSION 3.25)

if(NOT STRINGS_DIR OR NOT OUTPUT)
    message(FATAL_ERROR "EmbedStrings.cmake needs STRINGS_DIR and OUTPUT")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/Languages.cmake)
gapwell_read_languages(${STRINGS_DIR}/languages.list languageIds languageCodes separators)

file(GLOB tables ${STRINGS_DIR}/*.txt)
foreach(table IN LISTS tables)
    get_filename_component(languageId ${table} NAME_WE)
    if(NOT languageId IN_LIST languageIds)
        message(FATAL_ERROR "${table}: the language is missing from languages.list")
    endif()
endforeach()

function(check_table path)
    file(READ ${path} content)
    if(content MATCHES "\r")
        message(FATAL_ERROR "${path}: use LF line ends")
    endif()
    set(lines "\n${content}")
    if(lines MATCHES "\n([^#\n0-9][^\n]*)")
        message(FATAL_ERROR "${path}: not a string id: \"${CMAKE_MATCH_1}\"")
    endif()
    if(lines MATCHES "\n([0-9]+[^0-9\t][^\n]*)" OR lines MATCHES "\n([0-9]+)$")
        message(FATAL_ERROR "${path}: a string id must be followed by a tab")
    endif()
    string(REGEX MATCHALL "\n[0-9]+\t" ids "${lines}")
    list(LENGTH ids count)
    list(REMOVE_DUPLICATES ids)
    list(LENGTH ids uniqueCount)
    if(NOT count EQUAL uniqueCount)
        message(FATAL_ERROR "${path}: a string id appears twice")
    endif()
endfunction()

# Sixteen bytes to a line of the generated arrays.
string(REPEAT "0x..," 16 sixteenBytes)
set(arrays "")
set(entries "")
foreach(languageId languageCode separator IN ZIP_LISTS languageIds languageCodes separators)
    set(table ${STRINGS_DIR}/${languageId}.txt)
    if(NOT EXISTS ${table})
        message(FATAL_ERROR "${table}: listed in languages.list but missing")
    endif()
    check_table(${table})
    file(READ ${table} bytes HEX)
    string(REGEX REPLACE "(..)" "0x\\1," bytes "${bytes}")
    string(REGEX REPLACE "(${sixteenBytes})" "\\1\n    " bytes "${bytes}")
    string(APPEND arrays "const unsigned char kTable${languageId}[] = {\n    ${bytes}};\n")
    string(APPEND entries
        "    {${languageId}, \"${languageCode}\", '${separator}', kTable${languageId},\n"
        "     sizeof kTable${languageId}},\n")
endforeach()

set(source "// Generated from the string tables by cmake/EmbedStrings.cmake; do not edit.
#include \"services/StringTables.h\"

namespace gapwell {

namespace {
${arrays}
const EmbeddedStringTable kTables[] = {
${entries}};
}  // namespace

std::span<const EmbeddedStringTable> EmbeddedStringTables() { return kTables; }

}  // namespace gapwell
")

file(WRITE ${OUTPUT} "${source}")
