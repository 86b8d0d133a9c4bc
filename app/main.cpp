// cyclar: animation of spherical four-bar linkages.
#include "command_line.h"
#include "cyclar_app.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    // --help and --version are answered before Qt looks for a display.
    const cyclar::CommandLine line =
        cyclar::parseCommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    switch (line.action) {
    case cyclar::CommandLine::Action::help:
        std::fputs(cyclar::cyclarUsage().c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    case cyclar::CommandLine::Action::version:
        std::fputs(cyclar::cyclarVersionLine().c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
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
