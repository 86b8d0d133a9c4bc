// The Analysis window's two charts as geometry, written once for the desktop's painter and the
// browser's canvas, which only stroke what it gives: the plot area, the grid with its ticks and
// their texts, the curves sampled over the input angle and broken where they must be, the input
// limits and the frame's markers, in pixels of a chart of a given size.
#pragma once

#include "linkage_analysis.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace cyclar {

/// The charts' size in the Analysis window and in cyclar-export's plot.
inline constexpr int chartWidth = 440;
inline constexpr int chartHeight = 320;

struct ChartPoint {
    double x = 0.0;
    double y = 0.0;
};

/// A curve as polylines, each drawn on its own (a break lifts the pen).
using ChartLines = std::vector<std::vector<ChartPoint>>;

struct ChartArea {
    double left = 0.0;
    double top = 0.0;
    double width = 1.0;
    double height = 1.0;
    double right() const { return left + width; }
    double bottom() const { return top + height; }
};

/// A grid line with its tick: where it crosses its axis in pixels, its text, and whether it is
/// the line of zero (drawn darker than the others).
struct ChartTick {
    double at = 0.0;
    std::string text;
    bool zero = false;
};

/// The input angles a chart's curves are sampled at: every half degree from -180 to 180, and
/// each input limit (both signs), where the two branches meet; ascending.
std::vector<double> chartInputs(const LinkageAnalysis& analysis);

/// What both charts share: theta from -180 (left) to 180 (right) across the plot area, with a
/// grid line every 45 degrees; the plot area leaves room for the legend above it and the ticks'
/// texts and the axis' title below.
class ChartAxes {
public:
    /// A chart of w x h pixels whose value axis runs from `low` (bottom) to `high` (top).
    ChartAxes(int width, int height, double low, double high);

    const ChartArea& area() const { return m_area; }
    double low() const { return m_low; }
    double high() const { return m_high; }
    /// The pixel position of (theta in degrees, value); a value beyond the bounds lies outside
    /// the plot area.
    ChartPoint point(double theta, double value) const;
    /// The grid lines across theta: x of -180, -135, ..., 180 with "-180°", ...
    std::vector<ChartTick> thetaTicks() const;
    /// The x of each input limit's line, at -limit and +limit.
    std::vector<double> limitLines(const LinkageAnalysis& analysis) const;
    /// A marker's centre at (theta, value), to the nearest pixel; none where either is not finite
    /// or the point lies so far off the chart (beside a toggle) that no pixel could show it.
    std::optional<std::array<int, 2>> markerCentre(double theta, double value) const;

protected:
    ChartArea m_area;
    double m_low;
    double m_high;
};

/// The angle chart: psi and mu from -180 to 180 degrees.
class AngleChartAxes : public ChartAxes {
public:
    AngleChartAxes(int width = chartWidth, int height = chartHeight);
    /// The grid lines up the value axis: y of -180, -135, ..., 180 with their texts.
    std::vector<ChartTick> valueTicks() const;
};

/// The angle chart's curves: psi on branch 1 and on branch 2, broken where the linkage does not
/// close and where psi wraps from 180 to -180, and mu (the same on both branches, which are
/// mirror images). None for a linkage that does not move.
struct AngleChartLines {
    ChartLines psi1;
    ChartLines psi2;
    ChartLines mu;
};
AngleChartLines angleChartLines(const LinkageDimensions& dims, const LinkageAnalysis& analysis,
                                const AngleChartAxes& axes);

/// The rate chart: dpsi/dtheta and P's speed per radian of input, between bounds that hold
/// every finite sample of both and 0, stopped at +-4 (near a toggle the ratio runs off to
/// infinity and would leave nothing else to see), rounded out to whole steps of 1, 2 or 5 times
/// a power of ten, the smallest at least a quarter of the span.
class RateChartAxes : public ChartAxes {
public:
    RateChartAxes(const LinkageDimensions& dims, int width = chartWidth, int height = chartHeight);
    /// Given bounds, rounded out as above; bounds that are not finite or not in order are -1, 1.
    RateChartAxes(int width, int height, double low, double high);

    double step() const { return m_step; }
    /// The grid lines up the value axis, a step apart, with their texts (four significant
    /// digits; zero's line is "0").
    std::vector<ChartTick> valueTicks() const;

private:
    double m_step = 0.5;
};

/// The rate chart's curves, each broken where the linkage does not close, where a value is not
/// finite, and where the ratio goes through infinity at a toggle (from above the chart to below
/// it, or back); a value far off the chart is held at four spans beyond it, where the plot
/// area's clip cuts it. None for a linkage that does not move.
struct RateChartLines {
    ChartLines ratio1; ///< dpsi/dtheta on branch 1
    ChartLines ratio2; ///< dpsi/dtheta on branch 2
    ChartLines speed1; ///< |dP/dtheta| on branch 1
    ChartLines speed2; ///< |dP/dtheta| on branch 2
};
RateChartLines rateChartLines(const LinkageDimensions& dims, const LinkageAnalysis& analysis,
                              const RateChartAxes& axes);

/// The charts' words: the axes' titles, the legends' entries in order (each curve's, then the
/// limits' and the markers'), and the note shown over an empty chart.
struct ChartWords {
    std::string thetaTitle;
    std::array<std::string, 3> curves; ///< branch 1, branch 2, the third curve
    std::string limits;
    std::string markers;
};
ChartWords angleChartWords();
ChartWords rateChartWords();

} // namespace cyclar
