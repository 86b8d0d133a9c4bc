// The analysis chart: output and transmission angle over the input angle, with the frame's markers.
#pragma once

#include "linkage_analysis.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QRegion>
#include <QSize>

#include <vector>

namespace cyclar {

/// The chart's size in the Analysis window and in cyclar-export's plot.
inline constexpr QSize analysisChartSize{440, 320};

/// Where the chart puts an angle: theta from -180 (left) to 180 (right) across the plot area,
/// psi or mu from -180 (bottom) to 180 (top) up it.
class AnalysisChartGeometry {
public:
    explicit AnalysisChartGeometry(QSize size);

    QRectF plotArea() const { return m_area; }
    /// The pixel position of (theta, value) in degrees; a value outside the axes lies outside
    /// the plot area.
    QPointF point(double theta, double value) const;

private:
    QRectF m_area;
};

/// The input angles a chart's curves are sampled at: every half degree from -180 to 180, and
/// each input limit (both signs), where the two branches meet.
std::vector<double> chartInputs(const LinkageAnalysis& analysis);

/// One curve as polylines: broken where the linkage does not close and where psi wraps round.
using ChartPolylines = std::vector<std::vector<QPointF>>;

/// The three curves of the chart in pixels: psi on branch 1, psi on branch 2, and mu (which is
/// the same on both branches: they are mirror images).
struct ChartCurves {
    ChartPolylines psi1;
    ChartPolylines psi2;
    ChartPolylines mu;
};
ChartCurves chartCurves(const LinkageDimensions& dims, const LinkageAnalysis& analysis,
                        const AnalysisChartGeometry& geometry);

/// The chart without markers: axes with degree ticks, grid, legend, the curves (branch 1 solid,
/// branch 2 dashed) and the input limits as vertical lines. Antialiased, on white.
QImage drawAnalysisChart(const LinkageDimensions& dims, QSize size, const QFont& font);

/// The current frame's markers on a chart of the given size: a disc at (theta, psi) and a square
/// at (theta, mu). Nothing is drawn for a pose that is not finite.
void drawAnalysisMarkers(QPainter& painter, QSize size, const PoseAngles& angles);

/// The pixels the markers of these angles cover (antialiased edges included): what a tick has
/// to repaint where they were and where they go. Empty for a pose that is not finite.
QRegion analysisMarkerRegion(QSize size, const PoseAngles& angles);

/// One paint of the chart's picture: the cached chart within `dirty`, then the markers.
void paintAnalysisPlot(QPainter& painter, const QImage& chart, const QRegion& dirty,
                       const PoseAngles& angles);

} // namespace cyclar
