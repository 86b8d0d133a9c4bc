// The animation page: building the scene, the clock's handlers, and the page's layout.
#include "animation_page.h"

#include "analysis_window.h"
#include "artwork.h"
#include "bitmap_button.h"
#include "design_window.h"
#include "dimensions_page.h"
#include "exercise_window.h"
#include "help_page.h"
#include "page_chain.h"
#include "page_layout.h"
#include "trackbar.h"
#include "window_placement.h"
#include "working_window.h"

#include <QAction>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>

#include <cmath>

namespace cyclar {

FramePicture::FramePicture(AppState& state, QWidget* parent) : QWidget(parent), m_state(state)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // the frame covers every pixel: no erasing first
    setFixedSize(480, 480);
}

void FramePicture::paintEvent(QPaintEvent*)
{
    if (!m_state.canvas) {
        // Only a page built without going through Submit lands here (as in tests).
        prepareCanvas(m_state.canvas, 480, 480);
    }
    // On a screen of more device pixels than logical ones the picture is drawn at that many
    // times the pixels (rounded up), and shown in the widget's logical size.
    FramePalette pens = m_state.pens;
    const double ratio = devicePixelRatioF();
    pens.scale = !(ratio > 1.0)            ? 1
                 : ratio < maxPictureScale ? static_cast<int>(std::ceil(ratio))
                                           : maxPictureScale;
    QPainter painter(this);
    renderFrame(
        *m_state.canvas, m_state.scene,
        [this, &painter](const QImage& frame) {
            if (frame.size() == size()) {
                painter.drawImage(0, 0, frame);
            } else {
                painter.drawImage(rect(), frame);
            }
        },
        pens);
    emit painted();
}

cyclar_animation::cyclar_animation(AppState& state)
    : m_state(state), m_page(state, state.canvasWidth > 0 ? state.canvasWidth : 480)
{
    setWindowTitle(QStringLiteral("Animation of Four-bar Linkages"));

    // Controls in template order (which is the tab order).
    picture = new FramePicture(state, this);
    picture->move(0, 0);
    const PageLayout layout(this, pageTemplate("animation"));
    IDC_SLIDER1 = layout.control<Trackbar>("IDC_SLIDER1");
    IDC_h1 = layout.control<QLineEdit>("IDC_h1");
    IDC_a = layout.control<QLineEdit>("IDC_a");
    IDC_back = layout.control<BitmapButton>("IDC_back");
    IDCANCEL_button = layout.control<BitmapButton>("IDCANCEL");
    IDC_animate = layout.control<BitmapButton>("IDC_animate");
    IDC_stop = layout.control<BitmapButton>("IDC_stop");
    IDC_c = layout.control<QLineEdit>("IDC_c");
    IDC_f = layout.control<QLineEdit>("IDC_f");
    IDC_k = layout.control<QLineEdit>("IDC_k");
    IDC_b1 = layout.control<QLineEdit>("IDC_b1");
    IDC_help = layout.control<BitmapButton>("IDC_help");
    IDC_SLIDER2 = layout.control<Trackbar>("IDC_SLIDER2");
    IDC_SLIDER3 = layout.control<Trackbar>("IDC_SLIDER3");
    // The template's own size, 747 x 476: the picture's last four rows, white below the sphere,
    // fall outside the page as they do where the template comes from.
    setFixedSize(layout.clientSize());

    onNotify(IDC_animate, [this] { OnAnimate(); });
    onNotify(IDC_stop, [this] { OnStop(); });
    onNotify(IDC_back, [this] { OnBack(); });
    onNotify(IDCANCEL_button, [this] { OnCancel(); });
    onNotify(IDC_help, [this] { OnShowHelp(); });
    onRelease(IDC_SLIDER1, [this] { OnSpeedReleased(); });
    onRelease(IDC_SLIDER2, [this] { OnTurnReleased(); });
    onRelease(IDC_SLIDER3, [this] { OnTiltReleased(); });

    // The clock stops with the page: an ended page never ticks again.
    connect(this, &Page::ended, this, [this] { KillTimer(clockTimer); });

    // The Analysis window: F2 and the picture's right-click menu, nothing in the layout.
    analysisAction = new QAction(QStringLiteral("Analysis\u2026"), this);
    analysisAction->setShortcut(Qt::Key_F2);
    addAction(analysisAction);
    connect(analysisAction, &QAction::triggered, this, &cyclar_animation::OnShowAnalysis);
    // The Design window likewise: F3 and the same menu.
    designAction = new QAction(QStringLiteral("Design\u2026"), this);
    designAction->setShortcut(Qt::Key_F3);
    addAction(designAction);
    connect(designAction, &QAction::triggered, this, &cyclar_animation::OnShowDesign);
    // The working likewise: F4 and the same menu.
    workingAction = new QAction(QStringLiteral("Show the working\u2026"), this);
    workingAction->setShortcut(Qt::Key_F4);
    addAction(workingAction);
    connect(workingAction, &QAction::triggered, this, &cyclar_animation::OnShowWorking);
    connect(this, &Page::ended, this, &cyclar_animation::closeWindows);
    // Files and exports join the same menu; the menu itself is set up there.
    setUpPictureMenu();
}

