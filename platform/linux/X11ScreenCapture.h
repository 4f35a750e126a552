#pragma once

#include "platform/ports/ScreenCapture.h"

#include <string>

namespace trelk {

// Grabs the root window of the X display (every monitor) and writes it as JPEG.
class X11ScreenCapture final : public ScreenCapture {
public:
    bool saveScreenAsJpeg(const std::string& path, std::string& error) override;

    static constexpr int JpegQuality = 90;
};

} // namespace trelk
