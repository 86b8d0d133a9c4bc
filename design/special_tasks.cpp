// Special tasks in plain words: too close, a pure rotation, a pivot at a pole, ill-conditioned.
#include "special_tasks.h"

#include "candidate_order.h"
#include "significant_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace cyclar {

namespace {

// A pivot this close (degrees) to a pole is on it; axes this close are one.
constexpr double onPole = 1e-6;
// A pole this close (degrees) to a given pivot is named when the task is ill-conditioned.
constexpr double nearPole = 1.0;
// Joints that move by more than this (degrees) under a change of tellApartDegrees swing wildly.
constexpr double wildSwing = 5.0;
// How many of the first candidates are followed under the change.
constexpr std::size_t followed = 4;

std::string degreesText(double x)
{
    return significantText(x, 3) + " degrees";
}

// The relative turn from position i to position j: D_j D_i^T, with D_0 the identity.
Rotation relativeTurn(const std::vector<Rotation>& moves, std::size_t i, std::size_t j)
{
    const Rotation Di = i == 0 ? identityRotation() : moves[i - 1];
    const Rotation Dj = j == 0 ? identityRotation() : moves[j - 1];
    return multiply(Dj, transposed(Di));
}

double axisArc(const SphereVector& u, const SphereVector& v)
{
    const double arc = arcDegrees(u, v);
    return std::min(arc, 180.0 - arc);
}

// A point's longitude and latitude in words, from the end of its axis above the equator.
std::string axisText(SphereVector n)
{
    if (n.z < 0.0) {
        n = -n;
    }
    const double latitude = std::asin(std::clamp(n.z, -1.0, 1.0)) / degree;
    const double longitude = std::atan2(n.y, n.x) / degree;
    return "longitude " + significantText(longitude, 4) + ", latitude "
           + significantText(latitude, 4) + " degrees";
}

// The task with every number moved by `nudge` degrees, the sign of each from `pattern`.
DesignTask nudged(const DesignTask& task, double nudge, unsigned pattern)
{
    DesignTask out = task;
    unsigned k = 0;
    const auto move = [&](double& x) {
        const bool negative = pattern == 0 ? (k % 2) != 0 : ((k / 2) % 2) != 0;
        x += negative ? -nudge : nudge;
        ++k;
    };
    for (TaskPosition& p : out.positions) {
        move(p.longitude);
        move(p.latitude);
        move(p.heading);
    }
    for (TaskPivot& p : out.fixedPivots) {
        move(p.longitude);
        move(p.latitude);
    }
    for (TaskPair& p : out.pairs) {
        move(p.input);
        move(p.output);
    }
    return out;
}

// The greatest angle (degrees) between matching joint axes of two mechanisms, their dyads
// matched either way round.
double axesApart(const std::array<SphereVector, 4>& x, const std::array<SphereVector, 4>& y)
{
    const auto apart = [&](std::size_t i, std::size_t j) {
        return std::max(axisArc(x[i], y[j]), axisArc(x[i + 1], y[j + 1]));
    };
    return std::min(std::max(apart(0, 0), apart(2, 2)), std::max(apart(0, 2), apart(2, 0)));
}

} // namespace

Turn turnOf(const Rotation& r)
{
    const SphereVector skew{0.5 * (r[2][1] - r[1][2]), 0.5 * (r[0][2] - r[2][0]),
                            0.5 * (r[1][0] - r[0][1])};
    const double cosAngle = 0.5 * (r[0][0] + r[1][1] + r[2][2] - 1.0);
    Turn turn;
    turn.angle = std::atan2(norm(skew), cosAngle) / degree;
    if (norm(skew) > 1e-6) {
        turn.axis = normalized(skew);
        return turn;
    }
    // Near no turn or a half turn the skew part fades: the symmetric part (1 - cos) n n^T holds
    // the axis then.
    SphereVector best;
    for (std::size_t c = 0; c < 3; ++c) {
        SphereVector column{0.5 * (r[0][c] + r[c][0]), 0.5 * (r[1][c] + r[c][1]),
                            0.5 * (r[2][c] + r[c][2])};
        (c == 0 ? column.x : c == 1 ? column.y : column.z) -= cosAngle;
        if (norm(column) > norm(best)) {
            best = column;
        }
    }
    if (norm(best) > 1e-12) {
        turn.axis = normalized(best);
        if (dot(turn.axis, skew) < 0.0) {
            turn.axis = -turn.axis;
        }
    }
    return turn;
}

