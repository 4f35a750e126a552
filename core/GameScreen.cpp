#include "core/GameScreen.h"

namespace trelk {

ScreenArea GameScreenArea(Desktop& desktop, ScreenCapture& screen) {
    if (const std::optional<ScreenArea> monitor = desktop.monitorShowingWindow(GameWindowTitle)) {
        return *monitor;
    }
    const ScreenSize size = screen.screenSize();
    return {0, 0, size.width, size.height};
}

} // namespace trelk
