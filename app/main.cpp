// cyclar: animation of spherical four-bar linkages.
#include "command_line.h"
#include "cyclar_app.h"
#include "standard_output.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// While the window system starts, Qt's notes are held back: should it fail to start, one line
// says why instead of Qt's page of advice and an abort; once it has started they are passed on.
struct StartNote {
    QtMsgType type;
    QByteArray category;
    QString message;
};
struct StartNotes {
    QtMessageHandler passOn = nullptr;
    std::vector<StartNote> held;
    std::string failureLine;
};
StartNotes& startNotes()
{
    static StartNotes notes; // touched only by the main thread while QApplication is made
    return notes;
}

void holdStartNote(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "cyclar: %s\n", startNotes().failureLine.c_str());
        std::fflush(stderr);
        std::_Exit(1);
    }
    startNotes().held.push_back({type, QByteArray(context.category), message});
}

std::unique_ptr<QApplication> startWindowSystem(int& argc, char** argv,
                                                const cyclar::CommandLine& line)
{
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    StartNotes& notes = startNotes();
    notes.failureLine =
        cyclar::noWindowsLine(line.platform.empty() ? variable("QT_QPA_PLATFORM") : line.platform,
                              variable("DISPLAY"), variable("WAYLAND_DISPLAY"));
    notes.passOn = qInstallMessageHandler(holdStartNote);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(notes.passOn);
    for (const StartNote& note : notes.held) {
        const QMessageLogContext context(nullptr, 0, nullptr, note.category.constData());
        qt_message_output(note.type, context, note.message);
    }
    notes.held.clear();
    return app;
}

} // namespace

int main(int argc, char* argv[])
{
    cyclar::holdStandardStreams();
    // --help and --version are answered before Qt looks for a display.
    const cyclar::CommandLine line =
        cyclar::parseCommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    switch (line.action) {
    case cyclar::CommandLine::Action::help:
    case cyclar::CommandLine::Action::version: {
        std::string error;
        const std::string text = line.action == cyclar::CommandLine::Action::help
                                     ? cyclar::cyclarUsage()
                                     : cyclar::cyclarVersionLine();
        if (!cyclar::finishStandardOutput(text, error)) {
            std::fprintf(stderr, "cyclar: could not write to standard output: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    case cyclar::CommandLine::Action::usageError:
        std::fprintf(stderr, "cyclar: %s\n%s", line.problem.c_str(), cyclar::cyclarUsage().c_str());
        return 2;
    case cyclar::CommandLine::Action::run:
        break;
    }

    const std::unique_ptr<QApplication> app = startWindowSystem(argc, argv, line);
    cyclar::CCyclarApp cyclarApp(*app);
    // `cyclar FILE.cyclar`, as a file manager starts it. The name goes to the file system as the
    // bytes it came as, whatever their encoding.
    if (!line.startFile.empty()) {
        cyclarApp.setStartFile(line.startFile);
    }
    return cyclarApp.run();
}
