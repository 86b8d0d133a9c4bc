// cyclar-export analyse: the linkage's type, limits and transmission, with the reason.
#include "command.h"

#include "analysis_result_text.h"

namespace cyclar {
namespace {

ExportResult analyse(const CommandInput& input)
{
    return ok(QByteArray::fromStdString(analysisResultJson(input.source.dimensions)));
}

} // namespace

const ExportCommand analyseCommand{
    "analyse",
    {},
    nullptr,
    false,
    "One JSON object: the spherical type (or null), grashof, changePoint, T [T1..T4],\n"
    "inputRotates, outputRotates, inputLimits and outputLimits (|angle| at the toggle\n"
    "positions), transmission [least, greatest] and transmissionAt (|input| there),\n"
    "swing and timeRatio (crank-rockers), and reason, the sentence that explains it;\n"
    "then the extremes over the motion of the velocity ratio dpsi/dtheta\n"
    "(outputRateRange [least, greatest], outputRateAt [input there],\n"
    "outputRateBranch [branch there]) and of the coupler point's speed (pointSpeedRange,\n"
    "pointSpeedAt, pointSpeedBranch). An end that is unbounded (at a toggle of the\n"
    "input) is null, with |input| of the toggle and branch 0.\n",
    "analyse --dims 160,105,120,100,45,-35",
    analyse,
};

} // namespace cyclar
