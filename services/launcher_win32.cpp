// The file test and the launcher on the Windows API. Kept free of Qt.
#include "services/launcher.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

std::wstring wide(std::u16string_view text)
{
    return std::wstring(text.begin(), text.end());
}

}

const std::u16string_view launcher::ProgramExtension = u".exe";

std::uint32_t launcher::fileAttributes(const std::u16string &path)
{
    const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ? NoFile : static_cast<std::uint32_t>(attributes);
}

bool launcher::start(const Command &command)
{
    const std::wstring program = wide(command.program);
    // The program's own name comes first on its command line, quoted as the system expects.
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!command.arguments.empty())
        commandLine += L" " + wide(command.arguments);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return false;
    // Not waited for, nor watched.
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}
