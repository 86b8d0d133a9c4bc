// Linkage design: function generation by the spherical Freudenstein equation, motion generation
// by Burmester's dyads on the sphere, and the checks every candidate passes before it is offered.
#include "linkage_design.h"

#include "design_math.h"
#include "linkage_analysis.h"
#include "significant_text.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace cyclar {

namespace {

// A candidate must reach its task's points this closely, and hold the heading's angle to the
// coupler this steadily, by forward kinematics: a hundred times closer than anyone checking it
// asks (1e-7 and 1e-6 degrees), so that another solver's rounding cannot tip it over.
constexpr double pointTolerance = 1e-9;
constexpr double headingTolerance = 1e-8; // degrees
// Exact function fits meet their pairs this closely (degrees).
constexpr double exactOutputTolerance = 1e-6;
// Links shorter than this (or this close to 180 degrees) make no linkage.
constexpr double degenerateArc = 1e-4; // degrees

bool properArc(double arc)
{
    return arc > degenerateArc && arc < 180.0 - degenerateArc;
}

std::string number(double x)
{
    return significantText(x, 6);
}

// ---- The circuits an input-driven linkage moves on -------------------------------------------

// Where each position lies on the closed curves the linkage moves along as its input turns: a
// circuit and a coordinate s along it (degrees of input travelled, 0 <= s < length). A turning
// input has one circuit per branch; a rocking input's circuit runs over its range on branch 1
// and back on branch 2, the two meeting at the toggles, s = 0 and s = span.
struct CircuitMap {
    bool rocks = false;
    double lo = 0.0, hi = 0.0; // the input's range on a rocking circuit (hi - lo = span)
    bool shifted = false;      // the range wraps through 180: theta is taken in [0, 360)
    bool twoRanges = false;    // the input rocks on either side of the ground: two circuits
    double length = 360.0;

