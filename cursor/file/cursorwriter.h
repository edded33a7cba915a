#pragma once

// Writes Windows cursor files. Only the tools that make the shipped cursors, the tests and
// the fuzzer's round trip use it; the program itself only reads (cursorfile.h).

#include "cursor/file/cursorfile.h"

#include <cstdint>
#include <vector>

namespace cursorfile {

// A one-image cursor: 32-bit BGRA DIB with an AND mask (or the frame's PNG bytes
// when png is set), hot spot in the directory entry. Empty when the frame is unusable.
std::vector<std::uint8_t> writeCur(const Frame &frame);

// RIFF ACON with anih, rate (only when the step times differ), seq (only when
// the sequence is not 0,1,2,...) and a LIST fram of icon chunks. Empty when
// the cursor is unusable (no frames, a bad frame or a sequence index out of range).
std::vector<std::uint8_t> writeAni(const Cursor &cursor);

} // namespace cursorfile
