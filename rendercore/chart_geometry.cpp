// The charts' geometry: bounds, ticks, sampling, breaks and markers.
#include "chart_geometry.h"

#include "linkage_rates.h"
#include "significant_text.h"

#include <algorithm>
#include <cmath>

namespace cyclar {

namespace {

constexpr double marginLeft = 46.0;
constexpr double marginRight = 14.0;
constexpr double marginTop = 46.0;
constexpr double marginBottom = 38.0;
// Near a toggle the ratio is unbounded; beyond this the chart would show nothing else.
constexpr double rateAxisCap = 4.0;

ChartArea plotArea(int width, int height)
{
    return {marginLeft, marginTop, std::max(1.0, width - marginLeft - marginRight),
            std::max(1.0, height - marginTop - marginBottom)};
}

// Appends a point to the last run, or starts a new run where the curve was broken before it.
void extend(ChartLines& lines, const ChartPoint& point, bool joined)
{
    if (!joined || lines.empty()) {
        lines.emplace_back();
    }
    lines.back().push_back(point);
}

std::string degreeText(int degrees)
{
    return std::to_string(degrees) + "\u00b0";
}

// 1, 2 or 5 times a power of ten, the smallest at least `span` / 4.
double niceStep(double span)
{
    const double raw = std::max(span / 4.0, 1e-6);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (m * power >= raw) {
            return m * power;
        }
    }
    return 10.0 * power;
}

std::array<double, 2> rateBounds(const LinkageDimensions& dims)
{
    double low = 0.0;
    double high = 0.0;
    for (const double theta : chartInputs(analyseLinkage(dims))) {
        for (const LinkageRates& r : outputRatesAt(dims, theta).branch) {
            for (const double value : {r.outputRate, r.pointSpeed}) {
                if (std::isfinite(value)) {
                    low = std::min(low, std::max(value, -rateAxisCap));
                    high = std::max(high, std::min(value, rateAxisCap));
                }
            }
        }
    }
    return {low, high};
}

} // namespace

