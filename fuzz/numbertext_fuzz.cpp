// libFuzzer target for reading typed answers as numbers. Build and run from the repository root:
//
//     CC=clang CXX=clang++ cmake -S . -B build-fuzz -DPELLAVIN_FUZZ=ON
//     cmake --build build-fuzz --target numbertext_fuzz
//     mkdir -p /tmp/numbertext-corpus && cp fuzz/corpus-numbertext/* /tmp/numbertext-corpus/
//     build-fuzz/fuzz/numbertext_fuzz -max_total_time=600 /tmp/numbertext-corpus
//
// An odd first byte makes the rest UTF-16 (little-endian pairs), an even one Latin-1, so that
// seeds stay readable text ("L12.5e3") and characters beyond ASCII still come up.

#include "quiz/numberprefix.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

using numbertext::readNumberPrefix;

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isAscii(char16_t c)
{
    return c < 0x80;
}

// The same value, or both not a number; -0 and 0 count as different.
bool same(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    return a == b && std::signbit(a) == std::signbit(b);
}

void check(bool property)
{
    if (!property)
        __builtin_trap();
}

std::u16string ascii(const std::string &text)
{
    return std::u16string(text.begin(), text.end());
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::u16string text;
    if (data[0] & 1) {
        for (std::size_t i = 1; i + 1 < size; i += 2)
            text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    } else {
        for (std::size_t i = 1; i < size; ++i)
            text.push_back(static_cast<char16_t>(data[i]));
    }

    const double value = readNumberPrefix(text);
    check(!std::isnan(value));

    // Blanks count nowhere.
    std::u16string unblanked;
    for (const char16_t c : text)
        if (!isBlank(c))
            unblanked.push_back(c);
    check(same(readNumberPrefix(unblanked), value));

    // Nothing beyond ASCII is part of a number: not full-width digits, not characters whose low
    // byte is a digit.
    std::u16string asciiOnly = text;
    for (char16_t &c : asciiOnly)
        if (!isAscii(c))
            c = u'x';
    check(same(readNumberPrefix(asciiOnly), value));

    // Reading stops at a character that cannot continue a number, so one added changes nothing.
    check(same(readNumberPrefix(text + u"x"), value));

    // A minus sign before unsigned text negates it.
    std::size_t first = 0;
    while (first < text.size() && isBlank(text[first]))
        ++first;
    if (first < text.size() && ((text[first] >= u'0' && text[first] <= u'9') || text[first] == u'.'))
        check(readNumberPrefix(u"-" + text) == -value);

    // A number's own shortest text reads back as that number, and so does its fixed-point text
    // while that stays short.
    char buffer[512];
    auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (std::isfinite(value) && written.ec == std::errc())
        check(same(readNumberPrefix(ascii(std::string(buffer, written.ptr))), value));
    written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (std::isfinite(value) && written.ec == std::errc())
        check(same(readNumberPrefix(ascii(std::string(buffer, written.ptr))), value));

    // Whole numbers taken from the input read back exactly, whatever their sign.
    if (size >= 9) {
        std::int64_t whole = 0;
        for (int i = 0; i < 8; ++i)
            whole = static_cast<std::int64_t>(static_cast<std::uint64_t>(whole) << 8 | data[1 + i]);
        const std::string digits = std::to_string(whole);
        check(same(readNumberPrefix(ascii(digits)), static_cast<double>(whole)));
        check(same(readNumberPrefix(ascii(digits + "abc")), static_cast<double>(whole)));
    }
    return 0;
}
