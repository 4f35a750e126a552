#pragma once

#include "platform/ports/ScreenCapture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace trelk {

// A screen of a chosen size, dark until a test paints pixels on it. Records the picture paths
// asked for; a test can make the next captures fail.
class SimScreenCapture final : public ScreenCapture {
public:
    static constexpr std::uint32_t Dark = 0x000000;

    SimScreenCapture() { setScreenSize(1024, 768); }

    bool saveScreenAsJpeg(const std::string& path, const ScreenArea& area,
                          std::string& error) override {
        if (!failure_.empty()) {
            error = failure_;
            return false;
        }
        const ScreenArea whole{0, 0, size_.width, size_.height};
        const ScreenArea taken = area.empty() ? whole : area;
        if (OverlapPixels(taken, whole) != std::int64_t{taken.Width} * std::int64_t{taken.Height}) {
            error = "the area is not on the screen";
            return false;
        }
        savedPaths_.push_back(path);
        savedAreas_.push_back(taken);
        return true;
    }

    ScreenSize screenSize() override { return size_; }

    bool captureRectangle(int left, int top, int width, int height, ScreenPixels& into,
                          std::string& error) override {
        ++captures_;
        if (!failure_.empty()) {
            error = failure_;
            return false;
        }
        if (left < 0 || top < 0 || width < 0 || height < 0 || left + width > size_.width ||
            top + height > size_.height) {
            error = "the rectangle is not on the screen";
            return false;
        }
        into.width = width;
        into.height = height;
        into.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                into.pixels[static_cast<std::size_t>(y * width + x)] = pixel(left + x, top + y);
            }
        }
        return true;
    }

    // The test's side. The pixels are only held once one is painted: most tests never look
    // at the screen, and a dark 1024 x 768 screen for each would cost them 3 MB apiece.
    void setScreenSize(int width, int height) {
        size_ = {width, height};
        screen_.clear();
    }
    // 0x00RRGGBB at (x, y).
    void setPixel(int x, int y, std::uint32_t rgb) {
        if (screen_.empty()) {
            screen_.assign(static_cast<std::size_t>(size_.width) *
                               static_cast<std::size_t>(size_.height),
                           Dark);
        }
        screen_[static_cast<std::size_t>(y) * static_cast<std::size_t>(size_.width) +
                static_cast<std::size_t>(x)] = rgb;
    }
    std::uint32_t pixel(int x, int y) const {
        if (screen_.empty()) {
            return Dark;
        }
        return screen_[static_cast<std::size_t>(y) * static_cast<std::size_t>(size_.width) +
                       static_cast<std::size_t>(x)];
    }
    void clearScreen() { screen_.clear(); }
    int captures() const { return captures_; }
    const std::vector<std::string>& savedPaths() const { return savedPaths_; }
    // The area of each saved picture, the whole screen where none was asked for.
    const std::vector<ScreenArea>& savedAreas() const { return savedAreas_; }
    void setFailure(std::string message) { failure_ = std::move(message); }
    void clearFailure() { failure_.clear(); }

private:
    ScreenSize size_;
    std::vector<std::uint32_t> screen_;
    std::vector<std::string> savedPaths_;
    std::vector<ScreenArea> savedAreas_;
    std::string failure_;
    int captures_ = 0;
};

} // namespace trelk
