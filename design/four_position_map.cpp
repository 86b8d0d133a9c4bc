// The four-position solution map: the centre-point curve traced on the sphere by predictor and
// corrector steps, each of its points with the circle point of its dyad.
#include "four_position_map.h"

#include "design_math.h"
#include "special_tasks.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace cyclar {

namespace {

// The longest step along the curve, and the shortest the tracer tries before it gives up on a
// piece (degrees).
constexpr double longestStep = 0.5;
constexpr double shortestStep = 1e-4;
// A step may turn the curve's tangent by at most this (degrees): a sharper turn is taken in
// shorter steps, and the tracer never jumps from one piece to a neighbouring one.
constexpr double sharpestTurn = 12.0;
// Seeds: planes through each of two axes, this many each.
constexpr int seedPlanes = 36;
// How many steps a piece may take before it is given up (a closed piece of the curve on the
// unit sphere is shorter than 720 degrees, so half-degree steps never come near).
constexpr int mostSteps = 40000;

// det[C_0 G, C_1 G, C_2 G] with C_i = D_i^T - I, scaled by the sizes of the C_i: zero on the
// centre-point cone.
struct Cone {
    std::array<Rotation, 3> C;
    std::array<Rotation, 3> Ct;
    double scale = 1.0;

    double value(const SphereVector& G) const
    {
        return det3(applied(C[0], G), applied(C[1], G), applied(C[2], G)) / scale;
    }

    SphereVector gradient(const SphereVector& G) const
    {
        const SphereVector a = applied(C[0], G);
        const SphereVector b = applied(C[1], G);
        const SphereVector c = applied(C[2], G);
        return (1.0 / scale)
               * (applied(Ct[0], cross(b, c)) + applied(Ct[1], cross(c, a))
                  + applied(Ct[2], cross(a, b)));
    }
};

Cone coneOf(const std::vector<Rotation>& moves)
{
    Cone cone;
    const CubicCone cubic = cubicCone(moves, 0, 1, 2);
    cone.scale = 1.0;
    for (std::size_t i = 0; i < 3; ++i) {
        cone.C[i] = cubic.C[i];
        cone.Ct[i] = transposed(cubic.C[i]);
        double size = 0.0;
        for (const auto& row : cone.C[i]) {
            for (const double x : row) {
                size += x * x;
            }
        }
        cone.scale *= std::sqrt(size);
    }
    return cone;
}

// Newton's method along the sphere toward F = 0, each step along F's gradient in the tangent
// plane, until a step no longer moves G: F's own scale says nothing of how flat the cone is
// there, so no threshold on F would do for every task.
bool correct(const Cone& cone, SphereVector& G)
{
    for (int i = 0; i < 20; ++i) {
        const double f = cone.value(G);
        if (f == 0.0) {
            return true;
        }
        SphereVector g = cone.gradient(G);
        g = g - (dot(g, G) * G);
        const double gg = dot(g, g);
        if (!(gg > 1e-30)) {
            return false;
        }
        const SphereVector next = normalized(G - ((f / gg) * g));
        const double moved = norm(next - G);
        G = next;
        if (moved < 1e-16) {
            break;
        }
    }
    return std::fabs(cone.value(G)) < 1e-12;
}

// The unit tangent of the curve at G (on it), or nothing at a singular point.
std::optional<SphereVector> tangentAt(const Cone& cone, const SphereVector& G)
{
    const SphereVector t = cross(G, cone.gradient(G));
    if (!(norm(t) > 1e-10)) {
        return std::nullopt;
    }
    return normalized(t);
}

struct Piece {
    std::vector<SphereVector> points;
    bool closed = false;
};

// Follows the curve from `start` (on it), setting out along `direction` times its tangent, until
// it comes back round to `start` or can go no further (a singular point).
Piece follow(const Cone& cone, const SphereVector& start, double direction)
{
    Piece piece;
    piece.points.push_back(start);
    std::optional<SphereVector> first = tangentAt(cone, start);
    if (!first) {
        return piece;
    }
    SphereVector heading = direction * *first;
    SphereVector G = start;
    double step = longestStep * degree;
    double travelled = 0.0;
    for (int n = 0; n < mostSteps; ++n) {
        if (travelled > 3.0 * step && norm(G - start) < 1.5 * step
            && dot(heading, start - G) > 0.0) {
            // Round again: a point halfway when the last step would be longer than a step.
            SphereVector middle = normalized(G + start);
            if (arcDegrees(G, start) > longestStep && correct(cone, middle)) {
                piece.points.push_back(middle);
            }
            piece.points.push_back(start);
            piece.closed = true;
            return piece;
        }
        bool stepped = false;
        while (step >= shortestStep * degree) {
            SphereVector next = normalized(G + (step * heading));
            const SphereVector predicted = next;
            const std::optional<SphereVector> along =
                correct(cone, next) ? tangentAt(cone, next) : std::nullopt;
            if (along && norm(next - predicted) < 0.25 * step && arcDegrees(G, next) <= longestStep
                && std::fabs(dot(*along, heading)) > std::cos(sharpestTurn * degree)) {
                heading = dot(*along, heading) < 0.0 ? -*along : *along;
                travelled += arcDegrees(G, next) * degree;
                G = next;
                stepped = true;
                break;
            }
            step *= 0.5;
        }
        if (!stepped) {
            return piece;
        }
        piece.points.push_back(G);
        step = std::min(2.0 * step, longestStep * degree);
    }
    return piece;
}

// The whole piece of the curve through `seed`: round to the seed again, or from one end it
// cannot pass to the other.
Piece pieceThrough(const Cone& cone, const SphereVector& seed)
{
    Piece forward = follow(cone, seed, 1.0);
    if (forward.closed) {
        return forward;
    }
    Piece backward = follow(cone, seed, -1.0);
    Piece whole;
    whole.points.assign(backward.points.rbegin(), backward.points.rend());
    whole.points.insert(whole.points.end(), forward.points.begin() + 1, forward.points.end());
    return whole;
}

// Points where planes through two axes cut the cone: every piece of the curve wider than the
// planes' spacing is cut by some of them.
std::vector<SphereVector> seedsOf(const std::vector<Rotation>& moves)
{
    const CubicCone cubic = cubicCone(moves, 0, 1, 2);
    const SphereVector one = normalized({0.3, -0.5, 0.8});
    const std::array<SphereVector, 2> axes{one, normalized(cross(one, {0.6, 0.7, -0.2}))};
    std::vector<SphereVector> seeds;
    for (const SphereVector& axis : axes) {
        for (int s = 0; s < seedPlanes; ++s) {
            const double alpha = std::numbers::pi * (s + 0.5) / seedPlanes;
            for (const SphereVector& G : coneLinesInPlane(cubic, axis, alpha)) {
                seeds.push_back(G);
                seeds.push_back(-G);
            }
        }
    }
    return seeds;
}

} // namespace

