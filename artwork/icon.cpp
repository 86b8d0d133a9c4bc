// The main icon: a sketch of a four-bar linkage on a sphere in two colours of the sixteen-colour
// palette, set pixel by pixel at 32 px, and the same sketch as a drawing for larger sizes and
// for SVG.
#include "artwork_draw.h"

#include <QPainter>
#include <QPainterPath>
#include <QPoint>
#include <QPointF>

#include <cstdlib>
#include <iterator>
#include <variant>
#include <vector>

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

namespace {

// The drawing, on a square of 32 units whose unit is a pixel of the small icon: its shapes stand
// where the small icon's pixel centres are (a pixel's centre at .5), one unit wide.
struct IconCircle {
    QPointF centre;
    double radius;
    bool filled; // with the background, so that lines running into it stop at its edge
};
struct IconLine {
    QPointF from;
    QPointF to;
};
struct IconArch {
    QPointF from, control1, control2, to; // a cubic Bézier curve
};
using IconShape = std::variant<IconCircle, IconLine, IconArch>;

constexpr double iconUnits = 32.0;
constexpr double iconStroke = 1.0;
constexpr double jointRadius = 2.0;

// Back to front: the sphere, the links and the coupler's arch, then the four joints over them.
std::vector<IconShape> iconShapes()
{
    const QPointF groundLeft(7.5, 25.5);
    const QPointF groundRight(24.5, 25.5);
    const QPointF jointLeft(10.5, 12.5);
    const QPointF jointRight(21.5, 12.5);
    const double archFoot = jointLeft.y() - jointRadius;
    return {IconCircle{{16.0, 16.0}, 13.5, false}, IconLine{jointLeft, groundLeft},
            IconLine{jointRight, groundRight},
            // Highest (7.5, as the small icon's flat top) half way along.
            IconArch{{jointLeft.x(), archFoot},
                     {jointLeft.x() + 0.5, 6.5},
                     {jointRight.x() - 0.5, 6.5},
                     {jointRight.x(), archFoot}},
            IconCircle{groundLeft, jointRadius, true}, IconCircle{groundRight, jointRadius, true},
            IconCircle{jointLeft, jointRadius, true}, IconCircle{jointRight, jointRadius, true}};
}

QString svgNumber(double value)
{
    return QString::number(value, 'g', 6);
}

QString svgPoint(const QPointF& point)
{
    return svgNumber(point.x()) + QLatin1Char(' ') + svgNumber(point.y());
}

} // namespace

QImage drawMainIcon(int size)
{
    QImage icon(size, size, QImage::Format_RGB32);
    icon.fill(paletteCyan);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / iconUnits, size / iconUnits);
    QPen pen{QColor(paletteRed)};
    pen.setWidthF(iconStroke);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    for (const IconShape& shape : iconShapes()) {
        if (const auto* circle = std::get_if<IconCircle>(&shape)) {
            painter.setBrush(circle->filled ? QBrush(QColor(paletteCyan)) : QBrush());
            painter.drawEllipse(circle->centre, circle->radius, circle->radius);
        } else if (const auto* line = std::get_if<IconLine>(&shape)) {
            painter.drawLine(line->from, line->to);
        } else if (const auto* arch = std::get_if<IconArch>(&shape)) {
            QPainterPath path(arch->from);
            path.cubicTo(arch->control1, arch->control2, arch->to);
            painter.setBrush(QBrush());
            painter.drawPath(path);
        }
    }
    return icon;
}

QByteArray mainIconSvg()
{
    QString svg =
        QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                       "viewBox=\"0 0 %1 %1\">\n"
                       "<rect width=\"%1\" height=\"%1\" fill=\"#00ffff\"/>\n"
                       "<g fill=\"none\" stroke=\"#ff0000\" stroke-width=\"%2\" "
                       "stroke-linecap=\"round\">\n")
            .arg(svgNumber(iconUnits), svgNumber(iconStroke));
    for (const IconShape& shape : iconShapes()) {
        if (const auto* circle = std::get_if<IconCircle>(&shape)) {
            svg += QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\"%4/>\n")
                       .arg(svgNumber(circle->centre.x()), svgNumber(circle->centre.y()),
                            svgNumber(circle->radius),
                            circle->filled ? QStringLiteral(" fill=\"#00ffff\"") : QString());
        } else if (const auto* line = std::get_if<IconLine>(&shape)) {
            svg += QStringLiteral("<path d=\"M%1L%2\"/>\n")
                       .arg(svgPoint(line->from), svgPoint(line->to));
        } else if (const auto* arch = std::get_if<IconArch>(&shape)) {
            svg += QStringLiteral("<path d=\"M%1C%2 %3 %4\"/>\n")
                       .arg(svgPoint(arch->from), svgPoint(arch->control1),
                            svgPoint(arch->control2), svgPoint(arch->to));
        }
    }
    svg += QStringLiteral("</g>\n</svg>\n");
    return svg.toUtf8();
}

} // namespace cyclar::detail
