// Tasks whose answer is not a plain list of linkages, each said in a sentence of its own:
// positions too close to tell apart, a pure rotation, a given pivot at a rotation pole (a whole
// family then does the task), and a task whose answer swings wildly under a tiny change.
#pragma once

#include "linkage_design.h"

#include <cstddef>
#include <optional>
#include <string>

namespace cyclar {

/// Two positions whose orientations differ by a turn smaller than this (degrees) are too close
/// to tell apart; so is a change this small the one that shows an ill-conditioned task.
inline constexpr double tellApartDegrees = 0.01;

/// The turn (degrees, 0 to 180) of a rotation and its axis, the end from which it is seen
/// counter-clockwise; the axis is arbitrary for no turn at all.
struct Turn {
    double angle = 0.0;
    SphereVector axis{0.0, 0.0, 1.0};
};
Turn turnOf(const Rotation& rotation);

/// "positions 2 and 3 differ by a turn of only 0.004 degrees: ..." for the closest two positions
/// of a motion task closer than tellApartDegrees; nothing otherwise.
std::optional<std::string> positionsTooClose(const DesignTask& task);

/// For a motion task whose every position is the first turned about one axis: the sentence that
/// says so, and why no four-bar follows; nothing otherwise.
std::optional<std::string> pureRotation(const DesignTask& task);

/// The pole of the turn between two positions (0-based, from < to) that a fixed pivot lies on.
struct PivotPole {
    std::size_t from = 0;
    std::size_t to = 1;
    SphereVector axis;  ///< the pole, at the end nearer the pivot
    double arc = 180.0; ///< from the pivot to the pole, degrees
};

/// The pole, of the turns between any two of a motion task's positions, nearest the point G.
PivotPole nearestPole(const DesignTask& task, const SphereVector& G);

/// The pole that G lies on (within 1e-6 degrees), or nothing. With three positions a fixed pivot
/// there leaves its moving pivot free on a great circle: a family of dyads.
std::optional<PivotPole> pivotPole(const DesignTask& task, const SphereVector& G);

/// "the pole of the turn between positions 1 and 2".
std::string poleText(const PivotPole& pole);

/// Designs the task again with its numbers moved by tellApartDegrees, in two patterns of signs,
/// and when the joints of the first few candidates move by more than five degrees (or none are
/// left) adds to the result's reason that the task is ill-conditioned, and by how much.
void noteConditioning(const DesignTask& task, const DesignOptions& options, DesignResult& result);

} // namespace cyclar
