// The core's one small kit of sphere geometry.
#include "sphere_geometry.h"

namespace cyclar {

double arcDegrees(const SphereVector& u, const SphereVector& v)
{
    return std::atan2(norm(cross(u, v)), dot(u, v)) / degree;
}

double wrapDegrees(double x)
{
    double r = std::remainder(x, 360.0);
    if (r <= -180.0) {
        r += 360.0;
    }
    return r;
}

SphereVector tangentToward(const SphereVector& from, const SphereVector& to)
{
    const SphereVector t = to - dot(from, to) * from;
    return (1.0 / norm(t)) * t;
}

SphereVector pointAbout(const SphereVector& centre, const SphereVector& start, double angle,
                        double arc)
{
    const SphereVector dir =
        std::cos(angle * degree) * start + std::sin(angle * degree) * cross(centre, start);
    return std::cos(arc * degree) * centre + std::sin(arc * degree) * dir;
}

std::pair<SphereVector, SphereVector> tangentBasis(const SphereVector& n)
{
    const double ax = std::fabs(n.x);
    const double ay = std::fabs(n.y);
    const double az = std::fabs(n.z);
    const SphereVector e = ax <= ay && ax <= az ? SphereVector{1.0, 0.0, 0.0}
                           : ay <= az           ? SphereVector{0.0, 1.0, 0.0}
                                                : SphereVector{0.0, 0.0, 1.0};
    const SphereVector t1 = normalized(cross(n, e));
    return {t1, cross(n, t1)};
}

Rotation identityRotation()
{
    return {{{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}}};
}

Rotation fromColumns(const SphereVector& c0, const SphereVector& c1, const SphereVector& c2)
{
    return {{{c0.x, c1.x, c2.x}, {c0.y, c1.y, c2.y}, {c0.z, c1.z, c2.z}}};
}

Rotation transposed(const Rotation& r)
{
    Rotation t{};
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j) {
            t[i][j] = r[j][i];
        }
    }
    return t;
}

Rotation multiply(const Rotation& p, const Rotation& q)
{
    Rotation m{};
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j) {
            m[i][j] = p[i][0] * q[0][j] + p[i][1] * q[1][j] + p[i][2] * q[2][j];
        }
    }
    return m;
}

SphereVector applied(const Rotation& r, const SphereVector& v)
{
    return {r[0][0] * v.x + r[0][1] * v.y + r[0][2] * v.z,
            r[1][0] * v.x + r[1][1] * v.y + r[1][2] * v.z,
            r[2][0] * v.x + r[2][1] * v.y + r[2][2] * v.z};
}

} // namespace cyclar
