#include "cursor/file/cursorfile.h"
#include "cursor/file/dibrows.h"
#include "cursor/file/pnginfo.h"
#include "cursor/file/readbytes.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace cursorfile {
namespace {

using namespace detail;

std::optional<ImageInfo> dibInfo(Bytes b)
{
    std::uint32_t headerSize = 0, rawWidth = 0, rawHeight = 0, compression = 0, colorsUsed = 0;
    std::uint16_t planes = 0, bitCount = 0;
    if (!readU32(b, 0, headerSize) || headerSize < dibHeaderSize || !readU32(b, 4, rawWidth)
        || !readU32(b, 8, rawHeight) || !readU16(b, 12, planes) || !readU16(b, 14, bitCount)
        || !readU32(b, 16, compression) || !readU32(b, 32, colorsUsed))
        return std::nullopt;
    // Signed in the file; a negative (top-down) height is not valid for icons and
    // shows up here as a huge unsigned value, which the size check rejects.
    const std::uint32_t height = rawHeight / 2;
    if (rawWidth < 1 || rawWidth > maxImageSide || height < 1 || height > maxImageSide)
        return std::nullopt;
    if (compression != 0)
        return std::nullopt;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
        return std::nullopt;

    ImageInfo info{static_cast<int>(rawWidth), static_cast<int>(height), bitCount, 0, 0};
    // A colour table follows the header: the palette up to 8 bits, and at 24 and 32 bits a table
    // of colorsUsed entries that is only there to be skipped.
    std::size_t tableCount = colorsUsed;
    if (bitCount <= 8) {
        const std::size_t full = std::size_t{1} << bitCount;
        info.paletteCount = colorsUsed == 0 ? full : std::min<std::size_t>(colorsUsed, full);
        tableCount = info.paletteCount;
    }
    if (headerSize > b.size() || tableCount > (b.size() - headerSize) / 4)
        return std::nullopt;
    info.pixelsAt = headerSize + tableCount * 4;
    const std::size_t rows = rowStride(info.width, bitCount) + rowStride(info.width, 1);
    if (!slice(b, info.pixelsAt, rows * height))
        return std::nullopt;
    return info;
}

std::optional<ImageInfo> imageInfo(Bytes b)
{
    return isPng(b) ? pngInfo(b) : dibInfo(b);
}

bool maskBit(Bytes row, int x)
{
    return (row[static_cast<std::size_t>(x) / 8] >> (7 - x % 8)) & 1;
}

// Unused palette slots stay black so that any pixel index is safe to look up.
using Palette = std::array<std::uint32_t, 256>;

std::optional<Palette> readPalette(Bytes b, const ImageInfo &info)
{
    Palette palette{};
    const std::size_t paletteCount = info.paletteCount;
    const auto paletteBytes = slice(b, info.pixelsAt - paletteCount * 4, paletteCount * 4);
    if (!paletteBytes)
        return std::nullopt;
    for (std::size_t i = 0; i < paletteCount; ++i) {
        const auto *p = paletteBytes->data() + i * 4;
        palette[i] =
                (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[0];
    }
    return palette;
}

// Pixel ux of an XOR row, as 0xAARRGGBB; alpha is only in the file at 32 bits.
std::uint32_t dibPixel(Bytes row, std::size_t ux, int bpp, const Palette &palette)
{
    switch (bpp) {
    case 1: return palette[(row[ux / 8] >> (7 - ux % 8)) & 1];
    case 4: return palette[(row[ux / 2] >> (ux % 2 == 0 ? 4 : 0)) & 0xf];
    case 8: return palette[row[ux]];
    case 24:
        return (static_cast<std::uint32_t>(row[ux * 3 + 2]) << 16)
               | (static_cast<std::uint32_t>(row[ux * 3 + 1]) << 8) | row[ux * 3];
    default:
        return (static_cast<std::uint32_t>(row[ux * 4 + 3]) << 24)
               | (static_cast<std::uint32_t>(row[ux * 4 + 2]) << 16)
               | (static_cast<std::uint32_t>(row[ux * 4 + 1]) << 8) | row[ux * 4];
    }
}

// The layout in info has been checked against b already; the slices below are belt and braces.
std::optional<Frame> decodeDib(Bytes b, const ImageInfo &info)
{
    const int w = info.width, h = info.height, bpp = info.bitCount;
    const auto palette = readPalette(b, info);
    if (!palette)
        return std::nullopt;

    const std::size_t xorStride = rowStride(w, bpp), andStride = rowStride(w, 1);
    const auto xorBytes = slice(b, info.pixelsAt, xorStride * static_cast<std::size_t>(h));
    const auto andBytes =
            xorBytes ? slice(b, info.pixelsAt + xorBytes->size(), andStride * static_cast<std::size_t>(h))
                     : std::nullopt;
    if (!xorBytes || !andBytes)
        return std::nullopt;

    Frame f;
    f.width = w;
    f.height = h;
    f.argb.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    bool anyAlpha = false;
    for (int y = 0; y < h; ++y) {
        // Rows are stored bottom-up.
        const auto row = xorBytes->subspan(static_cast<std::size_t>(h - 1 - y) * xorStride, xorStride);
        const auto mask = andBytes->subspan(static_cast<std::size_t>(h - 1 - y) * andStride, andStride);
        std::uint32_t *out = f.argb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        for (int x = 0; x < w; ++x) {
            std::uint32_t px = dibPixel(row, static_cast<std::size_t>(x), bpp, *palette);
            if (bpp == 32)
                anyAlpha = anyAlpha || (px >> 24) != 0;
            else
                px |= maskBit(mask, x) ? 0u : 0xff000000u;
            out[x] = px;
        }
    }
    // Old 32-bit cursors leave alpha at zero and rely on the AND mask alone.
    if (bpp == 32 && !anyAlpha) {
        for (int y = 0; y < h; ++y) {
            const auto mask = andBytes->subspan(static_cast<std::size_t>(h - 1 - y) * andStride, andStride);
            std::uint32_t *out = f.argb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
            for (int x = 0; x < w; ++x)
                out[x] |= maskBit(mask, x) ? 0u : 0xff000000u;
        }
    }
    // An AND-masked pixel carries no colour we can show (Windows would invert the screen there).
    for (auto &px : f.argb)
        if ((px >> 24) == 0)
            px = 0;
    return f;
}

struct Entry
{
    Bytes image;
    ImageInfo info;
    int hotspotX = 0, hotspotY = 0;

    std::size_t pixels() const
    {
        return static_cast<std::size_t>(info.width) * static_cast<std::size_t>(info.height);
    }
};

// The image of a .cur/.ico that we would show: the sound one nearest 32x32, then the deepest.
// A damaged image among several is passed over, so that a better-looking but broken one
// cannot spoil a file that has a good one. Nothing is decoded here.
std::optional<Entry> chooseImage(Bytes b)
{
    std::uint16_t reserved = 0, type = 0, count = 0;
    if (!readU16(b, 0, reserved) || !readU16(b, 2, type) || !readU16(b, 4, count))
        return std::nullopt;
    if (reserved != 0 || (type != 1 && type != 2) || count == 0)
        return std::nullopt;

    std::optional<Entry> best;
    auto score = [](const ImageInfo &i) { return std::abs(i.width - 32) + std::abs(i.height - 32); };
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 6 + i * 16;
        std::uint16_t field1 = 0, field2 = 0;
        std::uint32_t size = 0, offset = 0;
        if (!readU16(b, at + 4, field1) || !readU16(b, at + 6, field2) || !readU32(b, at + 8, size)
            || !readU32(b, at + 12, offset))
            return std::nullopt;
        const auto image = slice(b, offset, size);
        const auto info = image ? imageInfo(*image) : std::nullopt;
        if (!info)
            continue;
        if (best) {
            const int s = score(*info), bestScore = score(best->info);
            if (s > bestScore || (s == bestScore && info->bitCount <= best->info.bitCount))
                continue;
        }
        Entry e{*image, *info, 0, 0};
        if (type == 2) {
            e.hotspotX = field1;
            e.hotspotY = field2;
        } else {
            e.hotspotX = info->width / 2;
            e.hotspotY = info->height / 2;
        }
        best = e;
    }
    return best;
}

std::optional<Frame> decodeEntry(const Entry &entry)
{
    std::optional<Frame> frame;
    if (isPng(entry.image)) {
        frame = Frame{};
        frame->width = entry.info.width;
        frame->height = entry.info.height;
        frame->png.assign(entry.image.begin(), entry.image.end());
    } else {
        frame = decodeDib(entry.image, entry.info);
        if (!frame)
            return std::nullopt;
    }
    frame->hotspotX = std::clamp(entry.hotspotX, 0, frame->width - 1);
    frame->hotspotY = std::clamp(entry.hotspotY, 0, frame->height - 1);
    return frame;
}

struct Chunk
{
    std::array<char, 4> id{};
    Bytes data;
};

// Splits a run of RIFF chunks. Fails when a chunk claims more bytes than there are;
// a missing pad byte after the very last chunk is forgiven.
std::optional<std::vector<Chunk>> splitChunks(Bytes b)
{
    std::vector<Chunk> chunks;
    std::size_t at = 0;
    while (at < b.size()) {
        std::uint32_t size = 0;
        if (!readU32(b, at + 4, size))
            return std::nullopt;
        const auto data = slice(b, at + 8, size);
        if (!data)
            return std::nullopt;
        // Each chunk costs at least 8 bytes of input, so this stays bounded by the file size.
        Chunk c;
        std::memcpy(c.id.data(), b.data() + at, 4);
        c.data = *data;
        chunks.push_back(c);
        at += 8 + static_cast<std::size_t>(size) + (size & 1);
    }
    return chunks;
}

bool isId(const Chunk &c, const char (&tag)[5])
{
    return std::memcmp(c.id.data(), tag, 4) == 0;
}

// The chunks of an .ani that are read; the first of each kind counts.
struct AniChunks
{
    std::optional<Bytes> anih, rate, seq;
    std::vector<Bytes> icons; // the icon chunks of the first LIST fram
};

std::optional<AniChunks> findAniChunks(Bytes b)
{
    std::uint32_t riffSize = 0;
    if (!readU32(b, 4, riffSize) || !hasTag(b, 8, "ACON") || riffSize < 4)
        return std::nullopt;
    const auto body = slice(b, 12, riffSize - 4);
    if (!body)
        return std::nullopt;
    const auto chunks = splitChunks(*body);
    if (!chunks)
        return std::nullopt;

    AniChunks found;
    bool haveFrames = false;
    for (const auto &c : *chunks) {
        if (isId(c, "anih")) {
            if (!found.anih)
                found.anih = c.data;
        } else if (isId(c, "rate")) {
            if (!found.rate)
                found.rate = c.data;
        } else if (isId(c, "seq ")) {
            if (!found.seq)
                found.seq = c.data;
        } else if (isId(c, "LIST") && hasTag(c.data, 0, "fram") && !haveFrames) {
            haveFrames = true;
            const auto sub = splitChunks(c.data.subspan(4));
            if (!sub)
                return std::nullopt;
            for (const auto &s : *sub) {
                if (!isId(s, "icon"))
                    continue;
                if (found.icons.size() >= maxFrames)
                    return std::nullopt;
                found.icons.push_back(s.data);
            }
        }
    }
    return found;
}

struct AniHeader
{
    std::uint32_t nFrames = 0, nSteps = 0, jifRate = 0;
};

// The anih header, checked against the chunks it describes.
std::optional<AniHeader> readAniHeader(const AniChunks &chunks)
{
    const auto &anih = chunks.anih;
    if (!anih || anih->size() < 36)
        return std::nullopt;
    std::uint32_t cbSize = 0, cx = 0, cy = 0;
    AniHeader h;
    readU32(*anih, 0, cbSize);
    readU32(*anih, 4, h.nFrames);
    readU32(*anih, 8, h.nSteps);
    readU32(*anih, 12, cx);
    readU32(*anih, 16, cy);
    readU32(*anih, 28, h.jifRate);
    if (cbSize != 36 || h.nFrames < 1 || h.nFrames > maxFrames || h.nSteps < 1 || h.nSteps > maxSteps)
        return std::nullopt;
    if (cx > maxImageSide || cy > maxImageSide)
        return std::nullopt;
    if (chunks.icons.size() != h.nFrames)
        return std::nullopt;
    if (!chunks.seq && h.nSteps != h.nFrames)
        return std::nullopt;
    // The step tables must really hold nSteps entries before we size anything by nSteps.
    const std::size_t tableBytes = static_cast<std::size_t>(h.nSteps) * 4;
    if ((chunks.seq && chunks.seq->size() < tableBytes) || (chunks.rate && chunks.rate->size() < tableBytes))
        return std::nullopt;
    return h;
}

// The distinct images of an animation, and which of them each icon chunk is.
struct SharedImages
{
    std::vector<Entry> entries;
    std::vector<std::size_t> frameOf; // per icon chunk, its index in entries
};

// Identical icon chunks are checked and decoded once; the steps that name any of them share
// that one frame. The budget still counts every frame of the file, from the headers alone.
std::optional<SharedImages> shareImages(const std::vector<Bytes> &icons)
{
    std::unordered_map<std::string_view, std::size_t> seen;
    SharedImages shared;
    shared.frameOf.reserve(icons.size());
    std::size_t pixels = 0;
    for (const auto &icon : icons) {
        const std::string_view key(reinterpret_cast<const char *>(icon.data()), icon.size());
        const auto [it, fresh] = seen.try_emplace(key, shared.entries.size());
        if (fresh) {
            auto entry = chooseImage(icon);
            if (!entry)
                return std::nullopt;
            shared.entries.push_back(*entry);
        }
        shared.frameOf.push_back(it->second);
        pixels += shared.entries[it->second].pixels();
        if (pixels > maxDecodedPixels)
            return std::nullopt;
    }
    return shared;
}

// The frame and time of every step; false when a step names a frame that is not there.
bool readSteps(const AniChunks &chunks, const AniHeader &header, const std::vector<std::size_t> &frameOf,
               Cursor &cursor)
{
    cursor.sequence.resize(header.nSteps);
    cursor.jiffies.resize(header.nSteps);
    for (std::size_t i = 0; i < header.nSteps; ++i) {
        std::uint32_t index = static_cast<std::uint32_t>(i), jif = header.jifRate;
        if (chunks.seq)
            readU32(*chunks.seq, i * 4, index);
        if (chunks.rate)
            readU32(*chunks.rate, i * 4, jif);
        if (index >= header.nFrames)
            return false;
        cursor.sequence[i] = frameOf[index];
        cursor.jiffies[i] = jif;
    }
    return true;
}

std::optional<Cursor> parseAni(Bytes b)
{
    const auto chunks = findAniChunks(b);
    const auto header = chunks ? readAniHeader(*chunks) : std::nullopt;
    const auto shared = header ? shareImages(chunks->icons) : std::nullopt;
    if (!shared)
        return std::nullopt;

    Cursor cursor;
    cursor.animated = true;
    if (!readSteps(*chunks, *header, shared->frameOf, cursor))
        return std::nullopt;
    cursor.frames.reserve(shared->entries.size());
    for (const auto &entry : shared->entries) {
        auto frame = decodeEntry(entry);
        if (!frame)
            return std::nullopt;
        cursor.frames.push_back(std::move(*frame));
    }
    return cursor;
}

} // namespace

std::optional<Cursor> parse(std::span<const std::uint8_t> bytes)
{
    if (hasTag(bytes, 0, "RIFF"))
        return parseAni(bytes);
    const auto entry = chooseImage(bytes);
    if (!entry || entry->pixels() > maxDecodedPixels)
        return std::nullopt;
    auto frame = decodeEntry(*entry);
    if (!frame)
        return std::nullopt;
    Cursor cursor;
    cursor.frames.push_back(std::move(*frame));
    cursor.sequence = {0};
    cursor.jiffies = {0};
    return cursor;
}

std::optional<Cursor> load(const std::string &path)
{
    const auto bytes = readFile(path);
    if (!bytes)
        return std::nullopt;
    return parse(*bytes);
}

} // namespace cursorfile
