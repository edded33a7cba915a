#include "windows/layout.h"

#include "windows/contrast.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace {
const char AutoSizeProperty[] = "pellavinAutoSize";
const char RightAlignedProperty[] = "pellavinRightAligned";

// The families of the list that are installed, in its order; the font system takes the first.
// A missing first family costs a search for stand-ins through fontconfig on every font made
// from the list, though a later family is there (bench/README.md has the figures).
QStringList installedOf(const QStringList &families)
{
    QStringList installed;
    for (QString family : QFontDatabase::families()) {
        // A family that several foundries make is listed once for each, as "Family [Foundry]".
        if (const qsizetype bracket = family.indexOf(QLatin1String(" ["), 1); bracket > 0)
            family.truncate(bracket);
        installed.append(family);
    }
    QStringList present;
    for (const QString &family : families) {
        if (installed.contains(family, Qt::CaseInsensitive))
            present.append(family);
    }
    return present;
}

}

QFont dialogFont(double pointSize)
{
    static const QStringList wanted{QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                                    QStringLiteral("Liberation Sans"), QStringLiteral("Arial")};
    static const QStringList installed = installedOf(wanted);
    QFont font;
    font.setFamilies(installed.isEmpty() ? wanted : installed);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    // The stand-in runs about three percent wider than the classic bitmap font; narrowed by
    // that much, every caption fits the box it was designed for. With none of the list
    // installed, the face is whatever the font system chose, which takes loading it to know.
    static const bool classic = (installed.isEmpty() ? QFontInfo(font).family() : installed.first())
                                        .contains(QStringLiteral("MS Sans Serif"));
    if (!classic)
        font.setStretch(97);
    return font;
}

QFont arialFont(double pointSize, bool bold)
{
    static const QStringList wanted{QStringLiteral("Arial"), QStringLiteral("Liberation Sans")};
    static const QStringList installed = installedOf(wanted);
    QFont font;
    font.setFamilies(installed.isEmpty() ? wanted : installed);
    font.setPointSizeF(pointSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QRect &box, const QFont &font,
                  LabelSizing sizing)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    const bool right = sizing == LabelSizing::AutoRightAligned;
    label->setAlignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
    label->setMargin(0);
    label->setIndent(0);
    label->setGeometry(box);
    label->setProperty(AutoSizeProperty, sizing != LabelSizing::Fixed);
    label->setProperty(RightAlignedProperty, right);
    label->setWordWrap(sizing == LabelSizing::Fixed);
    setLabelText(label, text);
    return label;
}

void setLabelText(QLabel *label, const QString &text)
{
    label->setText(text);
    if (!label->property(AutoSizeProperty).toBool())
        return;
    const QRect before = label->geometry();
    label->resize(label->sizeHint());
    if (label->property(RightAlignedProperty).toBool())
        label->move(before.x() + before.width() - label->width(), before.y());
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, const QRect &box)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setFont(dialogFont());
    button->setGeometry(box);
    return button;
}

CaptionFrame::CaptionFrame(const QString &caption, QWidget *parent)
    : QGroupBox(caption, parent)
{
}

void CaptionFrame::paintEvent(QPaintEvent *event)
{
    // The caption sits on the frame's top line, and the frame fills the whole box, so that
    // controls placed relative to the box's corner land where they were designed.
    const QFontMetrics metrics(font());
    const int captionHeight = metrics.height();
    const QRect box = rect().adjusted(0, captionHeight / 2, -1, -1);
    // A caret blinking or a label changing inside repaints only its own box: unless that
    // reaches the lines or the caption, drawing them would change no pixel.
    const QRect inside(QPoint(box.left() + 3, std::max(box.top() + 3, captionHeight)),
                       QPoint(box.right() - 3, box.bottom() - 3));
    if (inside.contains(event->rect()))
        return;
    QPainter painter(this);

    // An etched line: dark, with a light line one pixel in. Where the scheme's dark line hardly
    // shows against the window (black on black in high contrast; the ordinary grey keeps 2.3 to
    // 1), the scheme's text colour draws it.
    constexpr double Shows = 1.5;
    painter.setPen(contrast::firstReadable(
            palette().color(QPalette::Window),
            {palette().color(QPalette::Mid), palette().color(QPalette::WindowText)}, Shows));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(box.adjusted(1, 1, 0, 0));

    if (title().isEmpty())
        return;
    const int left = 6;
    const QRect captionRect(left, 0, metrics.horizontalAdvance(title()) + 4, captionHeight);
    painter.fillRect(captionRect, palette().brush(backgroundRole()));
    painter.setPen(
            palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(captionRect, Qt::AlignCenter | Qt::TextSingleLine, title());
}
