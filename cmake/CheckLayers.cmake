# Fails when a file under src/ includes a header of a layer above its own.
# Run as: cmake -DSOURCE_DIR=<repo>/src -P CheckLayers.cmake
#
# Who may include whom (besides its own folder). A folder named here may be included whole; a
# path names the one header of that folder that is open to the includer. A folder with rooms
# (sub-folders named in the table, such as update/transfer) is checked room by room: a room, and
# the files at the top of its folder, include only what their own line names; from outside, the
# folder is included whole.
#
#   base       -
#   platform   base
#   search     base
#   alloc      base search
#   patch      base search
#   services   base platform
#   update/files      base platform services
#   update/transfer   base platform services update/files
#   update/records    base platform services update/files update/transfer
#   update/signature  base platform services update/files update/transfer update/records
#   update/install    base platform services update/files update/transfer update/records
#   update            base platform services update/files update/transfer update/records
#                     update/signature update/install
#   cli        base search alloc patch
#   release    base services update
#   ui         base platform services
#   about      base platform services ui
#   updatewindow  base platform services update ui
#   mapwindow  base platform services search ui
#   app        base platform services search ui about/ShowAbout.h updatewindow/UpdateWizard.h
#              update/records/AutomaticCheck.h update/install/InterruptedUpdate.h
#              mapwindow/ShowFreeSpaceMap.h
#   web        base search services/StringTables.h cli/CommandLine.h cli/Commands.h cli/Output.h
#
# The generated version facts (base/Version.h) belong to base.
set(allowed_base "")
set(allowed_platform base)
set(allowed_search base)
set(allowed_alloc base search)
set(allowed_patch base search)
set(allowed_services base platform)
set(allowed_update/files base platform services)
set(allowed_update/transfer base platform services update/files)
set(allowed_update/records base platform services update/files update/transfer
   )
set(allowed_update/signature base platform services update/files update/transfer update/records)
set(allowed_update/install base platform services update/files update/transfer update/records)
set(allowed_update base platform services update/files update/transfer update/records
    update/signature update/install)
set(folders_with_rooms update)
set(allowed_cli base search alloc patch)
set(allowed_release base services update)
set(allowed_ui base platform services)
set(allowed_about base platform services ui)
set(allowed_updatewindow base platform services update ui)
set(allowed_mapwindow base platform services search ui)
set(allowed_app base platform services search ui about/ShowAbout.h updatewindow/UpdateWizard.h
    update/records/AutomaticCheck.h update/install/InterruptedUpdate.h mapwindow/ShowFreeSpaceMap.h)
set(allowed_web base search services/StringTables.h cli/CommandLine.h cli/Commands.h
    cli/Output.h)

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "CheckLayers: pass -DSOURCE_DIR=<repo>/src")
endif()

# The room of a path: its first two folders when they name a room of the table, else its first
# folder. A file in an unlisted sub-folder of a folder with rooms has no room.
function(room_of path out)
    string(REGEX MATCH "^[^/]+" folder "${path}")
    string(REGEX MATCH "^[^/]+/[^/]+/" subfolder "${path}")
    string(REGEX REPLACE "/$" "" room "${subfolder}")
    if(room AND DEFINED allowed_${room})
        set(${out} ${room} PARENT_SCOPE)
    elseif(room AND folder IN_LIST folders_with_rooms)
        set(${out} "" PARENT_SCOPE)
    else()
        set(${out} ${folder} PARENT_SCOPE)
    endif()
endfunction()

set(violations "")
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp
    ${SOURCE_DIR}/*.h.in)
foreach(source IN LISTS sources)
    room_of(${source} room)
    if(NOT DEFINED allowed_${room})
        list(APPEND violations "${source}: its folder has no place in the layer table")
        continue()
    endif()
    string(REGEX MATCH "^[^/]+" folder ${source})
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
        string(REGEX MATCH "^[^/]+" target_folder ${header})
        room_of(${header} target_room)
        if(header STREQUAL target_folder)
            list(APPEND violations "${source}: \"${header}\" names no layer folder")
        elseif(target_room STREQUAL room OR target_room IN_LIST allowed_${room}
               OR header IN_LIST allowed_${room})
            continue()
        elseif(target_folder STREQUAL folder OR NOT target_folder IN_LIST allowed_${room})
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