    double span() const { return hi - lo; }
};

CircuitMap circuitMap(const LinkageAnalysis& analysis)
{
    CircuitMap map;
    const std::vector<double>& limits = analysis.inputLimits;
    if (analysis.input == LinkMotion::RocksThrough0 && limits.size() == 1) {
        map.rocks = true;
        map.lo = -limits[0];
        map.hi = limits[0];
    } else if (analysis.input == LinkMotion::RocksThroughPi && limits.size() == 1) {
        map.rocks = true;
        map.shifted = true;
        map.lo = limits[0];
        map.hi = 360.0 - limits[0];
    } else if (analysis.input == LinkMotion::RocksBetween && limits.size() == 2) {
        map.rocks = true;
        map.twoRanges = true;
        map.lo = limits[0];
        map.hi = limits[1];
    }
    if (map.rocks) {
        map.length = 2.0 * map.span();
    }
    return map;
}

struct LoopPlace {
    int circuit = 0;
    double s = 0.0;
};

LoopPlace loopPlace(const CircuitMap& map, const PositionReach& reach)
{
    if (!map.rocks) {
        const double s = std::fmod(reach.input + 360.0, 360.0);
        return {reach.branch, s >= 360.0 ? 0.0 : s};
    }
    double theta = reach.input;
    int circuit = 0;
    double lo = map.lo;
    double hi = map.hi;
    if (map.shifted && theta < 0.0) {
        theta += 360.0;
    }
    if (map.twoRanges && theta < 0.0) {
        circuit = 1;
        lo = -map.hi;
        hi = -map.lo;
    }
    const double along = std::clamp(theta - lo, 0.0, hi - lo);
    return {circuit, reach.branch == 1 ? along : map.length - along};
}

// The input angle at a coordinate of a circuit (only its cosine matters to the transmission).
double inputAt(const CircuitMap& map, int circuit, double s)
{
    if (!map.rocks) {
        return s;
    }
    const double along = s <= map.span() ? s : map.length - s;
    return circuit == 1 ? -map.hi + along : map.lo + along;
}

// Coordinates on a circuit where the transmission angle may turn: the toggles, and where the
// input passes 0 or 180 degrees (the diagonal is extreme there).
std::vector<double> turningPlaces(const CircuitMap& map)
{
    if (!map.rocks) {
        return {0.0, 180.0};
    }
    std::vector<double> places{0.0, map.span()};
    const double inside = map.shifted ? 180.0 : 0.0;
    if (!map.twoRanges && inside > map.lo && inside < map.hi) {
        places.push_back(inside - map.lo);
        places.push_back(map.length - (inside - map.lo));
    }
    return places;
}

// cos mu = (cos d - cos b cos c) / (sin b sin c), with cos d = cos a cos f + sin a sin f cos theta.
double transmissionAt(const LinkageDimensions& d, double theta)
{
    const double cosD =
        std::cos(d.a * degree) * std::cos(d.f * degree)
        + std::sin(d.a * degree) * std::sin(d.f * degree) * std::cos(theta * degree);
    const double cosMu = (cosD - std::cos(d.b * degree) * std::cos(d.c * degree))
                         / (std::sin(d.b * degree) * std::sin(d.c * degree));
    return std::acos(std::clamp(cosMu, -1.0, 1.0)) / degree;
}

// The positions' defects and the transmission range on the way from the first to the last.
void judgeMotion(DesignCandidate& candidate, const LinkageAnalysis& analysis)
{
    const CircuitMap map = circuitMap(analysis);
    const std::size_t n = candidate.positions.size();
    std::vector<LoopPlace> places;
    places.reserve(n);
    for (const PositionReach& reach : candidate.positions) {
        places.push_back(loopPlace(map, reach));
    }
    const auto sameCircuit = std::all_of(places.begin(), places.end(), [&](const LoopPlace& p) {
        return p.circuit == places.front().circuit;
    });
    const auto sameBranch = std::all_of(
        candidate.positions.begin(), candidate.positions.end(),
        [&](const PositionReach& r) { return r.branch == candidate.positions[0].branch; });
    std::array<double, 2> range{180.0, 0.0};
    const auto include = [&](double theta) {
        const double mu = transmissionAt(candidate.dims, theta);
        range = {std::min(range[0], mu), std::max(range[1], mu)};
    };
    if (!sameCircuit) {
        candidate.defects.push_back({DefectKind::Circuit, 0, 0});
        for (const PositionReach& reach : candidate.positions) {
            include(reach.input);
        }
        candidate.transmission = range;
        return;
    }
    if (!sameBranch && map.rocks) {
        candidate.defects.push_back({DefectKind::Branch, 0, 0});
    }
    const double length = map.length;
    const auto ahead = [&](double from, double to, double direction) {
        const double d = std::fmod(direction * (to - from) + 2.0 * length, length);
        return d >= length ? 0.0 : d;
    };
    // The way round that meets the positions in order, if either does; else the shorter.
    double best = 1.0;
    double bestTotal = std::numeric_limits<double>::infinity();
    for (const double direction : {1.0, -1.0}) {
        double total = 0.0;
        for (std::size_t i = 0; i + 1 < n; ++i) {
            total += ahead(places[i].s, places[i + 1].s, direction);
        }
        if (total < bestTotal) {
            bestTotal = total;
            best = direction;
        }
    }
    const int circuit = places.front().circuit;
    if (!(bestTotal < length - 1e-9)) {
        candidate.defects.push_back({DefectKind::Order, 0, 0});
        for (const double s : turningPlaces(map)) {
            include(inputAt(map, circuit, s));
        }
    }
    const std::vector<double> turning = turningPlaces(map);
    for (std::size_t i = 0; i < n; ++i) {
        include(candidate.positions[i].input);
        if (i + 1 == n) {
            break;
        }
        const double step = ahead(places[i].s, places[i + 1].s, best);
        for (std::size_t t = 0; t < turning.size(); ++t) {
            const double at = ahead(places[i].s, turning[t], best);
            if (at > 1e-9 && at < step - 1e-9) {
                include(inputAt(map, circuit, turning[t]));
                const DesignDefect toggle{DefectKind::Toggle, static_cast<int>(i + 1),
                                          static_cast<int>(i + 2)};
                // One toggle named per step, however many the step passes.
                if (map.rocks && t < 2
                    && (candidate.defects.empty() || candidate.defects.back() != toggle)) {
                    candidate.defects.push_back(toggle);
                }
            }
        }
    }
    candidate.transmission = range;
}

double transmissionStray(const DesignCandidate& c)
{
    return std::max(std::fabs(c.transmission[0] - 90.0), std::fabs(c.transmission[1] - 90.0));
}

void rank(std::vector<DesignCandidate>& candidates)
{
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const DesignCandidate& x, const DesignCandidate& y) {
                         if (x.usable() != y.usable()) {
                             return x.usable();
                         }
                         if (x.otherEnds != y.otherEnds) {
                             return !x.otherEnds;
                         }
                         if (x.defects.size() != y.defects.size()) {
                             return x.defects.size() < y.defects.size();
                         }
                         return transmissionStray(x) < transmissionStray(y);
                     });
}

