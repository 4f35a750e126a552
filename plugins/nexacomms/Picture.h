#pragma once

#include <cstdint>
#include <vector>

namespace nexacomms {

// The library's own copy of a handed picture: width x height pixels, 0x00RRGGBB, row by row.
struct Picture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> pixels;
};

} // namespace nexacomms
