# The layering check over a small tree with known right and wrong includes: every wrong one is named with
# both files, nothing allowed is, and the check fails.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_CURRENT_LIST_DIR}/layering
                        -DQT_INCLUDE_ROOT=${QT_INCLUDE_ROOT} -P ${CHECK_SCRIPT}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
string(REGEX REPLACE "[ \t\r\n]+" " " output "${output}")
set(failures "")
if(result EQUAL 0)
    string(APPEND failures "the check passed\n")
endif()
foreach(expected
        "src/engine/HXTick.cpp includes src/ui/HXWindow.h: engine may not use ui"
        "src/engine/HXTick.cpp includes ${QT_INCLUDE_ROOT}/QtWidgets/QWidget: engine may not use QtWidgets"
        "src/engine/HXTick.cpp includes <xcb/xcb.h>: engine may not use X11"
        "src/hotkeys/widgets/HXKeyField.h includes src/engine/HXNext.h: hotkeys/widgets may not use engine"
        "src/reports/widgets/HXView.h includes src/ui/HXWindow.h: reports/widgets may not use ui"
        "src/nowhere/HXLost.h: folder src/nowhere has no row")
    string(FIND "${output}" "${expected}" at)
    if(at LESS 0)
        string(APPEND failures "not said: ${expected}\n")
    endif()
endforeach()
foreach(allowed "HXTick.cpp includes src/engine/HXNext.h" "includes src/foundation/HXBase.h" "<QString>"
        "<QtCore>" "<vector>" "HXKeyField.h includes src/hotkeys" "QPainter" "src/ui/HXWindow.h includes")
    string(FIND "${output}" "${allowed}" at)
    if(at GREATER_EQUAL 0)
        string(APPEND failures "refused though allowed: ${allowed}\n")
    endif()
endforeach()
if(failures)
    message(FATAL_ERROR "${failures}output: ${output}")
endif()
