#pragma once

#include <cstdint>

namespace nexacomms {

// Where a picture's top-left corner goes along one side of the screen: position is a byte,
// 255ths of the room the picture leaves on that side, so 0 is the left (top) edge, 255 puts
// the picture against the right (bottom) edge, and every value between has its own place
// wherever the room is at least 255 pixels. A picture larger than the screen sits at 0.
constexpr int Place(int position, int screen, std::uint32_t size) {
    const std::int64_t room = std::int64_t{screen} - std::int64_t{size};
    if (room <= 0) {
        return 0;
    }
    const std::int64_t byte = position < 0 ? 0 : (position > 255 ? 255 : position);
    // Rounded to the nearest pixel.
    return static_cast<int>((byte * room + 127) / 255);
}

} // namespace nexacomms
