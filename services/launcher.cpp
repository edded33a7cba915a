#include "services/launcher.h"

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

std::u16string_view trimmed(std::u16string_view text)
{
    text = trimmedFront(text);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool endsWithExe(std::u16string_view name)
{
    constexpr std::u16string_view Exe = u".exe";
    if (name.size() < Exe.size())
        return false;
    const std::u16string_view end = name.substr(name.size() - Exe.size());
    for (std::size_t i = 0; i < Exe.size(); ++i) {
        const char16_t c = end[i] >= u'A' && end[i] <= u'Z' ? char16_t(end[i] - u'A' + u'a') : end[i];
        if (c != Exe[i])
            return false;
    }
    return true;
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
    line = trimmed(line);
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

    // The value is first of all a path: the whole of it, blanks and all, when it names a
    // program (completed with the extension only at its very end).
    int tries = 0;
    const auto isProgramTried = [&](const std::u16string &name) {
        ++tries;
        return isProgram(name);
    };
    std::u16string whole(line);
    if (isProgramTried(whole))
        return Command{std::move(whole), {}};
    if (std::u16string completed = programName(line, extension);
        completed != whole && isProgramTried(completed))
        return Command{std::move(completed), {}};

    // Then the arguments may only start after a name that spells out ".exe" itself: a name
    // completed at a blank would let "C:\Program.exe" stand in for "C:\Program Files\...".
    for (std::size_t cut = line.find_first_of(u" \t"); cut != line.npos && tries < MaxProgramTries;
         cut = line.find_first_of(u" \t", cut + 1)) {
        if (!endsWithExe(line.substr(0, cut)))
            continue;
        std::u16string name(line.substr(0, cut));
        if (isProgramTried(name))
            return Command{std::move(name), std::u16string(trimmedFront(line.substr(cut)))};
    }
    return std::nullopt;
}
