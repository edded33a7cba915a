#include "numberprefix.h"

#include <charconv>
#include <limits>
#include <string>

namespace numbertext {

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// The typed text with blanks dropped, cut at the first character that cannot continue a
// decimal number. Kept as ASCII so that parsing does not depend on the user's locale.
struct Prefix
{
    std::string text;         // sign, mantissa and exponent, ready for from_chars (no '+')
    bool negative = false;
    int firstSignificant = 0; // decimal position of the first non-zero digit (1 = units)
    bool anySignificant = false;
    long long exponent = 0;
};

Prefix readPrefix(std::u16string_view input)
{
    enum class State { Sign, Integer, Fraction, ExponentSign, ExponentDigits };
    Prefix p;
    std::string mantissa;
    std::string exponentText;
    bool mantissaDigits = false;
    int fractionDigits = 0;
    bool exponentNegative = false;
    State state = State::Sign;

    for (const char16_t c : input) {
        if (isBlank(c))
            continue;
        bool taken = false;
        switch (state) {
        case State::Sign:
            if (c == u'+' || c == u'-') {
                p.negative = (c == u'-');
                state = State::Integer;
                taken = true;
                break;
            }
            state = State::Integer;
            [[fallthrough]];
        case State::Integer:
            if (isDigit(c)) {
                mantissa.push_back(static_cast<char>(c));
                mantissaDigits = true;
                if (p.anySignificant) {
                    ++p.firstSignificant;
                } else if (c != u'0') {
                    p.anySignificant = true;
                    p.firstSignificant = 1;
                }
                taken = true;
            } else if (c == u'.') {
                mantissa.push_back('.');
                state = State::Fraction;
                taken = true;
            } else if ((c == u'e' || c == u'E') && mantissaDigits) {
                state = State::ExponentSign;
                taken = true;
            }
            break;
        case State::Fraction:
            if (isDigit(c)) {
                mantissa.push_back(static_cast<char>(c));
                mantissaDigits = true;
                ++fractionDigits;
                if (!p.anySignificant && c != u'0') {
                    p.anySignificant = true;
                    p.firstSignificant = 1 - fractionDigits;
                }
                taken = true;
            } else if ((c == u'e' || c == u'E') && mantissaDigits) {
                state = State::ExponentSign;
                taken = true;
            }
            break;
        case State::ExponentSign:
            if (c == u'+' || c == u'-') {
                exponentNegative = (c == u'-');
                state = State::ExponentDigits;
                taken = true;
                break;
            }
            state = State::ExponentDigits;
            [[fallthrough]];
        case State::ExponentDigits:
            if (isDigit(c)) {
                exponentText.push_back(static_cast<char>(c));
                // Saturate: beyond this every value is out of range anyway.
                if (p.exponent < 1'000'000'000)
                    p.exponent = p.exponent * 10 + (c - u'0');
                taken = true;
            }
            break;
        }
        if (!taken)
            break;
    }

    if (!mantissaDigits)
        return p; // nothing numeric: text stays empty
    if (exponentNegative)
        p.exponent = -p.exponent;
    // A stem for from_chars: "1e" or "1e-" without digits is read as "1".
    p.text = (p.negative ? "-" : "") + mantissa;
    if (!exponentText.empty())
        p.text += (exponentNegative ? "e-" : "e") + exponentText;
    return p;
}

}

double readNumberPrefix(std::u16string_view text)
{
    const Prefix p = readPrefix(text);
    if (p.text.empty())
        return 0.0;
    double value = 0.0;
    const char *first = p.text.data();
    const char *last = first + p.text.size();
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        const bool overflow = p.anySignificant && (p.firstSignificant + p.exponent) > 0;
        const double magnitude = overflow ? std::numeric_limits<double>::infinity() : 0.0;
        return p.negative ? -magnitude : magnitude;
    }
    if (ec != std::errc())
        return 0.0;
    return value;
}

}
