// The one order of a design's candidates, and their gathering into physical mechanisms: the
// same list, numbered the same way, in cyclar-export, the desktop and the browser.
#pragma once

#include "linkage_design.h"

#include <array>
#include <cstddef>
#include <limits>
#include <optional>
#include <vector>

namespace cyclar {

/// Whether candidate x comes before y in the one order: usable ones first; then the
/// transmission angle nearer 90 degrees on the way through the positions (its greater stray
/// from 90); then the dimensions: the shorter links (a + b + c + f), then a, b, c, f, h, k; then
/// the least and greatest transmission angle, the placement and the input and branch at each
/// position. Values closer than their tolerance (1e-4 degrees for the transmission angle, which
/// near a toggle is no better known, 1e-6 degrees for angles, 1e-9 for the placement's entries)
/// are alike, so that the last bits of one machine's arithmetic cannot reorder candidates that
/// are alike to far better than anyone can see; then the values exactly, so that no two
/// different candidates tie. A value that is not finite comes after every finite one.
/// Compared two alone; orderCandidates compares all together, where values chained by gaps
/// within their tolerance are alike.
bool candidateBefore(const DesignCandidate& x, const DesignCandidate& y);

/// The axes of a candidate's four joints in the task's frame at its first position: A0, A1, B0,
/// B1. Nothing where it does not close there.
std::optional<std::array<SphereVector, 4>> jointAxes(const DesignCandidate& candidate);

/// Whether two candidates are one physical mechanism: the same two fixed and two moving joint
/// axes (a joint is an axis through the sphere's centre, either end of it), paired the same
/// way, whichever pivot drives.
bool sameMechanism(const std::array<SphereVector, 4>& x, const std::array<SphereVector, 4>& y);

/// Puts the candidates in the one order: sorted by candidateBefore, then each mechanism's
/// variants gathered behind the first of them, the mechanisms in the order of their first
/// variants. Numbers the mechanisms from 1 (DesignCandidate::mechanism) and marks which of its
/// two fixed pivots each variant drives from (drivenPivot). Keeps only the first
/// `mostMechanisms` mechanisms, all their variants.
void orderCandidates(std::vector<DesignCandidate>& candidates,
                     std::size_t mostMechanisms = std::numeric_limits<std::size_t>::max());

/// Keeps whole mechanisms, in order, until at least `most` candidates are kept.
void keepMechanisms(std::vector<DesignCandidate>& candidates, std::size_t most);

} // namespace cyclar
