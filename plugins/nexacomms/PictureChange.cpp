#include "PictureChange.h"

#include "plugins/nexacomms/NexacommsAbi.h"

#include <cstring>

namespace nexacomms {

Area ChangedArea(const Picture& before, const Picture& after) {
    const std::uint32_t width = after.width;
    const std::uint32_t height = after.height;
    const auto rowDiffers = [&](std::uint32_t y) {
        return std::memcmp(before.row(y), after.row(y), std::size_t{width} * 4) != 0;
    };
    std::uint32_t top = 0;
    while (top < height && !rowDiffers(top)) {
        ++top;
    }
    if (top == height) {
        return {};
    }
    std::uint32_t bottom = height - 1;
    while (bottom > top && !rowDiffers(bottom)) {
        --bottom;
    }
    // Columns [left, end) over the changed rows; each row is searched only outside the
    // columns already known to change.
    std::uint32_t left = width;
    std::uint32_t end = 0;
    for (std::uint32_t y = top; y <= bottom; ++y) {
        const std::uint32_t* old = before.row(y);
        const std::uint32_t* now = after.row(y);
        for (std::uint32_t x = 0; x < left; ++x) {
            if (old[x] != now[x]) {
                left = x;
                break;
            }
        }
        for (std::uint32_t x = width; x > end; --x) {
            if (old[x - 1] != now[x - 1]) {
                end = x;
                break;
            }
        }
    }
    return {left, top, end - left, bottom - top + 1};
}

bool TransparencyChanged(const Picture& before, const Picture& after, const Area& area) {
    for (std::uint32_t y = area.y; y < area.y + area.height; ++y) {
        const std::uint32_t* old = before.row(y);
        const std::uint32_t* now = after.row(y);
        for (std::uint32_t x = area.x; x < area.x + area.width; ++x) {
            if ((old[x] == NEXACOMMS_TRANSPARENT_PIXEL) !=
                (now[x] == NEXACOMMS_TRANSPARENT_PIXEL)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace nexacomms
