// The one order of candidates and their mechanisms.
#include "candidate_order.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

namespace cyclar {

namespace {

// -1, 0 or 1 as x is before, alike or after y: on a grid of `step`, or exactly when the step is
// 0; values that are not finite last.
int compared(double x, double y, double step)
{
    const bool xFinite = std::isfinite(x);
    const bool yFinite = std::isfinite(y);
    if (xFinite != yFinite) {
        return xFinite ? -1 : 1;
    }
    if (!xFinite) {
        return 0;
    }
    const double gx = step > 0.0 ? std::round(x / step) : x;
    const double gy = step > 0.0 ? std::round(y / step) : y;
    return gx < gy ? -1 : gx > gy ? 1 : 0;
}

double stray(const DesignCandidate& c)
{
    return std::max(std::fabs(c.transmission[0] - 90.0), std::fabs(c.transmission[1] - 90.0));
}

// What a candidate is ordered by: usable first, then these numbers, each with its grid.
struct OrderKey {
    bool usable = false;
    std::vector<std::pair<double, double>> numbers;
    std::size_t defects = 0;
    std::string type;
};

OrderKey orderKey(const DesignCandidate& c)
{
    constexpr double angle = 1e-7;
    constexpr double entry = 1e-9;
    OrderKey key;
    key.usable = c.usable();
    const double links = c.dims.a + c.dims.b + c.dims.c + c.dims.f;
    key.numbers = {{stray(c), angle},          {links, angle},     {c.dims.a, angle},
                   {c.dims.b, angle},          {c.dims.c, angle},  {c.dims.f, angle},
                   {c.dims.h, angle},          {c.dims.k, angle},  {c.transmission[0], angle},
                   {c.transmission[1], angle}, {c.rmsError, angle}};
    for (const auto& row : c.placement) {
        for (const double x : row) {
            key.numbers.emplace_back(x, entry);
        }
    }
    for (const PositionReach& reach : c.positions) {
        key.numbers.emplace_back(reach.input, angle);
        key.numbers.emplace_back(reach.branch, 1.0);
    }
    key.defects = c.defects.size();
    key.type = c.type;
    return key;
}

bool keyBefore(const OrderKey& x, const OrderKey& y)
{
    if (x.usable != y.usable) {
        return x.usable;
    }
    if (x.numbers.size() != y.numbers.size()) {
        return x.numbers.size() < y.numbers.size();
    }
    for (const bool exact : {false, true}) {
        for (std::size_t i = 0; i < x.numbers.size(); ++i) {
            const double step = exact ? 0.0 : x.numbers[i].second;
            if (const int c = compared(x.numbers[i].first, y.numbers[i].first, step); c != 0) {
                return c < 0;
            }
        }
    }
    return std::tie(x.defects, x.type) < std::tie(y.defects, y.type);
}

bool sameAxis(const SphereVector& u, const SphereVector& v)
{
    return norm(cross(u, v)) < 1e-7;
}

} // namespace

bool candidateBefore(const DesignCandidate& x, const DesignCandidate& y)
{
    return keyBefore(orderKey(x), orderKey(y));
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

void orderCandidates(std::vector<DesignCandidate>& candidates)
{
    // The comparison is a strict weak order in which only identical candidates tie, so the
    // sort's own way with equal elements never shows.
    std::vector<std::pair<OrderKey, std::size_t>> keys;
    keys.reserve(candidates.size());
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        keys.emplace_back(orderKey(candidates[i]), i);
    }
    std::sort(keys.begin(), keys.end(),
              [](const auto& x, const auto& y) { return keyBefore(x.first, y.first); });
    {
        std::vector<DesignCandidate> sorted;
        sorted.reserve(candidates.size());
        for (const auto& [key, i] : keys) {
            sorted.push_back(std::move(candidates[i]));
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
        if (!home) {
            groups.push_back({axes, {}});
            home = &groups.back();
        }
        home->members.push_back(i);
    }
    std::vector<DesignCandidate> ordered;
    ordered.reserve(candidates.size());
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
