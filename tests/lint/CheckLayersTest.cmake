# cmake -DCHECKER=<CheckLayers.cmake> -DWORK_DIR=<scratch folder> -P CheckLayersTest.cmake
#
# The layer check on made-up trees: a tree that keeps the layers passes, and every kind of
# crossing is reported with its file, and nothing else is.

cmake_minimum_required(VERSION 3.25)
if(NOT CHECKER OR NOT WORK_DIR)
    message(FATAL_ERROR "usage: cmake -DCHECKER=... -DWORK_DIR=... -P CheckLayersTest.cmake")
endif()
file(REMOVE_RECURSE ${WORK_DIR})

# Qt's header folders in miniature: QAction is in both modules (allowed), QLabel only in
# Qt Widgets.
foreach(header QWidget QLabel qlabel.h QAction)
    file(WRITE ${WORK_DIR}/qt/QtWidgets/${header} "")
endforeach()
foreach(header QImage QAction)
    file(WRITE ${WORK_DIR}/qt/QtGui/${header} "")
endforeach()

function(write_rules tree uses_of_macros)
    file(WRITE ${tree}/rules.cmake
        "set(LAYER_SUBSYSTEMS core log macros keyboard)\n"
        "set(LAYER_USES_macros \"${uses_of_macros}\")\n"
        "set(LAYER_USES_keyboard \"macros\")\n"
        "set(LAYER_QT_WIDGETS_DIR \"${WORK_DIR}/qt/QtWidgets\")\n"
        "set(LAYER_QT_GUI_DIR \"${WORK_DIR}/qt/QtGui\")\n")
endfunction()

# A tree that keeps every rule: what each folder may include.
function(write_clean_tree tree)
    file(WRITE ${tree}/core/Core.h
        "#pragma once\n#include \"platform/ports/Clock.h\"\n#include <string>\n")
    file(WRITE ${tree}/core/Core.cpp "#include \"Core.h\"\n#include \"core/Core.h\"\n")
    file(WRITE ${tree}/macros/Macro.h "#pragma once\n#include \"core/Core.h\"\n")
    file(WRITE ${tree}/keyboard/Keys.cpp
        "#include \"macros/Macro.h\"\n  #  include \"plugins/trkhook/TrkHookAbi.h\"\n"
        "#include <QImage>\n#include <QAction>\n#include <vector>\n")
    file(WRITE ${tree}/gui/View.cpp
        "#include <QWidget>\n#include <QLabel>\n#include \"keyboard/Keys.h\"\n"
        "#include \"platform/ports/MainWindow.h\"\n")
    file(WRITE ${tree}/app/main.cpp "#include <unistd.h>\n#include \"platform/linux/Paths.h\"\n")
    file(WRITE ${tree}/platform/linux/Paths.cpp "#include <X11/Xlib.h>\n#include <dlfcn.h>\n")
endfunction()

function(run_check tree result_var output_var)
    execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -DRULES=${tree}/rules.cmake
        -P ${CHECKER} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    set(${result_var} ${result} PARENT_SCOPE)
    set(${output_var} "${output}" PARENT_SCOPE)
endfunction()

set(failures)

set(clean ${WORK_DIR}/clean)
write_clean_tree(${clean})
write_rules(${clean} "")
run_check(${clean} result output)
if(NOT result EQUAL 0)
    list(APPEND failures "a tree that keeps the layers was refused:\n${output}")
endif()

# The same tree with one crossing of each kind; the file names say which.
set(crossed ${WORK_DIR}/crossed)
write_clean_tree(${crossed})
write_rules(${crossed} "log") # macros declares log and includes nothing of it
set(expected)
macro(crossing path include reason)
    file(APPEND ${crossed}/${path} "#include ${include}\n")
    list(APPEND expected "${path}: includes ${include}: ${reason}")
endmacro()
crossing(macros/IncludesGui.cpp "\"gui/View.h\"" "only subsystems and platform/ports")
crossing(macros/IncludesApp.h "\"app/TrelkApp.h\"" "only subsystems and platform/ports")
crossing(keyboard/IncludesTests.cpp "\"tests/support/TempFolder.h\""
    "only subsystems and platform/ports")
crossing(keyboard/IncludesLinux.cpp "\"platform/linux/Paths.h\""
    "the platform is reached through the ports")
crossing(keyboard/IncludesSim.cpp "\"platform/sim/SimPlatform.h\""
    "only subsystems and platform/ports")
crossing(keyboard/IncludesPluginInside.cpp "\"plugins/trkhook/HookSession.h\""
    "only subsystems and platform/ports")
crossing(keyboard/ClimbsOut.cpp "\"../gui/View.h\"" "name the folder from the top of the tree")
crossing(macros/IncludesWidget.cpp "<QLabel>" "Qt Widgets belong to gui/")
crossing(macros/IncludesWidgetLowerCase.cpp "<qlabel.h>" "Qt Widgets belong to gui/")
crossing(macros/IncludesWidgetsModule.cpp "<QtWidgets/QWidget>" "Qt Widgets belong to gui/")
foreach(os_header unistd.h sys/stat.h fcntl.h dlfcn.h X11/Xlib.h xcb/xcb.h windows.h
        sqlite3.h)
    string(REGEX REPLACE "[/.]" "_" name ${os_header})
    crossing(core/Os_${name}.cpp "<${os_header}>" "the OS is reached through platform/ports")
endforeach()
crossing(macros/IncludesKeyboard.cpp "\"keyboard/Keys.h\"" "keyboard is not in the DEPENDS of macros")
crossing(core/IncludesMacros.cpp "\"macros/Macro.h\"" "core includes no subsystem")
crossing(web/FutureSubsystem.cpp "<unistd.h>" "the OS is reached through platform/ports")
crossing(gui/IncludesX11.cpp "<X11/Xlib.h>" "X11 belongs to platform/linux")
crossing(gui/IncludesXcb.cpp "<xcb/xcb.h>" "X11 belongs to platform/linux")
crossing(gui/IncludesLinux.cpp "\"platform/linux/Paths.h\""
    "the views reach the platform through the ports")
list(APPEND expected "macros/: DEPENDS names log but no file includes anything of it")

run_check(${crossed} result output)
if(result EQUAL 0)
    list(APPEND failures "a tree with crossings passed:\n${output}")
endif()
foreach(line ${expected})
    string(FIND "${output}" "${line}" at)
    if(at EQUAL -1)
        list(APPEND failures "not reported: ${line}")
    endif()
endforeach()
list(LENGTH expected count)
if(NOT output MATCHES "${count} include\\(s\\) cross the layers")
    list(APPEND failures "expected exactly ${count} crossings, the check said:\n${output}")
endif()

file(REMOVE_RECURSE ${WORK_DIR})
if(failures)
    string(REPLACE ";" "\n" text "${failures}")
    message(FATAL_ERROR "${text}")
endif()
message(STATUS "the layer check reports every crossing and nothing else")
