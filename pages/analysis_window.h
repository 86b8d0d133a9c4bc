// The Analysis window: the linkage's type and reasons, its limits, and a live angle chart.
#pragma once

#include "frame.h"
#include "linkage_analysis.h"

#include <QDialog>
#include <QImage>

class QLabel;

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

/// Non-modal, captioned "Analysis". Shows the analysis of the dimensions a page was built with
/// and follows that page's scene frame by frame.
class AnalysisWindow : public QDialog {
    Q_OBJECT
public:
    AnalysisWindow(const LinkageDimensions& dims, const SceneState& scene, QWidget* parent);

    /// Reads the pose the scene shows now and moves the markers to it.
    void followFrame();

    /// Shows the window (placed beside `pageFrame` the first time, never over the picture, whose
    /// right edge is at `pictureRight`), or raises it if it is shown already.
    void showBeside(const QRect& pageFrame, int pictureRight);

    const LinkageAnalysis& analysis() const { return m_analysis; }
    AnalysisPlot* plot = nullptr;

private:
    const SceneState& m_scene;
    LinkageAnalysis m_analysis;
    bool m_placed = false;
};

/// Where a window of `size` goes beside a page: to its right if it fits on the screen, else to
/// its left, else as far right as the screen allows but never left of the picture's right edge.
/// Vertically level with the page, kept on the screen.
QPoint placeBeside(const QRect& pageFrame, int pictureRight, const QSize& size, const QRect& screen);

} // namespace cyclar
