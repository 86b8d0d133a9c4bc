// Test helpers for linkage design: small vector arithmetic, and motion tasks taken off the
// poses of a known linkage.
#pragma once

#include "linkage_design.h"
#include "pose_solver.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace cyclar::test {

inline constexpr double degree = std::numbers::pi / 180.0;

inline SphereVector plus(const SphereVector& u, const SphereVector& v)
{
    return {u.x + v.x, u.y + v.y, u.z + v.z};
}
inline SphereVector times(const SphereVector& v, double s)
{
    return {v.x * s, v.y * s, v.z * s};
}
inline double dotOf(const SphereVector& u, const SphereVector& v)
{
    return u.x * v.x + u.y * v.y + u.z * v.z;
}
inline SphereVector crossOf(const SphereVector& u, const SphereVector& v)
{
    return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}
inline double length(const SphereVector& v)
{
    return std::sqrt(dotOf(v, v));
}
inline SphereVector unit(const SphereVector& v)
{
    return times(v, 1.0 / length(v));
}
// The part of v square to the unit vector n, made unit: the tangent at n toward v.
inline SphereVector tangentToward(const SphereVector& n, const SphereVector& v)
{
    return unit(plus(v, times(n, -dotOf(n, v))));
}
inline TaskPosition positionOf(const SphereVector& point, const SphereVector& heading)
{
    TaskPosition p;
    p.latitude = std::asin(point.z) / degree;
    p.longitude = std::atan2(point.y, point.x) / degree;
    const double lat = p.latitude * degree, lon = p.longitude * degree;
    const SphereVector north{-std::sin(lat) * std::cos(lon), -std::sin(lat) * std::sin(lon),
                             std::cos(lat)};
    const SphereVector east{-std::sin(lon), std::cos(lon), 0.0};
    p.heading = std::atan2(dotOf(heading, east), dotOf(heading, north)) / degree;
    return p;
}

// A motion task from the pose solver's poses of a linkage at the sweep parameters ts, turned by
// `turn`; the body's heading makes a fixed angle with the arc toward A1.
inline DesignTask motionTask(const LinkageDimensions& dims, const std::vector<double>& ts,
                             const Placement& turn)
{
    const LinkageModel model = buildLinkageModel(dims);
    DesignTask task;
    task.kind = TaskKind::Motion;
    for (const double t : ts) {
        const LinkagePose pose = solvePose(model, t);
        const SphereVector toA = tangentToward(pose.P, pose.A1);
        const SphereVector heading = plus(times(toA, std::cos(25.0 * degree)),
                                          times(crossOf(pose.P, toA), std::sin(25.0 * degree)));
        task.positions.push_back(positionOf(placed(turn, pose.P), placed(turn, heading)));
    }
    return task;
}

} // namespace cyclar::test
