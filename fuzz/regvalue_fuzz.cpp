// libFuzzer target for decoding registry values. Build and run from the repository root:
//
//     CC=clang CXX=clang++ cmake -S . -B build-fuzz -DPELLAVIN_FUZZ=ON
//     cmake --build build-fuzz --target regvalue_fuzz
//     mkdir -p /tmp/regvalue-corpus && cp fuzz/corpus-regvalue/* /tmp/regvalue-corpus/
//     build-fuzz/fuzz/regvalue_fuzz -max_len=1100 -max_total_time=600 /tmp/regvalue-corpus
//
// The first input byte picks the value type (1 text, 4 number, anything else as it is); the
// rest are the value's bytes. A text is then read as the launcher reads a command line.

#include "services/launcher.h"
#include "services/registry/keyvalue.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

bool endsWithExe(std::u16string_view name)
{
    if (name.size() < 4)
        return false;
    std::u16string end(name.substr(name.size() - 4));
    for (char16_t &c : end)
        c = c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
    return end == u".exe";
}

// The names an unquoted line may give: the whole line, that with ".exe", or the part before a
// blank when that part spells out ".exe" itself (never a name completed at a blank).
bool isNameOf(std::u16string_view body, std::u16string_view name)
{
    if (name == body)
        return true;
    if (name.size() == body.size() + 4 && name.substr(0, body.size()) == body
        && name.substr(body.size()) == u".exe")
        return true;
    return name.size() < body.size() && body.substr(0, name.size()) == name
           && (body[name.size()] == u' ' || body[name.size()] == u'\t') && endsWithExe(name);
}

// Every name looked for is one the line gives, and there are few of them; a quoted line looks
// for none. The arguments come from the line's end.
void checkCommandLine(const std::string &value)
{
    const std::u16string line(value.begin(), value.end());
    const std::size_t start = line.find_first_not_of(u" \t");
    const std::size_t end = line.find_last_not_of(u" \t");
    const std::u16string_view body = start == line.npos
                                             ? std::u16string_view()
                                             : std::u16string_view(line).substr(start, end - start + 1);
    const bool quoted = !body.empty() && body.front() == u'"';
    int tries = 0;
    const auto command = launcher::readCommandLine(line, u".exe", [&](const std::u16string &name) {
        ++tries;
        if (name.empty() || !isNameOf(body, name))
            __builtin_trap();
        return name.size() % 7 == 0;
    });
    if (tries > launcher::MaxProgramTries || (quoted && tries > 0))
        __builtin_trap();
    if (!command)
        return;
    const std::u16string_view arguments = command->arguments;
    if (command->program.empty() || arguments.size() > body.size()
        || body.substr(body.size() - arguments.size()) != arguments)
        __builtin_trap();
    if (quoted) {
        // The name inside the quotes, with ".exe" where it had no extension.
        const std::u16string_view program = command->program;
        const std::u16string_view inner = body.substr(1);
        const std::size_t named =
                inner.substr(0, program.size()) == program ? program.size() : program.size() - 4;
        if (program.size() > inner.size() + 4 || inner.substr(0, named) != program.substr(0, named))
            __builtin_trap();
    } else if (!arguments.empty() && !endsWithExe(command->program)) {
        __builtin_trap();
    }
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
