#include "cursorfile.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace cursorfile {
namespace {

using Bytes = std::span<const std::uint8_t>;

// All reads go through these: they return false instead of touching memory past the end.
bool readU16(Bytes b, std::size_t at, std::uint16_t& out)
{
    if (at > b.size() || b.size() - at < 2)
        return false;
    out = static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
    return true;
}

bool readU32(Bytes b, std::size_t at, std::uint32_t& out)
{
    if (at > b.size() || b.size() - at < 4)
        return false;
    out = static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8)
        | (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
    return true;
}

std::uint32_t bigEndian32(Bytes b, std::size_t at)
{
    return (static_cast<std::uint32_t>(b[at]) << 24) | (static_cast<std::uint32_t>(b[at + 1]) << 16)
        | (static_cast<std::uint32_t>(b[at + 2]) << 8) | static_cast<std::uint32_t>(b[at + 3]);
}

bool hasTag(Bytes b, std::size_t at, const char (&tag)[5])
{
    if (at > b.size() || b.size() - at < 4)
        return false;
    return std::memcmp(b.data() + at, tag, 4) == 0;
}

// The sub-span [at, at+size) or nothing when it does not fit; written so that at+size cannot overflow.
std::optional<Bytes> slice(Bytes b, std::size_t at, std::size_t size)
{
    if (at > b.size() || size > b.size() - at)
        return std::nullopt;
    return b.subspan(at, size);
}

constexpr std::array<std::uint8_t, 8> pngSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

bool isPng(Bytes b)
{
    return b.size() >= pngSignature.size() && std::equal(pngSignature.begin(), pngSignature.end(), b.begin());
}

// What an image claims to be before we decode it, used to choose among several.
struct ImageInfo {
    int width = 0, height = 0, bitCount = 0;
};

constexpr std::size_t dibHeaderSize = 40;

std::optional<ImageInfo> pngInfo(Bytes b)
{
    // Signature, then the IHDR chunk: length 13, "IHDR", width, height (big-endian).
    if (!isPng(b) || b.size() < 24 || bigEndian32(b, 8) != 13 || !hasTag(b, 12, "IHDR"))
        return std::nullopt;
    const std::uint32_t w = bigEndian32(b, 16), h = bigEndian32(b, 20);
    if (w < 1 || h < 1 || w > maxImageSide || h > maxImageSide)
        return std::nullopt;
    return ImageInfo{static_cast<int>(w), static_cast<int>(h), 32};
}

std::optional<ImageInfo> dibInfo(Bytes b)
{
    std::uint32_t headerSize = 0, rawWidth = 0, rawHeight = 0, compression = 0;
    std::uint16_t planes = 0, bitCount = 0;
    if (!readU32(b, 0, headerSize) || headerSize < dibHeaderSize || !readU32(b, 4, rawWidth)
        || !readU32(b, 8, rawHeight) || !readU16(b, 12, planes) || !readU16(b, 14, bitCount)
        || !readU32(b, 16, compression))
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
    return ImageInfo{static_cast<int>(rawWidth), static_cast<int>(height), bitCount};
}

std::optional<ImageInfo> imageInfo(Bytes b)
{
    return isPng(b) ? pngInfo(b) : dibInfo(b);
}

std::size_t rowStride(int width, int bitCount)
{
    return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32) * 4;
}

bool maskBit(Bytes row, int x)
{
    return (row[static_cast<std::size_t>(x) / 8] >> (7 - x % 8)) & 1;
}

