// What `cyclar` is asked to do by its arguments, decided before any window system is touched:
// --help and --version answer on stdout and need no display.
#pragma once

#include <string>
#include <vector>

namespace cyclar {

struct CommandLine {
    enum class Action { run, help, version, usageError };
    Action action = Action::run;
    std::string startFile; ///< the linkage file to open, when one is given
    std::string
        problem; ///< what is wrong (usageError): "unknown option '--frame'" (after "cyclar: ")
    std::string platform; ///< the window system asked for with -platform, when it is
};

/// Reads the arguments (without the program's name). Qt's own options (-platform, -style...)
/// are left for Qt; "--" ends the options, so a file whose name starts with '-' can be opened.
/// The program opens one file: a second is a usage error (--help and --version still answer).
CommandLine parseCommandLine(const std::vector<std::string>& args);

/// The line said (after "cyclar: ") when no window can be opened: from the window system asked
/// for (-platform or QT_QPA_PLATFORM; empty when none is) and the DISPLAY and WAYLAND_DISPLAY
/// the program was started with (empty when unset).
std::string noWindowsLine(const std::string& platform, const std::string& display,
                          const std::string& waylandDisplay);

/// The usage text `cyclar --help` prints.
std::string cyclarUsage();

/// The line `cyclar --version` prints.
std::string cyclarVersionLine();

} // namespace cyclar
