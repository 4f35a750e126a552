#pragma once

#include "Picture.h"

#include <cstdint>

namespace nexacomms {

// A rectangle of a picture, in pixels.
struct Area {
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;

    bool empty() const { return width == 0 || height == 0; }
    friend bool operator==(const Area&, const Area&) = default;
};

// The smallest rectangle that holds every pixel in which two pictures of the same size differ;
// empty when they are equal. A key press mostly changes a few rows of the console: only those
// need converting, sending and repainting.
Area ChangedArea(const Picture& before, const Picture& after);

// True when a pixel of the area is transparent in one picture and not in the other, that is,
// when the window's shape must follow.
bool TransparencyChanged(const Picture& before, const Picture& after, const Area& area);

} // namespace nexacomms
