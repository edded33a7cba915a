#pragma once

#include <QColor>

#include <initializer_list>
#include <optional>

class QPalette;
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

// Whether scheme is a high-contrast one. The desktop's own switch decides where there is one
// (desktopSwitch: Windows'), since no palette can tell: High Contrast #2's green on black (15.3
// to 1) is less stark than black on Fusion's light grey (18.3). Without a switch, a scheme counts
// when its text on its window comes near the extreme, StarkText or more, as black on white and
// white or yellow on black do and no ordinary light or dark theme does.
inline constexpr double StarkText = 19.0;
bool highContrast(const QPalette &scheme, std::optional<bool> desktopSwitch);

// The colour a mark of the program's own (a line, a rule) is drawn in: its own on every ordinary
// scheme, even where it shows faintly; in a high-contrast one, the scheme's text colour where
// its own would not show.
QColor markColour(const QColor &colour, const QPalette &scheme, std::optional<bool> desktopSwitch);

// Gives widget's text (its foreground role) colour where that reads on its background, else the
// scheme's own text colour, as firstReadable picks it.
void setTextColour(QWidget *widget, const QColor &colour);

}
