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
    std::string unknown;   ///< the option that was not understood (usageError)
};

/// Reads the arguments (without the program's name). Qt's own options (-platform, -style...)
/// are left for Qt; "--" ends the options, so a file whose name starts with '-' can be opened.
CommandLine parseCommandLine(const std::vector<std::string>& args);

/// The usage text `cyclar --help` prints.
std::string cyclarUsage();

/// The line `cyclar --version` prints.
std::string cyclarVersionLine();

} // namespace cyclar
