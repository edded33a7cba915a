#include "windows/labelfit.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace {

bool fits(const QLabel *label, const QFont &font)
{
    const QRect box = label->contentsRect();
    const QRect needed = QFontMetrics(font).boundingRect(box, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                                                         label->text());
    return needed.width() <= box.width() && needed.height() <= box.height();
}

}

void narrowToFit(QLabel *label, int minimumStretch)
{
    QFont font = label->font();
    int stretch = font.stretch() == QFont::AnyStretch ? QFont::Unstretched : font.stretch();
    while (!fits(label, font) && stretch > minimumStretch) {
        --stretch;
        font.setStretch(stretch);
    }
    if (font != label->font())
        label->setFont(font);
}

bool showsWholeText(const QLabel *label)
{
    return fits(label, label->font());
}

bool showsWholeText(const QPushButton *button)
{
    QString shown = button->text();
    shown.remove(u'&');
    return button->fontMetrics().horizontalAdvance(shown) < button->width() - 8;
}
