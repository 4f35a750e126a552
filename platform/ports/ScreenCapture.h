#pragma once

#include "platform/ports/Monitors.h"

#include <cstdint>
#include <string>
#include <vector>

namespace trelk {

// The size of the whole screen (all monitors, as the pilot sees them), in pixels.
struct ScreenSize {
    int width = 0;
    int height = 0;
};

// A rectangle of the screen: 8 bits per colour component, each pixel 0x00RRGGBB, rows from the
// top, each row left to right.
struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// Pictures of the screen (all monitors, as the pilot sees them), in its coordinates.
class ScreenCapture {
public:
    virtual ~ScreenCapture() = default;

    // Captures this area of the screen now (an empty area: the whole screen) and writes it as a
    // JPEG file at path. On failure (no screen, an area not wholly on it) returns false and says
    // why in error; no partial file is left behind.
    virtual bool saveScreenAsJpeg(const std::string& path, const ScreenArea& area,
                                  std::string& error) = 0;

    // The screen's size now; 0 x 0 where there is no screen to read.
    virtual ScreenSize screenSize() = 0;

    // Copies the rectangle of width x height pixels whose top left corner is (left, top) into
    // `into`, reusing its storage. Cheap enough to run every few seconds without cost. On
    // failure (no screen, a rectangle not wholly on it) returns false and says why in error.
    virtual bool captureRectangle(int left, int top, int width, int height, ScreenPixels& into,
                                  std::string& error) = 0;
};

} // namespace trelk
