// Test helpers for linkage design: motion tasks taken off the poses of a known linkage.
#pragma once

#include "linkage_design.h"
#include "pose_solver.h"

#include <cmath>
#include <vector>

namespace cyclar::test {

inline TaskPosition positionOf(const SphereVector& point, const SphereVector& heading)
{
    TaskPosition p;
    p.latitude = std::asin(point.z) / degree;
    p.longitude = std::atan2(point.y, point.x) / degree;
    const double lat = p.latitude * degree, lon = p.longitude * degree;
    const SphereVector north{-std::sin(lat) * std::cos(lon), -std::sin(lat) * std::sin(lon),
                             std::cos(lat)};
    const SphereVector east{-std::sin(lon), std::cos(lon), 0.0};
    p.heading = std::atan2(dot(heading, east), dot(heading, north)) / degree;
    return p;
}

// The rotation by `angle` degrees about the unit axis n (Rodrigues' formula).
inline Rotation rotationAbout(const SphereVector& n, double angle)
{
    const double c = std::cos(angle * degree);
    const double s = std::sin(angle * degree);
    const double t = 1.0 - c;
    return {{{c + t * n.x * n.x, t * n.x * n.y - s * n.z, t * n.x * n.z + s * n.y},
             {t * n.x * n.y + s * n.z, c + t * n.y * n.y, t * n.y * n.z - s * n.x},
             {t * n.x * n.z - s * n.y, t * n.y * n.z + s * n.x, c + t * n.z * n.z}}};
}

// A motion task from the pose solver's poses of a linkage at the sweep parameters ts, turned by
// `turn`; the body's heading makes a fixed angle with the arc toward A1.
inline DesignTask motionTask(const LinkageDimensions& dims, const std::vector<double>& ts,
                             const Rotation& turn)
{
    const LinkageModel model = buildLinkageModel(dims);
    DesignTask task;
    task.kind = TaskKind::Motion;
    for (const double t : ts) {
        const LinkagePose pose = solvePose(model, t);
        const SphereVector toA = tangentToward(pose.P, pose.A1);
        const SphereVector heading =
            (std::cos(25.0 * degree) * toA) + (std::sin(25.0 * degree) * cross(pose.P, toA));
        task.positions.push_back(positionOf(applied(turn, pose.P), applied(turn, heading)));
    }
    return task;
}

} // namespace cyclar::test
