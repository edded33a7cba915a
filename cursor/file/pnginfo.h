#pragma once

// The reader's check of a PNG image inside a cursor file, and what it learns of an image.

#include "cursor/file/readbytes.h"

#include <cstddef>
#include <optional>

namespace cursorfile::detail {

// What an image is, read from its headers and checked whole before anything is decoded.
struct ImageInfo
{
    int width = 0, height = 0, bitCount = 0;
    std::size_t paletteCount = 0; // DIB: colours to read for the pixels
    std::size_t pixelsAt = 0;     // DIB: where the XOR rows start
};

bool isPng(Bytes b);

// Walks every chunk, so that what the image decoder would refuse is refused here already:
// a bad CRC on a critical chunk, a chunk running past the end, IHDR missing, repeated or insane, a palette
// image without PLTE, no IDAT, no IEND, an unknown critical chunk. Only the compressed pixels themselves are
// left to the decoder.
std::optional<ImageInfo> pngInfo(Bytes b);

} // namespace cursorfile::detail
