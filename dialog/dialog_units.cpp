// Converts the dialog units that page layouts are given in into pixels.
#include "dialog_units.h"

#include <QFontMetrics>

namespace cyclar {

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    averageCharWidth_ = (letters + 26) / 52; // half-way rounds up
    charHeight_ = metrics.height();
}

DialogUnits::DialogUnits(QSize baseUnits)
    : averageCharWidth_(baseUnits.width()), charHeight_(baseUnits.height())
{
}

QRect DialogUnits::toPixels(int x, int y, int w, int h) const
{
    return QRect(toPixelsX(x), toPixelsY(y), toPixelsX(w), toPixelsY(h));
}

QSize DialogUnits::toPixels(QSize size) const
{
    return QSize(toPixelsX(size.width()), toPixelsY(size.height()));
}

} // namespace cyclar
