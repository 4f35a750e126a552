#pragma once

#include "platform/ports/ScreenCapture.h"

#include <atomic>
#include <memory>
#include <string>

namespace trelk {

// Grabs the root window of the X display (every monitor). A picture of the whole screen opens
// a connection of its own; the radar's small rectangle, taken every tick, keeps one open and
// reads through shared memory (MIT-SHM) where the server offers it, so a capture costs a
// fraction of a millisecond.
class X11ScreenCapture final : public ScreenCapture {
public:
    X11ScreenCapture();
    ~X11ScreenCapture() override;
    X11ScreenCapture(const X11ScreenCapture&) = delete;
    X11ScreenCapture& operator=(const X11ScreenCapture&) = delete;

    bool saveScreenAsJpeg(const std::string& path, const ScreenArea& area,
                          std::string& error) override;
    ScreenSize screenSize() override;
    bool captureRectangle(int left, int top, int width, int height, ScreenPixels& into,
                          std::string& error) override;

    static constexpr int JpegQuality = 90;

private:
    class Connection;
    // Opens the kept connection on first use, and again after the server it knew ended.
    Connection* connection(std::string& error);

    std::unique_ptr<Connection> connection_;
};

} // namespace trelk
