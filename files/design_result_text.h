// A design's answer as JSON text: what cyclar-export design prints and the browser reads.
#pragma once

#include "four_position_map.h"
#include "linkage_design.h"

#include <string>

namespace cyclar {

/// {"kind", "candidates": [{"dims", "placement", "positions", "type", "defects",
/// "transmission", "mechanism"}], "reason"}, candidates in the design's order, numbers in their
/// shortest round-trip form (null where not finite); function candidates add "rmsError" and
/// "maxError" (degrees); the reason is null when there is nothing to say.
std::string designResultJson(const DesignResult& result);

/// {"centrePoints": [[x, y, z], ...], "circlePoints": [[x, y, z], ...], "parameter": [...]}: the
/// solution map's dyads, point i of each list one dyad.
std::string solutionMapJson(const SolutionMap& map);

/// Text as a JSON string, quotes included: quote and backslash escaped, control characters as
/// \u00XX, everything else as it is.
std::string jsonQuoted(const std::string& text);

} // namespace cyclar
