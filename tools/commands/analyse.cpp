// cyclar-export analyse: the linkage's type, limits and transmission, with the reason.
#include "command.h"

#include "linkage_analysis.h"
#include "linkage_rates.h"

#include <array>

namespace cyclar {
namespace {

ExportResult analyse(const CommandInput& input)
{
    const LinkageAnalysis r = analyseLinkage(input.source.dimensions);
    JsonObject o;
    o.nullable("type", r.type.empty() ? std::nullopt : std::optional<std::string>(r.type));
    o.nullable("grashof", r.grashof);
    o.boolean("changePoint", r.changePoint);
    o.numbers("T", r.T);
    o.boolean("inputRotates", r.inputRotates);
    o.boolean("outputRotates", r.outputRotates);
    o.numbers("inputLimits", r.inputLimits);
    o.numbers("outputLimits", r.outputLimits);
    o.numbers("transmission", r.transmission);
    o.numbers("transmissionAt", r.transmissionAt);
    o.nullable("swing", r.swing);
    o.nullable("timeRatio", r.timeRatio);
    o.string("reason", r.reason);
    const RateExtremes e = rateExtremes(input.source.dimensions);
    const auto extremes = [&o](const char* range, const char* at, const char* branch,
                               const RateExtreme& least, const RateExtreme& greatest) {
        o.numbers(range, std::array{least.value, greatest.value});
        o.numbers(at, std::array{least.theta, greatest.theta});
        o.numbers(branch, std::array{double(least.branch), double(greatest.branch)});
    };
    extremes("outputRateRange", "outputRateAt", "outputRateBranch", e.leastOutputRate,
             e.greatestOutputRate);
    extremes("pointSpeedRange", "pointSpeedAt", "pointSpeedBranch", e.leastPointSpeed,
             e.greatestPointSpeed);
    return ok(o.finish());
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
