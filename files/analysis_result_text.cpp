// The linkage analysis as JSON, with the extremes of its rates.
#include "analysis_result_text.h"

#include "json_object.h"
#include "linkage_analysis.h"
#include "linkage_rates.h"

#include <array>

namespace cyclar {

std::string analysisResultJson(const LinkageDimensions& dims)
{
    const LinkageAnalysis r = analyseLinkage(dims);
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
    const RateExtremes e = rateExtremes(dims);
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
    return o.finish();
}

} // namespace cyclar