// ---- Function generation -----------------------------------------------------------------------

// The loop closure A1 . B1 = cos c in the analysis' conventions,
//   A1 = (cos a, sin a cos theta, sin a sin theta),
//   B1 = (cos b cos f - sin b sin f cos psi, cos b sin f + sin b cos f cos psi, sin b sin psi),
// divided by sin a sin b reads
//   K1 cos theta cos psi + K2 cos theta + K3 cos psi + K4 = -sin theta sin psi
// with K1 = cos f, K2 = sin f cot b, K3 = -sin f cot a,
// K4 = (cos a cos b cos f - cos c) / (sin a sin b): linear in K, one equation per pair.
DesignResult designFunction(const DesignTask& task)
{
    DesignResult result;
    result.kind = TaskKind::Function;
    const bool groundGiven = task.ground.has_value();
    const std::size_t unknowns = groundGiven ? 3 : 4;
    const double cosF = groundGiven ? std::cos(*task.ground * degree) : 0.0;
    std::vector<std::vector<double>> rows;
    std::vector<double> rhs;
    for (const TaskPair& pair : task.pairs) {
        const double ct = std::cos(pair.input * degree);
        const double st = std::sin(pair.input * degree);
        const double cp = std::cos(pair.output * degree);
        const double sp = std::sin(pair.output * degree);
        if (groundGiven) {
            rows.push_back({ct, cp, 1.0});
            rhs.push_back(-st * sp - cosF * ct * cp);
        } else {
            rows.push_back({ct * cp, ct, cp, 1.0});
            rhs.push_back(-st * sp);
        }
    }
    const LeastSquares fit = solveLeastSquares(rows, rhs);
    if (!fit.solved) {
        result.reason = "the pairs do not fix a linkage: they repeat one another's information";
        return result;
    }
    const double K1 = groundGiven ? cosF : fit.x[0];
    const double K2 = fit.x[unknowns - 3];
    const double K3 = fit.x[unknowns - 2];
    const double K4 = fit.x[unknowns - 1];
    if (rows.size() > unknowns) {
        result.residual = fit.residual;
    }
    if (!(std::fabs(K1) < std::cos(degenerateArc * degree))) {
        result.reason = "no real linkage meets these pairs: they ask for a ground link whose "
                        "cosine is "
                        + number(K1);
        return result;
    }
    const double sinF = std::sqrt(1.0 - K1 * K1);
    LinkageDimensions dims = defaultDimensions;
    dims.f = std::acos(K1) / degree;
    dims.a = std::atan2(sinF, -K3) / degree;
    dims.b = std::atan2(sinF, K2) / degree;
    const double cosC = std::cos(dims.a * degree) * std::cos(dims.b * degree) * K1
                        - K4 * std::sin(dims.a * degree) * std::sin(dims.b * degree);
    if (!(std::fabs(cosC) < std::cos(degenerateArc * degree))) {
        result.reason = "no real linkage meets these pairs: they ask for a coupler whose cosine "
                        "is "
                        + number(cosC);
        return result;
    }
    dims.c = std::acos(cosC) / degree;
    if (!properArc(dims.a) || !properArc(dims.b)) {
        result.reason = "no real linkage meets these pairs: a link would shrink to a point";
        return result;
    }
    const LinkageAnalysis analysis = analyseLinkage(dims);
    DesignCandidate candidate;
    candidate.dims = dims;
    candidate.type = analysis.type;
    for (std::size_t i = 0; i < task.pairs.size(); ++i) {
        const double theta = wrapDegrees(task.pairs[i].input);
        const OutputAngles out = outputAnglesAt(dims, theta);
        if (!out.closes) {
            result.reason = "the linkage that fits best cannot be assembled at the input of pair "
                            + std::to_string(i + 1);
            return result;
        }
        const double wanted = task.pairs[i].output;
        const double miss1 = std::fabs(wrapDegrees(out.psi[0] - wanted));
        const double miss2 = std::fabs(wrapDegrees(out.psi[1] - wanted));
        const int branch = miss2 < miss1 ? 2 : 1;
        candidate.positions.push_back({theta, branch});
        candidate.outputError = std::max(candidate.outputError, std::min(miss1, miss2));
    }
    if (rows.size() == unknowns && !(candidate.outputError <= exactOutputTolerance)) {
        result.reason = "the linkage found does not meet its pairs when checked (they lie too "
                        "close to a toggle)";
        return result;
    }
    judgeMotion(candidate, analysis);
    if (result.residual) {
        result.reason = "least-squares fit over " + std::to_string(task.pairs.size())
                        + " pairs: residual " + number(*result.residual)
                        + ", greatest output error " + number(candidate.outputError) + " degrees";
    }
    result.candidates.push_back(std::move(candidate));
    return result;
}

