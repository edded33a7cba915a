// The registry through advapi32's ANSI calls. Kept free of Qt.
#include "services/registry/registry.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>

namespace {

using registry::Key;

// Predefined roots are 32-bit values that the system sign-extends in 64-bit processes, and
// other key handles are 32-bit significant too, so widen the same way.
// A key handle is a number the system gives out and takes back, never dereferenced: the pointer
// it is cast to carries nothing an optimiser could lose (hence the NOLINTs).
HKEY toHkey(Key key)
{
    if (key <= 0xFFFFFFFFu)
        return reinterpret_cast<HKEY>( // NOLINT(performance-no-int-to-ptr)
                static_cast<std::intptr_t>(static_cast<std::int32_t>(static_cast<std::uint32_t>(key))));
    return reinterpret_cast<HKEY>(key); // NOLINT(performance-no-int-to-ptr)
}

Key toKey(HKEY key)
{
    return reinterpret_cast<Key>(key);
}

class Win32Registry final : public registry::Registry
{
public:
    std::int32_t RegOpenKeyExA(Key root, const std::string &subKey, std::uint32_t options,
                               std::uint32_t access, Key &key) override
    {
        HKEY opened = nullptr;
        const LSTATUS result = ::RegOpenKeyExA(toHkey(root), subKey.c_str(), static_cast<DWORD>(options),
                                               static_cast<REGSAM>(access), &opened);
        key = result == ERROR_SUCCESS ? toKey(opened) : 0;
        return static_cast<std::int32_t>(result);
    }

    std::int32_t RegQueryValueExA(Key key, const std::string &valueName, std::uint32_t &type,
                                  std::span<std::uint8_t> buffer, std::uint32_t &size) override
    {
        DWORD valueType = 0;
        // The registry speaks DWORD sizes; a larger buffer is simply offered in part.
        DWORD bytes = buffer.size() > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(buffer.size());
        const LSTATUS result = ::RegQueryValueExA(toHkey(key), valueName.c_str(), nullptr, &valueType,
                                                  buffer.data(), &bytes);
        type = static_cast<std::uint32_t>(valueType);
        size = static_cast<std::uint32_t>(bytes);
        return static_cast<std::int32_t>(result);
    }

    std::int32_t RegCloseKey(Key key) override
    {
        return static_cast<std::int32_t>(::RegCloseKey(toHkey(key)));
    }
};

}

registry::Registry &registry::systemRegistry()
{
    static Win32Registry system;
    return system;
}
