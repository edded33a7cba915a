#pragma once

#include <QColor>

#include <initializer_list>

class QWidget;

// How well one colour reads on another, as the accessibility guidelines measure it: from 1 (the
// same) to 21 (black on white). Text needs 4.5, lines and other marks 3.
namespace contrast {

inline constexpr double ReadableText = 4.5;
inline constexpr double VisibleMark = 3.0;

double ratio(const QColor &a, const QColor &b);

// The first colour that reaches minimum on background; failing all, black or white, whichever
// reads better. A high-contrast scheme can make any one colour of the program's own unreadable.
QColor firstReadable(const QColor &background, std::initializer_list<QColor> colours,
                     double minimum = ReadableText);

// Gives widget's text (its foreground role) colour where that reads on its background, else the
// scheme's own text colour, as firstReadable picks it.
void setTextColour(QWidget *widget, const QColor &colour);

}