std::optional<Frame> decodeDib(Bytes b, const ImageInfo& info)
{
    std::uint32_t headerSize = 0, colorsUsed = 0;
    if (!readU32(b, 0, headerSize) || !readU32(b, 32, colorsUsed))
        return std::nullopt;
    const int w = info.width, h = info.height, bpp = info.bitCount;

    // Unused palette slots stay black so that any pixel index is safe to look up.
    std::array<std::uint32_t, 256> palette{};
    std::size_t paletteCount = 0;
    if (bpp <= 8) {
        const std::size_t full = std::size_t{1} << bpp;
        paletteCount = colorsUsed == 0 ? full : std::min<std::size_t>(colorsUsed, full);
    }
    const auto paletteBytes = slice(b, headerSize, paletteCount * 4);
    if (!paletteBytes)
        return std::nullopt;
    for (std::size_t i = 0; i < paletteCount; ++i) {
        const auto* p = paletteBytes->data() + i * 4;
        palette[i] = (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[0];
    }

    const std::size_t xorStride = rowStride(w, bpp), andStride = rowStride(w, 1);
    const std::size_t xorAt = static_cast<std::size_t>(headerSize) + paletteCount * 4;
    const auto xorBytes = slice(b, xorAt, xorStride * static_cast<std::size_t>(h));
    const auto andBytes = xorBytes ? slice(b, xorAt + xorBytes->size(), andStride * static_cast<std::size_t>(h))
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
        std::uint32_t* out = f.argb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        for (int x = 0; x < w; ++x) {
            const auto ux = static_cast<std::size_t>(x);
            std::uint32_t px = 0;
            switch (bpp) {
            case 1: px = palette[(row[ux / 8] >> (7 - ux % 8)) & 1]; break;
            case 4: px = palette[(row[ux / 2] >> (ux % 2 == 0 ? 4 : 0)) & 0xf]; break;
            case 8: px = palette[row[ux]]; break;
            case 24:
                px = (static_cast<std::uint32_t>(row[ux * 3 + 2]) << 16) | (static_cast<std::uint32_t>(row[ux * 3 + 1]) << 8)
                    | row[ux * 3];
                break;
            default:
                px = (static_cast<std::uint32_t>(row[ux * 4 + 3]) << 24) | (static_cast<std::uint32_t>(row[ux * 4 + 2]) << 16)
                    | (static_cast<std::uint32_t>(row[ux * 4 + 1]) << 8) | row[ux * 4];
                anyAlpha = anyAlpha || (px >> 24) != 0;
                break;
            }
            if (bpp != 32)
                px |= maskBit(mask, x) ? 0u : 0xff000000u;
            out[x] = px;
        }
    }
    // Old 32-bit cursors leave alpha at zero and rely on the AND mask alone.
    if (bpp == 32 && !anyAlpha) {
        for (int y = 0; y < h; ++y) {
            const auto mask = andBytes->subspan(static_cast<std::size_t>(h - 1 - y) * andStride, andStride);
            std::uint32_t* out = f.argb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
            for (int x = 0; x < w; ++x)
                out[x] |= maskBit(mask, x) ? 0u : 0xff000000u;
        }
    }
    // An AND-masked pixel carries no colour we can show (Windows would invert the screen there).
    for (auto& px : f.argb)
        if ((px >> 24) == 0)
            px = 0;
    return f;
}

struct Entry {
    Bytes image;
    ImageInfo info;
    int hotspotX = 0, hotspotY = 0;
};

std::optional<Frame> parseIconFile(Bytes b)
{
    std::uint16_t reserved = 0, type = 0, count = 0;
    if (!readU16(b, 0, reserved) || !readU16(b, 2, type) || !readU16(b, 4, count))
        return std::nullopt;
    if (reserved != 0 || (type != 1 && type != 2) || count == 0)
        return std::nullopt;

    std::optional<Entry> best;
    auto score = [](const ImageInfo& i) { return std::abs(i.width - 32) + std::abs(i.height - 32); };
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 6 + i * 16;
        std::uint16_t field1 = 0, field2 = 0;
        std::uint32_t size = 0, offset = 0;
        if (!readU16(b, at + 4, field1) || !readU16(b, at + 6, field2) || !readU32(b, at + 8, size)
            || !readU32(b, at + 12, offset))
            return std::nullopt;
        const auto image = slice(b, offset, size);
        if (!image)
            return std::nullopt;
        const auto info = imageInfo(*image);
        if (!info)
            continue;  // one unreadable image among several need not spoil the others
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
    if (!best)
        return std::nullopt;

    std::optional<Frame> frame;
    if (isPng(best->image)) {
        frame = Frame{};
        frame->width = best->info.width;
        frame->height = best->info.height;
        frame->png.assign(best->image.begin(), best->image.end());
    } else {
        frame = decodeDib(best->image, best->info);
        if (!frame)
            return std::nullopt;
    }
    frame->hotspotX = std::clamp(best->hotspotX, 0, frame->width - 1);
    frame->hotspotY = std::clamp(best->hotspotY, 0, frame->height - 1);
    return frame;
}

