#pragma once

#include <string>

namespace trelk {

// Pictures of the whole screen (all monitors, as the pilot sees them).
class ScreenCapture {
public:
    virtual ~ScreenCapture() = default;

    // Captures the screen now and writes it as a JPEG file at path. On failure returns false
    // and says why in error; no partial file is left behind.
    virtual bool saveScreenAsJpeg(const std::string& path, std::string& error) = 0;
};

} // namespace trelk
