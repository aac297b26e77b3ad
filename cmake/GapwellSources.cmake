# Adds the .cpp files of the calling folder to the core, or, for files named *Qt.cpp, to the
# Qt-facing library (only when the windows are built).
function(gapwell_add_folder_sources)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    foreach(source IN LISTS sources)
        if(source MATCHES "Qt\\.cpp$")
            if(GAPWELL_WITH_WINDOWS)
                target_sources(gapwell_ui PRIVATE ${source})
            endif()
        else()
            target_sources(gapwell_core PRIVATE ${source})
        endif()
    endforeach()
endfunction()