std::vector<double> chartInputs(const LinkageAnalysis& analysis)
{
    std::vector<double> inputs;
    inputs.reserve(721 + 2 * analysis.inputLimits.size());
    for (int i = 0; i <= 720; ++i) {
        inputs.push_back(-180.0 + 0.5 * i);
    }
    for (const double limit : analysis.inputLimits) {
        inputs.push_back(limit);
        inputs.push_back(-limit);
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

ChartAxes::ChartAxes(int width, int height, double low, double high)
    : m_area(plotArea(width, height)), m_low(low), m_high(high)
{
}

ChartPoint ChartAxes::point(double theta, double value) const
{
    return {m_area.left + (theta + 180.0) / 360.0 * m_area.width,
            m_area.bottom() - (value - m_low) / (m_high - m_low) * m_area.height};
}

std::vector<ChartTick> ChartAxes::thetaTicks() const
{
    std::vector<ChartTick> ticks;
    for (int degrees = -180; degrees <= 180; degrees += 45) {
        ticks.push_back({point(degrees, m_low).x, degreeText(degrees), degrees == 0});
    }
    return ticks;
}

std::vector<double> ChartAxes::limitLines(const LinkageAnalysis& analysis) const
{
    std::vector<double> lines;
    for (const double limit : analysis.inputLimits) {
        for (const double theta : {-limit, limit}) {
            lines.push_back(point(theta, m_low).x);
        }
    }
    return lines;
}

std::optional<std::array<int, 2>> ChartAxes::markerCentre(double theta, double value) const
{
    if (!std::isfinite(theta) || !std::isfinite(value)) {
        return std::nullopt;
    }
    const ChartPoint at = point(theta, value);
    // Beside a toggle the ratio is astronomically large: such a point is no pixel (and no int).
    if (!(std::fabs(at.x) <= 1e6 && std::fabs(at.y) <= 1e6)) {
        return std::nullopt;
    }
    // To the nearest pixel, a half up, as the painter's and the canvas's rounding put it.
    return std::array{static_cast<int>(std::floor(at.x + 0.5)),
                      static_cast<int>(std::floor(at.y + 0.5))};
}

AngleChartAxes::AngleChartAxes(int width, int height) : ChartAxes(width, height, -180.0, 180.0) {}

std::vector<ChartTick> AngleChartAxes::valueTicks() const
{
    std::vector<ChartTick> ticks;
    for (int degrees = -180; degrees <= 180; degrees += 45) {
        ticks.push_back({point(-180.0, degrees).y, degreeText(degrees), degrees == 0});
    }
    return ticks;
}

AngleChartLines angleChartLines(const LinkageDimensions& dims, const LinkageAnalysis& analysis,
                                const AngleChartAxes& axes)
{
    AngleChartLines curves;
    if (!analysis.assemblable) {
        return curves;
    }
    bool connected = false;
    double last[2] = {0.0, 0.0};
    for (const double theta : chartInputs(analysis)) {
        const OutputAngles out = outputAnglesAt(dims, theta);
        if (!out.closes) {
            connected = false;
            continue;
        }
        ChartLines* psi[2] = {&curves.psi1, &curves.psi2};
        for (std::size_t branch = 0; branch < 2; ++branch) {
            // A jump of more than half a turn is psi wrapping from 180 to -180: lift the pen.
            const bool wraps = connected && std::fabs(out.psi[branch] - last[branch]) > 180.0;
            extend(*psi[branch], axes.point(theta, out.psi[branch]), connected && !wraps);
            last[branch] = out.psi[branch];
        }
        extend(curves.mu, axes.point(theta, out.mu), connected);
        connected = true;
    }
    return curves;
}

RateChartAxes::RateChartAxes(const LinkageDimensions& dims, int width, int height)
    : RateChartAxes(width, height, rateBounds(dims)[0], rateBounds(dims)[1])
{
}

RateChartAxes::RateChartAxes(int width, int height, double low, double high)
    : ChartAxes(width, height, -1.0, 1.0)
{
    if (!(std::isfinite(low) && std::isfinite(high) && high > low)) {
        low = -1.0;
        high = 1.0;
    }
    m_step = niceStep(high - low);
    m_low = std::floor(low / m_step) * m_step;
    m_high = std::ceil(high / m_step) * m_step;
}

std::vector<ChartTick> RateChartAxes::valueTicks() const
{
    std::vector<ChartTick> ticks;
    const double span = std::round((m_high - m_low) / m_step);
    const int steps = span >= 0.0 && span <= 1000.0 ? static_cast<int>(span) : 0;
    for (int i = 0; i <= steps; ++i) {
        const double value = m_low + i * m_step;
        const bool zero = std::fabs(value) < m_step / 2.0;
        ticks.push_back({point(-180.0, value).y, significantText(zero ? 0.0 : value, 4), zero});
    }
    return ticks;
}

RateChartLines rateChartLines(const LinkageDimensions& dims, const LinkageAnalysis& analysis,
                              const RateChartAxes& axes)
{
    RateChartLines curves;
    if (!analysis.assemblable) {
        return curves;
    }
    const double margin = 4.0 * (axes.high() - axes.low());
    const auto clamped = [&](double v) {
        return std::clamp(v, axes.low() - margin, axes.high() + margin);
    };
    bool joined[4] = {false, false, false, false};
    double last[4] = {0.0, 0.0, 0.0, 0.0};
    ChartLines* runs[4] = {&curves.ratio1, &curves.ratio2, &curves.speed1, &curves.speed2};
    for (const double theta : chartInputs(analysis)) {
        const OutputRates rates = outputRatesAt(dims, theta);
        for (std::size_t i = 0; i < 4; ++i) {
            const LinkageRates& r = rates.branch[i % 2];
            const double value = i < 2 ? r.outputRate : r.pointSpeed;
            if (!std::isfinite(value)) {
                joined[i] = false;
                continue;
            }
            const bool across = (last[i] > axes.high() && value < axes.low())
                                || (last[i] < axes.low() && value > axes.high());
            extend(*runs[i], axes.point(theta, clamped(value)), joined[i] && !across);
            joined[i] = true;
            last[i] = value;
        }
    }
    return curves;
}

ChartWords angleChartWords()
{
    return {"input angle \u03b8",
            {"output \u03c8, branch 1", "\u03c8, branch 2", "transmission \u03bc"},
            "input limit (toggle)",
            "this frame (\u03c8, \u03bc)"};
}

ChartWords rateChartWords()
{
    return {"input angle \u03b8 (rates per radian of \u03b8)",
            {"d\u03c8/d\u03b8, branch 1", "branch 2", "speed of P"},
            "input limit (toggle)",
            "this frame (d\u03c8/d\u03b8, speed)"};
}

} // namespace cyclar