DesignTask firstFourPositions(const DesignTask& task)
{
    DesignTask four = task;
    if (four.positions.size() > 4) {
        four.positions.resize(4);
    }
    return four;
}

SolutionMap fourPositionMap(const DesignTask& task)
{
    SolutionMap map;
    if (task.kind != TaskKind::Motion
        || (task.positions.size() != 4 && task.positions.size() != 5)) {
        map.reason = "the solution map is drawn for motion tasks of four or five positions";
        return map;
    }
    if (const std::optional<std::string> problem = taskProblem(task)) {
        map.reason = "the task " + *problem;
        return map;
    }
    const DesignTask four = firstFourPositions(task);
    if (std::optional<std::string> special = positionsTooClose(four)) {
        map.reason = std::move(*special);
        return map;
    }
    if (std::optional<std::string> special = pureRotation(four)) {
        map.reason = std::move(*special);
        return map;
    }
    const std::vector<Rotation> moves = taskDisplacements(four);
    const Cone cone = coneOf(moves);
    const SphereVector P1 = taskPoint(task.positions.front());
    std::vector<SphereVector> traced;
    for (const SphereVector& seed : seedsOf(moves)) {
        const bool known = std::any_of(traced.begin(), traced.end(), [&](const SphereVector& x) {
            return norm(x - seed) < 2.0 * longestStep * degree;
        });
        SphereVector start = seed;
        if (known || !correct(cone, start)) {
            continue;
        }
        const Piece piece = pieceThrough(cone, start);
        if (piece.points.size() < 2) {
            continue;
        }
        traced.insert(traced.end(), piece.points.begin(), piece.points.end());
        // Each centre point with its circle point, the circle point's end of its axis chosen
        // to go on smoothly from the last (the first near the task's first point). Where a
        // centre point fixes no circle point (a pole), the stretch ends and the next begins.
        std::vector<std::vector<std::pair<SphereVector, SphereVector>>> stretches(1);
        for (const SphereVector& G : piece.points) {
            const std::optional<SphereVector> W = movingPivotFor(moves, G);
            if (!W) {
                if (!stretches.back().empty()) {
                    stretches.emplace_back();
                }
                continue;
            }
            const SphereVector toward =
                stretches.back().empty() ? P1 : stretches.back().back().second;
            stretches.back().emplace_back(G, dot(*W, toward) < 0.0 ? -*W : *W);
        }
        // A closed piece whose circle point comes back at the other end of its axis closes only
        // after a second round, with the circle points at their other ends.
        auto& whole = stretches.front();
        if (piece.closed && stretches.size() == 1 && whole.size() > 1
            && dot(whole.front().second, whole.back().second) < 0.0) {
            const std::size_t once = whole.size();
            for (std::size_t i = 1; i < once; ++i) {
                whole.emplace_back(whole[i].first, -whole[i].second);
            }
        }
        for (const auto& dyads : stretches) {
            double along = 0.0;
            for (std::size_t i = 0; i < dyads.size(); ++i) {
                if (i > 0) {
                    along += arcDegrees(dyads[i - 1].first, dyads[i].first);
                }
                map.centrePoints.push_back(dyads[i].first);
                map.circlePoints.push_back(dyads[i].second);
                // A stretch's first point is at 0; every later one strictly beyond it.
                map.parameter.push_back(i == 0 ? 0.0 : std::max(along, 1e-12));
            }
        }
    }
    if (map.empty()) {
        map.reason = "the centre-point curve of these positions could not be traced";
        return map;
    }
    if (task.positions.size() == 5) {
        map.marks = taskDyads(task);
    }
    return map;
}

Dyad mapDyad(const SolutionMap& map, std::size_t i)
{
    return {map.centrePoints[i], map.circlePoints[i]};
}

std::vector<MapClass> mapClasses(const DesignTask& task, const SolutionMap& map,
                                 std::size_t partner)
{
    std::vector<MapClass> classes(map.centrePoints.size(), MapClass::None);
    if (partner >= map.centrePoints.size()) {
        return classes;
    }
    const DesignTask four = firstFourPositions(task);
    const Dyad with = mapDyad(map, partner);
    for (std::size_t i = 0; i < classes.size(); ++i) {
        if (norm(cross(map.centrePoints[i], with.fixed)) < 1e-9) {
            continue; // the partner's own axis: no ground link
        }
        MapClass best = MapClass::None;
        for (const DesignCandidate& c : linkagesFromDyads(four, with, mapDyad(map, i))) {
            best = std::max(best, c.usable() ? MapClass::Usable : MapClass::Defective);
        }
        classes[i] = best;
    }
    return classes;
}

} // namespace cyclar
