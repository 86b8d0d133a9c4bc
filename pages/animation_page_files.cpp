// The animation page's linkage files and exports: its picture menu, saving and opening
// linkages, and the frame or the whole cycle as a picture.
#include "animation_page.h"

#include "analysis_window.h"
#include "exercise_window.h"
#include "linkage_files.h"
#include "svg_export.h"
#include "working_window.h"

#include "exercise.h"
#include "path_text.h"

#include <QAction>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QProgressDialog>

#include <algorithm>
#include <cmath>

namespace cyclar {

namespace {

// A view angle as a file holds it. The page's angles are always whole degrees within -90..90;
// anything else (which cannot happen) is brought into that range rather than converted blind.
int wholeDegrees(double angle)
{
    if (!std::isfinite(angle)) {
        return 0;
    }
    return static_cast<int>(std::clamp(std::round(angle), -90.0, 90.0));
}

QAction* pageAction(Page* page, const QString& text, const QKeySequence& keys = {})
{
    auto* action = new QAction(text, page);
    action->setShortcut(keys);
    page->addAction(action); // its shortcut works wherever the focus is on the page
    return action;
}

} // namespace

void cyclar_animation::setUpPictureMenu()
{
    saveLinkageAction =
        pageAction(this, QStringLiteral("Save linkage…"), QKeySequence(Qt::CTRL | Qt::Key_S));
    openLinkageAction =
        pageAction(this, QStringLiteral("Open linkage…"), QKeySequence(Qt::CTRL | Qt::Key_O));
    exportPictureAction = pageAction(this, QStringLiteral("Export picture…"));
    exportAnimationAction = pageAction(this, QStringLiteral("Export animation…"));
    openExerciseAction = pageAction(this, QStringLiteral("Open exercise…"));
    connect(openExerciseAction, &QAction::triggered, this, &cyclar_animation::OnOpenExercise);
    rotationAxisAction = pageAction(this, QStringLiteral("Show rotation axis"));
    rotationAxisAction->setCheckable(true);
    rotationAxisAction->setChecked(m_state.pens.rotationAxis);
    connect(rotationAxisAction, &QAction::toggled, this, &cyclar_animation::setRotationAxisShown);
    otherCircuitAction = pageAction(this, QStringLiteral("Other circuit"));
    otherCircuitAction->setCheckable(true);
    connect(otherCircuitAction, &QAction::triggered, this, [this](bool checked) {
        setMotion({checked ? 2 : 1, m_state.scene.schedule.motion.evenInput});
    });
    evenInputAction = pageAction(this, QStringLiteral("Turn the input evenly"));
    evenInputAction->setCheckable(true);
    connect(evenInputAction, &QAction::triggered, this, [this](bool checked) {
        setMotion({m_state.scene.schedule.motion.circuit, checked});
    });
    setMotion(m_state.scene.schedule.motion);
    connect(saveLinkageAction, &QAction::triggered, this, &cyclar_animation::OnSaveLinkage);
    connect(openLinkageAction, &QAction::triggered, this, &cyclar_animation::OnOpenLinkage);
    connect(exportPictureAction, &QAction::triggered, this, &cyclar_animation::OnExportPicture);
    connect(exportAnimationAction, &QAction::triggered, this, &cyclar_animation::OnExportAnimation);

    picture->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(picture, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        buildPictureMenu(menu);
        menu.exec(picture->mapToGlobal(at));
    });
}

void cyclar_animation::buildPictureMenu(QMenu& menu)
{
    menu.addAction(analysisAction);
    menu.addAction(designAction);
    menu.addAction(workingAction);
    menu.addAction(rotationAxisAction);
    menu.addAction(otherCircuitAction);
    menu.addAction(evenInputAction);
    menu.addSeparator();
    menu.addAction(saveLinkageAction);
    menu.addAction(openLinkageAction);
    menu.addAction(exportPictureAction);
    menu.addAction(exportAnimationAction);
    menu.addSeparator();
    menu.addAction(openExerciseAction);
}

