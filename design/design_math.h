// The small linear algebra of linkage design, and the dyad equations of motion generation.
#pragma once

#include "sphere_geometry.h"

#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace cyclar {

/// The displacements v_i = (D_i^T - I) G of a point G on the body through the moves D_i, and
/// their best-conditioned cross product: the common perpendicular of the v_i (unnormalised, with
/// its length; zero when every pair is parallel).
struct PivotNormal {
    std::vector<SphereVector> v;
    SphereVector normal{};
    double length = 0.0;
};
PivotNormal pivotNormal(const std::vector<Rotation>& moves, const SphereVector& G);

/// x minimising |A x - b| by Householder reflections; `solved` is false when A's columns are
/// (numerically) dependent. `residual` is the root mean square of A x - b.
struct LeastSquares {
    bool solved = false;
    std::vector<double> x;
    double residual = 0.0;
};
LeastSquares solveLeastSquares(std::vector<std::vector<double>> rows, std::vector<double> rhs);

/// The center-axis cone of three displacements D_j, D_k, D_l from the first position: the fixed
/// pivots G for which the v_i = (D_i^T - I) G are coplanar, so that a moving pivot W_1
/// perpendicular to all three exists: det[v_j v_k v_l] = 0, a homogeneous cubic in G.
struct CubicCone {
    std::array<Rotation, 3> C; ///< D_i^T - I
};
CubicCone cubicCone(const std::vector<Rotation>& moves, std::size_t j, std::size_t k,
                    std::size_t l);

/// The cone's lines in the plane that holds `axis` and makes the angle alpha (radians) about it
/// with a fixed reference direction; at most three, as unit vectors.
std::vector<SphereVector> coneLinesInPlane(const CubicCone& cone, const SphereVector& axis,
                                           double alpha);

/// A dyad of five positions: G . (D_i W) = G . W for the four displacements D_i.
struct FiveDyad {
    SphereVector fixed;
    SphereVector moving;
};

/// All the dyads of five positions (at most six): the lines common to the cones of displacements
/// (1, 2, 3) and (1, 2, 4), found plane by plane about an axis where the resultant of the two
/// cubics changes sign, polished by Newton's method on the four dyad equations, and kept only
/// where all four hold (which drops the common lines that are no dyads, such as the poles).
std::vector<FiveDyad> fivePositionDyads(const std::vector<Rotation>& moves);

} // namespace cyclar
