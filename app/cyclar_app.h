// The application: its look, its state, and the run of the page chain from the title page.
#pragma once

#include "app_state.h"
#include "page_chain.h"

#include <QFile>
#include <QObject>
#include <QString>

#include <string>

class QApplication;

namespace cyclar {

/// Starts the program on its title page and ends it when the last page of the chain has ended.
/// F1 opens the help page over the page in front.
class cyclar_animation;
struct LinkageFile;

class CCyclarApp : public QObject {
    Q_OBJECT
public:
    explicit CCyclarApp(QApplication& app);

    /// Sets the look and shows the title page (or, given a start file, that linkage's animation
    /// page); the program then runs until the chain is empty.
    void InitInstance();
    /// A linkage file to start on (`cyclar FILE.cyclar`): its animation page, whose Back leads
    /// to its dimensions page. A file that cannot be opened is reported and the program starts
    /// as usual; dimensions the dimensions page would refuse get its message there.
    /// A task file (its name ends in .cyclar-task) opens the Design window on it instead.
    /// The file to start on, as the system's bytes (from argv, unchanged).
    void setStartFile(std::string path) { m_startFile = std::move(path); }
    void setStartFile(const QString& path) { m_startFile = QFile::encodeName(path).toStdString(); }
    int run();

    AppState& state() { return m_state; }
    PageChain& chain() { return m_chain; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startWithLinkage();
    /// A task file to start on (`cyclar FILE.cyclar-task`): the Design window on it.
    void startWithTask();
    /// An exercise file: its linkage on the animation page and the Exercise window over it.
    void startWithExercise();
    /// The linkage's animation page, as opening its file shows it; null when a value is refused
    /// (its dimensions page is shown then, with the message).
    cyclar_animation* startOnLinkage(const LinkageFile& file);

    QApplication& m_app;
    std::string m_startFile;
    PageChain m_chain;
    AppState m_state{m_chain};
};

/// The application's name, which captions its message boxes: the executable's file name without
/// its extension, so a renamed copy goes by its new name. The fallback serves a file name that is
/// all extension (or a path that cannot be found).
QString executableBaseName();
inline constexpr const char* fallbackApplicationName = "cyclar";

/// The version the program reports.
inline constexpr const char* applicationVersion = "1.0.0.1";

} // namespace cyclar
