// The animation page: building the scene, the clock's handlers, and the page's layout.
#include "animation_page.h"

#include "analysis_window.h"
#include "artwork.h"
#include "bitmap_button.h"
#include "dimensions_page.h"
#include "help_page.h"
#include "page_chain.h"
#include "page_layout.h"
#include "trackbar.h"

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
        prepareCanvas(m_state.canvas, 480, 480, QGuiApplication::font());
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
    scene = newScene(state.entryCopy, radiusWidth);
    m_modelDims = state.entryCopy;
    state.savedFrameIndex = 0;

    state.savedSpeedPos = 50;
    m_turnPos = 40;
    m_tiltPos = 40;
    scene.view.turn = sliderAngle(m_turnPos);
    scene.view.tilt = sliderAngle(m_tiltPos);

    // Controls in template order (which is the tab order).
    PageLayout layout(this, TemplateFont::Tahoma8);
    picture = new FramePicture(state, this);
    picture->move(0, 0);
    IDC_SLIDER1 = layout.trackbar(358, 202, 101, 17);
    IDC_h1 = layout.edit(339, 103, 36, 15);
    IDC_a = layout.edit(339, 10, 35, 15);
    IDC_back = layout.bitmapButton(346, 247, 139);
    IDCANCEL_button = layout.bitmapButton(432, 247, 140);
    IDC_animate = layout.bitmapButton(336, 227, 141);
    IDC_stop = layout.bitmapButton(432, 227, 142);
    IDC_c = layout.edit(339, 56, 35, 15);
    IDC_f = layout.edit(339, 79, 36, 15);
    IDC_k = layout.edit(339, 127, 36, 15);
    IDC_b1 = layout.edit(339, 33, 35, 14);
    layout.centredText(333, 203, 20, 14, QStringLiteral("Slow"));
    layout.centredText(464, 203, 19, 14, QStringLiteral("Fast"));
    layout.text(379, 8, 72, 17, QStringLiteral("The length of left link (a)"));
    layout.text(379, 32, 72, 17, QStringLiteral("The length of right link (b)"));
    layout.text(379, 55, 81, 17, QStringLiteral("The length of coupler link (c)"));
    layout.text(379, 79, 81, 17, QStringLiteral("The length of ground link (f)"));
    layout.text(380, 102, 106, 17,
                QStringLiteral("The radial length of coupler point on coupler sphere (h)"));
    layout.text(380, 126, 106, 17,
                QStringLiteral("The angular position of coupler point on coupler sphere (k)"));
    IDC_help = layout.bitmapButton(379, 267, 166);
    IDC_SLIDER2 = layout.trackbar(358, 153, 101, 18);
    IDC_SLIDER3 = layout.trackbar(358, 177, 101, 18);
    layout.centredText(334, 157, 17, 9, QStringLiteral("Left"), false);
    layout.centredText(464, 157, 20, 11, QStringLiteral("Right"));
    layout.centredText(333, 180, 22, 12, QStringLiteral("Down"));
    layout.centredText(465, 180, 12, 12, QStringLiteral("Up"));
    // The template's own size, 747 x 476: the picture's last four rows, white below the sphere,
    // fall outside the page as they do where the template comes from.
    setFixedSize(layout.clientSize(498, 293));

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
    connect(this, &Page::ended, this, [this] {
        if (analysisWindow) {
            analysisWindow->close();
        }
    });
    // Files and exports join the same menu; the menu itself is set up there.
    setUpPictureMenu();
}

void cyclar_animation::OnShowAnalysis()
{
    if (!analysisWindow) {
        analysisWindow = new AnalysisWindow(m_modelDims, m_state.scene, this);
        connect(picture, &FramePicture::painted, analysisWindow, &AnalysisWindow::followFrame);
    }
    analysisWindow->showBeside(frameGeometry(), picture->mapToGlobal(QPoint(picture->width(), 0)).x());
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
    if (analysisWindow) {
        analysisWindow->close(); // it belongs to this page, which is being left
    }
    UpdateData(true);
    m_state.entryMode = 3;
    auto next = std::make_unique<cyclar1>(m_state);
    m_state.chain.handOver(this, std::move(next));
}

void cyclar_animation::OnShowHelp() { showHelp(this); }

} // namespace cyclar