struct Chunk {
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

bool isId(const Chunk& c, const char (&tag)[5])
{
    return std::memcmp(c.id.data(), tag, 4) == 0;
}

std::optional<Cursor> parseAni(Bytes b)
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

    std::optional<Bytes> anih, rate, seq;
    std::vector<Bytes> icons;
    bool haveFrames = false;
    for (const auto& c : *chunks) {
        if (isId(c, "anih")) {
            if (!anih)
                anih = c.data;
        } else if (isId(c, "rate")) {
            if (!rate)
                rate = c.data;
        } else if (isId(c, "seq ")) {
            if (!seq)
                seq = c.data;
        } else if (isId(c, "LIST") && hasTag(c.data, 0, "fram") && !haveFrames) {
            haveFrames = true;
            const auto sub = splitChunks(c.data.subspan(4));
            if (!sub)
                return std::nullopt;
            for (const auto& s : *sub) {
                if (!isId(s, "icon"))
                    continue;
                if (icons.size() >= maxFrames)
                    return std::nullopt;
                icons.push_back(s.data);
            }
        }
    }
    if (!anih || anih->size() < 36)
        return std::nullopt;

    std::uint32_t cbSize = 0, nFrames = 0, nSteps = 0, cx = 0, cy = 0, jifRate = 0;
    readU32(*anih, 0, cbSize);
    readU32(*anih, 4, nFrames);
    readU32(*anih, 8, nSteps);
    readU32(*anih, 12, cx);
    readU32(*anih, 16, cy);
    readU32(*anih, 28, jifRate);
    if (cbSize != 36 || nFrames < 1 || nFrames > maxFrames || nSteps < 1 || nSteps > maxSteps)
        return std::nullopt;
    if (cx > maxImageSide || cy > maxImageSide)
        return std::nullopt;
    if (icons.size() != nFrames)
        return std::nullopt;
    if (!seq && nSteps != nFrames)
        return std::nullopt;
    // The step tables must really hold nSteps entries before we size anything by nSteps.
    const std::size_t tableBytes = static_cast<std::size_t>(nSteps) * 4;
    if ((seq && seq->size() < tableBytes) || (rate && rate->size() < tableBytes))
        return std::nullopt;

    Cursor cursor;
    cursor.animated = true;
    cursor.frames.reserve(nFrames);
    for (const auto& icon : icons) {
        auto frame = parseIconFile(icon);
        if (!frame)
            return std::nullopt;
        cursor.frames.push_back(std::move(*frame));
    }
    cursor.sequence.resize(nSteps);
    cursor.jiffies.resize(nSteps);
    for (std::size_t i = 0; i < nSteps; ++i) {
        std::uint32_t index = static_cast<std::uint32_t>(i), jif = jifRate;
        if (seq)
            readU32(*seq, i * 4, index);
        if (rate)
            readU32(*rate, i * 4, jif);
        if (index >= nFrames)
            return std::nullopt;
        cursor.sequence[i] = index;
        cursor.jiffies[i] = jif;
    }
    return cursor;
}

void putU16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xff));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    putU16(out, v & 0xffff);
    putU16(out, v >> 16);
}

void putTag(std::vector<std::uint8_t>& out, const char (&tag)[5])
{
    out.insert(out.end(), tag, tag + 4);
}

void putChunk(std::vector<std::uint8_t>& out, const char (&tag)[5], const std::vector<std::uint8_t>& data)
{
    putTag(out, tag);
    putU32(out, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() % 2 != 0)
        out.push_back(0);
}

}  // namespace

