// View rotation and the truncating projection to canvas pixels.
#include "view.h"

#include <cmath>

namespace cyclar {

double degToRad()
{
    return std::atan(1.0) / 45.0;
}

void ViewOrientation::recompute()
{
    const double factor = degToRad();
    cosTurn = std::cos(turn * factor);
    sinTurn = std::sin(turn * factor);
    cosTilt = std::cos(tilt * factor);
    sinTilt = std::sin(tilt * factor);
    cosSpin = std::cos(spin * factor);
    sinSpin = std::sin(spin * factor);
}

ViewOrientation ViewOrientation::withoutSpin() const
{
    ViewOrientation view = *this;
    view.spin = 0.0;
    view.cosSpin = 1.0;
    view.sinSpin = 0.0;
    return view;
}

RotatedPoint rotateToView(const ViewOrientation& view, const SphereVector& point)
{
    // Without a spin the point goes in as it is, so the pages' pictures are the same to the bit.
    const SphereVector v =
        view.spin == 0.0 ? point
                         : SphereVector{view.cosSpin * point.x - view.sinSpin * point.y,
                                        view.sinSpin * point.x + view.cosSpin * point.y, point.z};
    return {
        view.cosTurn * view.cosTilt * v.x - view.sinTurn * v.y - view.cosTurn * view.sinTilt * v.z,
        view.sinTurn * view.cosTilt * v.x + view.cosTurn * v.y - view.sinTurn * view.sinTilt * v.z,
        view.sinTilt * v.x + view.cosTilt * v.z};
}

double sphereRadius(int canvasWidth)
{
    return static_cast<double>(canvasWidth) * 0.9 / 2.0;
}

Projection projectionFor(int canvasWidth, int canvasHeight, double radius)
{
    return {canvasWidth / 2, canvasHeight / 2, radius};
}

std::optional<Pixel> toCanvasPixel(const Projection& projection, double x, double y)
{
    const double px = static_cast<double>(projection.cx) + projection.radius * x;
    const double py = static_cast<double>(projection.cy) - projection.radius * y;
    // The negated form also turns away NaN, for which every comparison is false.
    if (!(std::fabs(px) <= pixelLimit) || !(std::fabs(py) <= pixelLimit)) {
        return std::nullopt;
    }
    return Pixel(static_cast<int>(std::trunc(px)), static_cast<int>(std::trunc(py)));
}

} // namespace cyclar
