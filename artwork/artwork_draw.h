// Drawing routines behind the artwork API; shared by the artwork sources only.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>
#include <QStringList>

namespace cyclar::detail {

// A bitmap of lettering: lines of text centred on the dialog background with a soft shadow.
struct Lettering {
    QSize size;
    QStringList lines;
    QFont font;        // family, weight and style; the size is chosen to fit
    QColor ink;        // the main colour of the text
    QString sample;    // text whose extent sets the size and the baseline; the first line if empty
    double fill = 1.0; // how much of the usable height the sample's extent takes
    bool alignRight = false; // flush right instead of centred across
    double embolden = 0.0;   // width in pixels of an outline stroked round the letters
};

QImage drawLettering(const Lettering& lettering);

// The labelled picture of a spherical four-bar linkage, 342 x 344, in seven flat colours.
QImage drawLinkageDiagram(const QFont& letterFont);

// The 32 x 32 main icon, drawn pixel by pixel from a sixteen-colour palette.
QImage drawMainIcon32();

// The same sketch drawn antialiased on a square of `size` pixels, and as an SVG document.
QImage drawMainIcon(int size);
QByteArray mainIconSvg();

// Blurs a premultiplied ARGB image in place (a box blur run three times approximates a
// Gaussian). Radius 0 leaves the image as it is.
void blurPremultiplied(QImage& image, int radius);

} // namespace cyclar::detail
