#pragma once

// Bounds-checked reading of the little-endian fields of a cursor file, shared by the parts
// of the reader.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

namespace cursorfile::detail {

using Bytes = std::span<const std::uint8_t>;

// All reads go through these: they return false instead of touching memory past the end.
inline bool readU16(Bytes b, std::size_t at, std::uint16_t &out)
{
    if (at > b.size() || b.size() - at < 2)
        return false;
    out = static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
    return true;
}

inline bool readU32(Bytes b, std::size_t at, std::uint32_t &out)
{
    if (at > b.size() || b.size() - at < 4)
        return false;
    out = static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8)
          | (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
    return true;
}

inline std::uint32_t bigEndian32(Bytes b, std::size_t at)
{
    return (static_cast<std::uint32_t>(b[at]) << 24) | (static_cast<std::uint32_t>(b[at + 1]) << 16)
           | (static_cast<std::uint32_t>(b[at + 2]) << 8) | static_cast<std::uint32_t>(b[at + 3]);
}

inline bool hasTag(Bytes b, std::size_t at, const char (&tag)[5])
{
    if (at > b.size() || b.size() - at < 4)
        return false;
    return std::memcmp(b.data() + at, tag, 4) == 0;
}

// The sub-span [at, at+size) or nothing when it does not fit; written so that at+size cannot overflow.
inline std::optional<Bytes> slice(Bytes b, std::size_t at, std::size_t size)
{
    if (at > b.size() || size > b.size() - at)
        return std::nullopt;
    return b.subspan(at, size);
}

} // namespace cursorfile::detail
