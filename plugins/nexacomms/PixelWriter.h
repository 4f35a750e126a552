#pragma once

#include "Picture.h"
#include "PictureChange.h"

#include <array>

struct _XImage;

namespace nexacomms {

// Turns picture pixels (0x00RRGGBB) into the pixels of a visual, in one pass over an area.
// Where the visual keeps eight bits per channel in the picture's own layout (the usual 24-bit
// TrueColor visual, 32 bits per pixel in this machine's byte order) each row is copied whole;
// any other visual goes through per-channel tables.
class PixelWriter {
public:
    PixelWriter(unsigned long redMask, unsigned long greenMask, unsigned long blueMask);

    // Writes the area of the picture into the same area of the image, which has the
    // picture's size.
    void write(const Picture& picture, const Area& area, _XImage& image) const;

private:
    bool copiesWhole(const _XImage& image) const;

    std::array<unsigned long, 256> red_{};
    std::array<unsigned long, 256> green_{};
    std::array<unsigned long, 256> blue_{};
    bool pictureLayout_ = false;
};

} // namespace nexacomms
