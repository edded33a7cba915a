#pragma once

#include "services/registry/registry.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>

// A registry held in memory that writes down every call. Keys are opened with handles from
// 100 up. By default it grants read rights only, as for a limited account, so an open that
// asks for more is refused.
class MemoryRegistry : public registry::Registry
{
public:
    using Key = registry::Key;

    struct Value
    {
        std::uint32_t type;
        QByteArray bytes;
    };

    QStringList calls;
    std::uint32_t grantedAccess = registry::KeyRead;
    std::set<Key> open; // handles given out and not closed yet
    Key nextHandle = 100;

    void set(const std::string &keyName, const std::string &valueName, std::uint32_t type,
             const QByteArray &bytes)
    {
        m_keys[{registry::HKeyLocalMachine, keyName}][valueName] = {type, bytes};
    }
    void setKey(const std::string &keyName) { m_keys[{registry::HKeyLocalMachine, keyName}]; }

    std::int32_t RegOpenKeyExA(Key root, const std::string &subKey, std::uint32_t options,
                               std::uint32_t access, Key &key) override
    {
        std::int32_t result = registry::ErrorSuccess;
        key = 0;
        if (!m_keys.count({root, subKey}))
            result = registry::ErrorFileNotFound;
        else if ((access & ~grantedAccess) != 0)
            result = registry::ErrorAccessDenied;
        else {
            key = nextHandle++;
            m_opened[key] = {root, subKey};
            open.insert(key);
        }
        calls << QStringLiteral("open %1 %2 %3 %4 -> %5 %6")
                         .arg(root, 0, 16)
                         .arg(QString::fromStdString(subKey))
                         .arg(options)
                         .arg(access, 0, 16)
                         .arg(result)
                         .arg(key);
        return result;
    }

    std::int32_t RegQueryValueExA(Key key, const std::string &valueName, std::uint32_t &type,
                                  std::span<std::uint8_t> buffer, std::uint32_t &size) override
    {
        std::int32_t result = registry::ErrorSuccess;
        if (!open.count(key)) {
            result = registry::ErrorInvalidHandle;
        } else {
            const auto &values = m_keys.at(m_opened.at(key));
            const auto found = values.find(valueName);
            if (found == values.end()) {
                result = registry::ErrorFileNotFound;
            } else {
                const auto bytes = static_cast<std::size_t>(found->second.bytes.size());
                type = found->second.type;
                size = static_cast<std::uint32_t>(bytes);
                if (bytes > buffer.size())
                    result = registry::ErrorMoreData;
                else
                    std::copy_n(found->second.bytes.constData(), bytes, buffer.begin());
            }
        }
        calls << QStringLiteral("query %1 %2 -> %3")
                         .arg(key)
                         .arg(QString::fromStdString(valueName))
                         .arg(result);
        return result;
    }

    std::int32_t RegCloseKey(Key key) override
    {
        const std::int32_t result =
                open.erase(key) == 1 ? registry::ErrorSuccess : registry::ErrorInvalidHandle;
        calls << QStringLiteral("close %1 -> %2").arg(key).arg(result);
        return result;
    }

private:
    using Path = std::pair<Key, std::string>;
    std::map<Path, std::map<std::string, Value>> m_keys;
    std::map<Key, Path> m_opened;
};
