// The linkage analysis for the browser's Analysis panel: what it says, its two charts and their
// markers, and the animation's angle table.
#include "api_support.h"

#include "analysis_result_text.h"
#include "analysis_text.h"
#include "chart_geometry.h"
#include "circuit_map.h"
#include "design_result_text.h"
#include "linkage_analysis.h"
#include "linkage_rates.h"
#include "motion_schedule.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <optional>
#include <vector>

using namespace cyclar;
using web::handOut;
using web::jsonNumber;

namespace {

std::string quoted(const std::string& text)
{
    return jsonQuoted(text);
}

RateChartAxes& heldRateAxes()
{
    static RateChartAxes axes(chartWidth, chartHeight, -1.0, 1.0);
    return axes;
}

void appendTicks(std::string& out, const std::vector<ChartTick>& ticks)
{
    out += '[';
    for (const ChartTick& tick : ticks) {
        out += out.back() == '[' ? "{\"at\":" : ",{\"at\":";
        out += jsonNumber(tick.at);
        out += ",\"text\":";
        out += quoted(tick.text);
        out += tick.zero ? ",\"zero\":true}" : ",\"zero\":false}";
    }
    out += ']';
}

// A chart as the panel strokes it: {"area": [left, top, width, height], "thetaTicks" and
// "valueTicks": [{"at", "text", "zero"}], "limits": [x], "curves": {name: [[x, y, x, y, ...]]}
// in the order they are stroked, "words": {"thetaTitle", "curves", "limits", "markers"}, "note"}.
std::string chartJson(const ChartAxes& axes, const std::vector<ChartTick>& valueTicks,
                      const LinkageAnalysis& analysis, const ChartWords& words,
                      std::initializer_list<std::pair<const char*, const ChartLines*>> curves)
{
    const ChartArea& a = axes.area();
    std::string out = "{\"area\":[";
    for (const double value : {a.left, a.top, a.width, a.height}) {
        out += out.back() == '[' ? "" : ",";
        out += jsonNumber(value);
    }
    out += "],\"thetaTicks\":";
    appendTicks(out, axes.thetaTicks());
    out += ",\"valueTicks\":";
    appendTicks(out, valueTicks);
    out += ",\"limits\":[";
    for (const double x : axes.limitLines(analysis)) {
        out += out.back() == '[' ? "" : ",";
        out += jsonNumber(x);
    }
    out += "],\"curves\":{";
    for (const auto& [name, lines] : curves) {
        out += out.back() == '{' ? "\"" : ",\"";
        out += name;
        out += "\":[";
        for (const auto& line : *lines) {
            out += out.back() == '[' ? "[" : ",[";
            for (const ChartPoint& p : line) {
                out += out.back() == '[' ? "" : ",";
                out += jsonNumber(p.x);
                out += ',';
                out += jsonNumber(p.y);
            }
            out += ']';
        }
        out += ']';
    }
    out += "},\"words\":{\"thetaTitle\":";
    out += quoted(words.thetaTitle);
    out += ",\"curves\":[";
    for (const std::string& word : words.curves) {
        out += out.back() == '[' ? "" : ",";
        out += quoted(word);
    }
    out += "],\"limits\":";
    out += quoted(words.limits);
    out += ",\"markers\":";
    out += quoted(words.markers);
    out += "},\"note\":";
    out += quoted(analysis.chartNote);
    return out + "}";
}

} // namespace

/// What the Analysis panel shows of a linkage: {"answer": what cyclar-export analyse prints,
/// "paragraphs": [{"name", "text"}] as the desktop's window shows them, "assemblable",
/// "chartNote"}.
const char* cyclar_analysis(double a, double b, double c, double f, double h, double k)
{
    const LinkageDimensions dims{a, b, c, f, h, k};
    const LinkageAnalysis r = analyseLinkage(dims);
    std::string out = "{\"answer\":";
    out += analysisResultJson(dims);
    out += ",\"paragraphs\":[";
    for (const AnalysisParagraph& p : analysisParagraphs(r)) {
        out += out.back() == '[' ? "{\"name\":" : ",{\"name\":";
        out += quoted(p.name);
        out += ",\"text\":";
        out += quoted(p.text);
        out += '}';
    }
    out += "],\"assemblable\":";
    out += r.assemblable ? "true" : "false";
    out += ",\"chartNote\":";
    out += quoted(r.chartNote);
    return handOut(out + "}");
}

