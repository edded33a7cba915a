// Where there is no registry: nothing can be opened, so every lookup fails and the launcher
// reports that system information is unavailable.
#include "services/registry/registry.h"

namespace {

class NoRegistry final : public registry::Registry
{
public:
    std::int32_t RegOpenKeyExA(registry::Key, const std::string &, std::uint32_t, std::uint32_t,
                               registry::Key &key) override
    {
        key = 0;
        return registry::ErrorFileNotFound;
    }

    std::int32_t RegQueryValueExA(registry::Key, const std::string &, std::uint32_t &type,
                                  std::span<std::uint8_t>, std::uint32_t &size) override
    {
        type = 0;
        size = 0;
        return registry::ErrorFileNotFound;
    }

    std::int32_t RegCloseKey(registry::Key) override { return registry::ErrorInvalidHandle; }
};

}

registry::Registry &registry::systemRegistry()
{
    static NoRegistry none;
    return none;
}
