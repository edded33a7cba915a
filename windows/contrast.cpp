#include "windows/contrast.h"

#include <QPalette>
#include <QWidget>

#include <cmath>

namespace {

double channel(double value)
{
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

}

double contrast::ratio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor contrast::firstReadable(const QColor &background, std::initializer_list<QColor> colours,
                               double minimum)
{
    for (const QColor &colour : colours) {
        if (ratio(colour, background) >= minimum)
            return colour;
    }
    const QColor black(Qt::black), white(Qt::white);
    return ratio(black, background) >= ratio(white, background) ? black : white;
}

bool contrast::highContrast(const QPalette &scheme, std::optional<bool> desktopSwitch)
{
    if (desktopSwitch)
        return *desktopSwitch;
    return ratio(scheme.color(QPalette::WindowText), scheme.color(QPalette::Window)) >= StarkText;
}

QColor contrast::markColour(const QColor &colour, const QPalette &scheme, std::optional<bool> desktopSwitch)
{
    if (!highContrast(scheme, desktopSwitch))
        return colour;
    return firstReadable(scheme.color(QPalette::Window), {colour, scheme.color(QPalette::WindowText)},
                         VisibleMark);
}

void contrast::setTextColour(QWidget *widget, const QColor &colour)
{
    // The text is drawn on its parent; the scheme's colours are the parent's, which a change of
    // scheme reaches before it reaches the children.
    const QPalette scheme = widget->parentWidget() ? widget->parentWidget()->palette() : QPalette();
    QPalette palette = widget->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, widget->foregroundRole(),
                         firstReadable(scheme.color(group, widget->backgroundRole()),
                                       {colour, scheme.color(group, widget->foregroundRole())}));
    }
    widget->setPalette(palette);
}
