// Start-up: dialog look, bundled fonts and icon, the title page, and F1 for help.
#include "cyclar_app.h"

#include "animation_page.h"
#include "artwork.h"
#include "design_window.h"
#include "dialog_colours.h"
#include "dimensions_page.h"
#include "exercise.h"
#include "help_page.h"
#include "linkage_files.h"
#include "page.h"
#include "path_text.h"
#include "task_file.h"
#include "title_page.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>

#include <algorithm>

namespace cyclar {

QString executableBaseName()
{
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return name.isEmpty() ? QString::fromLatin1(fallbackApplicationName) : name;
}

CCyclarApp::CCyclarApp(QApplication& app) : QObject(nullptr), m_app(app) {}

void CCyclarApp::InitInstance()
{
    // No display name is set: the window system would append it to every caption.
    QCoreApplication::setApplicationName(executableBaseName());
    QCoreApplication::setApplicationVersion(QString::fromLatin1(applicationVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.cyclar.Cyclar"));
    QGuiApplication::setQuitOnLastWindowClosed(false); // the chain decides when the program ends
    applyDialogLook(m_app);
    initArtwork();
    QApplication::setFont(defaultTextFont());
    QApplication::setWindowIcon(mainIcon());
    m_app.installEventFilter(this);

    connect(&m_chain, &PageChain::finished, &m_app, &QCoreApplication::quit, Qt::QueuedConnection);
    if (!m_startFile.empty()) {
        const std::string_view suffix = taskFileSuffix;
        const std::string_view exerciseSuffix = exerciseFileSuffix;
        if (m_startFile.size() > suffix.size() && m_startFile.ends_with(suffix)) {
            startWithTask();
        } else if (m_startFile.size() > exerciseSuffix.size()
                   && m_startFile.ends_with(exerciseSuffix)) {
            startWithExercise();
        } else {
            startWithLinkage();
        }
        return;
    }
    m_chain.start(std::make_unique<CCyclarDlg>(m_state));
}

void CCyclarApp::startWithLinkage()
{
    const std::optional<LinkageFile> file = readLinkageFileOrSay(nullptr, m_startFile);
    if (!file) {
        m_chain.start(std::make_unique<CCyclarDlg>(m_state));
        return;
    }
    startOnLinkage(*file);
}

cyclar_animation* CCyclarApp::startOnLinkage(const LinkageFile& file)
{
    // The way a user would get there: the dimensions page takes the values (its range tests
    // and messages), and its Submit opens the animation page.
    continueFromTitle(m_state);
    auto dimensions = std::make_unique<cyclar1>(m_state);
    if (!dimensions->showLinkage(file, QString::fromStdString(displayPath(m_startFile)))) {
        m_chain.start(std::move(dimensions));
        return nullptr;
    }
    m_state.canvasWidth = 480;
    m_state.canvasHeight = 480;
    prepareCanvas(m_state.canvas, m_state.canvasWidth, m_state.canvasHeight);
    auto animation = std::make_unique<cyclar_animation>(m_state);
    cyclar_animation* page = animation.get();
    animation->applyLinkage(file); // its view and speed; the values have passed already
    m_chain.start(std::move(animation));
    return page;
}

void CCyclarApp::startWithTask()
{
    std::string error;
    const std::optional<DesignTask> task = readTaskFile(m_startFile, error);
    if (!task) {
        showFileMessage(nullptr, QString::fromStdString(displayPath(m_startFile)),
                        QString::fromStdString(error));
        m_chain.start(std::make_unique<CCyclarDlg>(m_state));
        return;
    }
    // The animation page of the task's first usable linkage, or of the starting linkage when it
    // has none, reached as opening a linkage file reaches it (so Back leads to its values),
    // with the Design window over it on the task, that linkage chosen.
    const DesignResult result = designLinkages(*task);
    const auto usable = std::find_if(result.candidates.begin(), result.candidates.end(),
                                     [](const DesignCandidate& c) { return c.usable(); });
    LinkageFile file;
    file.dimensions = usable != result.candidates.end() ? usable->dims : defaultDimensions;
    continueFromTitle(m_state);
    auto dimensions = std::make_unique<cyclar1>(m_state);
    if (!dimensions->showLinkage(file)) {
        m_chain.start(std::move(dimensions));
        return;
    }
    m_state.canvasWidth = 480;
    m_state.canvasHeight = 480;
    prepareCanvas(m_state.canvas, m_state.canvasWidth, m_state.canvasHeight);
    auto animation = std::make_unique<cyclar_animation>(m_state);
    animation->applyLinkage(file);
    cyclar_animation& page = *animation;
    m_chain.start(std::move(animation));
    page.OnShowDesign();
    page.designWindow->setTask(*task);
    page.designWindow->runDesign();
    if (usable != result.candidates.end()) {
        page.designWindow->chooseCandidate(static_cast<int>(usable - result.candidates.begin()));
    }
}

void CCyclarApp::startWithExercise()
{
    std::string error;
    const std::optional<ExerciseFile> exercise = readExerciseFile(m_startFile, error);
    const std::optional<std::string> problem =
        exercise ? unanswerableQuestion(*exercise) : std::nullopt;
    if (!exercise || problem) {
        showFileMessage(nullptr, QString::fromStdString(displayPath(m_startFile)),
                        QString::fromStdString(exercise ? *problem : error));
        m_chain.start(std::make_unique<CCyclarDlg>(m_state));
        return;
    }
    // The exercise's linkage as opening its linkage file would show it, with the Exercise window
    // over the page.
    LinkageFile file;
    file.dimensions = exercise->dimensions;
    if (cyclar_animation* page = startOnLinkage(file)) {
        page->showExercise(*exercise);
    }
}

int CCyclarApp::run()
{
    InitInstance();
    return QCoreApplication::exec();
}

bool CCyclarApp::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        // The page the key was typed on, whichever of its controls had the focus.
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* page = widget ? qobject_cast<Page*>(widget->window()) : nullptr;
        if (page && !page->isInputBlocked() && !qobject_cast<help*>(page)) {
            showHelp(page);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace cyclar
