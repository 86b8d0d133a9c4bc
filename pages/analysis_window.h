// The Analysis window: the linkage's type and reasons, its limits, and a live angle chart.
#pragma once

#include "frame.h"
#include "linkage_analysis.h"
#include "rate_plot.h"

#include <QDialog>
#include <QImage>

class QLabel;
class QTabWidget;

namespace cyclar {

/// The chart, drawn once per linkage and kept, with the current frame's markers over it.
class AnalysisPlot : public QWidget {
    Q_OBJECT
public:
    AnalysisPlot(const LinkageDimensions& dims, QWidget* parent);

    /// Moves the markers to these angles (repainted at the next paint).
    void setAngles(const PoseAngles& angles);
    const PoseAngles& angles() const { return m_angles; }

    /// Everything but the markers, as drawn once.
    const QImage& chart() const { return m_chart; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_chart;
    PoseAngles m_angles;
};

/// The rate chart (velocity ratio and P's speed), drawn once per linkage and kept, with the
/// current frame's markers over it.
class RatePlot : public QWidget {
    Q_OBJECT
public:
    RatePlot(const LinkageDimensions& dims, QWidget* parent);

    /// Moves the markers to this frame's rates (repainted at the next paint).
    void setRates(const FrameRates& row);
    const FrameRates& rates() const { return m_row; }

    const RateChartGeometry& geometry() const { return m_geometry; }
    /// Everything but the markers, as drawn once.
    const QImage& chart() const { return m_chart; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RateChartGeometry m_geometry;
    QImage m_chart;
    FrameRates m_row;
};

/// The angles and rates of the pose a paint of the scene draws now.
FrameRates shownFrameRates(const SceneState& scene);

/// Non-modal, captioned "Analysis". Shows the analysis of the dimensions a page was built with
/// and follows that page's scene frame by frame.
class AnalysisWindow : public QDialog {
    Q_OBJECT
public:
    AnalysisWindow(const LinkageDimensions& dims, const SceneState& scene, QWidget* parent);

    /// Reads the pose the scene shows now and moves the markers to it; says which circuit is
    /// shown.
    void followFrame();

    /// Shows the window, or raises it if it is shown already. The first time it is placed by
    /// placeAnalysis beside `page` (whose picture is at `picture` on the screen), and the page
    /// is moved when it must be to make room; while another window (`shown`) stands beside the
    /// page, the three are arranged by arrangeBesidePage instead.
    void showBeside(QWidget& page, const QRect& picture, QWidget* shown = nullptr);

    const LinkageAnalysis& analysis() const { return m_analysis; }
    AnalysisPlot* plot = nullptr;
    /// "Angles" (the chart above, shown first) and "Rates" (ratePlot).
    QTabWidget* charts = nullptr;
    RatePlot* ratePlot = nullptr;
    /// How many circuits the linkage has and which is shown (for a linkage that moves).
    QLabel* circuits = nullptr;

private:
    const SceneState& m_scene;
    LinkageAnalysis m_analysis;
    int m_circuitCount = 1;
    bool m_placed = false;
};

/// Shows a window beside the page whose picture is at `picture` on the screen, placed by
/// placeAnalysis, and moves the page when it must to make room.
void showPlacedBeside(QWidget& window, QWidget& page, const QRect& picture);

/// Where the page and its Analysis window go: top-left corners of their frames.
struct AnalysisPlacement {
    QPoint page;
    QPoint window;
};

/// Places a window of `window` size beside the page whose frame is `pageFrame` and whose picture
/// is at `picture`, on `screen` (its available area), both wholly on the screen where they fit:
/// - side by side, level, whenever the screen is wide enough for both: the window right of the
///   page (or left, if the page needs moving less for that), the page moved only as far as it
///   must;
/// - else one above the other, likewise;
/// - else the page to one edge and the window to the opposite one, across or down, whichever
///   covers the less of the picture, then the less of the page.
/// The window never covers the page (its picture and its controls) unless the screen is too
/// small for both.
AnalysisPlacement placeAnalysis(const QRect& pageFrame, const QRect& picture, const QSize& window,
                                const QRect& screen);

} // namespace cyclar
