// Linkage design: function generation by the spherical Freudenstein equation, motion generation
// by Burmester's dyads on the sphere, and the checks every candidate passes before it is offered.
#include "linkage_design.h"

#include "candidate_order.h"
#include "circuit_map.h"
#include "design_math.h"
#include "function_fit.h"
#include "linkage_analysis.h"
#include "special_tasks.h"

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
// Links shorter than this (or this close to 180 degrees) make no linkage.
constexpr double degenerateArc = 1e-4; // degrees

bool properArc(double arc)
{
    return arc > degenerateArc && arc < 180.0 - degenerateArc;
}

// ---- The circuits an input-driven linkage moves on -------------------------------------------

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
    std::vector<CircuitPlace> places;
    places.reserve(n);
    for (const PositionReach& reach : candidate.positions) {
        places.push_back(circuitPlace(map, reach.input, reach.branch));
    }
    const auto sameCircuit = std::all_of(places.begin(), places.end(), [&](const CircuitPlace& p) {
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
            include(circuitInput(map, circuit, s));
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
                include(circuitInput(map, circuit, turning[t]));
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

// Pairs every two dyads, each pair both ways round (either pivot driving), into four-bars that
// pass their forward check. Where the linkages are finitely many, each also comes with its joints
// at the other ends of their axes: the same motion, other dimensions; given pivots stay.
std::vector<DesignCandidate> pairDyads(const DesignTask& task, const std::vector<Rotation>& moves,
                                       const std::vector<Dyad>& dyads, const DesignOptions& options)
{
    const bool pivotsGiven = task.positions.size() == 3 && task.fixedPivots.size() == 2;
    const bool otherEnds = options.everyJointEnd && (pivotsGiven || task.positions.size() == 5);
    const unsigned variants = !otherEnds ? 1u : pivotsGiven ? 4u : 16u;
    std::vector<DesignCandidate> candidates;
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
                    candidates.push_back(std::move(*c));
                }
            }
        }
    }
    return candidates;
}

// ---- Dyads -------------------------------------------------------------------------------------

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

// How many moving pivots of a family the design offers, spread evenly round their great circle.
constexpr int familySamples = 6;

// The moving pivots that fit a fixed pivot at a pole: the great circle square to the one v_i
// that does not vanish there (every v_i vanishes only for a pure rotation).
std::vector<SphereVector> familyMovingPivots(const std::vector<Rotation>& moves,
                                             const SphereVector& G)
{
    SphereVector widest;
    for (const Rotation& D : moves) {
        const SphereVector v = applied(transposed(D), G) - G;
        if (norm(v) > norm(widest)) {
            widest = v;
        }
    }
    if (!(norm(widest) > 1e-12)) {
        return {};
    }
    const auto [t1, t2] = tangentBasis(normalized(widest));
    std::vector<SphereVector> pivots;
    for (int i = 0; i < familySamples; ++i) {
        const double angle = std::numbers::pi * i / familySamples;
        pivots.push_back((std::cos(angle) * t1) + (std::sin(angle) * t2));
    }
    return pivots;
}

std::vector<Dyad> threePositionDyads(const DesignTask& task, const std::vector<Rotation>& moves,
                                     const DesignOptions& options, std::string& note)
{
    std::vector<Dyad> dyads;
    if (task.fixedPivots.size() == 2) {
        std::vector<std::string> poles;
        for (std::size_t p = 0; p < 2; ++p) {
            const SphereVector G = pivotPoint(task.fixedPivots[p]);
            if (const std::optional<PivotPole> pole = pivotPole(task, G)) {
                // At the pole, snapped onto it: a family of moving pivots.
                for (const SphereVector& W : familyMovingPivots(moves, pole->axis)) {
                    dyads.push_back({pole->axis, W});
                }
                poles.push_back("fixed pivot " + std::to_string(p + 1) + " lies at "
                                + poleText(*pole));
            } else if (const std::optional<SphereVector> W = movingPivotFor(moves, G)) {
                dyads.push_back({G, *W});
            }
        }
        if (!poles.empty()) {
            note = poles.front() + (poles.size() > 1 ? " and " + poles.back() : std::string())
                   + ": every moving pivot on a great circle keeps its distance from such a pivot "
                     "through all three positions, so a whole family of linkages does the task; "
                     "here are some of them, with moving pivots "
                   + std::to_string(180 / familySamples) + " degrees apart along that circle";
        }
        return dyads;
    }
    // A ring of pivots 40 degrees around the positions' centre.
    const SphereVector centre = taskCentre(task);
    const auto [t1, t2] = tangentBasis(centre);
    const int count = std::max(2, options.spreadPivots);
    for (int i = 0; i < count; ++i) {
        const double angle = 2.0 * std::numbers::pi * i / count;
        const SphereVector dir = (std::cos(angle) * t1) + (std::sin(angle) * t2);
        const SphereVector G = (std::cos(40.0 * degree) * centre) + (std::sin(40.0 * degree) * dir);
        if (const std::optional<SphereVector> W = movingPivotFor(moves, G)) {
            dyads.push_back({G, *W});
        }
    }
    note = "three positions leave a family of linkages, any two fixed pivots with their moving "
           "pivots; these are made from fixed pivots spread round the positions (give two fixed "
           "pivots to choose your own)";
    return dyads;
}

