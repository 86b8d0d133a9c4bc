// The four-position solution map: the centre-point and circle-point curves of four orientations
// of a body, traced whole on the sphere, and what a dyad pair through each stretch gives.
#pragma once

#include "linkage_design.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace cyclar {

/// Four positions leave a one-parameter family of dyads. A fixed pivot G fits when the vectors
/// v_i = (D_i^T - I) G of the three displacements D_i are coplanar, so that a moving pivot W
/// square to all three exists: det[v_1 v_2 v_3] = 0, a cubic cone whose trace on the sphere is
/// the centre-point curve; W traces the circle-point curve. Point i of `centrePoints` and of
/// `circlePoints` is one dyad (task frame; W where it lies at the first position); `parameter`
/// is the arc (degrees) travelled along the centre-point curve from where the stretch holding
/// the point begins, so that it starts again from 0 at each stretch (the curve may have more
/// than one closed piece, and each comes with its copy through the opposite points).
struct SolutionMap {
    std::vector<SphereVector> centrePoints;
    std::vector<SphereVector> circlePoints;
    std::vector<double> parameter;
    /// Five positions: their dyads (which lie on the curves of positions 1 to 4), marked.
    std::vector<Dyad> marks;
    /// Why there is no map, in one sentence; empty when there is one.
    std::string reason;

    bool empty() const { return centrePoints.empty(); }
    /// Whether point i begins a stretch: it is not joined to the point before it.
    bool startsStretch(std::size_t i) const { return i == 0 || !(parameter[i] > 0.0); }
};

/// Traces the map of a sound motion task's first four positions (four or five positions): seeds
/// found plane by plane through the cone, each piece then followed by predictor and corrector
/// steps of at most half a degree along the sphere and closed where it comes back round. A task
/// of another kind or size, or one refused by the task rule, gives no map and says why.
SolutionMap fourPositionMap(const DesignTask& task);

/// What a dyad pair through a point of the map gives, with the dyad of another point.
enum class MapClass {
    None,      ///< no proper linkage that reaches every position
    Defective, ///< linkages, each with a defect
    Usable,    ///< a usable linkage, one pivot or the other driving
};

/// The class of every point of the map paired with point `partner` (its own class is None), as
/// linkages of the task's first four positions. Points through opposite ends of one pair of axes
/// share their class.
std::vector<MapClass> mapClasses(const DesignTask& task, const SolutionMap& map,
                                 std::size_t partner);

/// The dyad of map point i. Two of them make their linkages with linkagesFromDyads.
Dyad mapDyad(const SolutionMap& map, std::size_t i);

/// The task of the first four positions, which the map and its classes belong to.
DesignTask firstFourPositions(const DesignTask& task);

} // namespace cyclar
