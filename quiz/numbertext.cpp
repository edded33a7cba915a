#include "quiz/numbertext.h"

#include "quiz/numberprefix.h"

#include <cmath>

namespace numbertext {

double Val(QStringView text)
{
    return readNumberPrefix(std::u16string_view(text.utf16(), static_cast<std::size_t>(text.size())));
}

QString Format00(long long value)
{
    const QString digits = QString::number(value < 0 ? -static_cast<unsigned long long>(value)
                                                     : static_cast<unsigned long long>(value));
    return (value < 0 ? QStringLiteral("-") : QString()) + digits.rightJustified(2, u'0');
}

QString Format00_0(double value)
{
    QString text = QString::number(std::fabs(value), 'f', 1);
    const qsizetype point = text.indexOf(u'.');
    if (point < 2)
        text.prepend(QString(2 - point, u'0'));
    return (value < 0 && text != QStringLiteral("00.0") ? QStringLiteral("-") : QString()) + text;
}

double RoundHalfEven(double value)
{
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5)
        return lower + 1.0;
    if (fraction < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

}
