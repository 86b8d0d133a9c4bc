// The animation page: the moving linkage, its clock, the speed and view sliders.
#pragma once

#include "app_state.h"
#include "page.h"

#include <QPointer>

class QAction;
class QLineEdit;
class QMenu;

namespace cyclar {

class AnalysisWindow;
class BitmapButton;
class Trackbar;

/// Shows one frame of the scene; painting it composes the frame on the canvas.
class FramePicture : public QWidget {
    Q_OBJECT
public:
    FramePicture(AppState& state, QWidget* parent);

signals:
    /// A frame has just been painted (what follows the picture follows this).
    void painted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    AppState& m_state;
};

class cyclar_animation : public Page {
    Q_OBJECT
public:
    explicit cyclar_animation(AppState& state);

    void DoDataExchange(DataExchange& dx) override;
    void OnTimer(int id) override;

    void OnAnimate();
    void OnStop();
    void OnBack();
    void OnShowHelp();
    void OnSpeedReleased();
    void OnTurnReleased();
    void OnTiltReleased();

    /// Opens the Analysis window beside the page (F2, or the picture's menu); once open it is
    /// raised, never opened twice.
    void OnShowAnalysis();
    /// The picture's right-click menu: "Analysis…" (F2) first.
    void buildPictureMenu(QMenu& menu);

    static constexpr int clockTimer = 1;

    // Slider positions as last read by an exchange (or set by the page).
    int m_speedPos = 0;
    int m_turnPos = 0;
    int m_tiltPos = 0;

    // Controls, named after their ids.
    QLineEdit* IDC_a = nullptr;
    QLineEdit* IDC_b1 = nullptr;
    QLineEdit* IDC_c = nullptr;
    QLineEdit* IDC_f = nullptr;
    QLineEdit* IDC_h1 = nullptr;
    QLineEdit* IDC_k = nullptr;
    Trackbar* IDC_SLIDER1 = nullptr; ///< speed
    Trackbar* IDC_SLIDER2 = nullptr; ///< turn
    Trackbar* IDC_SLIDER3 = nullptr; ///< tilt
    BitmapButton* IDC_animate = nullptr;
    BitmapButton* IDC_stop = nullptr;
    BitmapButton* IDC_back = nullptr;
    BitmapButton* IDCANCEL_button = nullptr; ///< Exit
    BitmapButton* IDC_help = nullptr;
    FramePicture* picture = nullptr;

    QAction* analysisAction = nullptr; ///< "Analysis…", F2
    QPointer<AnalysisWindow> analysisWindow;

private:
    AppState& m_state;
    LinkageDimensions m_modelDims; ///< what the model was built from (the fields may change)
};

} // namespace cyclar
