#include "cursorfile.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <unordered_map>

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

std::size_t rowStride(int width, int bitCount)
{
    return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32) * 4;
}

// What an image is, read from its headers and checked whole before anything is decoded.
struct ImageInfo {
    int width = 0, height = 0, bitCount = 0;
    std::size_t paletteCount = 0;  // DIB: colours to read for the pixels
    std::size_t pixelsAt = 0;      // DIB: where the XOR rows start
};

constexpr std::size_t dibHeaderSize = 40;

// CRC-32 of ISO 3309, as PNG chunks carry it.
constexpr std::array<std::uint32_t, 256> crcTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) != 0 ? 0xedb88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

std::uint32_t crc32(Bytes b)
{
    std::uint32_t c = 0xffffffffu;
    for (const std::uint8_t byte : b)
        c = crcTable[(c ^ byte) & 0xff] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

bool isLetter(std::uint8_t c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool validPngDepth(std::uint8_t colourType, std::uint8_t depth)
{
    switch (colourType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2: case 4: case 6: return depth == 8 || depth == 16;
    default: return false;
    }
}

// Walks every chunk, so that what the image decoder would refuse is refused here already:
// a bad CRC on a critical chunk, a chunk running past the end, IHDR missing, repeated or insane, a palette image
// without PLTE, no IDAT, no IEND, an unknown critical chunk. Only the compressed pixels
// themselves are left to the decoder.
std::optional<ImageInfo> pngInfo(Bytes b)
{
    if (!isPng(b))
        return std::nullopt;
    std::optional<ImageInfo> info;
    std::uint8_t colourType = 0;
    bool havePalette = false, haveData = false;
    for (std::size_t at = pngSignature.size();;) {
        if (b.size() - at < 12)
            return std::nullopt;
        const std::uint32_t length = bigEndian32(b, at);
        const auto typeAndData = slice(b, at + 4, 4 + static_cast<std::size_t>(length));
        if (length > 0x7fffffffu || !typeAndData || b.size() - (at + 8) - length < 4)
            return std::nullopt;
        const Bytes data = typeAndData->subspan(4);
        if (!std::all_of(typeAndData->begin(), typeAndData->begin() + 4, isLetter))
            return std::nullopt;
        const bool critical = ((*typeAndData)[0] & 0x20) == 0;
        const bool intact = bigEndian32(b, at + 8 + length) == crc32(*typeAndData);
        at += 12 + static_cast<std::size_t>(length);
        // The decoder gives up on a damaged critical chunk but passes over a damaged ancillary one.
        if (!intact && critical)
            return std::nullopt;

        if (!info) {
            if (!hasTag(*typeAndData, 0, "IHDR") || length != 13)
                return std::nullopt;
            const std::uint32_t w = bigEndian32(data, 0), h = bigEndian32(data, 4);
            const std::uint8_t depth = data[8];
            colourType = data[9];
            if (w < 1 || h < 1 || w > maxImageSide || h > maxImageSide || !validPngDepth(colourType, depth)
                || data[10] != 0 || data[11] != 0 || data[12] > 1)
                return std::nullopt;
            info = ImageInfo{static_cast<int>(w), static_cast<int>(h), 32, 0, 0};
        } else if (!intact) {
            continue;
        } else if (hasTag(*typeAndData, 0, "IHDR")) {
            return std::nullopt;
        } else if (hasTag(*typeAndData, 0, "PLTE")) {
            if (colourType == 3 && (length == 0 || length % 3 != 0 || length > 3 * 256))
                return std::nullopt;
            havePalette = true;
        } else if (hasTag(*typeAndData, 0, "IDAT")) {
            if (colourType == 3 && !havePalette)
                return std::nullopt;
            haveData = true;
        } else if (hasTag(*typeAndData, 0, "IEND")) {
            return haveData ? info : std::nullopt;
        } else if (critical) {
            return std::nullopt;  // and not one we know
        }
    }
}

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

// The layout in info has been checked against b already; the slices below are belt and braces.
std::optional<Frame> decodeDib(Bytes b, const ImageInfo& info)
{
    const int w = info.width, h = info.height, bpp = info.bitCount;

    // Unused palette slots stay black so that any pixel index is safe to look up.
    std::array<std::uint32_t, 256> palette{};
    const std::size_t paletteCount = info.paletteCount;
    const auto paletteBytes = slice(b, info.pixelsAt - paletteCount * 4, paletteCount * 4);
    if (!paletteBytes)
        return std::nullopt;
    for (std::size_t i = 0; i < paletteCount; ++i) {
        const auto* p = paletteBytes->data() + i * 4;
        palette[i] = (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[0];
    }

    const std::size_t xorStride = rowStride(w, bpp), andStride = rowStride(w, 1);
    const auto xorBytes = slice(b, info.pixelsAt, xorStride * static_cast<std::size_t>(h));
    const auto andBytes = xorBytes ? slice(b, info.pixelsAt + xorBytes->size(), andStride * static_cast<std::size_t>(h))
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

    std::size_t pixels() const { return static_cast<std::size_t>(info.width) * static_cast<std::size_t>(info.height); }
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
    auto score = [](const ImageInfo& i) { return std::abs(i.width - 32) + std::abs(i.height - 32); };
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

std::optional<Frame> decodeEntry(const Entry& entry)
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

    // Identical icon chunks are checked and decoded once; the steps that name any of them share
    // that one frame. The budget still counts every frame of the file, from the headers alone.
    std::unordered_map<std::string_view, std::size_t> seen;
    std::vector<Entry> entries;
    std::vector<std::size_t> frameOf;
    frameOf.reserve(icons.size());
    std::size_t pixels = 0;
    for (const auto& icon : icons) {
        const std::string_view key(reinterpret_cast<const char*>(icon.data()), icon.size());
        const auto [it, fresh] = seen.try_emplace(key, entries.size());
        if (fresh) {
            auto entry = chooseImage(icon);
            if (!entry)
                return std::nullopt;
            entries.push_back(*entry);
        }
        frameOf.push_back(it->second);
        pixels += entries[it->second].pixels();
        if (pixels > maxDecodedPixels)
            return std::nullopt;
    }

    Cursor cursor;
    cursor.animated = true;
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
        cursor.sequence[i] = frameOf[index];
        cursor.jiffies[i] = jif;
    }
    cursor.frames.reserve(entries.size());
    for (const auto& entry : entries) {
        auto frame = decodeEntry(entry);
        if (!frame)
            return std::nullopt;
        cursor.frames.push_back(std::move(*frame));
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

std::optional<Cursor> load(const std::string& path)
{
    const auto bytes = readFile(path);
    if (!bytes)
        return std::nullopt;
    return parse(*bytes);
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
