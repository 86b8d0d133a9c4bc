// The one order of candidates and their mechanisms.
#include "candidate_order.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>

namespace cyclar {

namespace {

double stray(const DesignCandidate& c)
{
    return std::max(std::fabs(c.transmission[0] - 90.0), std::fabs(c.transmission[1] - 90.0));
}

// The numbers a candidate is ordered by, in the order they decide, each with the tolerance
// within which two values are one: the transmission angle only to 1e-4 degrees (near a toggle
// it comes from an arc cosine near 1, which turns the last bit of a cosine into some 1e-6
// degrees), the dimensions and inputs to 1e-6 degrees, the placement's entries to 1e-9.
std::vector<std::pair<double, double>> orderNumbers(const DesignCandidate& c)
{
    constexpr double transmission = 1e-4;
    constexpr double angle = 1e-6;
    constexpr double entry = 1e-9;
    const double links = c.dims.a + c.dims.b + c.dims.c + c.dims.f;
    std::vector<std::pair<double, double>> numbers{{stray(c), transmission},
                                                   {links, angle},
                                                   {c.dims.a, angle},
                                                   {c.dims.b, angle},
                                                   {c.dims.c, angle},
                                                   {c.dims.f, angle},
                                                   {c.dims.h, angle},
                                                   {c.dims.k, angle},
                                                   {c.transmission[0], transmission},
                                                   {c.transmission[1], transmission},
                                                   {c.rmsError, angle}};
    for (const auto& row : c.placement) {
        for (const double x : row) {
            numbers.emplace_back(x, entry);
        }
    }
    for (const PositionReach& reach : c.positions) {
        numbers.emplace_back(reach.input, angle);
        numbers.emplace_back(reach.branch, 0.5);
    }
    return numbers;
}

// a before b, values that are not finite last.
bool valueBefore(double a, double b)
{
    if (std::isfinite(a) != std::isfinite(b)) {
        return std::isfinite(a);
    }
    return std::isfinite(a) && a < b;
}

// What a candidate is ordered by: usable first; then, number by number, the rank of the cluster
// its value falls in among all the candidates' values (values chained by gaps no wider than the
// number's tolerance are one cluster); then the values themselves.
struct OrderKey {
    bool usable = false;
    std::vector<std::size_t> clusters;
    std::vector<double> values;
    std::size_t defects = 0;
    std::string type;
    std::size_t index = 0;
};

bool keyBefore(const OrderKey& x, const OrderKey& y)
{
    if (x.usable != y.usable) {
        return x.usable;
    }
    if (x.clusters != y.clusters) {
        return x.clusters < y.clusters;
    }
    for (std::size_t i = 0; i < x.values.size() && i < y.values.size(); ++i) {
        if (valueBefore(x.values[i], y.values[i])) {
            return true;
        }
        if (valueBefore(y.values[i], x.values[i])) {
            return false;
        }
    }
    return std::tie(x.defects, x.type) < std::tie(y.defects, y.type);
}

// Each candidate's key. Clusters rather than a grid: a value near a grid's line would fall
// either side of it as one machine's arithmetic or another's rounds it, and two candidates
// alike in truth would be ordered differently; a cluster only splits where its values leave a
// gap wider than the tolerance, which no rounding opens or closes.
std::vector<OrderKey> orderKeys(const std::vector<DesignCandidate>& candidates)
{
    std::vector<OrderKey> keys(candidates.size());
    std::vector<std::vector<std::pair<double, double>>> numbers;
    std::size_t width = 0;
    for (const DesignCandidate& c : candidates) {
        numbers.push_back(orderNumbers(c));
        width = std::max(width, numbers.back().size());
    }
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        keys[i].usable = candidates[i].usable();
        keys[i].defects = candidates[i].defects.size();
        keys[i].type = candidates[i].type;
        keys[i].index = i;
        keys[i].clusters.assign(width, 0);
        keys[i].values.assign(width, std::numeric_limits<double>::quiet_NaN());
        for (std::size_t j = 0; j < numbers[i].size(); ++j) {
            keys[i].values[j] = numbers[i][j].first;
        }
    }
    std::vector<std::size_t> byValue(candidates.size());
    for (std::size_t j = 0; j < width; ++j) {
        for (std::size_t i = 0; i < byValue.size(); ++i) {
            byValue[i] = i;
        }
        std::sort(byValue.begin(), byValue.end(), [&](std::size_t x, std::size_t y) {
            return valueBefore(keys[x].values[j], keys[y].values[j]);
        });
        std::size_t cluster = 0;
        for (std::size_t n = 0; n < byValue.size(); ++n) {
            if (n > 0) {
                const double before = keys[byValue[n - 1]].values[j];
                const double now = keys[byValue[n]].values[j];
                const double tolerance =
                    j < numbers[byValue[n]].size() ? numbers[byValue[n]][j].second : 0.0;
                const bool joined = std::isfinite(before) && std::isfinite(now)
                                        ? now - before <= tolerance
                                        : std::isfinite(before) == std::isfinite(now);
                cluster += joined ? 0 : 1;
            }
            keys[byValue[n]].clusters[j] = cluster;
        }
    }
    return keys;
}

bool sameAxis(const SphereVector& u, const SphereVector& v)
{
    return norm(cross(u, v)) < 1e-7;
}

} // namespace

