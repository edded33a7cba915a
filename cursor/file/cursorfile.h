#pragma once

// Reads Windows cursor files (.cur/.ico and animated .ani) without Qt, so that the reader
// can be fuzzed and tested on its own. Every function here treats its input as untrusted:
// bad data gives std::nullopt, never a crash. The writer is in cursorwriter.h.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace cursorfile {

struct Frame
{
    int width = 0, height = 0;
    int hotspotX = 0, hotspotY = 0;
    std::vector<std::uint32_t>
            argb; // width*height pixels, 0xAARRGGBB, not premultiplied, top row first; empty when png is set
    std::vector<std::uint8_t>
            png; // the frame's bytes when it is stored as a PNG image (decoding is left to the caller)
};

struct Cursor
{
    std::vector<Frame> frames;         // the distinct pictures: identical frames of a file are kept once
    std::vector<std::size_t> sequence; // the frame index shown at each step (for a static cursor: {0})
    std::vector<std::uint32_t>
            jiffies; // how long each step shows, in 1/60 s (same length as sequence; {0} for a static cursor)
    bool animated = false; // true for every .ani file, even one with a single step
};

// Limits that keep a hostile file from making us allocate or loop much.
inline constexpr int maxImageSide = 256;
inline constexpr std::uint32_t maxFrames = 4096;
inline constexpr std::uint32_t maxSteps = 4096;
inline constexpr std::size_t maxFileSize = std::size_t{4} * 1024 * 1024;
// Pixels once decoded, every frame of a file counted (shared or not), taken from the headers
// before anything is decoded: a small file of compressed frames must not unpack to gigabytes.
// 4096 frames of 32x32, or 64 of 256x256; 16 MiB as ARGB.
inline constexpr std::size_t maxDecodedPixels = std::size_t{4} * 1024 * 1024;

// .cur/.ico or .ani, told apart by content. PNG images are checked chunk by chunk (CRCs
// included) but left compressed.
std::optional<Cursor> parse(std::span<const std::uint8_t> bytes);

// The whole file; nothing when it is not a regular file or is over maxFileSize. The type is
// checked on the opened file, and opening cannot block on a named pipe.
std::optional<std::vector<std::uint8_t>> readFile(const std::string &path);

// readFile, then parse.
std::optional<Cursor> load(const std::string &path);

} // namespace cursorfile
