# trelk_add_subsystem(<folder> <target> [DEPENDS targets...]): a headless subsystem library from
# every .cpp file of the folder. A folder with headers only yet gives an interface library, so
# the targets that link it need not change when its first source arrives. DEPENDS names the
# subsystems whose headers the folder includes (trelk_core comes with every subsystem); the
# layer check holds the list to the includes.
function(trelk_add_subsystem folder target)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    if(sources)
        add_library(${target} STATIC ${sources})
        target_link_libraries(${target} PUBLIC trelk_core ${ARG_DEPENDS})
        trelk_set_warnings(${target})
    else()
        add_library(${target} INTERFACE)
        target_link_libraries(${target} INTERFACE trelk_core ${ARG_DEPENDS})
    endif()
    set_property(GLOBAL APPEND PROPERTY TRELK_SUBSYSTEM_FOLDERS ${folder})
    set_property(GLOBAL PROPERTY TRELK_SUBSYSTEM_FOLDER_${target} ${folder})
    set_property(GLOBAL PROPERTY TRELK_SUBSYSTEM_DEPENDS_${folder} ${ARG_DEPENDS})
endfunction()

# trelk_write_layer_rules(<file>): what cmake/CheckLayers.cmake knows of the build: every
# subsystem folder (core first) with the subsystem folders its DEPENDS list names, and where
# the Qt Widgets headers are.
function(trelk_write_layer_rules file)
    get_property(folders GLOBAL PROPERTY TRELK_SUBSYSTEM_FOLDERS)
    set(rules "set(LAYER_SUBSYSTEMS core ${folders})\n")
    foreach(folder ${folders})
        get_property(depends GLOBAL PROPERTY TRELK_SUBSYSTEM_DEPENDS_${folder})
        set(uses)
        foreach(dependency ${depends})
            get_property(used GLOBAL PROPERTY TRELK_SUBSYSTEM_FOLDER_${dependency})
            if(used)
                list(APPEND uses ${used})
            endif()
        endforeach()
        string(APPEND rules "set(LAYER_USES_${folder} \"${uses}\")\n")
    endforeach()
    foreach(module Widgets Gui)
        get_target_property(directories Qt6::${module} INTERFACE_INCLUDE_DIRECTORIES)
        foreach(directory ${directories})
            if(directory MATCHES "/Qt${module}$")
                string(TOUPPER ${module} name)
                string(APPEND rules "set(LAYER_QT_${name}_DIR \"${directory}\")\n")
            endif()
        endforeach()
    endforeach()
    file(CONFIGURE OUTPUT ${file} CONTENT "${rules}" @ONLY)
endfunction()