bool candidateBefore(const DesignCandidate& x, const DesignCandidate& y)
{
    const std::vector<OrderKey> keys = orderKeys({x, y});
    return keyBefore(keys[0], keys[1]);
}

std::optional<std::array<SphereVector, 4>> jointAxes(const DesignCandidate& c)
{
    if (c.positions.empty()) {
        return std::nullopt;
    }
    const std::optional<CouplerPose> pose =
        couplerPoseAt(c.dims, c.positions.front().input, c.positions.front().branch);
    if (!pose) {
        return std::nullopt;
    }
    const SphereVector B0{std::cos(c.dims.f * degree), std::sin(c.dims.f * degree), 0.0};
    return std::array<SphereVector, 4>{applied(c.placement, {1.0, 0.0, 0.0}),
                                       applied(c.placement, pose->A1), applied(c.placement, B0),
                                       applied(c.placement, pose->B1)};
}

bool sameMechanism(const std::array<SphereVector, 4>& x, const std::array<SphereVector, 4>& y)
{
    const auto dyadsMatch = [&](std::size_t i, std::size_t j) {
        return sameAxis(x[i], y[j]) && sameAxis(x[i + 1], y[j + 1]);
    };
    return (dyadsMatch(0, 0) && dyadsMatch(2, 2)) || (dyadsMatch(0, 2) && dyadsMatch(2, 0));
}

void orderCandidates(std::vector<DesignCandidate>& candidates, std::size_t mostMechanisms)
{
    // The comparison is a strict weak order in which only identical candidates tie, so the
    // sort's own way with equal elements never shows.
    std::vector<OrderKey> keys = orderKeys(candidates);
    std::sort(keys.begin(), keys.end(), keyBefore);
    {
        std::vector<DesignCandidate> sorted;
        sorted.reserve(candidates.size());
        for (const OrderKey& key : keys) {
            sorted.push_back(std::move(candidates[key.index]));
        }
        candidates = std::move(sorted);
    }
    struct Group {
        std::optional<std::array<SphereVector, 4>> axes;
        std::vector<std::size_t> members;
    };
    std::vector<Group> groups;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const std::optional<std::array<SphereVector, 4>> axes = jointAxes(candidates[i]);
        Group* home = nullptr;
        for (Group& group : groups) {
            if (axes && group.axes && sameMechanism(*axes, *group.axes)) {
                home = &group;
                break;
            }
        }
        if (!home && groups.size() < mostMechanisms) {
            groups.push_back({axes, {}});
            home = &groups.back();
        }
        if (home) {
            home->members.push_back(i);
        }
    }
    std::vector<DesignCandidate> ordered;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const Group& group = groups[g];
        for (const std::size_t i : group.members) {
            DesignCandidate c = std::move(candidates[i]);
            c.mechanism = static_cast<int>(g) + 1;
            const std::optional<std::array<SphereVector, 4>> axes = jointAxes(c);
            c.drivenPivot = axes && group.axes && !sameAxis((*axes)[0], (*group.axes)[0]) ? 2 : 1;
            ordered.push_back(std::move(c));
        }
    }
    candidates = std::move(ordered);
}

void keepMechanisms(std::vector<DesignCandidate>& candidates, std::size_t most)
{
    std::size_t kept = 0;
    while (kept < candidates.size() && kept < most) {
        const int mechanism = candidates[kept].mechanism;
        while (kept < candidates.size() && candidates[kept].mechanism == mechanism) {
            ++kept;
        }
    }
    candidates.resize(kept);
}

} // namespace cyclar
