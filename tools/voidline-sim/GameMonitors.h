#pragma once

#include "platform/ports/Monitors.h"

#include <QRect>
#include <vector>

struct _XDisplay;

namespace voidline {

// The monitors of the X screen as RandR lists them, with TrelkPro's own rule for the one that
// shows the game: most of the window, the whole screen where there is one monitor.
class GameMonitors {
public:
    GameMonitors();
    ~GameMonitors();
    GameMonitors(const GameMonitors&) = delete;
    GameMonitors& operator=(const GameMonitors&) = delete;

    // In the order `xrandr --listmonitors` numbers them; empty without a display.
    std::vector<trelk::Monitor> list() const;
    // The part of the screen a window at this place is played on.
    QRect screenOf(const QRect& window) const;

private:
    _XDisplay* display_ = nullptr;
};

} // namespace voidline
