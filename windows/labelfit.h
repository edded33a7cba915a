#pragma once

class QLabel;
class QPushButton;

// The stand-in for the classic dialog font runs wider on some lines than dialogFont()
// allows for. A fixed label whose text would wrap out of its box gets its font narrowed,
// a percent at a time down to minimumStretch, until the text fits as it was designed to.
void narrowToFit(QLabel *label, int minimumStretch = 90);

// Whether a fixed label shows its whole text, wrapped at spaces as it wraps it, in its font.
bool showsWholeText(const QLabel *label);
// Whether a push button's caption has room inside its bevel.
bool showsWholeText(const QPushButton *button);
