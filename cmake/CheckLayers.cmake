# Fails when a file under src/ includes a header of a layer above its own.
# Run as: cmake -DSOURCE_DIR=<repo>/src -P CheckLayers.cmake
#
# Who may include whom (besides its own folder). A folder named here may be included whole; a
# path names the one header of that folder that is open to the includer.
#
#   base       -
#   platform   base
#   search     base
#   alloc      base search
#   services   base platform
#   update     base platform services
#   cli        base search alloc
#   release    base services update
#   ui         base platform services
#   about      base platform services ui
#   updatewindow  base platform services update ui
#   mapwindow  base platform services search ui
#   app        base platform services search ui about/ShowAbout.h updatewindow/UpdateWizard.h
#              update/AutomaticCheck.h update/InterruptedUpdate.h mapwindow/ShowFreeSpaceMap.h
#   web        base search services/StringTables.h cli/CommandLine.h cli/Commands.h cli/Output.h
#
# The generated version facts (base/Version.h) belong to base.
set(allowed_base "")
set(allowed_platform base)
set(allowed_search base)
set(allowed_alloc base search)
set(allowed_services base platform)
set(allowed_update base platform services)
set(allowed_cli base search alloc)
set(allowed_release base services update)
set(allowed_ui base platform services)
set(allowed_about base platform services ui)
set(allowed_updatewindow base platform services update ui)
set(allowed_mapwindow base platform services search ui)
set(allowed_app base platform services search ui about/ShowAbout.h updatewindow/UpdateWizard.h
    update/AutomaticCheck.h update/InterruptedUpdate.h mapwindow/ShowFreeSpaceMap.h)
set(allowed_web base search services/StringTables.h cli/CommandLine.h cli/Commands.h
    cli/Output.h)

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "CheckLayers: pass -DSOURCE_DIR=<repo>/src")
endif()

set(violations "")
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp
    ${SOURCE_DIR}/*.h.in)
foreach(source IN LISTS sources)
    string(REGEX MATCH "^[^/]+" folder ${source})
    if(NOT DEFINED allowed_${folder})
        list(APPEND violations "${source}: folder '${folder}' has no place in the layer table")
        continue()
    endif()
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
        string(REGEX MATCH "^[^/]+" target_folder ${header})
        if(header STREQUAL target_folder)
            list(APPEND violations "${source}: \"${header}\" names no layer folder")
        elseif(NOT target_folder STREQUAL folder AND NOT target_folder IN_LIST allowed_${folder}
               AND NOT header IN_LIST allowed_${folder})
            list(APPEND violations "${source}: includes \"${header}\" from a layer above")
        endif()
    endforeach()
endforeach()

list(LENGTH sources checked)
if(violations)
    list(JOIN violations "\n  " report)
    message(FATAL_ERROR "Layer check failed:\n  ${report}")
endif()
message(STATUS "Layer check: ${checked} files, every include points down")
