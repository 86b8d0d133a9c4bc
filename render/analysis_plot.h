// The analysis chart drawn with QPainter: the core's geometry stroked, with the frame's markers.
#pragma once

#include "chart_geometry.h"
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
inline constexpr QSize analysisChartSize{chartWidth, chartHeight};

inline QPointF toQPointF(const ChartPoint& p)
{
    return {p.x, p.y};
}

inline QRectF toQRectF(const ChartArea& a)
{
    return {a.left, a.top, a.width, a.height};
}

/// A curve of the core's as the painter takes it.
using ChartPolylines = std::vector<std::vector<QPointF>>;
ChartPolylines toPolylines(const ChartLines& lines);

/// The angle chart's axes (chart_geometry.h) in the painter's types.
class AnalysisChartGeometry {
public:
    explicit AnalysisChartGeometry(QSize size) : m_axes(size.width(), size.height()) {}

    const AngleChartAxes& axes() const { return m_axes; }
    QRectF plotArea() const { return toQRectF(m_axes.area()); }
    QPointF point(double theta, double value) const
    {
        return toQPointF(m_axes.point(theta, value));
    }

private:
    AngleChartAxes m_axes;
};

/// The three curves of the chart in pixels: psi on branch 1, psi on branch 2, and mu.
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
