// Spherical curve drawing through the projection, skipping vertices that have no pixel.
#include "curves.h"

#include <cmath>
#include <limits>

namespace cyclar {

namespace {

// Whether sin L is zero or no more than what rounding leaves of sin(L * pi / 180) when L is an
// exact multiple of 180 degrees. Converting L to radians and taking the sine err by a few units
// in the last place of L in radians, so the residue grows with L; the arcs of a frame span about
// L (first + span, give or take the joint gap), which gives the scale. An L even 1e-10 degrees
// off such a multiple has a sine far above the residue and is drawn.
bool isMultipleOfHalfTurn(double sinL, double first, double span)
{
    const double lengthRadians = (std::fabs(first) + std::fabs(span) + 180.0) * degToRad();
    constexpr double residueUlps = 16.0;
    return !(std::fabs(sinL)
             > residueUlps * std::numeric_limits<double>::epsilon() * lengthRadians);
}

} // namespace

void Polyline::vertex(double x, double y)
{
    const std::optional<Pixel> pixel = toCanvasPixel(m_projection, x, y);
    if (!pixel) {
        m_needMove = true;
        return;
    }
    if (m_needMove) {
        m_sink.moveTo(pixel->x(), pixel->y());
        m_needMove = false;
    } else {
        m_sink.lineTo(pixel->x(), pixel->y());
    }
}

void drawSphereOutline(DrawingSurface& surface, const Projection& projection)
{
    const double cx = static_cast<double>(projection.cx);
    const double cy = static_cast<double>(projection.cy);
    const double r = projection.radius;
    // The radius comes from the canvas width, so these sums are small and finite.
    surface.ellipse(static_cast<int>(std::trunc(cx - r)), static_cast<int>(std::trunc(cy - r)),
                    static_cast<int>(std::trunc(cx + r)), static_cast<int>(std::trunc(cy + r)));
}

void drawReferenceCircles(LineSink& sink, const Projection& projection, const ViewOrientation& view)
{
    const double factor = degToRad();
    Polyline line(sink, projection);
    const RotatedPoint start = rotateToView(view, {1.0, 0.0, 0.0});
    line.vertex(start.x, start.y);
    for (int i = 1; i <= 180; ++i) {
        const double t = 2.0 * i * factor;
        const RotatedPoint p = rotateToView(view, {std::cos(t), std::sin(t), 0.0});
        line.vertex(p.x, p.y);
    }
    for (int i = 1; i <= 180; ++i) {
        const double t = 2.0 * i * factor;
        const RotatedPoint p = rotateToView(view, {std::cos(t), 0.0, std::sin(t)});
        line.vertex(p.x, p.y);
    }
}

void drawArc(LineSink& sink, const Projection& projection, const RotatedPoint& start,
             const RotatedPoint& end, double cosL, double sinL, double first, double span)
{
    if (!std::isfinite(span) || !std::isfinite(first) || !(span >= 1.0)) {
        return;
    }
    if (isMultipleOfHalfTurn(sinL, first, span)) {
        return;
    }
    if (span > maxArcSpan) {
        first = 0.0;
        span = 360.0;
    }
    const int n = static_cast<int>(std::trunc(span));
    const double factor = degToRad();
    Polyline line(sink, projection);
    for (int i = 0; i <= n; ++i) {
        const double theta = (first + i * span / n) * factor;
        const double cosTheta = std::cos(theta);
        const double sinTheta = std::sin(theta);
        const double x = cosTheta * start.x + (end.x - cosL * start.x) * sinTheta / sinL;
        const double y = cosTheta * start.y + (end.y - cosL * start.y) * sinTheta / sinL;
        line.vertex(x, y);
    }
}

void drawRing(LineSink& sink, const Projection& projection, const RotatedPoint& centre, double cosR,
              double sinR)
{
    const double s = std::sqrt(1.0 - centre.y * centre.y);
    const double factor = degToRad();
    Polyline line(sink, projection);
    if (s > 0.0) {
        line.vertex(centre.x * cosR + (centre.depth / s) * sinR, centre.y * cosR);
        for (int i = 1; i <= 30; ++i) {
            const double phi = 12.0 * i * factor;
            const double x = centre.x * cosR + std::cos(phi) * (centre.depth / s) * sinR
                             - std::sin(phi) * (centre.x / s) * centre.y * sinR;
            const double y = centre.y * cosR + std::sin(phi) * s * sinR;
            line.vertex(x, y);
        }
        return;
    }
    // At the top or bottom of the outline (or for a centre that is not a point at all): the ring
    // is seen edge-on; U is the screen's x axis and V points at the viewer.
    line.vertex(centre.x * cosR + sinR, centre.y * cosR);
    for (int i = 1; i <= 30; ++i) {
        const double phi = 12.0 * i * factor;
        line.vertex(centre.x * cosR + std::cos(phi) * sinR, centre.y * cosR);
    }
}

} // namespace cyclar