// ---- Motion generation -------------------------------------------------------------------------

// The body's orientation in a position: columns P, u, P x u.
Rotation bodyRotation(const TaskPosition& position)
{
    const SphereVector p = taskPoint(position);
    const SphereVector u = taskHeading(position);
    return fromColumns(p, u, cross(p, u));
}

// The displacements from the first position to each of the others: W_i = D_i W_1.
std::vector<Rotation> displacements(const DesignTask& task)
{
    const Rotation first = bodyRotation(task.positions[0]);
    std::vector<Rotation> out;
    for (std::size_t i = 1; i < task.positions.size(); ++i) {
        out.push_back(multiply(bodyRotation(task.positions[i]), transposed(first)));
    }
    return out;
}

// The heading's angle at a task point to the arc toward a moving pivot (degrees).
double headingAngle(const SphereVector& point, const SphereVector& heading,
                    const SphereVector& toward)
{
    const SphereVector t = toward - (dot(point, toward) * point);
    return std::atan2(dot(point, cross(heading, t)), dot(heading, t)) / degree;
}

// Picks the ends of each joint's axis (a joint is an axis through the sphere's centre): the
// coupler point near A1 and the links at most a quarter circle; given pivots stay as given.
void chooseJointEnds(const DesignTask& task, Dyad& input, Dyad& output, bool pivotsGiven)
{
    const SphereVector P1 = taskPoint(task.positions[0]);
    const auto flip = [](SphereVector& v) { v = -1.0 * v; };
    if (!pivotsGiven && dot(input.moving, P1) < 0.0) {
        flip(input.moving);
    }
    if (dot(input.fixed, input.moving) < 0.0) {
        flip(pivotsGiven ? input.moving : input.fixed);
    }
    if (!pivotsGiven && dot(output.moving, input.moving) < 0.0) {
        flip(output.moving);
    }
    if (dot(output.fixed, output.moving) < 0.0) {
        flip(pivotsGiven ? output.moving : output.fixed);
    }
}

