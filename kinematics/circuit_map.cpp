// The circuit map: circuits and input travel along them, from the input's motion and limits.
#include "circuit_map.h"

#include <algorithm>
#include <cmath>

namespace cyclar {

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

CircuitPlace circuitPlace(const CircuitMap& map, double theta, int branch)
{
    if (!map.rocks) {
        const double s = std::fmod(theta + 360.0, 360.0);
        return {branch == 2 ? 1 : 2, s >= 360.0 ? 0.0 : s};
    }
    int circuit = 1;
    double lo = map.lo;
    double hi = map.hi;
    if (map.shifted && theta < 0.0) {
        theta += 360.0;
    }
    if (map.twoRanges && theta < 0.0) {
        circuit = 2;
        lo = -map.hi;
        hi = -map.lo;
    }
    const double along = std::clamp(theta - lo, 0.0, hi - lo);
    return {circuit, branch == 1 ? along : map.length - along};
}

std::string circuitSentence(int circuits, int shown)
{
    if (circuits < 2) {
        return "One circuit: the linkage moves through all its positions without being taken "
               "apart.";
    }
    const std::string other = shown == 2 ? "1" : "2";
    return "Two circuits: the linkage can be assembled in two ways that it cannot move between "
           "without being taken apart. Circuit "
           + std::string(shown == 2 ? "2" : "1")
           + " is shown; the other loop of the coupler curve belongs to circuit " + other + ".";
}

double circuitInput(const CircuitMap& map, int circuit, double s)
{
    if (!map.rocks) {
        return s;
    }
    const double along = s <= map.span() ? s : map.length - s;
    return circuit == 2 ? -map.hi + along : map.lo + along;
}

} // namespace cyclar
