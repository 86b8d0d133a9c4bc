// The animation page: the moving linkage, its clock, the speed and view sliders.
#pragma once

#include "app_state.h"
#include "linkage_file.h"
#include "page.h"
#include "picture_export.h"

#include <QPointer>

#include <array>

class QAction;
class QLineEdit;
class QMenu;

namespace cyclar {

class AnalysisWindow;
class DesignWindow;
class ExerciseWindow;
class WorkingWindow;
struct ExerciseFile;
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
    /// Opens the Design window (F3, or the picture's menu), or raises it when it is open; its
    /// "Use this linkage" shows the candidate here as opening a linkage file would.
    void OnShowDesign();
    /// Opens the working window (F4, or the picture's menu), following the frame, or raises it;
    /// greyed out while an exercise on this linkage forbids the working.
    void OnShowWorking();
    /// Asks for an exercise file and opens it (see openExerciseFrom).
    void OnOpenExercise();
    /// Reads an exercise file, shows its linkage here as opening a linkage file would, and opens
    /// the Exercise window on it; a file that cannot be read, or that asks a question without an
    /// answer, gets a message naming it and changes nothing.
    bool openExerciseFrom(const QString& path);
    bool showExercise(const ExerciseFile& exercise);

    // Linkage files and exports, from the picture's right-click menu (Ctrl+S and Ctrl+O also
    // work anywhere on the page). Each On... asks for a file name, then calls its ...To.
    void OnSaveLinkage();
    void OnOpenLinkage();
    void OnExportPicture();
    void OnExportAnimation();
    /// Saves the linkage as the page holds it after a saving exchange (which must pass), with
    /// the view shown and the speed slider's position.
    bool saveLinkageTo(const QString& path);
    bool openLinkageFrom(const QString& path);
    /// The frame on screen, as PNG or SVG by the name's extension.
    bool exportPictureTo(const QString& path);
    /// One whole cycle as an animated GIF, with a progress window that can cancel.
    bool exportAnimationTo(const QString& path);
    /// Shows `file` as a page built from it would (frame 1, clock still, the file's view and
    /// speed), once its dimensions pass the page's own range tests and then the dimensions
    /// page's (no link longer than the other three together); when one fails, nothing changes
    /// and it is said: naming `source` (the file's path) and the field, or with the page's own
    /// message when there is no source.
    bool showLinkage(const LinkageFile& file, const QString& source = QString());
    /// What showLinkage does once the dimensions have passed: no test, no message.
    void applyLinkage(const LinkageFile& file);
    /// Turns the rotation-axis drawing on or off and repaints.
    void setRotationAxisShown(bool shown);
    /// Shows the circuit and pace chosen from the frame the clock stands on (circuit 2 of a
    /// linkage with one circuit is circuit 1), sets the menu's checks and repaints.
    void setMotion(const MotionChoice& motion);
    /// The picture's right-click menu: "Analysis…" (F2), "Design…" (F3), "Show rotation
    /// axis", "Other circuit" and "Turn the input evenly" first, then the files and exports.
    void buildPictureMenu(QMenu& menu);

    static constexpr int clockTimer = 1;

    /// The page's own state in the core: its sliders as last read by an exchange (m_speedPos,
    /// m_turnPos, m_tiltPos) and the dimensions its model was built with.
    const AnimationPageState& pageState() const { return m_page; }

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
    QAction* saveLinkageAction = nullptr;
    QAction* openLinkageAction = nullptr;
    QAction* exportPictureAction = nullptr;
    QAction* exportAnimationAction = nullptr;

    QAction* analysisAction = nullptr; ///< "Analysis…", F2
    /// "Show rotation axis", checkable, off by default: the coupler's pole, the fixed polode
    /// and P's velocity over the picture (and in its exports); kept in linkage files.
    QAction* rotationAxisAction = nullptr;
    /// "Other circuit", checkable, checked while circuit 2 is shown: the linkage's other
    /// assembly. Greyed out for a linkage with one circuit. Kept in linkage files.
    QAction* otherCircuitAction = nullptr;
    /// "Turn the input evenly", checkable, off by default: the input angle changes by the same
    /// amount every frame. Kept in linkage files and by the next animation page.
    QAction* evenInputAction = nullptr;
    QPointer<AnalysisWindow> analysisWindow;
    QAction* designAction = nullptr; ///< "Design…", F3
    QPointer<DesignWindow> designWindow;
    QAction* workingAction = nullptr; ///< "Show the working…", F4
    QPointer<WorkingWindow> workingWindow;
    QAction* openExerciseAction = nullptr; ///< "Open exercise…"
    QPointer<ExerciseWindow> exerciseWindow;

private:
    void setUpPictureMenu();
    /// Does what the page state asks of the clock (timer 1).
    void runClock(const ClockOrder& order);
    std::array<QLineEdit*, 6> fields() const;
    /// The working may be shown unless an open exercise on the page's linkage forbids it.
    void updateWorkingAllowed();
    void closeWindows();

    AppState& m_state;
    AnimationPageState m_page;
};

} // namespace cyclar
