// The rate chart: the velocity ratio and the coupler point's speed over the input angle.
#pragma once

#include "analysis_plot.h"
#include "linkage_rates.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QRegion>
#include <QSize>

namespace cyclar {

/// The rate chart's axes (chart_geometry.h) in the painter's types: theta from -180 (left) to
/// 180 (right) across the plot area, the value from low() (bottom) to high() (top) up it, with a
/// grid line every step().
class RateChartGeometry {
public:
    /// Bounds that hold the linkage's curves, rounded out to whole steps; near a toggle, where
    /// the ratio runs off to infinity, the axis stops at +-4 and the curve leaves the chart.
    RateChartGeometry(const LinkageDimensions& dims, QSize size)
        : m_axes(dims, size.width(), size.height())
    {
    }
    RateChartGeometry(QSize size, double low, double high)
        : m_axes(size.width(), size.height(), low, high)
    {
    }

    const RateChartAxes& axes() const { return m_axes; }
    QRectF plotArea() const { return toQRectF(m_axes.area()); }
    double low() const { return m_axes.low(); }
    double high() const { return m_axes.high(); }
    double step() const { return m_axes.step(); }
    /// The pixel position of (theta in degrees, value); outside the bounds it lies outside the
    /// plot area (the chart clips its curves there).
    QPointF point(double theta, double value) const
    {
        return toQPointF(m_axes.point(theta, value));
    }

private:
    RateChartAxes m_axes;
};

/// The chart's four curves in pixels, each broken where the linkage does not close or a value
/// is not finite.
struct RateChartCurves {
    ChartPolylines ratio1; ///< dpsi/dtheta on branch 1
    ChartPolylines ratio2; ///< dpsi/dtheta on branch 2
    ChartPolylines speed1; ///< |dP/dtheta| on branch 1
    ChartPolylines speed2; ///< |dP/dtheta| on branch 2
};
RateChartCurves rateChartCurves(const LinkageDimensions& dims, const LinkageAnalysis& analysis,
                                const RateChartGeometry& geometry);

/// The chart without markers, drawn as the analysis chart is: axes, grid, legend, the curves
/// (branch 1 solid, branch 2 dashed) and the input limits. Antialiased, on white.
QImage drawRateChart(const LinkageDimensions& dims, const RateChartGeometry& geometry,
                     const QFont& font);
QImage drawRateChart(const LinkageDimensions& dims, QSize size, const QFont& font);

/// A frame's markers: a disc at (theta, dpsi/dtheta) and a square at (theta, speed of P).
/// Nothing is drawn for a value that is not finite.
void drawRateMarkers(QPainter& painter, const RateChartGeometry& geometry, const FrameRates& row);

/// The pixels those markers cover (antialiased edges included); empty when none is drawn.
QRegion rateMarkerRegion(const RateChartGeometry& geometry, const FrameRates& row);

} // namespace cyclar
