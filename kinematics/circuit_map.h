// The circuits of an input-driven linkage: which closed motion a pose lies on, and where along it.
#pragma once

#include "linkage_analysis.h"

#include <string>

namespace cyclar {

// A linkage with two circuits has two assemblies that cannot reach each other without taking it
// apart. They are numbered as the animation numbers them: circuit 1 is the one its first frame
// stands on. With a turning input that is branch 2 (circuit 2 is branch 1); with an input that
// rocks on either side of the ground it is the side where theta > 0 (circuit 2, theta < 0). A
// linkage with one circuit has only circuit 1.

/// Where the positions of a linkage lie on the closed curves it moves along as its input turns:
/// a circuit and a coordinate s along it (degrees of input travelled, 0 <= s < length). A
/// turning input has one circuit per branch; a rocking input's circuit runs over its range on
/// branch 1 and back on branch 2, the two meeting at the toggles, s = 0 and s = span.
struct CircuitMap {
    bool rocks = false;
    double lo = 0.0, hi = 0.0; ///< the input's range on a rocking circuit (hi - lo = span)
    bool shifted = false;      ///< the range wraps through 180: theta is taken in [0, 360)
    bool twoRanges = false;    ///< the input rocks on either side of the ground: two circuits
    double length = 360.0;     ///< the input's travel once round a circuit

    double span() const { return hi - lo; }
};

/// The map of a linkage from its analysis (its input's motion and limits).
CircuitMap circuitMap(const LinkageAnalysis& analysis);

struct CircuitPlace {
    int circuit = 1; ///< 1 or 2
    double s = 0.0;  ///< degrees of input travelled along the circuit
};

/// The circuit and the coordinate of the pose at input theta (degrees) on a branch (1 or 2).
CircuitPlace circuitPlace(const CircuitMap& map, double theta, int branch);

/// What the analysis says of the circuits, for a linkage that moves: how many it has and, with
/// two, which one is shown and that the other loop of the coupler curve is the other circuit's.
std::string circuitSentence(int circuits, int shown);

/// The input angle at coordinate s of a circuit (only its cosine is exact where the range wraps
/// through 180 degrees: theta may come out in [180, 360)).
double circuitInput(const CircuitMap& map, int circuit, double s);

} // namespace cyclar
