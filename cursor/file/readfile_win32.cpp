#include "cursor/file/cursorfile.h"

#include <windows.h>

namespace cursorfile {

std::optional<std::vector<std::uint8_t>> readFile(const std::string &path)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    struct Closer
    {
        HANDLE h;
        ~Closer() { CloseHandle(h); }
    } closer{file};

    // Checked on the open handle: a pipe or a device in the file's place is refused unread.
    BY_HANDLE_FILE_INFORMATION info{};
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info)
        || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !GetFileSizeEx(file, &size)
        || size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > maxFileSize)
        return std::nullopt;

    // Room for one byte more than the file holds: a file that grows while we read it is refused.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart) + 1);
    std::size_t got = 0;
    while (got < bytes.size()) {
        DWORD n = 0;
        if (!ReadFile(file, bytes.data() + got, static_cast<DWORD>(bytes.size() - got), &n, nullptr))
            return std::nullopt;
        if (n == 0)
            break;
        got += n;
    }
    if (got == bytes.size())
        return std::nullopt;
    bytes.resize(got);
    return bytes;
}

} // namespace cursorfile
