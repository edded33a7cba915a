#include "layout.h"

#include <QLabel>

namespace {
const char AutoSizeProperty[] = "pellavinAutoSize";
}

QFont dialogFont(double pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
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
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setMargin(0);
    label->setIndent(0);
    label->setGeometry(box);
    label->setProperty(AutoSizeProperty, sizing == LabelSizing::Auto);
    label->setWordWrap(sizing == LabelSizing::Fixed);
    setLabelText(label, text);
    return label;
}

void setLabelText(QLabel *label, const QString &text)
{
    label->setText(text);
    if (label->property(AutoSizeProperty).toBool())
        label->resize(label->sizeHint());
}
