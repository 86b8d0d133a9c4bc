// A design's answer as JSON text: what cyclar-export design prints and the browser reads.
#pragma once

#include "linkage_design.h"

#include <string>

namespace cyclar {

/// {"kind", "candidates": [{"dims", "placement", "positions", "type", "defects",
/// "transmission"}], "reason"}, candidates in the design's order, numbers in their shortest
/// round-trip form (null where not finite); the reason is null when there is nothing to say.
std::string designResultJson(const DesignResult& result);

/// Text as a JSON string, quotes included: quote and backslash escaped, control characters as
/// \u00XX, everything else as it is.
std::string jsonQuoted(const std::string& text);

} // namespace cyclar
