# cmake -DSOURCE_DIR=<tree> -DRULES=<file> -P CheckLayers.cmake
#
# Fails when an include crosses a layer:
# - a subsystem folder includes gui/, app/, tools/, tests/, platform/ other than the ports, a
#   plugin header other than its ABI header, Qt Widgets or an OS header;
# - a subsystem includes another subsystem that its DEPENDS list does not name, or names a
#   subsystem in DEPENDS and includes nothing of it (core is everybody's and needs no entry;
#   core itself includes no subsystem);
# - gui/ includes X11, xcb or platform/linux/.
#
# RULES is written by the configure step (trelk_write_layer_rules) and sets:
#   LAYER_SUBSYSTEMS       the subsystem folders, core first
#   LAYER_USES_<folder>    the subsystem folders its DEPENDS list names
#   LAYER_QT_WIDGETS_DIR   Qt Widgets' include folder; LAYER_QT_GUI_DIR QtGui's (its headers
#                          stay allowed where both modules have one)

cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE_DIR OR NOT RULES)
    message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<tree> -DRULES=<file> -P CheckLayers.cmake")
endif()
include(${RULES})

# Subsystems still to come are checked as soon as their folder exists, registered or not.
set(future_subsystems addons web gamecontrol downloads)
set(subsystems ${LAYER_SUBSYSTEMS})
foreach(folder ${future_subsystems})
    if(IS_DIRECTORY ${SOURCE_DIR}/${folder})
        list(APPEND subsystems ${folder})
    endif()
endforeach()
list(REMOVE_DUPLICATES subsystems)

# The class headers of Qt Widgets (QWidget, QLabel, qlabel.h ...), without those QtGui has too.
set(widgets_headers)
if(LAYER_QT_WIDGETS_DIR)
    file(GLOB widgets_paths RELATIVE ${LAYER_QT_WIDGETS_DIR} ${LAYER_QT_WIDGETS_DIR}/*)
    set(gui_paths)
    if(LAYER_QT_GUI_DIR)
        file(GLOB gui_paths RELATIVE ${LAYER_QT_GUI_DIR} ${LAYER_QT_GUI_DIR}/*)
    endif()
    foreach(name ${widgets_paths})
        if(NOT name IN_LIST gui_paths)
            list(APPEND widgets_headers ${name})
        endif()
    endforeach()
endif()

# System headers of an operating system or of the libraries only the real platform wraps.
set(os_header_regex
    "^(X11|xcb|sys|linux|asm|bits|netinet|arpa|net|glib|gio|gtk|wayland|dbus|curl|alsa|pulse)/")
set(os_headers unistd.h fcntl.h dlfcn.h poll.h termios.h dirent.h pthread.h semaphore.h
    spawn.h syslog.h pwd.h grp.h sched.h mqueue.h netdb.h ifaddrs.h libgen.h utime.h glob.h
    wordexp.h sqlite3.h windows.h winsock2.h ws2tcpip.h shlobj.h shellapi.h direct.h io.h
    process.h)

set(violations)
macro(flag file text)
    file(RELATIVE_PATH relative ${SOURCE_DIR} ${file})
    list(APPEND violations "${relative}: ${text}")
endmacro()

# The include lines of a file as "<path>" or "\"path\"", one entry each.
function(read_includes file out)
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    set(includes)
    foreach(line ${lines})
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*([<\"][^>\"]*[>\"]).*$" "\\1" include
            "${line}")
        list(APPEND includes "${include}")
    endforeach()
    set(${out} "${includes}" PARENT_SCOPE)
endfunction()

function(sources_of folder out)
    file(GLOB_RECURSE files ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.hpp
        ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.cc ${SOURCE_DIR}/${folder}/*.c)
    list(SORT files)
    set(${out} "${files}" PARENT_SCOPE)
endfunction()

foreach(folder ${subsystems})
    sources_of(${folder} files)
    set(uses ${LAYER_USES_${folder}})
    set(used)
    foreach(file ${files})
        read_includes(${file} includes)
        foreach(include ${includes})
            string(SUBSTRING "${include}" 0 1 bracket)
            string(REGEX REPLACE "^.(.*).$" "\\1" path "${include}")
            if(bracket STREQUAL "<")
                if(path MATCHES "^QtWidgets(/|$)" OR path IN_LIST widgets_headers)
                    flag(${file} "includes ${include}: Qt Widgets belong to gui/")
                elseif(path MATCHES "${os_header_regex}" OR path IN_LIST os_headers)
                    flag(${file} "includes ${include}: the OS is reached through platform/ports")
                endif()
                continue()
            endif()
            if(path MATCHES "\\.\\.")
                flag(${file} "includes ${include}: name the folder from the top of the tree")
                continue()
            endif()
            if(NOT path MATCHES "/")
                continue() # the folder's own header
            endif()
            string(REGEX REPLACE "/.*$" "" top "${path}")
            if(top STREQUAL folder)
                continue()
            elseif(path MATCHES "^platform/ports/")
                continue()
            elseif(top STREQUAL "plugins" AND path MATCHES "Abi\\.h$")
                continue() # the C interface of an outside library, shared with our build of it
            elseif(top IN_LIST subsystems)
                if(folder STREQUAL "core")
                    flag(${file} "includes ${include}: core includes no subsystem")
                elseif(top STREQUAL "core" OR top IN_LIST uses)
                    list(APPEND used ${top})
                else()
                    flag(${file}
                        "includes ${include}: ${top} is not in the DEPENDS of ${folder}")
                endif()
            elseif(path MATCHES "^platform/linux/")
                flag(${file} "includes ${include}: the platform is reached through the ports")
            else()
                flag(${file} "includes ${include}: only subsystems and platform/ports")
            endif()
        endforeach()
    endforeach()
    foreach(dependency ${uses})
        if(NOT dependency IN_LIST used)
            list(APPEND violations
                "${folder}/: DEPENDS names ${dependency} but no file includes anything of it")
        endif()
    endforeach()
endforeach()

# The views: Qt Widgets over the ports, no X11 of their own.
sources_of(gui files)
foreach(file ${files})
    read_includes(${file} includes)
    foreach(include ${includes})
        string(REGEX REPLACE "^.(.*).$" "\\1" path "${include}")
        if(path MATCHES "^(X11|xcb)/")
            flag(${file} "includes ${include}: X11 belongs to platform/linux")
        elseif(path MATCHES "^platform/linux/")
            flag(${file} "includes ${include}: the views reach the platform through the ports")
        endif()
    endforeach()
endforeach()

if(violations)
    list(LENGTH violations count)
    string(REPLACE ";" "\n  " text "${violations}")
    message(FATAL_ERROR "${count} include(s) cross the layers:\n  ${text}")
endif()
message(STATUS "layers kept")