/// The angle chart of a linkage as the panel strokes it (see chartJson).
const char* cyclar_angle_chart(double a, double b, double c, double f, double h, double k)
{
    const LinkageDimensions dims{a, b, c, f, h, k};
    const LinkageAnalysis analysis = analyseLinkage(dims);
    const AngleChartAxes axes;
    const AngleChartLines lines = angleChartLines(dims, analysis, axes);
    return handOut(chartJson(axes, axes.valueTicks(), analysis, angleChartWords(),
                             {{"mu", &lines.mu}, {"psi1", &lines.psi1}, {"psi2", &lines.psi2}}));
}

/// The rate chart of a linkage as the panel strokes it (see chartJson); its axes are kept for
/// the markers (cyclar_chart_markers).
const char* cyclar_rate_chart(double a, double b, double c, double f, double h, double k)
{
    const LinkageDimensions dims{a, b, c, f, h, k};
    const LinkageAnalysis analysis = analyseLinkage(dims);
    RateChartAxes& axes = heldRateAxes();
    axes = RateChartAxes(dims);
    const RateChartLines lines = rateChartLines(dims, analysis, axes);
    return handOut(chartJson(axes, axes.valueTicks(), analysis, rateChartWords(),
                             {{"speed1", &lines.speed1},
                              {"speed2", &lines.speed2},
                              {"ratio1", &lines.ratio1},
                              {"ratio2", &lines.ratio2}}));
}

/// Where the markers of the frame the scene's next compose draws stand: x, y of the angle
/// chart's disc (psi) and square (mu), then of the rate chart's disc (dpsi/dtheta) and square
/// (P's speed), whole pixels; NaN for a marker not drawn. Then theta, psi, mu, dpsi/dtheta and
/// P's speed themselves. Thirteen doubles, valid until the next call.
const double* cyclar_chart_markers(const WebScene* s)
{
    static std::array<double, 13> held{};
    MotionSchedule schedule = s->scene.schedule;
    const PaintSchedule paint = beginPaint(s->scene.model, s->scene.animationCopy, schedule);
    const LinkagePose pose = paintedPose(paint, schedule);
    const PoseAngles angles = poseAngles(paint.model, pose);
    const LinkageRates rates = poseRates(paint.model, pose);
    const bool finite =
        std::isfinite(angles.theta) && std::isfinite(angles.psi) && std::isfinite(angles.mu);
    const AngleChartAxes angleAxes;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto place = [&](std::size_t at, const std::optional<std::array<int, 2>>& centre) {
        held[at] = centre ? (*centre)[0] : nan;
        held[at + 1] = centre ? (*centre)[1] : nan;
    };
    const std::optional<std::array<int, 2>> none;
    place(0, finite ? angleAxes.markerCentre(angles.theta, angles.psi) : none);
    place(2, finite ? angleAxes.markerCentre(angles.theta, angles.mu) : none);
    place(4, heldRateAxes().markerCentre(angles.theta, rates.outputRate));
    place(6, heldRateAxes().markerCentre(angles.theta, rates.pointSpeed));
    held[8] = angles.theta;
    held[9] = angles.psi;
    held[10] = angles.mu;
    held[11] = rates.outputRate;
    held[12] = rates.pointSpeed;
    return held.data();
}

/// How many circuits the scene's linkage has and which one it shows, in the analysis's words.
const char* cyclar_circuit_sentence(const WebScene* s)
{
    return handOut(circuitSentence(circuitCount(s->scene.model), s->scene.schedule.motion.circuit));
}

/// The animation's angle table for a new page of this linkage showing `circuit` (1 or 2) with
/// the input even or not: one [frame, t, theta, psi, mu, branch] per frame.
const char* cyclar_angle_table(double a, double b, double c, double f, double h, double k,
                               int circuit, int evenInput)
{
    std::string out = "[";
    for (const FrameAngles& row : frameAngleTable(LinkageDimensions{a, b, c, f, h, k},
                                                  MotionChoice{circuit, evenInput != 0})) {
        const PoseAngles& p = row.angles;
        out += out.size() > 1 ? ",[" : "[";
        out += std::to_string(row.frame);
        for (const double value : {row.t, p.theta, p.psi, p.mu}) {
            out += ',';
            out += jsonNumber(value);
        }
        out += ',';
        out += std::to_string(p.branch);
        out += ']';
    }
    return handOut(out + "]");
}
