#include "services/registry/keyvalue.h"

#include <array>
#include <stdexcept>

namespace {

// Closes the key on every way out, including an exception from decoding.
class KeyCloser
{
public:
    KeyCloser(registry::Registry &registry, const registry::Key &key)
        : m_registry(registry)
        , m_key(key)
    {
    }
    ~KeyCloser() { m_registry.RegCloseKey(m_key); }
    KeyCloser(const KeyCloser &) = delete;
    KeyCloser &operator=(const KeyCloser &) = delete;

private:
    registry::Registry &m_registry;
    const registry::Key &m_key;
};

}

bool registry::GetKeyValue(Registry &registry, Key KeyRoot, const std::string &KeyName,
                           const std::string &SubKeyRef, std::string &KeyVal)
{
    Key key = 0;
    // Closed even when the open fails (then with 0), as the close result does not matter.
    const KeyCloser closer(registry, key);

    // Read rights only: an account that may not write to the key can still read it.
    if (registry.RegOpenKeyExA(KeyRoot, KeyName, 0, KeyRead, key) != ErrorSuccess) {
        KeyVal.clear();
        return false;
    }

    std::array<std::uint8_t, MaxValueBytes> buffer{};
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    // A size past the buffer would be a broken registry; treat it like a value too long.
    if (registry.RegQueryValueExA(key, SubKeyRef, type, buffer, size) != ErrorSuccess
        || size > buffer.size()) {
        KeyVal.clear();
        return false;
    }

    decodeValue(type, std::span<const std::uint8_t>(buffer.data(), size), KeyVal);
    return true;
}

void registry::decodeValue(std::uint32_t type, std::span<const std::uint8_t> bytes, std::string &KeyVal)
{
    if (bytes.empty())
        throw std::invalid_argument("registry value has no bytes");
    if (bytes.back() == 0)
        bytes = bytes.first(bytes.size() - 1);

    if (type == TypeSz) {
        KeyVal.assign(bytes.begin(), bytes.end());
    } else if (type == TypeDword) {
        static constexpr char digits[] = "0123456789ABCDEF";
        std::string hex = "&h";
        for (auto byte = bytes.rbegin(); byte != bytes.rend(); ++byte) {
            if (*byte >= 0x10)
                hex += digits[*byte >> 4];
            hex += digits[*byte & 0x0F];
        }
        KeyVal = std::move(hex);
    }
}
