#pragma once

#include "Picture.h"

#include <string>

namespace nexacomms {

// Writes the picture as an 8-bit RGB PNG (uncompressed deflate blocks: the record is a test
// aid, and this keeps the library free of an image library). Replaces the file atomically so
// a reader never sees half a picture. False when the file cannot be written.
bool WritePng(const Picture& picture, const std::string& path);

} // namespace nexacomms
