#pragma once

#include <cstdint>
#include <string>

// The four things the cursor theme needs from the platform, plus releasing a copy it will
// never hand over. Handles are 32-bit: the platform's own on Windows, small numbers in a
// table elsewhere. Free of Qt so that the Windows implementation builds without it.
namespace cursorplatform {

using Handle = std::int32_t;

// The standard arrow cursor's id.
constexpr std::uint32_t OCR_NORMAL = 32512;

class CursorPlatform
{
public:
    virtual ~CursorPlatform() = default;

    // The cursor currently shown; 0 if none.
    virtual Handle GetCursor() = 0;
    // A new handle to a copy of the cursor; 0 on failure (for example, given 0).
    virtual Handle CopyIcon(Handle cursor) = 0;
    // A static or animated cursor read from a file; 0 when missing or not a cursor. The path
    // is in the platform's narrow encoding.
    virtual Handle LoadCursorFromFile(const std::string &path) = 0;
    // Installs the cursor in place of the cursor id; the platform owns the handle from then
    // on. Fails without effect for 0 or a handle that is no longer valid.
    virtual bool SetSystemCursor(Handle cursor, std::uint32_t id) = 0;
    // Releases a handle that was never handed to SetSystemCursor.
    virtual void DestroyCursor(Handle cursor) = 0;
};

// The platform's implementation, one per process.
CursorPlatform &systemCursorPlatform();

}
