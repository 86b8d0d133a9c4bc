// The desktop program's own options, read before QApplication is made.
#include "command_line.h"

#include "cyclar_app.h"
#include "path_text.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace cyclar {

namespace {

// The options QGuiApplication and QApplication take out of the arguments themselves; those in
// the first list take a value as the next argument.
constexpr std::array<std::string_view, 14> qtOptionsWithValue = {
    "platform",        "platformpluginpath",
    "platformtheme",   "plugin",
    "qwindowgeometry", "qwindowicon",
    "qwindowtitle",    "display",
    "geometry",        "style",
    "stylesheet",      "session",
    "title",           "name"};
constexpr std::array<std::string_view, 5> qtFlags = {"reverse", "widgetcount", "nograb", "dograb",
                                                     "sync"};

// The option's name without its dashes and any "=value", as Qt accepts one dash or two.
std::string_view bareName(std::string_view arg)
{
    arg.remove_prefix(arg.size() > 1 && arg[1] == '-' ? 2 : 1);
    return arg.substr(0, arg.find('='));
}

bool among(std::string_view name, const auto& list)
{
    return std::find(list.begin(), list.end(), name) != list.end();
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CommandLine line;
    bool optionsEnded = false;
    std::string secondFile;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool option = !optionsEnded && arg.size() > 1 && arg[0] == '-';
        if (!option) {
            if (line.startFile.empty()) {
                line.startFile = arg;
            } else if (secondFile.empty()) {
                secondFile = arg;
            }
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            line.action = CommandLine::Action::help;
            return line;
        }
        if (arg == "-v" || arg == "--version") {
            line.action = CommandLine::Action::version;
            return line;
        }
        const std::string_view name = bareName(arg);
        if (among(name, qtOptionsWithValue)) {
            const std::size_t equals = arg.find('=');
            const std::string value = equals != std::string::npos ? arg.substr(equals + 1)
                                      : i + 1 < args.size()       ? args[i + 1]
                                                                  : std::string();
            if (name == "platform") {
                line.platform = value;
            }
            if (equals == std::string::npos) {
                ++i; // its value
            }
            continue;
        }
        if (among(name, qtFlags) || name.starts_with("qmljsdebugger")) {
            continue;
        }
        line.action = CommandLine::Action::usageError;
        line.problem = "unknown option '" + arg + "'";
        return line;
    }
    if (!secondFile.empty()) {
        line.action = CommandLine::Action::usageError;
        line.problem = "opens one file at a time ('" + displayPath(line.startFile) + "' and '"
                       + displayPath(secondFile) + "' given)";
    }
    return line;
}

std::string noWindowsLine(const std::string& platform, const std::string& display,
                          const std::string& waylandDisplay)
{
    if (!platform.empty()) {
        return "could not start the window system '" + displayPath(platform) + "'";
    }
    if (display.empty() && waylandDisplay.empty()) {
        return "no display to show its windows on (DISPLAY is not set); cyclar-export draws the "
               "same pictures without one";
    }
    return "could not open the display '" + displayPath(display.empty() ? waylandDisplay : display)
           + "'";
}

std::string cyclarUsage()
{
    return "Usage: cyclar [FILE.cyclar | FILE.cyclar-task | FILE.cyclar-exercise]\n"
           "\n"
           "Animates a spherical four-bar linkage on a unit sphere and draws its coupler curve.\n"
           "Without a file it starts on the title page; with a linkage file it opens that\n"
           "linkage's animation page, in the file's view and at its speed; with a design task\n"
           "it opens the Design window on it; with an exercise, its linkage's page and the\n"
           "Exercise window. One file at a time.\n"
           "\n"
           "F1 shows the help page. On the animation page F2 opens the Analysis window (the\n"
           "linkage's type, its angle chart and, on the Rates tab, the velocity ratio and the\n"
           "coupler point's speed), F3 the Design window and F4 the working. The picture's\n"
           "right-click menu also shows the coupler's rotation axis, opens and saves linkage\n"
           "files (Ctrl+O, Ctrl+S), opens exercises and exports the picture (PNG, SVG) and one\n"
           "whole cycle (GIF). A Grashof linkage has two circuits, assemblies it cannot move\n"
           "between without being taken apart: the animation shows one, and Other circuit in\n"
           "that menu the other; Turn the input evenly there moves the input by the same angle\n"
           "every frame.\n"
           "cyclar-export(1) prints the same numbers and pictures on the command line.\n"
           "\n"
           "Options:\n"
           "  -h, --help     Show this help and exit.\n"
           "  -v, --version  Show the version and exit.\n"
           "  --             Take what follows as the file, even if it starts with '-'.\n"
           "Qt's own options, such as -platform NAME or -style NAME, are understood too.\n"
           "Exit status: 0, or 1 without a display, 2 for bad usage.\n";
}

std::string cyclarVersionLine()
{
    return std::string("cyclar ") + applicationVersion + '\n';
}

} // namespace cyclar
