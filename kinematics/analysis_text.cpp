// The Analysis window's sentences: types, Grashof values, motion, swing and transmission.
#include "analysis_text.h"

#include "significant_text.h"

#include <cmath>

namespace cyclar {

namespace {

const std::string degreeSign = "\u00b0";

std::string signedDegrees(double value)
{
    return std::isfinite(value) && value > 0 ? std::string("+") + degreesText(value)
                                             : degreesText(value);
}

std::string capitalised(std::string text)
{
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

double limitAt(const std::vector<double>& limits, std::size_t i)
{
    return i < limits.size() ? limits[i] : std::nan("");
}

// How one link moves, in words: `link` is "Input a" or "Output b", `angle` its symbol.
std::string motionText(const std::string& link, const std::string& angle, LinkMotion motion,
                       const std::vector<double>& limits)
{
    const std::string first = degreesText(limitAt(limits, 0));
    switch (motion) {
    case LinkMotion::Rotates:
        return link + " turns fully.";
    case LinkMotion::RocksThrough0:
        return link + " rocks through 0" + degreeSign + ": |" + angle + "| up to " + first + ".";
    case LinkMotion::RocksThroughPi:
        return link + " rocks through 180" + degreeSign + ": |" + angle + "| from " + first
               + " to 180" + degreeSign + ".";
    case LinkMotion::RocksBetween:
        break;
    }
    return link + " rocks on one side: |" + angle + "| from " + first + " to "
           + degreesText(limitAt(limits, 1)) + ".";
}

} // namespace

std::string degreesText(double value, int decimals)
{
    return std::isfinite(value) ? fixedText(value, decimals) + degreeSign : "\u2013";
}

std::vector<AnalysisParagraph> analysisParagraphs(const LinkageAnalysis& r)
{
    std::vector<AnalysisParagraph> paragraphs;
    paragraphs.push_back({"type", r.type.empty() ? "No type" : capitalised(r.type)});
    paragraphs.push_back({"decision", r.decision});
    std::string values;
    for (std::size_t i = 0; i < r.T.size(); ++i) {
        values += i == 0 ? "T" : "    T";
        values += std::to_string(i + 1) + " = " + signedDegrees(r.T[i]);
    }
    paragraphs.push_back({"values", values});
    if (!r.labelNote.empty()) {
        paragraphs.push_back(
            {"labelNote", std::string("Frame label: ") + capitalised(r.labelNote) + "."});
    }
    if (r.assemblable) {
        const std::string theta = "\u03b8";
        std::string motion = motionText("Input a", theta, r.input, r.inputLimits) + "\n"
                             + motionText("Output b", "\u03c8", r.output, r.outputLimits) + "\n";
        if (r.swing && r.timeRatio) {
            motion += std::string("Rocker swing ") + degreesText(*r.swing) + ", time ratio "
                      + fixedText(*r.timeRatio, 3) + ".\n";
        }
        motion += std::string("Transmission angle \u03bc from ") + degreesText(r.transmission[0])
                  + " (at |" + theta + "| = " + degreesText(r.transmissionAt[0]) + ") to "
                  + degreesText(r.transmission[1]) + " (at |" + theta
                  + "| = " + degreesText(r.transmissionAt[1]) + ").";
        paragraphs.push_back({"motion", motion});
    }
    return paragraphs;
}

} // namespace cyclar
