// Function generation: the spherical four-bar whose output angles at the pairs' inputs come
// nearest the pairs' outputs, measured in degrees, and the precision points that spread a fit's
// error evenly over an input range.
#pragma once

#include "linkage_design.h"

#include <optional>
#include <string>
#include <vector>

namespace cyclar {

/// Designs the function generator for the pairs (theta_i, psi_i) of a sound function task.
///
/// The start is the linear solution of the loop closure A1 . B1 = cos c, which in the analysis'
/// conventions reads K1 cos theta cos psi + K2 cos theta + K3 cos psi + K4 = -sin theta sin psi
/// (K1 = cos f, K2 = sin f cot b, K3 = -sin f cot a, K4 = (cos a cos b cos f - cos c) /
/// (sin a sin b)), brought to the nearest real linkage, together with the best few of a coarse
/// grid of real linkages. From each, the sum over the pairs of (psi(theta_i) - psi_i)^2, in
/// degrees, is minimised over a, b, c and f (f held when the task gives it) by damped
/// Gauss-Newton steps that keep every arc strictly between 0 and 180 degrees, each pair on the
/// branch nearer its output. The best of them is the one candidate, with its rmsError and
/// maxError. No candidate when the pairs hold fewer different inputs than there are arcs to
/// find, or when no real linkage closes at every input of the pairs.
DesignResult designFunction(const DesignTask& task);

/// The Chebyshev spacing of `count` precision points over the input range [from, to]:
/// theta_j = (from + to) / 2 - (to - from) / 2 cos((2j - 1) pi / (2 count)), j = 1 .. count, in
/// ascending order when from < to. Nothing, with `error` set to one sentence, when the range is
/// not two different finite angles within a turn either way or the count is not 3 to 50.
std::optional<std::vector<double>> chebyshevInputs(double from, double to, int count,
                                                   std::string& error);

/// The fewest and most precision points chebyshevInputs gives.
inline constexpr int chebyshevLeastCount = 3;
inline constexpr int chebyshevMostCount = 50;

} // namespace cyclar
