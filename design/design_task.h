// A design task: what a linkage is to do, as a task file states it (degrees throughout).
#pragma once

#include <optional>
#include <vector>

namespace cyclar {

/// One orientation of the guided body: a point on the sphere and a compass heading there.
/// The point is P = (cos φ cos λ, cos φ sin λ, sin φ) in the frame of the pose solver; the
/// heading σ is the direction cos σ · north + sin σ · east.
struct TaskPosition {
    double longitude = 0.0; ///< λ
    double latitude = 0.0;  ///< φ, strictly between -90 and 90
    double heading = 0.0;   ///< σ

    friend bool operator==(const TaskPosition&, const TaskPosition&) = default;
};

/// A fixed pivot the task prescribes (three-position motion tasks only).
struct TaskPivot {
    double longitude = 0.0;
    double latitude = 0.0;

    friend bool operator==(const TaskPivot&, const TaskPivot&) = default;
};

/// One pair of coordinated shaft angles: input θ and output ψ, in the conventions of the
/// linkage analysis.
struct TaskPair {
    double input = 0.0;
    double output = 0.0;

    friend bool operator==(const TaskPair&, const TaskPair&) = default;
};

enum class TaskKind { Motion, Function };

/// What a .cyclar-task file holds. A motion task uses positions (and optionally fixedPivots);
/// a function task uses pairs (and optionally ground).
struct DesignTask {
    TaskKind kind = TaskKind::Motion;
    std::vector<TaskPosition> positions;
    std::vector<TaskPivot> fixedPivots; ///< empty, or exactly two
    std::vector<TaskPair> pairs;
    std::optional<double> ground; ///< f, degrees

    friend bool operator==(const DesignTask&, const DesignTask&) = default;
};

} // namespace cyclar
