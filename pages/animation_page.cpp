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

cyclar_animation::cyclar_animation(AppState& state) : m_state(state)
{
    setWindowTitle(QStringLiteral("Animation of Four-bar Linkages"));

    m_speedPos = 50;

    // The scene is built from the entry copy and follows it no further.
    SceneState& scene = state.scene;
    const int radiusWidth = state.canvasWidth > 0 ? state.canvasWidth : 480;
    // A new linkage starts on circuit 1; the input's pace stays as the last page left it.
    const bool evenInput = scene.schedule.motion.evenInput;
    scene = newScene(state.entryCopy, radiusWidth);
    scene.schedule.motion.evenInput = evenInput;
    m_modelDims = state.entryCopy;
    state.savedFrameIndex = 0;

    state.savedSpeedPos = 50;
    m_turnPos = 40;
    m_tiltPos = 40;
    scene.view.turn = sliderAngle(m_turnPos);
    scene.view.tilt = sliderAngle(m_tiltPos);

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
        analysisWindow = new AnalysisWindow(m_modelDims, m_state.scene, this);
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

void cyclar_animation::OnShowWorking()
{
    if (!workingAction->isEnabled()) {
        return;
    }
    if (!workingWindow) {
        workingWindow = new WorkingWindow(m_modelDims, m_state.scene, this);
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
    LinkageDimensions& d = m_state.scene.animationCopy;
    dx.slider(IDC_SLIDER1, m_speedPos);
    exchangeDimensions(dx, FieldPage::Animation, {IDC_a, IDC_b1, IDC_c, IDC_f, IDC_h1, IDC_k}, d);
    dx.slider(IDC_SLIDER2, m_turnPos);
    dx.slider(IDC_SLIDER3, m_tiltPos);
}

void cyclar_animation::OnTimer(int)
{
    advanceFrame(m_state.scene.schedule, m_state.scene.model);
    picture->repaint(); // painted before the tick is over
}

void cyclar_animation::OnAnimate()
{
    m_state.scene.schedule.frameIndex = m_state.savedFrameIndex;
    m_speedPos = m_state.savedSpeedPos;
    SetTimer(clockTimer, tickInterval(m_speedPos));
}

void cyclar_animation::OnStop()
{
    m_state.savedFrameIndex = m_state.scene.schedule.frameIndex;
    m_state.savedSpeedPos = m_speedPos;
    KillTimer(clockTimer);
}

void cyclar_animation::OnSpeedReleased()
{
    UpdateData(true);
    SetTimer(clockTimer, tickInterval(m_speedPos));
}

void cyclar_animation::OnTurnReleased()
{
    UpdateData(true);
    m_state.scene.view.turn = sliderAngle(m_turnPos);
    SetTimer(clockTimer, tickInterval(m_speedPos));
}

void cyclar_animation::OnTiltReleased()
{
    UpdateData(true);
    m_state.scene.view.tilt = sliderAngle(m_tiltPos);
    SetTimer(clockTimer, tickInterval(m_speedPos));
}

void cyclar_animation::OnBack()
{
    KillTimer(clockTimer);
    closeWindows();
    UpdateData(true);
    m_state.entryMode = 3;
    auto next = std::make_unique<cyclar1>(m_state);
    m_state.chain.handOver(this, std::move(next));
}

void cyclar_animation::OnShowHelp()
{
    showHelp(this);
}

} // namespace cyclar
