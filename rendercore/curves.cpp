// Spherical curve drawing through the projection, skipping vertices that have no pixel.
#include "curves.h"

#include <cmath>

namespace cyclar {

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
    if (!(std::fabs(sinL) >= degenerateArcSine)) {
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
