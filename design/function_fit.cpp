// Function generation as least squares in the output angle: a linear start, a coarse grid of
// real linkages, and damped Gauss-Newton over the four arcs kept to real linkages.
#include "function_fit.h"

#include "candidate_order.h"
#include "design_math.h"
#include "linkage_analysis.h"
#include "significant_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace cyclar {

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
// Every arc of a fitted linkage stays this far (degrees) inside (0, 180).
constexpr double arcMargin = 1e-3;
// A fit whose greatest error is below this (degrees) meets its pairs exactly.
constexpr double exactFit = 1e-6;
// The grid of starting linkages: each of a, b, c (and f unless given) takes these arcs.
constexpr std::array<double, 6> gridArcs{15.0, 45.0, 75.0, 105.0, 135.0, 165.0};
// How many of the grid's best linkages the descent starts from, besides the linear start.
constexpr std::size_t gridStarts = 6;

// a, b, c, f in degrees.
using Arcs = std::array<double, 4>;

LinkageDimensions dimsOf(const Arcs& p)
{
    LinkageDimensions d = defaultDimensions;
    d.a = p[0];
    d.b = p[1];
    d.c = p[2];
    d.f = p[3];
    return d;
}

double keptArc(double arc)
{
    return std::clamp(arc, arcMargin, 180.0 - arcMargin);
}

// The output error (degrees) of one pair on one branch; NaN where the linkage does not close
// at the pair's input.
double missOn(const LinkageDimensions& d, const TaskPair& pair, int branch)
{
    const OutputAngles out = outputAnglesAt(d, wrapDegrees(pair.input));
    if (!out.closes) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return wrapDegrees(out.psi[branch == 1 ? 0 : 1] - pair.output);
}

// The sum of squared errors with each pair on the branch nearer its output (the branches are
// written to `branches` when given); infinite when the linkage does not close at some input.
double nearestCost(const LinkageDimensions& d, const std::vector<TaskPair>& pairs,
                   std::vector<int>* branches)
{
    double cost = 0.0;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const double one = missOn(d, pairs[i], 1);
        const double two = missOn(d, pairs[i], 2);
        if (!std::isfinite(one) || !std::isfinite(two)) {
            return infinity;
        }
        const bool second = std::fabs(two) < std::fabs(one);
        if (branches) {
            (*branches)[i] = second ? 2 : 1;
        }
        const double miss = second ? two : one;
        cost += miss * miss;
    }
    return cost;
}

// The errors with the branches held; false where the linkage does not close at some input.
bool residuals(const Arcs& p, const std::vector<TaskPair>& pairs, const std::vector<int>& branches,
               std::vector<double>& out)
{
    const LinkageDimensions d = dimsOf(p);
    out.resize(pairs.size());
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        out[i] = missOn(d, pairs[i], branches[i]);
        if (!std::isfinite(out[i])) {
            return false;
        }
    }
    return true;
}

double squares(const std::vector<double>& r)
{
    double sum = 0.0;
    for (const double x : r) {
        sum += x * x;
    }
    return sum;
}

struct Fit {
    Arcs arcs{};
    std::vector<int> branches;
    double cost = infinity;
};

