#pragma once

#include <cstdint>
#include <vector>

namespace nexacomms {

// The library's own copy of a handed picture: width x height pixels, 0x00RRGGBB, row by row.
// Never changed once handed to the window, so it can be kept and compared with the next one.
struct Picture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> pixels;

    const std::uint32_t* row(std::uint32_t y) const {
        return pixels.data() + std::size_t{y} * width;
    }
};

} // namespace nexacomms
