#pragma once

// What the reader and the writer agree on about the bitmap images inside a cursor file.

#include <cstddef>

namespace cursorfile {

// BITMAPINFOHEADER, the only header the writer writes and the least the reader accepts.
inline constexpr std::size_t dibHeaderSize = 40;

// Bitmap rows are padded to whole 32-bit words.
inline std::size_t rowStride(int width, int bitCount)
{
    return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32) * 4;
}

} // namespace cursorfile