// Damped Gauss-Newton (Levenberg-Marquardt) on the errors with the branches held: the Jacobian
// by central differences, each step the least-squares solution of [J; sqrt(lambda D)] dx =
// [-r; 0], with D the diagonal of J^T J; a step that does not lower the sum is retried with more
// damping.
void descend(Fit& fit, const std::vector<TaskPair>& pairs, std::size_t unknowns)
{
    std::vector<double> r;
    if (!residuals(fit.arcs, pairs, fit.branches, r)) {
        fit.cost = infinity;
        return;
    }
    fit.cost = squares(r);
    double lambda = 1e-3;
    const std::size_t n = pairs.size();
    for (int iteration = 0; iteration < 200 && fit.cost > 0.0; ++iteration) {
        std::vector<std::vector<double>> jacobian(n, std::vector<double>(unknowns, 0.0));
        std::vector<double> scale(unknowns, 0.0);
        for (std::size_t j = 0; j < unknowns; ++j) {
            constexpr double h = 1e-6;
            Arcs up = fit.arcs;
            Arcs down = fit.arcs;
            up[j] = keptArc(up[j] + h);
            down[j] = keptArc(down[j] - h);
            std::vector<double> rUp;
            std::vector<double> rDown;
            const bool upCloses = residuals(up, pairs, fit.branches, rUp);
            const bool downCloses = residuals(down, pairs, fit.branches, rDown);
            if (!upCloses) {
                up = fit.arcs;
                rUp = r;
            }
            if (!downCloses) {
                down = fit.arcs;
                rDown = r;
            }
            const double width = up[j] - down[j];
            if (!(width > 0.0)) {
                continue;
            }
            for (std::size_t i = 0; i < n; ++i) {
                jacobian[i][j] = wrapDegrees(rUp[i] - rDown[i]) / width;
                scale[j] += jacobian[i][j] * jacobian[i][j];
            }
        }
        bool stepped = false;
        while (lambda < 1e12) {
            std::vector<std::vector<double>> rows = jacobian;
            std::vector<double> rhs(n);
            for (std::size_t i = 0; i < n; ++i) {
                rhs[i] = -r[i];
            }
            for (std::size_t j = 0; j < unknowns; ++j) {
                std::vector<double> row(unknowns, 0.0);
                row[j] = std::sqrt(lambda * std::max(scale[j], 1e-12));
                rows.push_back(std::move(row));
                rhs.push_back(0.0);
            }
            const LeastSquares step = solveLeastSquares(std::move(rows), std::move(rhs));
            if (!step.solved) {
                lambda *= 4.0;
                continue;
            }
            Arcs next = fit.arcs;
            for (std::size_t j = 0; j < unknowns; ++j) {
                next[j] = keptArc(next[j] + step.x[j]);
            }
            std::vector<double> rNext;
            const double cost =
                residuals(next, pairs, fit.branches, rNext) ? squares(rNext) : infinity;
            if (cost < fit.cost) {
                const double gain = fit.cost - cost;
                fit.arcs = next;
                r = std::move(rNext);
                fit.cost = cost;
                lambda = std::max(lambda / 3.0, 1e-12);
                stepped = gain > 1e-15 * (1.0 + cost);
                break;
            }
            lambda *= 4.0;
        }
        if (!stepped) {
            break;
        }
    }
}

// The linear solution, brought to the nearest real linkage: its cosines clamped a degree inside
// +-1, its arcs kept inside (0, 180).
std::optional<Arcs> linearStart(const DesignTask& task)
{
    const bool groundGiven = task.ground.has_value();
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
    const LeastSquares fit = solveLeastSquares(std::move(rows), std::move(rhs));
    if (!fit.solved) {
        return std::nullopt;
    }
    const std::size_t unknowns = groundGiven ? 3 : 4;
    const double limit = std::cos(1.0 * degree);
    const double K1 = groundGiven ? cosF : std::clamp(fit.x[0], -limit, limit);
    const double K2 = fit.x[unknowns - 3];
    const double K3 = fit.x[unknowns - 2];
    const double K4 = fit.x[unknowns - 1];
    const double sinF = std::sqrt(1.0 - K1 * K1);
    Arcs p{};
    p[3] = groundGiven ? *task.ground : std::acos(K1) / degree;
    p[0] = keptArc(std::atan2(sinF, -K3) / degree);
    p[1] = keptArc(std::atan2(sinF, K2) / degree);
    const double cosC = std::cos(p[0] * degree) * std::cos(p[1] * degree) * K1
                        - K4 * std::sin(p[0] * degree) * std::sin(p[1] * degree);
    p[2] = keptArc(std::acos(std::clamp(cosC, -limit, limit)) / degree);
    for (const double arc : p) {
        if (!std::isfinite(arc)) {
            return std::nullopt;
        }
    }
    return p;
}

// The grid's linkages that close at every input, best first, at most `count`.
std::vector<Arcs> gridStartsFor(const DesignTask& task, std::size_t count)
{
    std::vector<std::pair<double, Arcs>> found;
    const std::vector<double> grounds = task.ground
                                            ? std::vector<double>{*task.ground}
                                            : std::vector<double>(gridArcs.begin(), gridArcs.end());
    for (const double a : gridArcs) {
        for (const double b : gridArcs) {
            for (const double c : gridArcs) {
                for (const double f : grounds) {
                    const Arcs p{a, b, c, f};
                    const double cost = nearestCost(dimsOf(p), task.pairs, nullptr);
                    if (std::isfinite(cost)) {
                        found.emplace_back(cost, p);
                    }
                }
            }
        }
    }
    // Ties in cost are settled by the arcs, so that the starts never depend on the sort.
    std::sort(found.begin(), found.end());
    std::vector<Arcs> starts;
    for (std::size_t i = 0; i < found.size() && i < count; ++i) {
        starts.push_back(found[i].second);
    }
    return starts;
}

