// The rotation-axis drawing: the pole and P's velocity from the closed-form rates of the pose.
#include "rotation_overlay.h"

#include "curves.h"
#include "linkage_rates.h"
#include "sphere_geometry.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace cyclar {

namespace {

// Consecutive poles further apart than this (about 30 degrees) are not joined: the pole has
// jumped, as it does through a toggle.
const double joinCosine = std::cos(30.0 * degToRad());

PenSpec scaledPen(const PenSpec& pen, int scale)
{
    return PenSpec{pen.colour, pen.width * scale};
}

std::optional<Pixel> pixelOf(const Projection& projection, const ViewOrientation& view,
                             const SphereVector& v)
{
    const RotatedPoint r = rotateToView(view, v);
    return toCanvasPixel(projection, r.x, r.y);
}

} // namespace

double velocityArrowLength(double pointSpeed)
{
    if (!std::isfinite(pointSpeed) || pointSpeed <= 0.0) {
        return 0.0;
    }
    return std::min(pointSpeed / 3.0, 0.5);
}

void drawFixedPolode(LineSink& sink, const Projection& projection, const ViewOrientation& view,
                     const PaintSchedule& paint)
{
    std::vector<SphereVector> poles;
    poles.reserve(static_cast<size_t>(std::max(paint.framesPerCycle, 0)));
    forEachShownFrame(paint, [&](int, double, const LinkagePose& pose) {
        poles.push_back(poseRates(paint.model, pose).pole);
    });
    Polyline line(sink, projection);
    const SphereVector* last = nullptr;
    const auto visit = [&](const SphereVector& pole) {
        if (!isFinite(pole)) {
            line.restart();
            last = nullptr;
            return;
        }
        if (last && dot(*last, pole) < joinCosine) {
            line.restart();
        }
        const RotatedPoint r = rotateToView(view, pole);
        line.vertex(r.x, r.y);
        last = &pole;
    };
    for (const SphereVector& pole : poles) {
        visit(pole);
    }
    if (poles.size() > 1 && last && isFinite(poles.front())) {
        visit(poles.front()); // the cycle's last frame joins its first
    }
}

void drawPoleAndVelocity(DrawingSurface& surface, const Projection& projection,
                         const ViewOrientation& view, const LinkageModel& model,
                         const LinkagePose& pose, const RotationAxisPens& pens, int scale)
{
    const LinkageRates rates = poseRates(model, pose);
    if (isFinite(rates.pole)) {
        if (const std::optional<Pixel> at = pixelOf(projection, view, rates.pole)) {
            const int r = 4 * scale;
            surface.selectPen(scaledPen(pens.pole, scale));
            surface.ellipse(at->x() - r, at->y() - r, at->x() + r, at->y() + r);
        }
    }

    const double length = velocityArrowLength(rates.pointSpeed);
    if (!isFinite(rates.pointVelocity) || !isFinite(pose.P) || !(length > 0.0)) {
        return;
    }
    // Along the great circle from P in the velocity's direction: cos s P + sin s v / |v|.
    const SphereVector direction = (1.0 / rates.pointSpeed) * rates.pointVelocity;
    const auto along = [&](double s) { return (std::cos(s) * pose.P) + (std::sin(s) * direction); };
    surface.selectPen(scaledPen(pens.velocity, scale));
    Polyline shaft(surface, projection);
    constexpr int steps = 8;
    for (int i = 0; i <= steps; ++i) {
        const RotatedPoint r = rotateToView(view, along(length * i / steps));
        shaft.vertex(r.x, r.y);
    }
    // The head: two barbs back from the tip, at 25 degrees either side of the shaft's end as
    // the picture shows it. An arrow seen end-on has no direction in the picture and no head.
    const RotatedPoint tip = rotateToView(view, along(length));
    const RotatedPoint before = rotateToView(view, along(length * 0.9));
    const double dx = tip.x - before.x;
    const double dy = tip.y - before.y;
    const double run = std::hypot(dx, dy);
    if (!(run > 1e-9)) {
        return;
    }
    const double barb = 7.0 * scale / projection.radius; // in units of the sphere's radius
    const double c = std::cos(25.0 * degToRad());
    const double s = std::sin(25.0 * degToRad());
    const double ux = -dx / run;
    const double uy = -dy / run;
    for (const double side : {1.0, -1.0}) {
        Polyline head(surface, projection);
        head.vertex(tip.x, tip.y);
        head.vertex(tip.x + barb * (c * ux - side * s * uy),
                    tip.y + barb * (side * s * ux + c * uy));
    }
}

} // namespace cyclar
