// The desktop-wide standard arrow, through user32. Kept free of Qt.
#include "cursor/cursorplatform.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// The interface's method shares its name with this macro for the A/W variants.
#undef LoadCursorFromFile

#include <cstdint>

namespace {

using cursorplatform::Handle;

// Cursor handles are 32-bit values even in 64-bit processes, so they survive the round
// trip through a 32-bit integer (sign-extended, as the system does). Never dereferenced, the
// pointer carries nothing an optimiser could lose.
HCURSOR toCursor(Handle handle)
{
    return reinterpret_cast<HCURSOR>(static_cast<std::intptr_t>(handle)); // NOLINT(performance-no-int-to-ptr)
}

Handle toHandle(HCURSOR cursor)
{
    return static_cast<Handle>(reinterpret_cast<std::intptr_t>(cursor));
}

class Win32CursorPlatform final : public cursorplatform::CursorPlatform
{
public:
    Handle GetCursor() override { return toHandle(::GetCursor()); }

    Handle CopyIcon(Handle cursor) override
    {
        if (cursor == 0)
            return 0;
        return toHandle(static_cast<HCURSOR>(::CopyIcon(toCursor(cursor))));
    }

    Handle LoadCursorFromFile(const std::string &path) override
    {
        return toHandle(::LoadCursorFromFileA(path.c_str()));
    }

    bool SetSystemCursor(Handle cursor, std::uint32_t id) override
    {
        if (cursor == 0)
            return false;
        return ::SetSystemCursor(toCursor(cursor), static_cast<DWORD>(id)) != FALSE;
    }

    void DestroyCursor(Handle cursor) override
    {
        if (cursor != 0)
            ::DestroyCursor(toCursor(cursor));
    }
};

}

cursorplatform::CursorPlatform &cursorplatform::systemCursorPlatform()
{
    static Win32CursorPlatform platform;
    return platform;
}
