#include "quiz/numberprefix.h"

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
    std::string text; // sign, mantissa and exponent, ready for from_chars (no '+')
    bool negative = false;
    int firstSignificant = 0; // decimal position of the first non-zero digit (1 = units)
    bool anySignificant = false;
    long long exponent = 0;
};

// Reads the prefix a character at a time, in the order sign, integer digits, fraction,
// exponent mark, exponent sign, exponent digits; each step may be left out.
class PrefixReader
{
public:
    // Whether c continues the number: the first character that does not, ends it.
    bool take(char16_t c)
    {
        switch (m_state) {
        case State::Sign: return takeSign(c);
        case State::Integer: return takeInteger(c);
        case State::Fraction: return takeFraction(c);
        case State::ExponentSign: return takeExponentSign(c);
        case State::ExponentDigits: return takeExponentDigit(c);
        }
        return false;
    }

    Prefix finish()
    {
        if (!m_mantissaDigits)
            return m_p; // nothing numeric: text stays empty
        if (m_exponentNegative)
            m_p.exponent = -m_p.exponent;
        // A stem for from_chars: "1e" or "1e-" without digits is read as "1".
        m_p.text = (m_p.negative ? "-" : "") + m_mantissa;
        if (!m_exponentText.empty())
            m_p.text += (m_exponentNegative ? "e-" : "e") + m_exponentText;
        return m_p;
    }

private:
    enum class State { Sign, Integer, Fraction, ExponentSign, ExponentDigits };

    bool takeSign(char16_t c)
    {
        m_state = State::Integer;
        if (c != u'+' && c != u'-')
            return takeInteger(c);
        m_p.negative = (c == u'-');
        return true;
    }

    bool takeInteger(char16_t c)
    {
        if (isDigit(c)) {
            m_mantissa.push_back(static_cast<char>(c));
            m_mantissaDigits = true;
            if (m_p.anySignificant) {
                ++m_p.firstSignificant;
            } else if (c != u'0') {
                m_p.anySignificant = true;
                m_p.firstSignificant = 1;
            }
            return true;
        }
        if (c == u'.') {
            m_mantissa.push_back('.');
            m_state = State::Fraction;
            return true;
        }
        return takeExponentMark(c);
    }

    bool takeFraction(char16_t c)
    {
        if (!isDigit(c))
            return takeExponentMark(c);
        m_mantissa.push_back(static_cast<char>(c));
        m_mantissaDigits = true;
        ++m_fractionDigits;
        if (!m_p.anySignificant && c != u'0') {
            m_p.anySignificant = true;
            m_p.firstSignificant = 1 - m_fractionDigits;
        }
        return true;
    }

    bool takeExponentMark(char16_t c)
    {
        if ((c != u'e' && c != u'E') || !m_mantissaDigits)
            return false;
        m_state = State::ExponentSign;
        return true;
    }

    bool takeExponentSign(char16_t c)
    {
        m_state = State::ExponentDigits;
        if (c != u'+' && c != u'-')
            return takeExponentDigit(c);
        m_exponentNegative = (c == u'-');
        return true;
    }

    bool takeExponentDigit(char16_t c)
    {
        if (!isDigit(c))
            return false;
        m_exponentText.push_back(static_cast<char>(c));
        // Saturate: beyond this every value is out of range anyway.
        if (m_p.exponent < 1'000'000'000)
            m_p.exponent = m_p.exponent * 10 + (c - u'0');
        return true;
    }

    Prefix m_p;
    std::string m_mantissa;
    std::string m_exponentText;
    bool m_mantissaDigits = false;
    int m_fractionDigits = 0;
    bool m_exponentNegative = false;
    State m_state = State::Sign;
};

Prefix readPrefix(std::u16string_view input)
{
    PrefixReader reader;
    for (const char16_t c : input) {
        if (!isBlank(c) && !reader.take(c))
            break;
    }
    return reader.finish();
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