// A fit from one start: descend with each pair on its nearer branch; where the branches nearer
// the outputs change on the way, descend again from there with the new ones.
Fit fitFrom(const Arcs& start, const DesignTask& task)
{
    const std::size_t unknowns = task.ground ? 3 : 4;
    Fit fit;
    fit.arcs = start;
    fit.branches.assign(task.pairs.size(), 1);
    if (!std::isfinite(nearestCost(dimsOf(fit.arcs), task.pairs, &fit.branches))) {
        return fit;
    }
    for (int round = 0; round < 4; ++round) {
        descend(fit, task.pairs, unknowns);
        std::vector<int> nearer(task.pairs.size(), 1);
        const double cost = nearestCost(dimsOf(fit.arcs), task.pairs, &nearer);
        if (nearer == fit.branches || !(cost < fit.cost)) {
            break;
        }
        fit.branches = std::move(nearer);
        fit.cost = cost;
    }
    return fit;
}

std::string degreesText(double x)
{
    return significantText(x, 3) + " degrees";
}

} // namespace

DesignResult designFunction(const DesignTask& task)
{
    DesignResult result;
    result.kind = TaskKind::Function;
    const std::size_t unknowns = task.ground ? 3 : 4;
    std::vector<double> inputs;
    for (const TaskPair& pair : task.pairs) {
        const bool known = std::any_of(inputs.begin(), inputs.end(), [&](double x) {
            return std::fabs(wrapDegrees(x - pair.input)) < 1e-9;
        });
        if (!known) {
            inputs.push_back(pair.input);
        }
    }
    if (inputs.size() < unknowns) {
        result.reason = "these pairs hold only " + std::to_string(inputs.size())
                        + " different input angles, and it takes "
                        + (task.ground ? "three (with the ground given)" : "four")
                        + " to fix a linkage";
        return result;
    }
    std::vector<Arcs> starts;
    if (const std::optional<Arcs> linear = linearStart(task)) {
        starts.push_back(*linear);
    }
    for (const Arcs& p : gridStartsFor(task, gridStarts)) {
        starts.push_back(p);
    }
    Fit best;
    for (const Arcs& start : starts) {
        Fit fit = fitFrom(start, task);
        if (fit.cost < best.cost) {
            best = std::move(fit);
        }
    }
    if (!std::isfinite(best.cost)) {
        result.reason = "no linkage can be assembled at every input angle of these pairs, so "
                        "none can give their outputs";
        return result;
    }
    DesignCandidate candidate;
    candidate.dims = dimsOf(best.arcs);
    const LinkageAnalysis analysis = analyseLinkage(candidate.dims);
    candidate.type = analysis.type;
    double sum = 0.0;
    for (std::size_t i = 0; i < task.pairs.size(); ++i) {
        const double miss = std::fabs(missOn(candidate.dims, task.pairs[i], best.branches[i]));
        candidate.positions.push_back({wrapDegrees(task.pairs[i].input), best.branches[i]});
        candidate.maxError = std::max(candidate.maxError, miss);
        sum += miss * miss;
    }
    candidate.rmsError = std::sqrt(sum / static_cast<double>(task.pairs.size()));
    judgeCandidate(candidate, analysis);
    if (task.pairs.size() > unknowns) {
        result.reason = "least-squares fit over " + std::to_string(task.pairs.size())
                        + " pairs: RMS error " + degreesText(candidate.rmsError)
                        + ", greatest error " + degreesText(candidate.maxError);
    } else if (candidate.maxError > exactFit) {
        result.reason = "no linkage meets these pairs exactly; the nearest misses by up to "
                        + degreesText(candidate.maxError) + " (RMS error "
                        + degreesText(candidate.rmsError) + ")";
    }
    result.candidates.push_back(std::move(candidate));
    orderCandidates(result.candidates);
    return result;
}

std::optional<std::vector<double>> chebyshevInputs(double from, double to, int count,
                                                   std::string& error)
{
    if (!(std::fabs(from) <= 360.0) || !(std::fabs(to) <= 360.0)) {
        error = "the input range needs two angles from -360 to 360 degrees";
        return std::nullopt;
    }
    if (!(std::fabs(to - from) >= 1e-6)) {
        error = "the input range needs two different angles";
        return std::nullopt;
    }
    if (count < chebyshevLeastCount || count > chebyshevMostCount) {
        error = "the count of precision points must be from " + std::to_string(chebyshevLeastCount)
                + " to " + std::to_string(chebyshevMostCount);
        return std::nullopt;
    }
    const double middle = 0.5 * (from + to);
    const double half = 0.5 * (to - from);
    std::vector<double> inputs;
    for (int j = 1; j <= count; ++j) {
        const double angle = (2.0 * j - 1.0) * std::numbers::pi / (2.0 * count);
        inputs.push_back(middle - half * std::cos(angle));
    }
    return inputs;
}

} // namespace cyclar
