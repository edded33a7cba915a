#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The file test and the program launcher, as the system does them. Plain C++ with no Qt, so
// that the Windows part builds with MinGW alone and the reading of command lines (which come
// from the registry) can be fuzzed on its own.
namespace launcher {

// File attribute bits in the system's numbering; the Qt layer maps onto them.
constexpr std::uint32_t AttributeHidden = 0x2;
constexpr std::uint32_t AttributeSystem = 0x4;
constexpr std::uint32_t AttributeDirectory = 0x10;
constexpr std::uint32_t NoFile = 0xFFFFFFFF;

// The system takes command lines of up to this many UTF-16 units; a longer one starts nothing.
constexpr std::size_t MaxCommandLine = 32767;
// At most this many programs are looked for in an unquoted line.
constexpr int MaxProgramTries = 64;

// Whether something with these attributes counts as present: a file, neither hidden nor system.
bool isOrdinaryFile(std::uint32_t attributes);

struct Command
{
    std::u16string program;
    std::u16string arguments; // the rest of the line, as typed
};

// Reads line, a path taken from the registry, as a command line. A program name in quotes ends
// at the next quote, and the arguments follow it. Without quotes the whole line, blanks at
// either end aside, is the program when isProgram accepts it (or it with extension, ".exe" on
// Windows, when its last part has none). Otherwise the arguments may start only at a blank right
// after a name that ends in ".exe" itself ("C:\Tools\info.exe /report"): a shorter name is never
// completed at a blank, so "C:\Program.exe" cannot stand in for "C:\Program Files\...".
// Nothing when the line is empty or too long, or no name is accepted.
std::optional<Command> readCommandLine(std::u16string_view line, std::u16string_view extension,
                                       const std::function<bool(const std::u16string &)> &isProgram);

// The platform's part: what is at path, as attribute bits, or NoFile; the extension a program
// name is given when it has none; and starting a program in a normal window without waiting,
// false when it could not be started.
std::uint32_t fileAttributes(const std::u16string &path);
extern const std::u16string_view ProgramExtension;
bool start(const Command &command);

}
