#include "cursor/file/cursorwriter.h"
#include "cursor/file/dibrows.h"

#include <algorithm>
#include <optional>

namespace cursorfile {
namespace {

void putU16(std::vector<std::uint8_t> &out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xff));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
}

void putU32(std::vector<std::uint8_t> &out, std::uint32_t v)
{
    putU16(out, v & 0xffff);
    putU16(out, v >> 16);
}

void putTag(std::vector<std::uint8_t> &out, const char (&tag)[5])
{
    out.insert(out.end(), tag, tag + 4);
}

void putChunk(std::vector<std::uint8_t> &out, const char (&tag)[5], const std::vector<std::uint8_t> &data)
{
    putTag(out, tag);
    putU32(out, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() % 2 != 0)
        out.push_back(0);
}

// The frame as a 32-bit DIB: header, XOR rows and AND mask, rows bottom-up.
std::vector<std::uint8_t> dibImage(const Frame &frame)
{
    const int w = frame.width, h = frame.height;
    std::vector<std::uint8_t> image;
    const std::size_t andStride = rowStride(w, 1);
    const std::size_t pixelBytes = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4;
    const std::size_t maskBytes = andStride * static_cast<std::size_t>(h);
    putU32(image, static_cast<std::uint32_t>(dibHeaderSize));
    putU32(image, static_cast<std::uint32_t>(w));
    putU32(image, static_cast<std::uint32_t>(h * 2));
    putU16(image, 1);
    putU16(image, 32);
    putU32(image, 0);
    putU32(image, static_cast<std::uint32_t>(pixelBytes + maskBytes));
    for (int i = 0; i < 4; ++i)
        putU32(image, 0);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t px =
                    frame.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + x];
            putU32(image, px); // little-endian 0xAARRGGBB is B, G, R, A in memory
        }
    // The AND mask only matters to readers that ignore alpha: set it where the pixel is clear.
    for (int y = h - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(andStride, 0);
        for (int x = 0; x < w; ++x)
            if ((frame.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + x] >> 24) == 0)
                row[static_cast<std::size_t>(x) / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        image.insert(image.end(), row.begin(), row.end());
    }
    return image;
}

// The steps of an animation as the file stores them.
struct Steps
{
    std::vector<std::size_t> sequence;
    std::vector<std::uint32_t> jiffies;
    std::uint32_t jifRate = 0;
    bool identity = false; // the sequence is 0, 1, 2, ...: no seq chunk
    bool uniform = false;  // every step takes jifRate: no rate chunk
};

std::optional<Steps> stepsOf(const Cursor &cursor)
{
    const std::size_t nFrames = cursor.frames.size();
    Steps steps;
    steps.sequence = cursor.sequence;
    if (steps.sequence.empty())
        for (std::size_t i = 0; i < nFrames; ++i)
            steps.sequence.push_back(i);
    if (steps.sequence.size() > maxSteps)
        return std::nullopt;
    steps.identity = steps.sequence.size() == nFrames;
    for (std::size_t i = 0; i < steps.sequence.size(); ++i) {
        if (steps.sequence[i] >= nFrames)
            return std::nullopt;
        steps.identity = steps.identity && steps.sequence[i] == i;
    }
    // Steps without a time of their own take the first one.
    const std::uint32_t jifRate = cursor.jiffies.empty() ? 10 : cursor.jiffies.front();
    steps.jifRate = jifRate;
    steps.jiffies.assign(steps.sequence.size(), jifRate);
    std::copy_n(cursor.jiffies.begin(), std::min(cursor.jiffies.size(), steps.jiffies.size()),
                steps.jiffies.begin());
    steps.uniform = std::all_of(steps.jiffies.begin(), steps.jiffies.end(),
                                [&](std::uint32_t j) { return j == jifRate; });
    return steps;
}

void putAnimationHeader(std::vector<std::uint8_t> &body, std::size_t nFrames, const Steps &steps)
{
    std::vector<std::uint8_t> anih;
    putU32(anih, 36);
    putU32(anih, static_cast<std::uint32_t>(nFrames));
    putU32(anih, static_cast<std::uint32_t>(steps.sequence.size()));
    for (int i = 0; i < 4; ++i)
        putU32(anih, 0); // cx, cy, bit count, planes: only used by raw-bitmap frames, which we never write
    putU32(anih, steps.jifRate);
    putU32(anih, 1u | (steps.identity ? 0u : 2u));
    putChunk(body, "anih", anih);

    if (!steps.uniform) {
        std::vector<std::uint8_t> rate;
        for (auto j : steps.jiffies)
            putU32(rate, j);
        putChunk(body, "rate", rate);
    }
    if (!steps.identity) {
        std::vector<std::uint8_t> seq;
        for (auto s : steps.sequence)
            putU32(seq, static_cast<std::uint32_t>(s));
        putChunk(body, "seq ", seq);
    }
}

} // namespace

std::vector<std::uint8_t> writeCur(const Frame &frame)
{
    const int w = frame.width, h = frame.height;
    if (w < 1 || h < 1 || w > maxImageSide || h > maxImageSide)
        return {};
    const bool png = !frame.png.empty();
    if (!png && frame.argb.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h))
        return {};
    const std::vector<std::uint8_t> image = png ? frame.png : dibImage(frame);

    std::vector<std::uint8_t> out;
    putU16(out, 0);
    putU16(out, 2);
    putU16(out, 1);
    out.push_back(static_cast<std::uint8_t>(w == 256 ? 0 : w));
    out.push_back(static_cast<std::uint8_t>(h == 256 ? 0 : h));
    out.push_back(0);
    out.push_back(0);
    putU16(out, static_cast<std::uint32_t>(std::clamp(frame.hotspotX, 0, w - 1)));
    putU16(out, static_cast<std::uint32_t>(std::clamp(frame.hotspotY, 0, h - 1)));
    putU32(out, static_cast<std::uint32_t>(image.size()));
    putU32(out, 22);
    out.insert(out.end(), image.begin(), image.end());
    return out;
}

std::vector<std::uint8_t> writeAni(const Cursor &cursor)
{
    const std::size_t nFrames = cursor.frames.size();
    if (nFrames == 0 || nFrames > maxFrames)
        return {};
    const auto steps = stepsOf(cursor);
    if (!steps)
        return {};

    std::vector<std::uint8_t> body;
    putTag(body, "ACON");
    putAnimationHeader(body, nFrames, *steps);

    std::vector<std::uint8_t> list;
    putTag(list, "fram");
    for (const auto &frame : cursor.frames) {
        const auto cur = writeCur(frame);
        if (cur.empty())
            return {};
        putChunk(list, "icon", cur);
    }
    putChunk(body, "LIST", list);

    std::vector<std::uint8_t> out;
    putTag(out, "RIFF");
    putU32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

} // namespace cursorfile
