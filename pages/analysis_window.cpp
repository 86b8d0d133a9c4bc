// The Analysis window: texts from the linkage analysis, the cached chart and its moving markers.
#include "analysis_window.h"

#include "analysis_plot.h"
#include "analysis_text.h"
#include "artwork.h"
#include "circuit_map.h"
#include "window_placement.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace cyclar {

namespace {

QLabel* paragraph(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

AnalysisPlot::AnalysisPlot(const LinkageDimensions& dims, QWidget* parent)
    : QWidget(parent), m_chart(drawAnalysisChart(dims, analysisChartSize, defaultTextFont()))
{
    setAttribute(Qt::WA_OpaquePaintEvent); // the chart covers every pixel
    setFixedSize(analysisChartSize);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    m_angles = {nan, nan, nan, 0};
}

void AnalysisPlot::setAngles(const PoseAngles& angles)
{
    // Only the markers change from frame to frame: repaint where they were and where they go.
    update(analysisMarkerRegion(m_chart.size(), m_angles)
           + analysisMarkerRegion(m_chart.size(), angles));
    m_angles = angles;
}

void AnalysisPlot::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    paintAnalysisPlot(painter, m_chart, event->region(), m_angles);
}

namespace {

FrameRates noFrameRates()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    FrameRates row;
    row.angles = {nan, nan, nan, 0};
    row.rates.outputRate = nan;
    row.rates.pointSpeed = nan;
    return row;
}

} // namespace

RatePlot::RatePlot(const LinkageDimensions& dims, QWidget* parent)
    : QWidget(parent), m_geometry(dims, analysisChartSize),
      m_chart(drawRateChart(dims, m_geometry, defaultTextFont())), m_row(noFrameRates())
{
    setAttribute(Qt::WA_OpaquePaintEvent); // the chart covers every pixel
    setFixedSize(m_chart.size());
}

void RatePlot::setRates(const FrameRates& row)
{
    update(rateMarkerRegion(m_geometry, m_row) + rateMarkerRegion(m_geometry, row));
    m_row = row;
}

void RatePlot::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    for (const QRect& rect : event->region()) {
        painter.drawImage(rect, m_chart, rect);
    }
    painter.setClipRegion(event->region());
    drawRateMarkers(painter, m_geometry, m_row);
}

FrameRates shownFrameRates(const SceneState& scene)
{
    MotionSchedule schedule = scene.schedule;
    const PaintSchedule paint = beginPaint(scene.model, scene.animationCopy, schedule);
    const LinkagePose pose = paintedPose(paint, schedule);
    FrameRates row;
    row.frame = schedule.frameIndex;
    row.t = schedule.frameParameter;
    row.angles = poseAngles(paint.model, pose);
    row.rates = poseRates(paint.model, pose);
    row.P = pose.P;
    return row;
}

AnalysisWindow::AnalysisWindow(const LinkageDimensions& dims, const SceneState& scene,
                               QWidget* parent)
    : QDialog(parent), m_scene(scene), m_analysis(analyseLinkage(dims))
{
    setWindowTitle(QStringLiteral("Analysis"));
    setModal(false);
    setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    const LinkageAnalysis& r = m_analysis;

    // The core's paragraphs: the type in a larger bold face, the others as they are.
    for (const AnalysisParagraph& p : analysisParagraphs(r)) {
        auto* label = p.name == "type" ? new QLabel(QString::fromStdString(p.text), this)
                                       : paragraph(QString::fromStdString(p.text), this);
        if (p.name == "type") {
            QFont bold = label->font();
            bold.setBold(true);
            bold.setPointSizeF(bold.pointSizeF() * 1.25);
            label->setFont(bold);
        }
        label->setObjectName(QString::fromStdString(p.name));
        layout->addWidget(label);
    }
    // How many circuits, and which one is shown: it follows the picture's menu.
    if (r.assemblable) {
        m_circuitCount = circuitCount(buildLinkageModel(dims));
        circuits = paragraph(QString(), this);
        circuits->setObjectName(QStringLiteral("circuits"));
        layout->addWidget(circuits);
    }

    // The angle chart first and shown; the rates behind a tab of their own.
    charts = new QTabWidget(this);
    charts->setObjectName(QStringLiteral("charts"));
    plot = new AnalysisPlot(dims, charts);
    charts->addTab(plot, QStringLiteral("Angles"));
    ratePlot = new RatePlot(dims, charts);
    charts->addTab(ratePlot, QStringLiteral("Rates"));
    charts->setCurrentIndex(0);
    layout->addWidget(charts);
    // Texts wrap to the chart's width.
    for (QLabel* label : findChildren<QLabel*>()) {
        label->setFixedWidth(analysisChartSize.width());
    }
    followFrame();
}

