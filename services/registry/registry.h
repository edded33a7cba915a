#pragma once

#include <cstdint>
#include <span>
#include <string>

// The three registry calls the system-information launcher needs. Keys are plain integers so
// that callers never see <windows.h>; free of Qt so that the Windows implementation builds
// without it.
namespace registry {

// A key handle: the platform's own on Windows, any nonzero number in a test double.
using Key = std::uintptr_t;

// The predefined root as its 32-bit value; the Windows layer widens it the way the system does.
constexpr Key HKeyLocalMachine = 0x80000002;

// Access masks for RegOpenKeyExA.
constexpr std::uint32_t KeyRead = 0x20019;
// Read and write rights, which a limited account may not be given.
constexpr std::uint32_t KeyReadWrite = 0x2003F;

// Value types.
constexpr std::uint32_t TypeSz = 1;
constexpr std::uint32_t TypeExpandSz = 2;
constexpr std::uint32_t TypeDword = 4;

// Results: 0 is success, anything else a system error code.
constexpr std::int32_t ErrorSuccess = 0;
constexpr std::int32_t ErrorFileNotFound = 2;
constexpr std::int32_t ErrorAccessDenied = 5;
constexpr std::int32_t ErrorInvalidHandle = 6;
constexpr std::int32_t ErrorMoreData = 234;

class Registry
{
public:
    virtual ~Registry() = default;

    // Opens subKey under root. Names are in the system's ANSI code page. On failure key is 0.
    virtual std::int32_t RegOpenKeyExA(Key root, const std::string &subKey, std::uint32_t options,
                                       std::uint32_t access, Key &key) = 0;
    // Reads a value into buffer. size receives the bytes written, or the bytes needed when the
    // value does not fit (then the result is ErrorMoreData).
    virtual std::int32_t RegQueryValueExA(Key key, const std::string &valueName, std::uint32_t &type,
                                          std::span<std::uint8_t> buffer, std::uint32_t &size) = 0;
    virtual std::int32_t RegCloseKey(Key key) = 0;
};

// The platform's registry, one per process: advapi32 on Windows; elsewhere there is no
// registry and every open fails.
Registry &systemRegistry();

}