// A four-bar from two dyads, the first driven, with its joints where the dyads put them;
// nothing when it is no proper linkage or fails its forward check.
std::optional<DesignCandidate> fourBar(const DesignTask& task, const std::vector<Rotation>& moves,
                                       const Dyad& input, const Dyad& output)
{
    const SphereVector P1 = taskPoint(task.positions[0]);
    LinkageDimensions dims;
    dims.a = arcDegrees(input.fixed, input.moving);
    dims.b = arcDegrees(output.fixed, output.moving);
    dims.c = arcDegrees(input.moving, output.moving);
    dims.f = arcDegrees(input.fixed, output.fixed);
    dims.h = arcDegrees(input.moving, P1);
    if (!properArc(dims.a) || !properArc(dims.b) || !properArc(dims.c) || !properArc(dims.f)) {
        return std::nullopt;
    }
    // k: at A1, from the arc toward B1 to the arc toward P, counter-clockwise about A1.
    const SphereVector A1 = input.moving;
    const SphereVector towardB = output.moving - (dot(A1, output.moving) * A1);
    const SphereVector towardP = P1 - (dot(A1, P1) * A1);
    dims.k = dims.h > 0.0
                 ? std::atan2(dot(A1, cross(towardB, towardP)), dot(towardB, towardP)) / degree
                 : 0.0;
    dims.k = wrapDegrees(dims.k);

    DesignCandidate candidate;
    candidate.dims = dims;
    const SphereVector e1 = input.fixed;
    const SphereVector e2 = normalized(output.fixed - (dot(e1, output.fixed) * e1));
    const SphereVector e3 = cross(e1, e2);
    const Rotation M = fromColumns(e1, e2, e3);
    for (std::size_t r = 0; r < 3; ++r) {
        for (std::size_t c = 0; c < 3; ++c) {
            candidate.placement[r][c] = M[r][c];
        }
    }
    const Rotation back = transposed(M);
    const SphereVector B0 = {std::cos(dims.f * degree), std::sin(dims.f * degree), 0.0};
    for (std::size_t i = 0; i < task.positions.size(); ++i) {
        const Rotation move = i == 0 ? identityRotation() : moves[i - 1];
        const SphereVector a1 = applied(back, applied(move, input.moving));
        const SphereVector b1 = applied(back, applied(move, output.moving));
        const double theta = std::atan2(a1.z, a1.y) / degree;
        const int branch = dot(B0, cross(a1, b1)) >= 0.0 ? 1 : 2;
        candidate.positions.push_back({theta <= -180.0 ? 180.0 : theta, branch});
    }
    // The forward check: the linkage itself, driven to each input angle, must put its coupler
    // point on the task's point, with the heading at one fixed angle to the coupler.
    double firstAngle = 0.0;
    for (std::size_t i = 0; i < task.positions.size(); ++i) {
        const std::optional<CouplerPose> pose =
            couplerPoseAt(dims, candidate.positions[i].input, candidate.positions[i].branch);
        if (!pose) {
            return std::nullopt;
        }
        const SphereVector point = applied(candidate.placement, pose->P);
        const SphereVector wanted = taskPoint(task.positions[i]);
        if (!(norm(point - wanted) <= pointTolerance)) {
            return std::nullopt;
        }
        const double angle = headingAngle(wanted, taskHeading(task.positions[i]),
                                          applied(candidate.placement, pose->A1));
        if (i == 0) {
            firstAngle = angle;
        } else if (!(std::fabs(wrapDegrees(angle - firstAngle)) <= headingTolerance)) {
            return std::nullopt;
        }
    }
    const LinkageAnalysis analysis = analyseLinkage(dims);
    if (!analysis.linksInRange || !analysis.assemblable) {
        return std::nullopt;
    }
    candidate.type = analysis.type;
    judgeMotion(candidate, analysis);
    return candidate;
}

std::string sameOrientation(const DesignTask& task)
{
    for (std::size_t i = 0; i < task.positions.size(); ++i) {
        for (std::size_t j = i + 1; j < task.positions.size(); ++j) {
            const Rotation ri = bodyRotation(task.positions[i]);
            const Rotation rj = bodyRotation(task.positions[j]);
            double gap = 0.0;
            for (std::size_t r = 0; r < 3; ++r) {
                for (std::size_t c = 0; c < 3; ++c) {
                    gap = std::max(gap, std::fabs(ri[r][c] - rj[r][c]));
                }
            }
            if (gap < 1e-9) {
                return "positions " + std::to_string(i + 1) + " and " + std::to_string(j + 1)
                       + " are the same";
            }
        }
    }
    return {};
}