void AnalysisWindow::followFrame()
{
    const FrameRates row = shownFrameRates(m_scene);
    plot->setAngles(row.angles);
    ratePlot->setRates(row);
    if (circuits) {
        const QString text = QString::fromStdString(
            circuitSentence(m_circuitCount, m_scene.schedule.motion.circuit));
        if (circuits->text() != text) {
            circuits->setText(text);
        }
    }
}

void AnalysisWindow::showBeside(QWidget& page, const QRect& picture, QWidget* shown)
{
    followFrame();
    if (!m_placed) {
        if (shown && shown->isVisible()) {
            showArrangedBeside(*this, page, picture, shown);
        } else {
            showPlacedBeside(*this, page, picture);
        }
        m_placed = true;
    } else {
        show();
    }
    raise();
    activateWindow();
}

void showPlacedBeside(QWidget& window, QWidget& page, const QRect& picture)
{
    window.adjustSize();
    const QRect pageFrame = page.frameGeometry();
    QScreen* screen = QGuiApplication::screenAt(pageFrame.center());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    const QRect area = screen ? screen->availableGeometry() : pageFrame;
    // The frame's margins are known only once shown; the size without them is close enough
    // for the first placement, which is corrected right after showing.
    window.move(placeAnalysis(pageFrame, picture, window.size(), area).window);
    window.show();
    const AnalysisPlacement place =
        placeAnalysis(pageFrame, picture, window.frameGeometry().size(), area);
    if (place.page != pageFrame.topLeft()) {
        page.move(place.page + (page.pos() - pageFrame.topLeft()));
    }
    window.move(place.window + (window.pos() - window.frameGeometry().topLeft()));
}

namespace {

// Where a span of `length` starting at `start` goes to lie within [low, high): moved no further
// than it must; at `low` when it is longer than the range.
int keepWithin(int start, int length, int low, int high)
{
    return std::max(low, std::min(start, high - length));
}

// The page at `before` (kept within [low, high)) and a window `gap` away on either side of it
// along one axis: the side that moves the page the less, after rather than before on a tie.
// Returns the page's start and the window's start; the range must hold both.
std::pair<int, int> alongside(int before, int pageLength, int windowLength, int gap, int low,
                              int high)
{
    const int page = keepWithin(before, pageLength, low, high);
    const int windowAfter = std::min(page, high - pageLength - gap - windowLength);
    const int windowBefore = std::max(page, low + windowLength + gap);
    if (std::abs(windowAfter - page) <= std::abs(windowBefore - page)) {
        return {windowAfter, windowAfter + pageLength + gap};
    }
    return {windowBefore, windowBefore - gap - windowLength};
}

int overlap(const QRect& a, const QRect& b)
{
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : both.width() * both.height();
}

} // namespace

AnalysisPlacement placeAnalysis(const QRect& pageFrame, const QRect& picture, const QSize& window,
                                const QRect& screen)
{
    constexpr int gap = 8;
    const int left = screen.left();
    const int right = screen.left() + screen.width();
    const int top = screen.top();
    const int bottom = screen.top() + screen.height();
    // The page wholly on the screen where it fits, moved no further than that.
    const QPoint page(keepWithin(pageFrame.left(), pageFrame.width(), left, right),
                      keepWithin(pageFrame.top(), pageFrame.height(), top, bottom));

    if (pageFrame.width() + gap + window.width() <= screen.width()) {
        const auto [pageX, windowX] =
            alongside(page.x(), pageFrame.width(), window.width(), gap, left, right);
        return {{pageX, page.y()}, {windowX, keepWithin(page.y(), window.height(), top, bottom)}};
    }
    if (pageFrame.height() + gap + window.height() <= screen.height()) {
        const auto [pageY, windowY] =
            alongside(page.y(), pageFrame.height(), window.height(), gap, top, bottom);
        return {{page.x(), pageY}, {keepWithin(page.x(), window.width(), left, right), windowY}};
    }
    // No room for both: opposite corners, the way that covers the less of the picture, then
    // the less of the page.
    const AnalysisPlacement across{{left, page.y()},
                                   {keepWithin(right - window.width(), window.width(), left, right),
                                    keepWithin(page.y(), window.height(), top, bottom)}};
    const AnalysisPlacement down{
        {page.x(), top},
        {keepWithin(page.x(), window.width(), left, right),
         keepWithin(bottom - window.height(), window.height(), top, bottom)}};
    const QPoint pictureOffset = picture.topLeft() - pageFrame.topLeft();
    const auto covered = [&](const AnalysisPlacement& place) {
        const QRect shown(place.window, window);
        return std::pair(overlap(QRect(place.page + pictureOffset, picture.size()), shown),
                         overlap(QRect(place.page, pageFrame.size()), shown));
    };
    return covered(down) < covered(across) ? down : across;
}

} // namespace cyclar