void cyclar_animation::setRotationAxisShown(bool shown)
{
    m_state.pens.rotationAxis = shown;
    if (rotationAxisAction->isChecked() != shown) {
        rotationAxisAction->setChecked(shown);
    }
    picture->update();
}

void cyclar_animation::setMotion(const MotionChoice& motion)
{
    SceneState& scene = m_state.scene;
    setMotionChoice(scene.schedule, scene.model, motion);
    otherCircuitAction->setEnabled(circuitCount(scene.model) == 2);
    otherCircuitAction->setChecked(scene.schedule.motion.circuit == 2);
    evenInputAction->setChecked(scene.schedule.motion.evenInput);
    picture->update();
    if (analysisWindow) {
        analysisWindow->followFrame();
    }
}

void cyclar_animation::OnSaveLinkage()
{
    const QString path = askSavePath(this, QStringLiteral("Save linkage"),
                                     QStringLiteral("cyclar linkages (*.cyclar)"));
    if (!path.isEmpty()) {
        saveLinkageTo(path);
    }
}

void cyclar_animation::OnOpenLinkage()
{
    const QString path = askOpenLinkagePath(this);
    if (!path.isEmpty()) {
        openLinkageFrom(path);
    }
}

void cyclar_animation::OnExportPicture()
{
    const QString path = askSavePath(this, QStringLiteral("Export picture"),
                                     QStringLiteral("PNG picture (*.png);;SVG drawing (*.svg)"));
    if (!path.isEmpty()) {
        exportPictureTo(path);
    }
}

void cyclar_animation::OnExportAnimation()
{
    const QString path = askSavePath(this, QStringLiteral("Export animation"),
                                     QStringLiteral("GIF animation (*.gif)"));
    if (!path.isEmpty()) {
        exportAnimationTo(path);
    }
}

bool cyclar_animation::saveLinkageTo(const QString& path)
{
    // What is saved is what the page would go on with: typed values included, and checked.
    if (!UpdateData(true)) {
        return false;
    }
    LinkageFile file;
    file.dimensions = m_state.scene.animationCopy;
    file.view = FileView{wholeDegrees(m_state.scene.view.turn),
                         wholeDegrees(m_state.scene.view.tilt), m_state.pens.rotationAxis};
    file.speed = m_page.m_speedPos;
    file.motion = m_state.scene.schedule.motion;
    std::string error;
    if (!writeLinkageFile(systemPath(path), file, error)) {
        showWriteFailure(this, QString::fromStdString(error));
        return false;
    }
    return true;
}

bool cyclar_animation::openLinkageFrom(const QString& path)
{
    const std::optional<LinkageFile> file = readLinkageFileOrSay(this, path);
    return file && showLinkage(*file, path);
}

bool cyclar_animation::showLinkage(const LinkageFile& file, const QString& source)
{
    // The page's own ranges, then the dimensions page's: a link longer than the other three
    // together never closes, and the page would show an empty sphere.
    if (!acceptHeldValues(this, {IDC_a, IDC_b1, IDC_c, IDC_f, IDC_h1, IDC_k},
                          {FieldPage::Animation, FieldPage::Dimensions}, file.dimensions, source)) {
        return false;
    }
    applyLinkage(file);
    return true;
}

void cyclar_animation::applyLinkage(const LinkageFile& file)
{
    runClock(m_page.showLinkage(file));
    setRotationAxisShown(m_state.pens.rotationAxis);
    setMotion(m_state.scene.schedule.motion); // the menu's checks and the Analysis window
    UpdateData(false);
    picture->update();
    // An open Analysis window shows the opened linkage, where it stood.
    if (analysisWindow) {
        const bool shown = analysisWindow->isVisible();
        const QRect where = analysisWindow->geometry();
        delete analysisWindow.data();
        if (shown) {
            OnShowAnalysis();
            analysisWindow->setGeometry(where);
        }
    }
    // So does an open working window, following the frame again.
    if (workingWindow) {
        const bool shown = workingWindow->isVisible();
        const QRect where = workingWindow->geometry();
        delete workingWindow.data();
        updateWorkingAllowed();
        if (shown && workingAction->isEnabled()) {
            OnShowWorking();
            workingWindow->setGeometry(where);
        }
    }
    updateWorkingAllowed();
}

