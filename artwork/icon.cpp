// The main icon: a sketch of a four-bar linkage on a sphere, set pixel by pixel in two colours
// of the sixteen-colour palette.
#include "artwork_draw.h"

#include <QPoint>

#include <cstdlib>
#include <iterator>

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
    const QPoint groundLeft(7, 25);
    const QPoint groundRight(24, 25);
    const QPoint jointLeft(10, 12);
    const QPoint jointRight(21, 12);

    // Links a and b, and the coupler as a rounded arch from ring top to ring top.
    art.line(jointLeft, groundLeft);
    art.line(jointRight, groundRight);
    const QPoint arch[] = {{11, 10}, {11, 9}, {12, 8}, {13, 7},
                           {18, 7},  {19, 8}, {20, 9}, {20, 10}};
    for (std::size_t i = 1; i < std::size(arch); ++i)
        art.line(arch[i - 1], arch[i]);

    for (QPoint joint : {groundLeft, groundRight, jointLeft, jointRight})
        art.ring(joint);
    return icon;
}

} // namespace cyclar::detail
