// Lettering bitmaps: words centred on the dialog background with a soft drop shadow.
#include "artwork.h"
#include "artwork_draw.h"

#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QTransform>

#include <algorithm>
#include <vector>

namespace cyclar::detail {

namespace {

// Outlines are built at this size and then scaled to fit, so the fit is exact to the pixel.
constexpr int designPixelSize = 100;
// Clear background kept around the lettering, on every side.
constexpr double edgeMargin = 1.0;
// The shadow falls this far right and down, and the blur spreads it by blurSpread more.
constexpr double shadowOffset = 2.0;
constexpr int blurRadius = 1;
constexpr int blurPasses = 2;
constexpr double blurSpread = blurRadius * blurPasses;
const QColor shadowColour(70, 70, 90, 150);

// One box pass along a line of `count` pixels, `step` apart; pixels beyond the ends count as
// transparent.
void boxBlurLine(QRgb* pixels, int count, int step, int radius, std::vector<QRgb>& line)
{
    line.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        line[static_cast<std::size_t>(i)] = pixels[i * step];
    const int window = 2 * radius + 1;
    for (int i = 0; i < count; ++i) {
        int a = 0;
        int r = 0;
        int g = 0;
        int b = 0;
        for (int j = std::max(0, i - radius); j <= std::min(count - 1, i + radius); ++j) {
            const QRgb p = line[static_cast<std::size_t>(j)];
            a += qAlpha(p);
            r += qRed(p);
            g += qGreen(p);
            b += qBlue(p);
        }
        pixels[i * step] = qRgba(r / window, g / window, b / window, a / window);
    }
}

} // namespace

void blurPremultiplied(QImage& image, int radius)
{
    if (radius <= 0 || image.isNull())
        return;
    Q_ASSERT(image.format() == QImage::Format_ARGB32_Premultiplied);
    auto* pixels = reinterpret_cast<QRgb*>(image.bits());
    const int stride = static_cast<int>(image.bytesPerLine() / 4);
    std::vector<QRgb> line;
    for (int y = 0; y < image.height(); ++y)
        boxBlurLine(pixels + y * stride, image.width(), 1, radius, line);
    for (int x = 0; x < image.width(); ++x)
        boxBlurLine(pixels + x, image.height(), stride, radius, line);
}

QImage drawLettering(const Lettering& lettering)
{
    QImage image(lettering.size, QImage::Format_RGB32);
    image.fill(artworkBackground);
    if (lettering.lines.isEmpty() || image.isNull())
        return image;

    QFont font = lettering.font;
    font.setPixelSize(designPixelSize);

    // Lines of a block stand a little closer than the face's full reach, since few words
    // reach both above the capitals and below the baseline.
    QPainterPath reachSample;
    reachSample.addText(0, 0, font, QStringLiteral("Hdgy"));
    const double pitch = reachSample.boundingRect().height() * 0.85;
    const double lastBaseline = static_cast<double>(lettering.lines.size() - 1) * pitch;

    // Script faces overlap their own strokes where letters join; winding fill keeps those
    // overlaps solid instead of punching holes in them.
    QPainterPath text;
    for (qsizetype i = 0; i < lettering.lines.size(); ++i) {
        QPainterPath line;
        line.addText(0, 0, font, lettering.lines[i]);
        const double centre = line.boundingRect().center().x();
        text.addPath(line.translated(-centre, static_cast<double>(i) * pitch));
    }
    text.setFillRule(Qt::WindingFill);
    const QRectF ink = text.boundingRect();
    if (ink.isEmpty())
        return image;

    // Room for the ink, its shadow and the shadow's blur, inside the margin.
    const double stroke = std::max(lettering.embolden, 0.0);
    const double usableWidth = image.width() - 2 * edgeMargin - shadowOffset - blurSpread - stroke;
    const double usableHeight =
        image.height() - 2 * edgeMargin - shadowOffset - blurSpread - stroke;
    if (usableWidth <= 0 || usableHeight <= 0)
        return image;

    // The sample's band, stretched over all lines, sets both the size and the vertical
    // centre, so that bitmaps with one sample share letter size and baseline whatever their
    // words. Only too wide or too tall ink is made smaller.
    QPainterPath sample;
    sample.addText(0, 0, font,
                   lettering.sample.isEmpty() ? lettering.lines.first() : lettering.sample);
    const QRectF sampleBand = sample.boundingRect();
    const double blockTop = sampleBand.top();
    const double blockBottom = sampleBand.bottom() + lastBaseline;
    const double blockHeight = std::max(blockBottom - blockTop, 1.0);
    const double scale = std::min({lettering.fill * usableHeight / blockHeight,
                                   usableWidth / ink.width(), usableHeight / ink.height()});

    // Ink reaching past the usable area (a descender below a centred band) is nudged back in.
    const double top = edgeMargin + stroke / 2.0;
    const double bottom = top + usableHeight;
    double baseline = (top + bottom) / 2.0 - scale * (blockTop + blockBottom) / 2.0;
    baseline += std::max(0.0, top - (baseline + scale * ink.top()));
    baseline -= std::max(0.0, baseline + scale * ink.bottom() - bottom);

    QTransform place;
    if (lettering.alignRight) {
        place.translate(edgeMargin + stroke / 2.0 + usableWidth, baseline);
        place.scale(scale, scale);
        place.translate(-ink.right(), 0.0);
    } else {
        place.translate(edgeMargin + stroke / 2.0 + usableWidth / 2.0, baseline);
        place.scale(scale, scale);
        place.translate(-ink.center().x(), 0.0);
    }
    QPainterPath placed = place.map(text);
    if (stroke > 0.0) {
        QPainterPathStroker stroker;
        stroker.setWidth(stroke);
        stroker.setJoinStyle(Qt::RoundJoin);
        stroker.setCapStyle(Qt::RoundCap);
        placed = (placed + stroker.createStroke(placed)).simplified();
        placed.setFillRule(Qt::WindingFill);
    }

    QImage shadow(image.size(), QImage::Format_ARGB32_Premultiplied);
    shadow.fill(Qt::transparent);
    {
        QPainter painter(&shadow);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(placed.translated(shadowOffset, shadowOffset), shadowColour);
    }
    for (int pass = 0; pass < blurPasses; ++pass)
        blurPremultiplied(shadow, blurRadius);

    QPainter painter(&image);
    painter.drawImage(0, 0, shadow);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(placed, lettering.ink);
    return image;
}

} // namespace cyclar::detail