DesignResult designMotion(const DesignTask& task, const DesignOptions& options)
{
    DesignResult result;
    result.kind = TaskKind::Motion;
    const std::vector<Dyad> dyads = taskDyads(task, options);
    if (dyads.size() < 2) {
        result.reason = "no two dyads fit these positions";
        return result;
    }
    const std::vector<Rotation> moves = displacements(task);
    const bool pivotsGiven = task.positions.size() == 3 && task.fixedPivots.size() == 2;
    // Where the linkages are finitely many, each also comes with its joints at the other ends of
    // their axes: the same motion, other dimensions. Given pivots stay where they are.
    const bool otherEnds = options.everyJointEnd && (pivotsGiven || task.positions.size() == 5);
    const unsigned variants = !otherEnds ? 1u : pivotsGiven ? 4u : 16u;
    for (std::size_t i = 0; i < dyads.size(); ++i) {
        for (std::size_t j = 0; j < dyads.size(); ++j) {
            if (i == j) {
                continue;
            }
            Dyad input = dyads[i];
            Dyad output = dyads[j];
            chooseJointEnds(task, input, output, pivotsGiven);
            for (unsigned v = 0; v < variants; ++v) {
                // Bits: input's moving and output's moving pivot, then the fixed pivots.
                const auto end = [&](const SphereVector& x, unsigned bit) {
                    return (v >> bit & 1u) != 0 ? -1.0 * x : x;
                };
                const Dyad in{end(input.fixed, 2), end(input.moving, 0)};
                const Dyad out{end(output.fixed, 3), end(output.moving, 1)};
                if (std::optional<DesignCandidate> c = fourBar(task, moves, in, out)) {
                    c->otherEnds = v != 0;
                    result.candidates.push_back(std::move(*c));
                }
            }
        }
    }
    rank(result.candidates);
    // Only the sampled families are cut short; five positions give every linkage there is.
    if (task.positions.size() != 5 && result.candidates.size() > options.maxCandidates) {
        result.candidates.resize(options.maxCandidates);
    }
    if (result.candidates.empty()) {
        result.reason = "no linkage built from the dyads that fit passes through every position";
    }
    return result;
}

// ---- Dyads -------------------------------------------------------------------------------------

// The moving pivot for a fixed pivot G: W_1 is perpendicular to every v_i = (D_i^T - I) G.
// Nothing when the v_i leave it undetermined or have no common perpendicular.
std::optional<SphereVector> movingPivotFor(const std::vector<Rotation>& moves,
                                           const SphereVector& G)
{
    std::vector<SphereVector> v;
    double scale = 0.0;
    for (const Rotation& D : moves) {
        v.push_back(applied(transposed(D), G) - G);
        scale = std::max(scale, norm(v.back()));
    }
    SphereVector best;
    double bestNorm = 0.0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        for (std::size_t j = i + 1; j < v.size(); ++j) {
            const SphereVector w = cross(v[i], v[j]);
            if (norm(w) > bestNorm) {
                bestNorm = norm(w);
                best = w;
            }
        }
    }
    if (!(bestNorm > 1e-8 * scale * scale) || !(scale > 1e-12)) {
        return std::nullopt;
    }
    const SphereVector W = (1.0 / bestNorm) * best;
    for (const SphereVector& vi : v) {
        if (!(std::fabs(dot(vi, W)) <= 1e-9 * scale)) {
            return std::nullopt;
        }
    }
    return W;
}

void addDyad(std::vector<Dyad>& dyads, const Dyad& dyad)
{
    for (const Dyad& d : dyads) {
        if (std::fabs(dot(d.fixed, dyad.fixed)) > 1.0 - 1e-12
            && std::fabs(dot(d.moving, dyad.moving)) > 1.0 - 1e-12) {
            return;
        }
    }
    dyads.push_back(dyad);
}

