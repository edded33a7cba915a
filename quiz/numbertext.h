#pragma once

#include <QString>
#include <QStringView>

// Conversions between typed text and numbers, locale-independent: the decimal point is
// always a full stop.
namespace numbertext {

// Reads the longest leading decimal number of text, ignoring blanks, tabs and line feeds
// wherever they stand: "12abc" is 12, "1 2" is 12, "" is 0. A number too large for a
// double reads as an infinity of its sign, which equals no answer.
double Val(QStringView text);

// Whole number with at least two digits: 7 -> "07", 100 -> "100".
QString Format00(long long value);

// At least two digits before the point and one after, rounded: 5.26 -> "05.3".
QString Format00_0(double value);

// Rounds to the nearest integer, an exact half to the even neighbour.
double RoundHalfEven(double value);

}
