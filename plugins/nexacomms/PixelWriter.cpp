#include "PixelWriter.h"

#include <bit>
#include <cstring>

// Xlib last: its macros (None, Bool, Status) break other headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace nexacomms {

namespace {

// A colour channel of 0..255 placed into a visual's mask.
unsigned long Channel(std::uint32_t value, unsigned long mask) {
    if (mask == 0) {
        return 0;
    }
    const int shift = std::countr_zero(mask);
    const unsigned long maximum = mask >> shift;
    return ((value * maximum + 127) / 255) << shift;
}

constexpr int NativeByteOrder = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;

} // namespace

PixelWriter::PixelWriter(unsigned long redMask, unsigned long greenMask, unsigned long blueMask)
    : pictureLayout_(redMask == 0xFF0000ul && greenMask == 0xFF00ul && blueMask == 0xFFul) {
    for (std::uint32_t value = 0; value < 256; ++value) {
        red_[value] = Channel(value, redMask);
        green_[value] = Channel(value, greenMask);
        blue_[value] = Channel(value, blueMask);
    }
}

bool PixelWriter::copiesWhole(const XImage& image) const {
    return pictureLayout_ && image.bits_per_pixel == 32 && image.byte_order == NativeByteOrder;
}

void PixelWriter::write(const Picture& picture, const Area& area, XImage& image) const {
    if (copiesWhole(image)) {
        for (std::uint32_t y = area.y; y < area.y + area.height; ++y) {
            char* row = image.data + static_cast<std::size_t>(image.bytes_per_line) * y;
            std::memcpy(row + std::size_t{area.x} * 4, picture.row(y) + area.x,
                        std::size_t{area.width} * 4);
        }
        return;
    }
    for (std::uint32_t y = area.y; y < area.y + area.height; ++y) {
        const std::uint32_t* pixels = picture.row(y);
        for (std::uint32_t x = area.x; x < area.x + area.width; ++x) {
            const std::uint32_t pixel = pixels[x];
            XPutPixel(&image, static_cast<int>(x), static_cast<int>(y),
                      red_[(pixel >> 16) & 0xFFu] | green_[(pixel >> 8) & 0xFFu] |
                          blue_[pixel & 0xFFu]);
        }
    }
}

} // namespace nexacomms
