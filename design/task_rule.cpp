// The one rule of what a design task is, and the points and headings its numbers stand for.
#include "task_rule.h"

#include <cmath>

namespace cyclar {

namespace {

// Angles are degrees; a turn either way covers every way of writing one.
constexpr double angleLimit = 360.0;

// Two orientations closer than this are one: the task could not tell them apart.
constexpr double sameOrientation = 1e-9;

// Two fixed pivots closer than this (degrees) to each other or to each other's opposite make
// no ground link.
constexpr double degenerateGround = 1e-4;

bool withinAngles(double value)
{
    return std::abs(value) <= angleLimit;
}

std::string angleRange()
{
    return "from -360 to 360 degrees";
}

std::optional<std::string> motionProblem(const DesignTask& task)
{
    if (task.positions.size() < taskLeastPositions) {
        return "has " + std::to_string(task.positions.size())
               + " positions; a motion task needs three to five";
    }
    if (task.positions.size() > taskMostPositions) {
        return "has " + std::to_string(task.positions.size())
               + " positions; a motion task takes at most five";
    }
    for (std::size_t i = 0; i < task.positions.size(); ++i) {
        const TaskPosition& p = task.positions[i];
        if (!(std::abs(p.latitude) < 90.0)) {
            return "has a " + taskOrdinal(i)
                   + " position whose \"latitude\" is not strictly between -90 and 90 degrees (a "
                     "heading has no north at a pole)";
        }
        if (!withinAngles(p.longitude) || !withinAngles(p.heading)) {
            return "has a " + taskOrdinal(i) + " position whose \"longitude\" or \"heading\" is "
                   + "not " + angleRange();
        }
    }
    for (std::size_t i = 0; i < task.positions.size(); ++i) {
        for (std::size_t j = i + 1; j < task.positions.size(); ++j) {
            const SphereVector p = taskPoint(task.positions[i]);
            const SphereVector q = taskPoint(task.positions[j]);
            const SphereVector u = taskHeading(task.positions[i]);
            const SphereVector v = taskHeading(task.positions[j]);
            if (norm(p - q) < sameOrientation && norm(u - v) < sameOrientation) {
                return "has its " + taskOrdinal(i) + " and " + taskOrdinal(j)
                       + " positions in the same place with the same heading";
            }
        }
    }
    if (task.fixedPivots.empty()) {
        return std::nullopt;
    }
    if (task.fixedPivots.size() != 2) {
        return "has " + std::to_string(task.fixedPivots.size())
               + " \"fixedPivots\"; give exactly two, or none";
    }
    if (task.positions.size() != 3) {
        return std::string("has \"fixedPivots\" with ") + std::to_string(task.positions.size())
               + " positions; fixed pivots go with three positions only";
    }
    for (const TaskPivot& pivot : task.fixedPivots) {
        if (!(std::abs(pivot.latitude) <= 90.0) || !withinAngles(pivot.longitude)) {
            return "has a fixed pivot whose \"latitude\" is not from -90 to 90 degrees or whose "
                   "\"longitude\" is not "
                   + angleRange();
        }
    }
    const double ground =
        arcDegrees(pivotPoint(task.fixedPivots[0]), pivotPoint(task.fixedPivots[1]));
    if (!(ground > degenerateGround)) {
        return std::string("has its two fixed pivots in the same place");
    }
    if (!(ground < 180.0 - degenerateGround)) {
        return std::string("has its two fixed pivots opposite each other, which leaves no ground "
                           "link between them");
    }
    return std::nullopt;
}

std::optional<std::string> functionProblem(const DesignTask& task)
{
    if (task.pairs.size() < taskLeastPairs) {
        return "has " + std::to_string(task.pairs.size())
               + " pairs; a function task needs at least three";
    }
    for (std::size_t i = 0; i < task.pairs.size(); ++i) {
        const TaskPair& pair = task.pairs[i];
        if (!withinAngles(pair.input) || !withinAngles(pair.output)) {
            return "has a pair (number " + std::to_string(i + 1)
                   + ") whose \"input\" or \"output\" is not " + angleRange();
        }
        for (std::size_t j = 0; j < i; ++j) {
            const auto sameAngle = [](double x, double y) {
                return std::abs(std::remainder(x - y, 360.0)) < 1e-9;
            };
            if (sameAngle(task.pairs[j].input, pair.input)
                && sameAngle(task.pairs[j].output, pair.output)) {
                return "has pairs number " + std::to_string(j + 1) + " and " + std::to_string(i + 1)
                       + " alike";
            }
        }
    }
    if (task.ground) {
        if (!(*task.ground > 0.0 && *task.ground < 180.0)) {
            return std::string("has a \"ground\" that is not strictly between 0 and 180 degrees");
        }
    } else if (task.pairs.size() == taskLeastPairs) {
        return std::string("has three pairs and no \"ground\"; three pairs need the ground "
                           "link's length");
    }
    return std::nullopt;
}

} // namespace

std::string taskOrdinal(std::size_t index)
{
    static const char* const names[] = {"first", "second", "third", "fourth", "fifth"};
    return index < 5 ? names[index] : "number " + std::to_string(index + 1);
}

std::optional<std::string> taskProblem(const DesignTask& task)
{
    return task.kind == TaskKind::Motion ? motionProblem(task) : functionProblem(task);
}

SphereVector taskPoint(const TaskPosition& p)
{
    const double lon = p.longitude * degree;
    const double lat = p.latitude * degree;
    return {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)};
}

SphereVector taskHeading(const TaskPosition& p)
{
    const double lon = p.longitude * degree;
    const double lat = p.latitude * degree;
    const SphereVector north{-std::sin(lat) * std::cos(lon), -std::sin(lat) * std::sin(lon),
                             std::cos(lat)};
    const SphereVector east{-std::sin(lon), std::cos(lon), 0.0};
    return (std::cos(p.heading * degree) * north) + (std::sin(p.heading * degree) * east);
}

SphereVector pivotPoint(const TaskPivot& pivot)
{
    return taskPoint({pivot.longitude, pivot.latitude, 0.0});
}

} // namespace cyclar
