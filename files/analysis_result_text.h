// A linkage analysis as JSON text: what cyclar-export analyse prints and the browser reads.
#pragma once

#include "linkage_model.h"

#include <string>

namespace cyclar {

/// One JSON object, one key a line: type (or null), grashof, changePoint, T, inputRotates,
/// outputRotates, inputLimits, outputLimits, transmission, transmissionAt, swing, timeRatio,
/// reason, then the extremes of the velocity ratio and of the coupler point's speed over the
/// motion (outputRateRange, outputRateAt, outputRateBranch, pointSpeedRange, pointSpeedAt,
/// pointSpeedBranch; an end unbounded at a toggle is null, with the toggle's |input| and branch
/// 0).
std::string analysisResultJson(const LinkageDimensions& dims);

} // namespace cyclar