std::optional<std::string> positionsTooClose(const DesignTask& task)
{
    const std::vector<Rotation> moves = taskDisplacements(task);
    double least = tellApartDegrees;
    std::optional<std::pair<std::size_t, std::size_t>> closest;
    for (std::size_t i = 0; i < task.positions.size(); ++i) {
        for (std::size_t j = i + 1; j < task.positions.size(); ++j) {
            const double angle = turnOf(relativeTurn(moves, i, j)).angle;
            if (angle < least) {
                least = angle;
                closest = std::pair{i, j};
            }
        }
    }
    if (!closest) {
        return std::nullopt;
    }
    return "positions " + std::to_string(closest->first + 1) + " and "
           + std::to_string(closest->second + 1) + " differ by a turn of only " + degreesText(least)
           + ": too close to tell apart, so they fix no linkage; move them further apart";
}

std::optional<std::string> pureRotation(const DesignTask& task)
{
    const std::vector<Rotation> moves = taskDisplacements(task);
    if (moves.empty()) {
        return std::nullopt;
    }
    const SphereVector axis = turnOf(moves.front()).axis;
    for (const Rotation& D : moves) {
        if (axisArc(turnOf(D).axis, axis) > onPole) {
            return std::nullopt;
        }
    }
    return "every position is the first turned about one axis (" + axisText(axis)
           + "): a single joint on that axis guides the body so, and every dyad that fits has a "
             "pivot on that axis, so no four-bar with a ground link between two pivots follows";
}

PivotPole nearestPole(const DesignTask& task, const SphereVector& G)
{
    const std::vector<Rotation> moves = taskDisplacements(task);
    PivotPole best;
    for (std::size_t i = 0; i < task.positions.size(); ++i) {
        for (std::size_t j = i + 1; j < task.positions.size(); ++j) {
            const SphereVector n = turnOf(relativeTurn(moves, i, j)).axis;
            const double arc = axisArc(G, n);
            if (arc < best.arc) {
                best = {i, j, dot(n, G) < 0.0 ? -n : n, arc};
            }
        }
    }
    return best;
}

std::optional<PivotPole> pivotPole(const DesignTask& task, const SphereVector& G)
{
    const PivotPole pole = nearestPole(task, G);
    if (!(pole.arc <= onPole)) {
        return std::nullopt;
    }
    return pole;
}

std::string poleText(const PivotPole& pole)
{
    return "the pole of the turn between positions " + std::to_string(pole.from + 1) + " and "
           + std::to_string(pole.to + 1);
}

void noteConditioning(const DesignTask& task, const DesignOptions& options, DesignResult& result)
{
    if (result.candidates.empty()) {
        return;
    }
    std::vector<std::array<SphereVector, 4>> first;
    for (std::size_t i = 0; i < result.candidates.size() && first.size() < followed; ++i) {
        if (const auto axes = jointAxes(result.candidates[i])) {
            first.push_back(*axes);
        }
    }
    DesignOptions quiet = options;
    quiet.checkConditioning = false;
    double swing = 0.0;
    bool lost = false;
    for (const unsigned pattern : {0u, 1u}) {
        const DesignTask changed = nudged(task, tellApartDegrees, pattern);
        if (taskProblem(changed)) {
            continue;
        }
        const DesignResult again = designLinkages(changed, quiet);
        std::vector<std::array<SphereVector, 4>> others;
        for (const DesignCandidate& c : again.candidates) {
            if (const auto axes = jointAxes(c)) {
                others.push_back(*axes);
            }
        }
        if (others.empty()) {
            lost = true;
            continue;
        }
        for (const auto& axes : first) {
            double nearest = 180.0;
            for (const auto& other : others) {
                nearest = std::min(nearest, axesApart(axes, other));
            }
            swing = std::max(swing, nearest);
        }
    }
    if (!lost && !(swing > wildSwing)) {
        return;
    }
    std::string sentence = "this task is ill-conditioned: a change of "
                           + degreesText(tellApartDegrees) + " in its numbers "
                           + (lost ? std::string("leaves no linkage")
                                   : "moves the joints of its first linkages by up to "
                                         + degreesText(swing) + " (or leaves them out)");
    if (task.kind == TaskKind::Motion) {
        for (std::size_t p = 0; p < task.fixedPivots.size(); ++p) {
            const PivotPole pole = nearestPole(task, pivotPoint(task.fixedPivots[p]));
            if (pole.arc < nearPole) {
                sentence += " (fixed pivot " + std::to_string(p + 1) + " lies "
                            + degreesText(pole.arc) + " from " + poleText(pole) + ")";
            }
        }
    }
    if (result.reason.empty()) {
        result.reason = sentence;
    } else {
        sentence[0] = 'T';
        result.reason += ". " + sentence;
    }
}

} // namespace cyclar
