// Converts the dialog units that page layouts are given in into pixels.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace cyclar {

/// Dialog units of one font: a horizontal unit is a quarter of the font's average character
/// width, a vertical unit an eighth of its height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    /// The average width of the 52 Latin letters, rounded to a whole pixel.
    int averageCharWidth() const { return averageCharWidth_; }
    int charHeight() const { return charHeight_; }

    int toPixelsX(int x) const { return x * averageCharWidth_ / 4; }
    int toPixelsY(int y) const { return y * charHeight_ / 8; }
    QRect toPixels(int x, int y, int w, int h) const;
    QSize toPixels(QSize size) const;

private:
    int averageCharWidth_;
    int charHeight_;
};

} // namespace cyclar
