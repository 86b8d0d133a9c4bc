// cyclar: animation of spherical four-bar linkages.
#include "command_line.h"
#include "cyclar_app.h"
#include "standard_output.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

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
        std::fprintf(stderr, "cyclar: unknown option '%s'\n%s", line.unknown.c_str(),
                     cyclar::cyclarUsage().c_str());
        return 2;
    case cyclar::CommandLine::Action::run:
        break;
    }

    QApplication app(argc, argv);
    cyclar::CCyclarApp cyclarApp(app);
    // `cyclar FILE.cyclar`, as a file manager starts it. The name goes to the file system as the
    // bytes it came as, whatever their encoding.
    if (!line.startFile.empty()) {
        cyclarApp.setStartFile(line.startFile);
    }
    return cyclarApp.run();
}
