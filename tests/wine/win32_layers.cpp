// Runs the program's Windows layers against a real Windows API (Wine in CI): the registry
// reading on values that the test's fixture wrote (registry-values.sh), the cursor calls on the
// shipped cursor files, the system colours, and the version resource and icon as the system
// reads them.
//
//     win32_layers.exe <key under HKEY_LOCAL_MACHINE holding the fixture's values>
//
// Run from the repository's root, so that "Cursors\..." resolves. Prints one line per
// failure and "win32: N passed, N failed, N skipped"; exits 1 when anything failed.
#include "cursor/cursorplatform.h"
#include "services/registry/keyvalue.h"
#include "services/registry/registry.h"
#include "windows/syscolor.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#undef LoadCursorFromFile

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

int passed = 0;
int failed = 0;
int skipped = 0;

void check(bool ok, const std::string &what)
{
    if (ok) {
        ++passed;
    } else {
        ++failed;
        std::printf("FAIL: %s\n", what.c_str());
    }
}

void skip(const std::string &what)
{
    ++skipped;
    std::printf("SKIP: %s\n", what.c_str());
}

void checkRegistry(const std::string &key)
{
    registry::Registry &reg = registry::systemRegistry();
    const registry::Key root = registry::HKeyLocalMachine;

    struct Row
    {
        const char *value;
        bool found;
        std::string keyVal;
    };
    const Row rows[] = {
            {"Text", true, "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe"},
            {"Number", true, "&h12345678"},
            // The last stored byte is zero and goes in the trim, before the digits are built.
            {"SmallNumber", true, "&h0AB"},
            {"Fits", true, std::string(1023, 'f')},
            {"TooLong", false, ""},
            {"Missing", false, ""},
    };
    for (const Row &row : rows) {
        std::string keyVal = "stale";
        const bool found = registry::GetKeyValue(reg, root, key, row.value, keyVal);
        check(found == row.found && keyVal == row.keyVal,
              std::string("registry value ") + row.value + " read as " + (found ? "found" : "missing") + " \""
                      + keyVal.substr(0, 60) + "\"");
    }

    std::string keyVal = "stale";
    check(!registry::GetKeyValue(reg, root, key + "\\No Such Key", "Text", keyVal) && keyVal.empty(),
          "a missing key reads as missing");

    keyVal = "kept";
    check(registry::GetKeyValue(reg, root, key, "Expandable", keyVal) && keyVal == "kept",
          "an expandable text counts as found and leaves the value as it was");

    bool threw = false;
    try {
        keyVal = "kept";
        registry::GetKeyValue(reg, root, key, "Empty", keyVal);
    } catch (const std::invalid_argument &) {
        threw = true;
    }
    check(threw && keyVal == "kept", "a value of no bytes raises invalid_argument");

    // The key was closed on the way out of the throw: the same value can be read again.
    threw = false;
    try {
        registry::GetKeyValue(reg, root, key, "Empty", keyVal);
    } catch (const std::invalid_argument &) {
        threw = true;
    }
    check(threw, "a second read of the empty value behaves the same");
}

// A cursor's look, to tell whether the standard arrow has been replaced.
struct CursorLook
{
    DWORD hotX = 0;
    DWORD hotY = 0;
    LONG width = 0;
    LONG height = 0;
    std::vector<unsigned char> mask;
    bool operator==(const CursorLook &) const = default;
};

CursorLook lookOf(HCURSOR cursor)
{
    CursorLook look;
    ICONINFO info{};
    if (!::GetIconInfo(cursor, &info))
        return look;
    look.hotX = info.xHotspot;
    look.hotY = info.yHotspot;
    BITMAP bitmap{};
    if (info.hbmMask && ::GetObjectW(info.hbmMask, sizeof bitmap, &bitmap)) {
        look.width = bitmap.bmWidth;
        look.height = bitmap.bmHeight;
        look.mask.resize(static_cast<size_t>(bitmap.bmWidthBytes) * static_cast<size_t>(bitmap.bmHeight));
        ::GetBitmapBits(info.hbmMask, static_cast<LONG>(look.mask.size()), look.mask.data());
    }
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    return look;
}

HCURSOR toCursor(cursorplatform::Handle handle)
{
    return reinterpret_cast<HCURSOR>(static_cast<std::intptr_t>(handle));
}

