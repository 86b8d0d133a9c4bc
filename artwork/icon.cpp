// The main icon: a sketch of a four-bar linkage on a sphere, set pixel by pixel in two colours
// of the sixteen-colour palette.
#include "artwork_draw.h"

#include <QPoint>

#include <cstdlib>

namespace cyclar::detail {

namespace {

constexpr QRgb paletteCyan = qRgb(0, 255, 255);
constexpr QRgb paletteRed = qRgb(255, 0, 0);
constexpr int iconSize = 32;

// Single-pixel drawing on the icon, clipped to its square.
class PixelArt {
public:
    explicit PixelArt(QImage& image) : m_image(image) {}

    void set(int x, int y, QRgb colour)
    {
        if (x >= 0 && y >= 0 && x < m_image.width() && y < m_image.height())
            m_image.setPixel(x, y, colour);
    }

    // Bresenham's line, end points included.
    void line(QPoint from, QPoint to)
    {
        const int dx = std::abs(to.x() - from.x());
        const int dy = -std::abs(to.y() - from.y());
        const int sx = from.x() < to.x() ? 1 : -1;
        const int sy = from.y() < to.y() ? 1 : -1;
        int error = dx + dy;
        QPoint p = from;
        for (;;) {
            set(p.x(), p.y(), paletteRed);
            if (p == to)
                break;
            const int twice = 2 * error;
            if (twice >= dy) {
                error += dy;
                p.rx() += sx;
            }
            if (twice <= dx) {
                error += dx;
                p.ry() += sy;
            }
        }
    }

    // A circle of even diameter 2 * radius + 2 centred between the four middle pixels of the
    // square, by the midpoint method on one octant mirrored into the others.
    void centredCircle(int radius)
    {
        const int left = iconSize / 2 - 1;
        const int right = iconSize / 2;
        int x = radius;
        int y = 0;
        int decision = 1 - radius;
        while (y <= x) {
            for (auto [u, v] : {std::pair{x, y}, std::pair{y, x}}) {
                set(right + u, right + v, paletteRed);
                set(left - u, right + v, paletteRed);
                set(right + u, left - v, paletteRed);
                set(left - u, left - v, paletteRed);
            }
            ++y;
            if (decision < 0) {
                decision += 2 * y + 1;
            } else {
                --x;
                decision += 2 * (y - x) + 1;
            }
        }
    }

    // A joint: a five-pixel ring with its corners cut and its inside cleared to the
    // background, so that lines running into it stop at its edge.
    void ring(QPoint centre)
    {
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx) {
                const bool corner = std::abs(dx) == 2 && std::abs(dy) == 2;
                const bool edge = std::abs(dx) == 2 || std::abs(dy) == 2;
                if (!corner)
                    set(centre.x() + dx, centre.y() + dy, edge ? paletteRed : paletteCyan);
            }
        }
    }

    // A quadratic curve through `control`'s pull, plotted densely enough to stay connected.
    void curve(QPoint from, QPoint control, QPoint to)
    {
        constexpr int steps = 64;
        for (int i = 0; i <= steps; ++i) {
            const double t = static_cast<double>(i) / steps;
            const double s = 1.0 - t;
            const double x = s * s * from.x() + 2 * s * t * control.x() + t * t * to.x();
            const double y = s * s * from.y() + 2 * s * t * control.y() + t * t * to.y();
            set(qRound(x), qRound(y), paletteRed);
        }
    }

private:
    QImage& m_image;
};

} // namespace

QImage drawMainIcon32()
{
    QImage icon(iconSize, iconSize, QImage::Format_RGB32);
    icon.fill(paletteCyan);
    PixelArt art(icon);

    // The sphere: a circle 28 pixels across.
    art.centredCircle(13);

    // Ground pivots low on the sphere's edge, the moving joints higher inside it.
    const QPoint groundLeft(8, 26);
    const QPoint groundRight(23, 26);
    const QPoint jointLeft(9, 13);
    const QPoint jointRight(21, 10);

    art.line(jointLeft, groundLeft);
    art.line(jointRight, groundRight);
    art.curve(jointLeft, QPoint(14, 4), jointRight);
    for (QPoint joint : {groundLeft, groundRight, jointLeft, jointRight})
        art.ring(joint);
    return icon;
}

} // namespace cyclar::detail