std::optional<Cursor> parse(std::span<const std::uint8_t> bytes)
{
    if (hasTag(bytes, 0, "RIFF"))
        return parseAni(bytes);
    auto frame = parseIconFile(bytes);
    if (!frame)
        return std::nullopt;
    Cursor cursor;
    cursor.frames.push_back(std::move(*frame));
    cursor.sequence = {0};
    cursor.jiffies = {0};
    return cursor;
}

std::optional<Cursor> load(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return std::nullopt;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > maxFileSize)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    // Read one byte more than expected so a file that grew since file_size() is noticed.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size) + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got > maxFileSize)
        return std::nullopt;
    bytes.resize(got);
    return parse(bytes);
}

std::vector<std::uint8_t> writeCur(const Frame& frame)
{
    const int w = frame.width, h = frame.height;
    if (w < 1 || h < 1 || w > maxImageSide || h > maxImageSide)
        return {};
    const bool png = !frame.png.empty();
    if (!png && frame.argb.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h))
        return {};

    std::vector<std::uint8_t> image;
    if (png) {
        image = frame.png;
    } else {
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
                const std::uint32_t px = frame.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + x];
                putU32(image, px);  // little-endian 0xAARRGGBB is B, G, R, A in memory
            }
        // The AND mask only matters to readers that ignore alpha: set it where the pixel is clear.
        for (int y = h - 1; y >= 0; --y) {
            std::vector<std::uint8_t> row(andStride, 0);
            for (int x = 0; x < w; ++x)
                if ((frame.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + x] >> 24) == 0)
                    row[static_cast<std::size_t>(x) / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            image.insert(image.end(), row.begin(), row.end());
        }
    }

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

std::vector<std::uint8_t> writeAni(const Cursor& cursor)
{
    const std::size_t nFrames = cursor.frames.size();
    if (nFrames == 0 || nFrames > maxFrames)
        return {};
    std::vector<std::size_t> sequence = cursor.sequence;
    if (sequence.empty())
        for (std::size_t i = 0; i < nFrames; ++i)
            sequence.push_back(i);
    if (sequence.size() > maxSteps)
        return {};
    bool identity = sequence.size() == nFrames;
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        if (sequence[i] >= nFrames)
            return {};
        identity = identity && sequence[i] == i;
    }
    // Steps without a time of their own take the first one.
    const std::uint32_t jifRate = cursor.jiffies.empty() ? 10 : cursor.jiffies.front();
    std::vector<std::uint32_t> jiffies(sequence.size(), jifRate);
    std::copy_n(cursor.jiffies.begin(), std::min(cursor.jiffies.size(), jiffies.size()), jiffies.begin());
    const bool uniform = std::all_of(jiffies.begin(), jiffies.end(), [&](std::uint32_t j) { return j == jifRate; });

    std::vector<std::uint8_t> body;
    putTag(body, "ACON");

    std::vector<std::uint8_t> anih;
    putU32(anih, 36);
    putU32(anih, static_cast<std::uint32_t>(nFrames));
    putU32(anih, static_cast<std::uint32_t>(sequence.size()));
    for (int i = 0; i < 4; ++i)
        putU32(anih, 0);  // cx, cy, bit count, planes: only used by raw-bitmap frames, which we never write
    putU32(anih, jifRate);
    putU32(anih, 1u | (identity ? 0u : 2u));
    putChunk(body, "anih", anih);

    if (!uniform) {
        std::vector<std::uint8_t> rate;
        for (auto j : jiffies)
            putU32(rate, j);
        putChunk(body, "rate", rate);
    }
    if (!identity) {
        std::vector<std::uint8_t> seq;
        for (auto s : sequence)
            putU32(seq, static_cast<std::uint32_t>(s));
        putChunk(body, "seq ", seq);
    }

    std::vector<std::uint8_t> list;
    putTag(list, "fram");
    for (const auto& frame : cursor.frames) {
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

}  // namespace cursorfile