void cyclar_animation::OnShowAnalysis()
{
    if (!analysisWindow) {
        analysisWindow = new AnalysisWindow(m_page.modelDims(), m_state.scene, this);
        connect(picture, &FramePicture::painted, analysisWindow, &AnalysisWindow::followFrame);
    }
    analysisWindow->showBeside(*this, QRect(picture->mapToGlobal(QPoint(0, 0)), picture->size()),
                               designWindow);
}

void cyclar_animation::OnShowDesign()
{
    if (!designWindow) {
        designWindow = new DesignWindow(this);
        connect(designWindow, &DesignWindow::linkageChosen, this,
                [this](const LinkageFile& file) { showLinkage(file); });
        // Placed the first time beside the page and the Analysis window, all three on the
        // screen and none covering another where the screen has room, and tall enough to read.
        showArrangedBeside(*designWindow, *this,
                           QRect(picture->mapToGlobal(QPoint(0, 0)), picture->size()),
                           analysisWindow, designWindowMinimumHeight);
    }
    designWindow->show();
    designWindow->raise();
    designWindow->activateWindow();
}

std::array<QLineEdit*, 6> cyclar_animation::fields() const
{
    return {IDC_a, IDC_b1, IDC_c, IDC_f, IDC_h1, IDC_k};
}

void cyclar_animation::OnShowWorking()
{
    if (!workingAction->isEnabled()) {
        return;
    }
    if (!workingWindow) {
        workingWindow = new WorkingWindow(m_page.modelDims(), m_state.scene, this);
        connect(picture, &FramePicture::painted, workingWindow, &WorkingWindow::followFrame);
        showPlacedBeside(*workingWindow, *this,
                         QRect(picture->mapToGlobal(QPoint(0, 0)), picture->size()));
    }
    workingWindow->show();
    workingWindow->raise();
    workingWindow->activateWindow();
}

void cyclar_animation::closeWindows()
{
    // They belong to this page, which is ending or being left.
    for (QWidget* window : std::initializer_list<QWidget*>{analysisWindow, designWindow,
                                                           workingWindow, exerciseWindow}) {
        if (window) {
            window->close();
        }
    }
}

void cyclar_animation::DoDataExchange(DataExchange& dx)
{
    dx.page(m_page, fields(), {IDC_SLIDER1, IDC_SLIDER2, IDC_SLIDER3});
}

void cyclar_animation::runClock(const ClockOrder& order)
{
    switch (order.kind) {
    case ClockOrder::Kind::Start:
        SetTimer(clockTimer, order.periodMs);
        break;
    case ClockOrder::Kind::Stop:
        KillTimer(clockTimer);
        break;
    case ClockOrder::Kind::Keep:
        break;
    }
}

void cyclar_animation::OnTimer(int)
{
    m_page.tick();
    picture->repaint(); // painted before the tick is over
}

void cyclar_animation::OnAnimate()
{
    runClock(m_page.animate());
}

void cyclar_animation::OnStop()
{
    runClock(m_page.stop());
}

void cyclar_animation::OnSpeedReleased()
{
    UpdateData(true);
    runClock(m_page.speedReleased());
}

void cyclar_animation::OnTurnReleased()
{
    UpdateData(true);
    runClock(m_page.turnReleased());
}

void cyclar_animation::OnTiltReleased()
{
    UpdateData(true);
    runClock(m_page.tiltReleased());
}

void cyclar_animation::OnBack()
{
    runClock(m_page.back());
    closeWindows();
    UpdateData(true);
    auto next = std::make_unique<cyclar1>(m_state);
    m_state.chain.handOver(this, std::move(next));
}

void cyclar_animation::OnShowHelp()
{
    showHelp(this);
}

} // namespace cyclar
