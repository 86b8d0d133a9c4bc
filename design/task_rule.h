// The one rule of what a design task is: how many positions or pairs, their ranges, no two
// alike, where fixed pivots and a ground may be given. The reader of task files, the design, the
// windows and the browser all ask it, so that a table one of them designs every other designs
// too, and Save writes it.
#pragma once

#include "design_task.h"
#include "sphere_geometry.h"

#include <cstddef>
#include <optional>
#include <string>

namespace cyclar {

/// A motion task has three to five positions; a function task at least three pairs.
inline constexpr std::size_t taskLeastPositions = 3;
inline constexpr std::size_t taskMostPositions = 5;
inline constexpr std::size_t taskLeastPairs = 3;

/// Why the task is not one, in words that follow "the task" or a file's name ("has 2
/// positions; a motion task needs three to five"); nothing when it is one. Motion: three to
/// five positions, latitudes strictly between -90 and 90 degrees, longitudes and headings within
/// a turn either way, no two positions alike, and two fixed pivots or none, only with three
/// positions, neither in the same place nor opposite each other. Function: three or more pairs
/// within a turn either way, no two alike, a ground strictly between 0 and 180 degrees, which
/// three pairs need.
std::optional<std::string> taskProblem(const DesignTask& task);

/// "first", "second", ... "fifth", then "number 6": how the rule and the reader name an entry.
std::string taskOrdinal(std::size_t index);

/// A task position's point P = (cos lat cos lon, cos lat sin lon, sin lat) and its heading
/// u = cos h north + sin h east, as unit vectors of the task's frame.
SphereVector taskPoint(const TaskPosition& position);
SphereVector taskHeading(const TaskPosition& position);
SphereVector pivotPoint(const TaskPivot& pivot);

} // namespace cyclar
