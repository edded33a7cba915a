#pragma once

#include <QFont>
#include <QGroupBox>
#include <QRect>

class QLabel;
class QPushButton;
class QWidget;

// Window designs are measured in twips: 1440 to the inch, 15 to a pixel at 96 dpi.
constexpr int twipsToPixels(int twips)
{
    return twips / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

// The dialog font of the classic desktop, or the metric-compatible sans-serif that stands
// in for it where it is not installed.
QFont dialogFont(double pointSize = 8.25);
// Arial, or its metric-compatible stand-in.
QFont arialFont(double pointSize, bool bold);

// An auto-size label takes the size of its text and keeps its top-left corner, or its
// top-right corner when it is right-aligned; a fixed one keeps its box, wraps at spaces and
// clips what does not fit.
enum class LabelSizing { Auto, AutoRightAligned, Fixed };

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QRect &box, const QFont &font,
                  LabelSizing sizing);
void setLabelText(QLabel *label, const QString &text);

// A push button in the dialog font at its box.
QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, const QRect &box);

// A captioned frame drawn the classic way: the caption interrupts the top border line.
class CaptionFrame : public QGroupBox
{
public:
    explicit CaptionFrame(const QString &caption, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
