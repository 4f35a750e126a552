# trelk_add_subsystem(<folder> <target> [DEPENDS targets...]): a headless subsystem library from
# every .cpp file of the folder. A folder with headers only yet gives an interface library, so
# the targets that link it need not change when its first source arrives.
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
endfunction()