std::vector<Dyad> fourPositionDyads(const DesignTask& task, const std::vector<Rotation>& moves,
                                    const DesignOptions& options, std::string& note)
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
    note = "four positions leave a family of linkages, their fixed pivots on the centre-point "
           "curve; these are a sample of it, and the solution map shows the whole curve";
    return dyads;
}

std::vector<Dyad> dyadsOf(const DesignTask& task, const std::vector<Rotation>& moves,
                          const DesignOptions& options, std::string& note)
{
    switch (task.positions.size()) {
    case 3:
        return threePositionDyads(task, moves, options, note);
    case 4:
        return fourPositionDyads(task, moves, options, note);
    default: {
        std::vector<Dyad> dyads;
        for (const FiveDyad& d : fivePositionDyads(moves)) {
            addDyad(dyads, {d.fixed, d.moving});
        }
        return dyads;
    }
    }
}

DesignResult designMotion(const DesignTask& task, const DesignOptions& options)
{
    DesignResult result;
    result.kind = TaskKind::Motion;
    if (std::optional<std::string> close = positionsTooClose(task)) {
        result.reason = std::move(*close);
        return result;
    }
    if (std::optional<std::string> turn = pureRotation(task)) {
        result.reason = std::move(*turn);
        return result;
    }
    const std::vector<Rotation> moves = displacements(task);
    std::string note;
    const std::vector<Dyad> dyads = dyadsOf(task, moves, options, note);
    if (dyads.size() < 2) {
        result.reason = task.positions.size() == 5
                            ? "these five positions have " + std::to_string(dyads.size())
                                  + " real dyad" + (dyads.size() == 1 ? "" : "s")
                                  + " (a fixed and a moving pivot that keep their distance through "
                                    "all five), and a linkage needs two; four of them leave a "
                                    "whole family"
                            : "no two dyads fit these positions";
        return result;
    }
    result.candidates = pairDyads(task, moves, dyads, options);
    // Only the sampled families are cut short; five positions give every linkage there is, and
    // given pivots the linkages they allow. A mechanism has one candidate at least, so as many
    // mechanisms as candidates wanted are always enough.
    if (task.positions.size() != 5 && task.fixedPivots.empty()) {
        orderCandidates(result.candidates, options.maxCandidates);
        keepMechanisms(result.candidates, options.maxCandidates);
    } else {
        orderCandidates(result.candidates);
    }
    if (result.candidates.empty()) {
        result.reason = "no linkage built from the dyads that fit passes through every position";
    } else {
        result.reason = note;
    }
    return result;
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

void judgeCandidate(DesignCandidate& candidate, const LinkageAnalysis& analysis)
{
    judgeMotion(candidate, analysis);
}

std::optional<SphereVector> movingPivotFor(const std::vector<Rotation>& moves,
                                           const SphereVector& G)
{
    const PivotNormal p = pivotNormal(moves, G);
    const std::vector<SphereVector>& v = p.v;
    double scale = 0.0;
    for (const SphereVector& vi : v) {
        scale = std::max(scale, norm(vi));
    }
    const SphereVector& best = p.normal;
    const double bestNorm = p.length;
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

std::vector<Rotation> taskDisplacements(const DesignTask& task)
{
    return displacements(task);
}

std::vector<Dyad> taskDyads(const DesignTask& task, const DesignOptions& options)
{
    if (task.kind != TaskKind::Motion || taskProblem(task)) {
        return {};
    }
    std::string note;
    return dyadsOf(task, displacements(task), options, note);
}

std::vector<DesignCandidate> linkagesFromDyads(const DesignTask& task, const Dyad& first,
                                               const Dyad& second)
{
    std::vector<DesignCandidate> candidates;
    if (task.kind != TaskKind::Motion || taskProblem(task)) {
        return candidates;
    }
    const std::vector<Rotation> moves = displacements(task);
    for (const auto& [driving, driven] : {std::pair{first, second}, std::pair{second, first}}) {
        Dyad input = driving;
        Dyad output = driven;
        chooseJointEnds(task, input, output, false);
        if (std::optional<DesignCandidate> c = fourBar(task, moves, input, output)) {
            candidates.push_back(std::move(*c));
        }
    }
    orderCandidates(candidates);
    return candidates;
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
    if (const std::optional<std::string> problem = taskProblem(task)) {
        result.reason = "the task " + *problem;
        return result;
    }
    result = task.kind == TaskKind::Function ? designFunction(task) : designMotion(task, options);
    // A pivot at a pole leaves a family, which any change of the task narrows to one member:
    // the family's own sentence says what there is to say.
    const bool family =
        task.kind == TaskKind::Motion
        && std::any_of(task.fixedPivots.begin(), task.fixedPivots.end(), [&](const TaskPivot& p) {
               return pivotPole(task, pivotPoint(p)).has_value();
           });
    // Sampled families (four positions, three without pivots) offer samples of a whole family,
    // which a change of the task only shifts along it: it is the single answers whose swing
    // tells.
    const bool sampled =
        task.kind == TaskKind::Motion
        && (task.positions.size() == 4 || (task.positions.size() == 3 && task.fixedPivots.empty()));
    if (options.checkConditioning && !family && !sampled) {
        noteConditioning(task, options, result);
    }
    return result;
}

} // namespace cyclar
