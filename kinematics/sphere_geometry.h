// The core's one small kit of sphere geometry: vector operations, rotations, degrees.
#pragma once

#include "linkage_model.h"

#include <array>
#include <cmath>
#include <numbers>
#include <utility>

namespace cyclar {

/// Radians in a degree. The model keeps its own atan(1) / 45, which the recorded motion pins;
/// the two are the same double.
inline constexpr double degree = std::numbers::pi / 180.0;

inline SphereVector operator+(const SphereVector& u, const SphereVector& v)
{
    return {u.x + v.x, u.y + v.y, u.z + v.z};
}
inline SphereVector operator-(const SphereVector& u, const SphereVector& v)
{
    return {u.x - v.x, u.y - v.y, u.z - v.z};
}
inline SphereVector operator-(const SphereVector& v)
{
    return {-v.x, -v.y, -v.z};
}
inline SphereVector operator*(double s, const SphereVector& v)
{
    return {s * v.x, s * v.y, s * v.z};
}
inline double dot(const SphereVector& u, const SphereVector& v)
{
    return u.x * v.x + u.y * v.y + u.z * v.z;
}
inline SphereVector cross(const SphereVector& u, const SphereVector& v)
{
    return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}
inline double norm(const SphereVector& v)
{
    return std::sqrt(dot(v, v));
}
inline SphereVector normalized(const SphereVector& v)
{
    return (1.0 / norm(v)) * v;
}
/// The triple product a . (b x c).
inline double det3(const SphereVector& a, const SphereVector& b, const SphereVector& c)
{
    return dot(a, cross(b, c));
}
inline bool isFinite(const SphereVector& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

/// The arc between two unit vectors, in degrees (0 to 180), accurate at both ends.
double arcDegrees(const SphereVector& u, const SphereVector& v);

/// Degrees in (-180, 180].
double wrapDegrees(double x);

/// The unit tangent at `from` along the great circle toward `to`.
SphereVector tangentToward(const SphereVector& from, const SphereVector& to);

/// The point at arc `arc` (degrees) from `centre`, in the direction `start` (a unit tangent at
/// `centre`) turned by `angle` (degrees) positively about `centre`.
SphereVector pointAbout(const SphereVector& centre, const SphereVector& start, double angle,
                        double arc);

/// Two unit vectors that make a right-handed frame with the unit vector n.
std::pair<SphereVector, SphereVector> tangentBasis(const SphereVector& n);

/// A rotation (or any 3 x 3 matrix) as r[row][column].
using Rotation = std::array<std::array<double, 3>, 3>;

Rotation identityRotation();
Rotation fromColumns(const SphereVector& c0, const SphereVector& c1, const SphereVector& c2);
Rotation transposed(const Rotation& r);
Rotation multiply(const Rotation& p, const Rotation& q);
SphereVector applied(const Rotation& r, const SphereVector& v);

} // namespace cyclar
