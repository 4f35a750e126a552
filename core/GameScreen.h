#pragma once

#include "platform/ports/Desktop.h"
#include "platform/ports/Monitors.h"
#include "platform/ports/ScreenCapture.h"

namespace trelk {

// The title of the game's top-level window.
inline constexpr const char* GameWindowTitle = "Voidline";

// The part of the screen the game is played on: the monitor that shows most of the game's
// window where the screen is made of several, otherwise the whole screen (0 x 0 where there is
// no screen to read). Asked anew at each call, so it follows the game to another monitor.
ScreenArea GameScreenArea(Desktop& desktop, ScreenCapture& screen);

} // namespace trelk
