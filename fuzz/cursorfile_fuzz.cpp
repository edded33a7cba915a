// libFuzzer target for the cursor-file reader. Build and run from the repository root:
//
//     CC=clang CXX=clang++ cmake -S . -B build-fuzz -DPELLAVIN_FUZZ=ON
//     cmake --build build-fuzz --target cursorfile_fuzz
//     mkdir -p /tmp/cursor-corpus && cp fuzz/corpus/* /tmp/cursor-corpus/
//     build-fuzz/fuzz/cursorfile_fuzz -dict=fuzz/cursorfile.dict -max_len=32768 \
//         -max_total_time=600 /tmp/cursor-corpus
//
// The seeds in corpus/ are copies of the shipped cursor files and small hand-made ones
// (png.cur carries a bad IHDR CRC on purpose, png-valid.cur is sound); the working corpus
// goes elsewhere so that the fuzzer's additions stay out of the repository.

#include "cursor/file/cursorwriter.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto cursor = cursorfile::parse({data, size});
    if (!cursor)
        return 0;
    // Whatever the reader accepts must hold together, since the Qt side indexes by it.
    if (cursor->frames.empty() || cursor->sequence.empty()
        || cursor->sequence.size() != cursor->jiffies.size())
        __builtin_trap();
    for (auto index : cursor->sequence)
        if (index >= cursor->frames.size())
            __builtin_trap();
    std::size_t pixels = 0;
    for (const auto &f : cursor->frames) {
        if (f.width < 1 || f.height < 1 || f.width > cursorfile::maxImageSide
            || f.height > cursorfile::maxImageSide)
            __builtin_trap();
        if (f.hotspotX < 0 || f.hotspotY < 0 || f.hotspotX >= f.width || f.hotspotY >= f.height)
            __builtin_trap();
        if (f.png.empty()
            != (f.argb.size() == static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height)))
            __builtin_trap();
        pixels += static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height);
    }
    if (pixels > cursorfile::maxDecodedPixels)
        __builtin_trap();
    // Writing what was read and reading it again must show the same pictures at every step.
    // (Frames may merge on the way: two that differed only in how they were stored are one now.)
    const bool allPixels = std::all_of(cursor->frames.begin(), cursor->frames.end(),
                                       [](const cursorfile::Frame &f) { return f.png.empty(); });
    if (allPixels) {
        const auto again = cursorfile::parse(cursor->animated ? cursorfile::writeAni(*cursor)
                                                              : cursorfile::writeCur(cursor->frames.front()));
        if (!again || again->frames.size() > cursor->frames.size() || again->jiffies != cursor->jiffies
            || again->sequence.size() != cursor->sequence.size())
            __builtin_trap();
        for (std::size_t i = 0; i < again->sequence.size(); ++i) {
            const auto &a = again->frames[again->sequence[i]];
            const auto &b = cursor->frames[cursor->sequence[i]];
            if (a.argb != b.argb || a.hotspotX != b.hotspotX || a.hotspotY != b.hotspotY)
                __builtin_trap();
        }
    }
    return 0;
}