void cyclar_animation::OnOpenExercise()
{
    const QString path = askOpenPath(this, QStringLiteral("Open exercise"),
                                     QStringLiteral("cyclar exercises (*.cyclar-exercise)"));
    if (!path.isEmpty()) {
        openExerciseFrom(path);
    }
}

bool cyclar_animation::openExerciseFrom(const QString& path)
{
    std::string error;
    const std::optional<ExerciseFile> exercise = readExerciseFile(systemPath(path), error);
    if (!exercise) {
        showFileMessage(this, path, QString::fromStdString(error));
        return false;
    }
    if (const std::optional<std::string> problem = unanswerableQuestion(*exercise)) {
        showFileMessage(this, path, QString::fromStdString(*problem));
        return false;
    }
    return showExercise(*exercise);
}

bool cyclar_animation::showExercise(const ExerciseFile& exercise)
{
    LinkageFile file;
    file.dimensions = exercise.dimensions;
    if (!showLinkage(file)) {
        return false;
    }
    if (exerciseWindow) {
        delete exerciseWindow.data();
    }
    exerciseWindow = new ExerciseWindow(exercise, this);
    exerciseWindow->setAttribute(Qt::WA_DeleteOnClose);
    connect(exerciseWindow, &QDialog::finished, this, &cyclar_animation::updateWorkingAllowed);
    connect(exerciseWindow, &ExerciseWindow::workingWanted, this, [this](double theta, int branch) {
        OnShowWorking();
        if (workingWindow) {
            workingWindow->holdInput(theta, branch);
        }
    });
    showPlacedBeside(*exerciseWindow, *this,
                     QRect(picture->mapToGlobal(QPoint(0, 0)), picture->size()));
    exerciseWindow->show();
    exerciseWindow->raise();
    updateWorkingAllowed(); // now that it is shown
    return true;
}

void cyclar_animation::updateWorkingAllowed()
{
    const bool forbidden = exerciseWindow && exerciseWindow->isVisible()
                           && !exerciseWindow->exercise().showWorking
                           && exerciseWindow->exercise().dimensions == m_page.modelDims();
    workingAction->setEnabled(!forbidden);
    if (forbidden && workingWindow) {
        workingWindow->close();
    }
}

bool cyclar_animation::exportPictureTo(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    QString error;
    bool written = false;
    if (suffix == QLatin1String("png")) {
        written = writePng(renderCurrentPicture(m_state.scene, m_state.pens), path, error);
    } else if (suffix == QLatin1String("svg")) {
        written = writeSvg(path, m_state.scene, m_state.pens, error);
    } else {
        error = writeFailure(path, QStringLiteral("the file name must end in .png or .svg"));
    }
    if (!written) {
        showWriteFailure(this, error);
    }
    return written;
}

bool cyclar_animation::exportAnimationTo(const QString& path)
{
    const int frames = m_state.scene.schedule.framesPerCycle;
    QProgressDialog progress(QStringLiteral("Drawing the animation's %1 frames…").arg(frames),
                             QStringLiteral("Cancel"), 0, frames, this);
    progress.setWindowTitle(QStringLiteral("Export animation"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setValue(0);
    QString error;
    const bool written = writeCycleGif(
        path, m_state.scene, m_state.pens, gifFrameDelay(m_page.m_speedPos),
        [&progress](int done, int) {
            progress.setValue(done);
            return !progress.wasCanceled();
        },
        error);
    const bool cancelled = progress.wasCanceled();
    progress.reset();
    if (!written && !cancelled) {
        showWriteFailure(this, error);
    }
    return written;
}

} // namespace cyclar
