#include "launcher.h"

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

// The name as the system looks for it: with the extension when its last part has none.
std::u16string programName(std::u16string_view name, std::u16string_view extension)
{
    std::u16string program(name);
    const std::size_t lastPart = name.find_last_of(u"\\/");
    const std::size_t dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos || (lastPart != std::u16string_view::npos && dot < lastPart))
        program += extension;
    return program;
}

std::u16string_view trimmedFront(std::u16string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    return text.substr(start);
}

}

bool launcher::isOrdinaryFile(std::uint32_t attributes)
{
    return attributes != NoFile
           && (attributes & (AttributeHidden | AttributeSystem | AttributeDirectory)) == 0;
}

std::optional<launcher::Command> launcher::readCommandLine(
        std::u16string_view line, std::u16string_view extension,
        const std::function<bool(const std::u16string &)> &isProgram)
{
    if (line.size() > MaxCommandLine)
        return std::nullopt;
    line = trimmedFront(line);
    if (line.empty())
        return std::nullopt;

    if (line.front() == u'"') {
        const std::size_t close = line.find(u'"', 1);
        const std::u16string_view name = line.substr(1, close == line.npos ? line.npos : close - 1);
        if (name.empty())
            return std::nullopt;
        const std::u16string_view rest = close == line.npos ? std::u16string_view() : line.substr(close + 1);
        return Command{programName(name, extension), std::u16string(trimmedFront(rest))};
    }

    // Each cut is tried at the start of a run of blanks, and last at the end of the line.
    int tries = 0;
    std::size_t cut = 0;
    while (tries < MaxProgramTries) {
        cut = line.find_first_of(u" \t", cut);
        const std::u16string_view name = line.substr(0, cut);
        std::u16string program = programName(name, extension);
        ++tries;
        if (isProgram(program)) {
            const std::u16string_view rest = cut == line.npos ? std::u16string_view() : line.substr(cut);
            return Command{std::move(program), std::u16string(trimmedFront(rest))};
        }
        if (cut == line.npos)
            break;
        while (cut < line.size() && isBlank(line[cut]))
            ++cut;
    }
    return std::nullopt;
}