SphereVector taskCentre(const DesignTask& task)
{
    SphereVector sum;
    for (const TaskPosition& p : task.positions) {
        sum = sum + taskPoint(p);
    }
    return norm(sum) > 1e-6 ? normalized(sum) : taskPoint(task.positions[0]);
}

std::vector<Dyad> threePositionDyads(const DesignTask& task, const std::vector<Rotation>& moves,
                                     const DesignOptions& options)
{
    std::vector<SphereVector> pivots;
    if (task.fixedPivots.size() == 2) {
        pivots = {pivotPoint(task.fixedPivots[0]), pivotPoint(task.fixedPivots[1])};
    } else {
        // A ring of pivots 40 degrees around the positions' centre.
        const SphereVector centre = taskCentre(task);
        const auto [t1, t2] = tangentBasis(centre);
        const int count = std::max(2, options.spreadPivots);
        for (int i = 0; i < count; ++i) {
            const double angle = 2.0 * std::numbers::pi * i / count;
            const SphereVector dir = (std::cos(angle) * t1) + (std::sin(angle) * t2);
            pivots.push_back((std::cos(40.0 * degree) * centre) + (std::sin(40.0 * degree) * dir));
        }
    }
    std::vector<Dyad> dyads;
    for (const SphereVector& G : pivots) {
        if (const std::optional<SphereVector> W = movingPivotFor(moves, G)) {
            dyads.push_back({G, *W});
        }
    }
    return dyads;
}

std::vector<Dyad> fourPositionDyads(const DesignTask& task, const std::vector<Rotation>& moves,
                                    const DesignOptions& options)
{
    const CubicCone cone = cubicCone(moves, 0, 1, 2);
    const SphereVector axis = taskCentre(task);
    std::vector<Dyad> dyads;
    const int samples = std::max(1, options.coneSamples);
    for (int s = 0; s < samples; ++s) {
        const double alpha = std::numbers::pi * (s + 0.5) / samples;
        for (const SphereVector& G : coneLinesInPlane(cone, axis, alpha)) {
            if (const std::optional<SphereVector> W = movingPivotFor(moves, G)) {
                addDyad(dyads, {G, *W});
            }
        }
    }
    return dyads;
}

} // namespace

