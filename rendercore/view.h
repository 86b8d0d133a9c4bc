// View orientation (turn and tilt) and the orthographic projection of the unit sphere to pixels.
#pragma once

#include "linkage_model.h"

#include <concepts>
#include <optional>

namespace cyclar {

/// The viewer's angles in whole degrees (-90..90) and their cosines and sines, which are
/// recomputed from the angles at every frame.
///
/// `spin` turns the sphere's contents about its polar axis (+X toward +Y) before the tilt and
/// the turn: a viewpoint going round that axis at a fixed height. The pages never spin; the
/// Circular View clip does, and the reference circles stay where the turn and tilt put them.
struct ViewOrientation {
    double turn = -18.0;
    double tilt = -18.0;
    double spin = 0.0;
    double cosTurn = 0.0, sinTurn = 0.0;
    double cosTilt = 0.0, sinTilt = 0.0;
    double cosSpin = 1.0, sinSpin = 0.0;

    void recompute();
    /// The same turn and tilt without the spin.
    ViewOrientation withoutSpin() const;
};

/// A point in view axes: depth toward the viewer, x to the right, y up.
struct RotatedPoint {
    double depth = 0.0;
    double x = 0.0;
    double y = 0.0;
};

/// Spins the sphere about its polar axis by the spin (if any), tips it about its Y axis by the
/// tilt (+X toward +Z), then turns it about the screen's vertical axis by the turn (+X toward the
/// right). At turn = tilt = spin = 0 the viewer looks at A0.
RotatedPoint rotateToView(const ViewOrientation& view, const SphereVector& v);

/// A pixel of the canvas: column x from the left, row y from the top. It converts to any point
/// type built from two ints (QPoint, for one), so the desktop side can keep its own.
class Pixel {
public:
    constexpr Pixel() = default;
    constexpr Pixel(int x, int y) : m_x(x), m_y(y) {}
    constexpr int x() const { return m_x; }
    constexpr int y() const { return m_y; }
    friend constexpr bool operator==(Pixel, Pixel) = default;
    template <typename Point>
    requires std::constructible_from<Point, int, int>
    constexpr operator Point() const { return Point(m_x, m_y); }

private:
    int m_x = 0;
    int m_y = 0;
};

/// Where the picture's sphere sits: the canvas centre (integer halves) and the radius R.
struct Projection {
    int cx = 240;
    int cy = 240;
    double radius = 216.0;
};

/// 90 % of the canvas width.
double sphereRadius(int canvasWidth);

Projection projectionFor(int canvasWidth, int canvasHeight, double radius);

/// Largest pixel coordinate magnitude that is ever converted. Points of the unit sphere land
/// within the canvas; anything farther comes from degenerate geometry and is not drawn.
inline constexpr double pixelLimit = 1 << 20;

/// (trunc(cx + R x), trunc(cy - R y)), truncated toward zero, never rounded. Yields nothing when
/// a sum is not finite or lies beyond pixelLimit, so no such value is ever converted to int.
std::optional<Pixel> toCanvasPixel(const Projection& projection, double x, double y);

/// Degrees to radians, the factor every cosine and sine of an angle in degrees goes through.
double degToRad();

} // namespace cyclar
