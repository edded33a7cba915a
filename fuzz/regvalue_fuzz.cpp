// libFuzzer target for decoding registry values. Build and run from the repository root:
//
//     CC=clang CXX=clang++ cmake -S . -B build-fuzz -DPELLAVIN_FUZZ=ON
//     cmake --build build-fuzz --target regvalue_fuzz
//     mkdir -p /tmp/regvalue-corpus && cp fuzz/corpus-regvalue/* /tmp/regvalue-corpus/
//     build-fuzz/fuzz/regvalue_fuzz -max_len=1100 -max_total_time=600 /tmp/regvalue-corpus
//
// The first input byte picks the value type (1 text, 4 number, anything else as it is); the
// rest are the value's bytes. A text is then read as the launcher reads a command line.

#include "keyvalue.h"
#include "launcher.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace {

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// Whether name starts text, or does once the ".exe" the launcher adds is taken off.
bool startsWithName(std::u16string_view text, std::u16string_view name)
{
    if (text.substr(0, name.size()) == name)
        return true;
    const std::u16string_view exe = u".exe";
    return name.size() >= exe.size() && name.substr(name.size() - exe.size()) == exe
           && text.substr(0, name.size() - exe.size()) == name.substr(0, name.size() - exe.size());
}

// The program comes from the start of the line (inside its quote, if any) and the arguments
// from its end; every name looked for starts the line, and there are few of them.
void checkCommandLine(const std::string &value)
{
    const std::u16string line(value.begin(), value.end());
    const std::size_t start = line.find_first_not_of(u" \t");
    const std::u16string_view body =
            start == line.npos ? std::u16string_view() : std::u16string_view(line).substr(start);
    const bool quoted = !body.empty() && body.front() == u'"';
    int tries = 0;
    const auto command = launcher::readCommandLine(line, u".exe", [&](const std::u16string &name) {
        ++tries;
        if (name.empty() || !startsWithName(body, name))
            __builtin_trap();
        return name.size() % 7 == 0;
    });
    if (tries > launcher::MaxProgramTries || (quoted && tries > 0))
        __builtin_trap();
    if (!command)
        return;
    const std::u16string_view arguments = command->arguments;
    if (command->program.empty() || !startsWithName(quoted ? body.substr(1) : body, command->program)
        || arguments.size() > body.size() || body.substr(body.size() - arguments.size()) != arguments)
        __builtin_trap();
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint32_t type = data[0];
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    const std::string before = "unchanged";
    std::string value = before;

    try {
        registry::decodeValue(type, bytes, value);
    } catch (const std::invalid_argument &) {
        // Only a value of no bytes may be refused, and it must leave the text alone.
        if (!bytes.empty() || value != before)
            __builtin_trap();
        return 0;
    }
    if (bytes.empty())
        __builtin_trap();

    // At most one final zero goes, and only a zero.
    const bool trimmed = bytes.back() == 0;
    const std::size_t kept = bytes.size() - (trimmed ? 1 : 0);

    if (type == registry::TypeSz) {
        if (value.size() != kept)
            __builtin_trap();
        for (std::size_t i = 0; i < kept; ++i)
            if (static_cast<std::uint8_t>(value[i]) != bytes[i])
                __builtin_trap();
        checkCommandLine(value);
    } else if (type == registry::TypeDword) {
        if (value.size() < 2 || value.compare(0, 2, "&h") != 0)
            __builtin_trap();
        const std::size_t digits = value.size() - 2;
        // One or two digits for each byte kept.
        if (digits < kept || digits > 2 * kept)
            __builtin_trap();
        for (std::size_t i = 2; i < value.size(); ++i)
            if (!isHexDigit(value[i]))
                __builtin_trap();
    } else if (value != before) {
        __builtin_trap();
    }
    return 0;
}