std::string defectText(const DesignDefect& defect)
{
    switch (defect.kind) {
    case DefectKind::Circuit:
        return "circuit";
    case DefectKind::Branch:
        return "branch";
    case DefectKind::Order:
        return "order";
    case DefectKind::Toggle:
        return "toggle between positions " + std::to_string(defect.from) + " and "
               + std::to_string(defect.to);
    }
    return {};
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

std::string designTaskProblem(const DesignTask& task)
{
    const auto finite = [](double x) { return std::isfinite(x); };
    if (task.kind == TaskKind::Function) {
        if (task.pairs.size() < 3) {
            return "a function task needs at least three pairs";
        }
        for (std::size_t i = 0; i < task.pairs.size(); ++i) {
            if (!finite(task.pairs[i].input) || !finite(task.pairs[i].output)) {
                return "pair " + std::to_string(i + 1) + " is not a pair of finite angles";
            }
            for (std::size_t j = 0; j < i; ++j) {
                if (std::fabs(wrapDegrees(task.pairs[i].input - task.pairs[j].input)) < 1e-9
                    && std::fabs(wrapDegrees(task.pairs[i].output - task.pairs[j].output)) < 1e-9) {
                    return "pairs " + std::to_string(j + 1) + " and " + std::to_string(i + 1)
                           + " are the same";
                }
            }
        }
        if (task.ground && !(*task.ground > 0.0 && *task.ground < 180.0)) {
            return "the ground must lie strictly between 0 and 180 degrees";
        }
        if (task.pairs.size() == 3 && !task.ground) {
            return "three pairs need the ground as well";
        }
        return {};
    }
    if (task.positions.size() < 3 || task.positions.size() > 5) {
        return "a motion task needs three, four or five positions";
    }
    for (std::size_t i = 0; i < task.positions.size(); ++i) {
        const TaskPosition& p = task.positions[i];
        if (!finite(p.longitude) || !finite(p.heading) || !(std::fabs(p.latitude) < 90.0)) {
            return "position " + std::to_string(i + 1)
                   + " needs finite angles and a latitude strictly between -90 and 90 degrees";
        }
    }
    if (!task.fixedPivots.empty()) {
        if (task.fixedPivots.size() != 2) {
            return "a task gives two fixed pivots or none";
        }
        for (const TaskPivot& pivot : task.fixedPivots) {
            if (!finite(pivot.longitude) || !(std::fabs(pivot.latitude) < 90.0)) {
                return "a fixed pivot needs a finite longitude and a latitude strictly between "
                       "-90 and 90 degrees";
            }
        }
        const double arc =
            arcDegrees(pivotPoint(task.fixedPivots[0]), pivotPoint(task.fixedPivots[1]));
        if (!properArc(arc)) {
            return "the two fixed pivots coincide or lie opposite each other";
        }
    }
    return sameOrientation(task);
}

std::vector<Dyad> taskDyads(const DesignTask& task, const DesignOptions& options)
{
    if (task.kind != TaskKind::Motion || !designTaskProblem(task).empty()) {
        return {};
    }
    const std::vector<Rotation> moves = displacements(task);
    switch (task.positions.size()) {
    case 3:
        return threePositionDyads(task, moves, options);
    case 4:
        return fourPositionDyads(task, moves, options);
    default: {
        std::vector<Dyad> dyads;
        for (const FiveDyad& d : fivePositionDyads(moves)) {
            addDyad(dyads, {d.fixed, d.moving});
        }
        return dyads;
    }
    }
}

std::optional<CouplerPose> couplerPoseAt(const LinkageDimensions& dims, double theta, int branch)
{
    const OutputAngles out = outputAnglesAt(dims, theta);
    if (!out.closes || (branch != 1 && branch != 2)) {
        return std::nullopt;
    }
    const double psi = out.psi[branch == 1 ? 0 : 1];
    const double sinF = std::sin(dims.f * degree);
    const double cosF = std::cos(dims.f * degree);
    const double side = sinF / std::fabs(sinF);
    const SphereVector A0{1.0, 0.0, 0.0};
    const SphereVector B0{cosF, sinF, 0.0};
    const SphereVector u0{0.0, side, 0.0};
    const SphereVector w0{0.0, 0.0, side};
    const SphereVector v0{-sinF * side, cosF * side, 0.0};
    const auto along = [](const SphereVector& from, double arc, const SphereVector& t1,
                          const SphereVector& t2, double angle) {
        const SphereVector dir = (std::cos(angle * degree) * t1) + (std::sin(angle * degree) * t2);
        return (std::cos(arc * degree) * from) + (std::sin(arc * degree) * dir);
    };
    CouplerPose pose;
    pose.A1 = along(A0, dims.a, u0, w0, theta);
    pose.B1 = along(B0, dims.b, v0, w0, psi);
    // P lies at arc h from A1, turned by k counter-clockwise about A1 from the arc toward B1.
    const SphereVector towardB = normalized(pose.B1 - (dot(pose.A1, pose.B1) * pose.A1));
    pose.P = along(pose.A1, dims.h, towardB, cross(pose.A1, towardB), dims.k);
    if (!std::isfinite(pose.P.x) || !std::isfinite(pose.P.y) || !std::isfinite(pose.P.z)) {
        return std::nullopt;
    }
    return pose;
}

DesignResult designLinkages(const DesignTask& task, const DesignOptions& options)
{
    DesignResult result;
    result.kind = task.kind;
    result.reason = designTaskProblem(task);
    if (!result.reason.empty()) {
        return result;
    }
    return task.kind == TaskKind::Function ? designFunction(task) : designMotion(task, options);
}

} // namespace cyclar
