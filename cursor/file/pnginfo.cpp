#include "cursor/file/pnginfo.h"
#include "cursor/file/cursorfile.h"

#include <algorithm>
#include <array>

namespace cursorfile::detail {
namespace {

constexpr std::array<std::uint8_t, 8> pngSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

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
    case 2:
    case 4:
    case 6: return depth == 8 || depth == 16;
    default: return false;
    }
}

} // namespace

bool isPng(Bytes b)
{
    return b.size() >= pngSignature.size() && std::equal(pngSignature.begin(), pngSignature.end(), b.begin());
}

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
            return std::nullopt; // and not one we know
        }
    }
}

} // namespace cursorfile::detail
