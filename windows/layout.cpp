#include "layout.h"

#include <QFontInfo>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {
const char AutoSizeProperty[] = "pellavinAutoSize";
const char RightAlignedProperty[] = "pellavinRightAligned";
}

QFont dialogFont(double pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    // The stand-in runs about three percent wider than the classic bitmap font; narrowed by
    // that much, every caption fits the box it was designed for.
    const QString family = QFontInfo(font).family();
    if (!family.contains(QStringLiteral("MS Sans Serif")))
        font.setStretch(97);
    return font;
}

QFont arialFont(double pointSize, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(pointSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QRect &box,
                  const QFont &font, LabelSizing sizing)
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

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption,
                        const QRect &box)
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

void CaptionFrame::paintEvent(QPaintEvent *)
{
    // The caption sits on the frame's top line, and the frame fills the whole box, so that
    // controls placed relative to the box's corner land where they were designed.
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int captionHeight = metrics.height();

    // An etched line: dark, with a light line one pixel in.
    const QRect box = rect().adjusted(0, captionHeight / 2, -1, -1);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(box.adjusted(1, 1, 0, 0));

    if (title().isEmpty())
        return;
    const int left = 6;
    const QRect captionRect(left, 0, metrics.horizontalAdvance(title()) + 4, captionHeight);
    painter.fillRect(captionRect, palette().brush(backgroundRole()));
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                   QPalette::WindowText));
    painter.drawText(captionRect, Qt::AlignCenter | Qt::TextSingleLine, title());
}