void checkCursors()
{
    cursorplatform::CursorPlatform &platform = cursorplatform::systemCursorPlatform();

    cursorplatform::Handle arrowFile = 0;
    for (const char *file :
         {"Cursors\\Calc-Hello.ani", "Cursors\\Calc-Default.ani", "Cursors\\arrow_m.cur"}) {
        const cursorplatform::Handle loaded = platform.LoadCursorFromFile(file);
        check(loaded != 0, std::string("loads ") + file);
        if (std::strstr(file, "arrow_m"))
            arrowFile = loaded;
        else if (loaded != 0)
            platform.DestroyCursor(loaded);
    }
    check(platform.LoadCursorFromFile("Cursors\\no-such-cursor.cur") == 0, "a missing file loads as 0");
    check(platform.LoadCursorFromFile("README.md") == 0, "a file that is not a cursor loads as 0");

    // A process that has shown no window has no cursor yet: give it the system arrow.
    const HCURSOR arrow = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    ::SetCursor(arrow);
    const cursorplatform::Handle current = platform.GetCursor();
    check(current != 0 && toCursor(current) == arrow, "GetCursor gives the cursor that is shown");
    const cursorplatform::Handle copy = platform.CopyIcon(current);
    check(copy != 0 && copy != current, "CopyIcon makes a new handle");
    check(copy != 0 && lookOf(toCursor(copy)) == lookOf(arrow), "the copy looks like the original");
    platform.DestroyCursor(copy);
    check(platform.CopyIcon(0) == 0, "CopyIcon of 0 is 0");
    check(!platform.SetSystemCursor(0, cursorplatform::OCR_NORMAL), "SetSystemCursor of 0 fails");

    if (arrowFile == 0)
        return;
    const CursorLook before = lookOf(arrow);
    const CursorLook file = lookOf(toCursor(arrowFile));
    const bool installed = platform.SetSystemCursor(arrowFile, cursorplatform::OCR_NORMAL);
    std::printf("note: SetSystemCursor(arrow_m.cur, OCR_NORMAL) returned %s\n", installed ? "TRUE" : "FALSE");
    const CursorLook after = lookOf(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
    if (!installed || (after == before && !(before == file))) {
        skip("SetSystemCursor does not replace the standard arrow on this system");
    } else {
        check(after == file, "after SetSystemCursor the standard arrow is the file's cursor");
    }
}

void checkSystemColours()
{
    const int indexes[] = {COLOR_CAPTIONTEXT, COLOR_HIGHLIGHTTEXT};
    const COLORREF saved[] = {::GetSysColor(indexes[0]), ::GetSysColor(indexes[1])};
    // Red, green and blue all differ, so that a swapped order shows.
    const COLORREF probes[] = {RGB(0x12, 0x34, 0x56), RGB(0xAB, 0xCD, 0xEF)};
    if (!::SetSysColors(2, indexes, probes)) {
        skip("SetSysColors is refused here");
        return;
    }
    const auto caption = syscolor::systemColour(COLOR_CAPTIONTEXT);
    const auto highlight = syscolor::systemColour(COLOR_HIGHLIGHTTEXT);
    check(caption && *caption == 0x123456, "system colour 9 reads as 0xRRGGBB");
    check(highlight && *highlight == 0xABCDEF, "system colour 14 reads as 0xRRGGBB");
    ::SetSysColors(2, indexes, saved);
}

std::string versionString(const std::vector<char> &info, const char *name)
{
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    void *value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(info.data(), path.c_str(), &value, &length) || !value)
        return "<missing>";
    return std::string(static_cast<const char *>(value));
}

void checkOwnResources()
{
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    const DWORD size = ::GetFileVersionInfoSizeA(self, nullptr);
    std::vector<char> info(size);
    check(size != 0 && ::GetFileVersionInfoA(self, 0, size, info.data()), "the version resource is there");
    if (size == 0)
        return;

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    const bool hasFixed = ::VerQueryValueA(info.data(), "\\", reinterpret_cast<void **>(&fixed), &length)
                          && fixed && length >= sizeof *fixed;
    check(hasFixed && fixed->dwFileVersionMS == 0x00010000 && fixed->dwFileVersionLS == 0
                  && fixed->dwProductVersionMS == 0x00010000 && fixed->dwProductVersionLS == 0,
          "file and product version 1.0.0.0");
    check(hasFixed && fixed->dwFileFlags == 0 && fixed->dwFileOS == VOS__WINDOWS32
                  && fixed->dwFileType == VFT_APP,
          "no flags, 32-bit Windows, an application");

    WORD *translation = nullptr;
    check(::VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void **>(&translation),
                           &length)
                  && length == 4 && translation[0] == 0x0409 && translation[1] == 0x04B0,
          "translation 0x0409, 0x04B0");

    struct Entry
    {
        const char *name;
        const char *text;
    };
    for (const Entry &entry :
         {Entry{"CompanyName", "Varnholt Corp"}, Entry{"ProductName", "Pellavin"},
          Entry{"FileVersion", "1.00"}, Entry{"ProductVersion", "1.00"}, Entry{"InternalName", "Pellavin"},
          Entry{"OriginalFilename", "Pellavin.exe"}}) {
        const std::string text = versionString(info, entry.name);
        check(text == entry.text, std::string(entry.name) + " is \"" + text + "\"");
    }

    // The system picks an image of the icon group for each size it is asked for.
    for (const int side : {48, 32}) {
        const HANDLE icon = ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, side,
                                         side, LR_DEFAULTCOLOR);
        ICONINFO iconInfo{};
        BITMAP colour{};
        const bool ok = icon && ::GetIconInfo(static_cast<HICON>(icon), &iconInfo) && iconInfo.hbmColor
                        && ::GetObjectW(iconInfo.hbmColor, sizeof colour, &colour) && colour.bmWidth == side
                        && colour.bmHeight == side;
        check(ok, "the icon group gives a " + std::to_string(side) + " pixel image");
        if (iconInfo.hbmColor)
            ::DeleteObject(iconInfo.hbmColor);
        if (iconInfo.hbmMask)
            ::DeleteObject(iconInfo.hbmMask);
        if (icon)
            ::DestroyIcon(static_cast<HICON>(icon));
    }
}

}

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <registry key under HKEY_LOCAL_MACHINE>\n", argv[0]);
        return 2;
    }
    checkRegistry(argv[1]);
    checkCursors();
    checkSystemColours();
    checkOwnResources();
    std::printf("win32: %d passed, %d failed, %d skipped\n", passed, failed, skipped);
    return failed == 0 ? 0 : 1;
}
