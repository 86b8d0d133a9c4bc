// Converts the dialog units that page layouts are given in into pixels.
#pragma once

#include "page_layouts.h"

#include <QFont>
#include <QRect>
#include <QSize>

namespace cyclar {

/// Dialog units of one font: a horizontal unit is a quarter of the font's average character
/// width, a vertical unit an eighth of its height. The conversion itself, to the nearest pixel,
/// is the core's (dialogUnitsToPixelsX/Y in pagelayout/page_layouts.h), which the browser's
/// pages call too.
class DialogUnits {
public:
    /// Units measured from a font as it is drawn here.
    explicit DialogUnits(const QFont& font);
    /// Units of given base units (the average character width and height in pixels): those of
    /// a layout's own font, where the font drawn here is only a stand-in with other metrics.
    explicit DialogUnits(QSize baseUnits);

    /// The average width of the 52 Latin letters, rounded to a whole pixel.
    int averageCharWidth() const { return averageCharWidth_; }
    int charHeight() const { return charHeight_; }

    int toPixelsX(int x) const { return dialogUnitsToPixelsX(x, {averageCharWidth_, charHeight_}); }
    int toPixelsY(int y) const { return dialogUnitsToPixelsY(y, {averageCharWidth_, charHeight_}); }
    QRect toPixels(int x, int y, int w, int h) const;
    QSize toPixels(QSize size) const;

private:
    int averageCharWidth_;
    int charHeight_;
};

} // namespace cyclar
