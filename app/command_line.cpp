// The desktop program's own options, read before QApplication is made.
#include "command_line.h"

#include "cyclar_app.h"

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
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool option = !optionsEnded && arg.size() > 1 && arg[0] == '-';
        if (!option) {
            if (line.startFile.empty()) {
                line.startFile = arg; // as before, a second file is not looked at
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
            if (arg.find('=') == std::string::npos) {
                ++i; // its value
            }
            continue;
        }
        if (among(name, qtFlags) || name.starts_with("qmljsdebugger")) {
            continue;
        }
        line.action = CommandLine::Action::usageError;
        line.unknown = arg;
        return line;
    }
    return line;
}

std::string cyclarUsage()
{
    return "Usage: cyclar [FILE.cyclar | FILE.cyclar-task | FILE.cyclar-exercise]\n"
           "\n"
           "Animates a spherical four-bar linkage on a unit sphere and draws its coupler curve.\n"
           "Without a file it starts on the title page; with a linkage file it opens that\n"
           "linkage's animation page, in the file's view and at its speed; with a design task\n"
           "it opens the Design window on it; with an exercise, its linkage's page and the\n"
           "Exercise window. F1 shows the help page; on the animation page F2 opens the\n"
           "Analysis window, F3 the Design window and F4 the working. cyclar-export(1) prints\n"
           "the same numbers and pictures on the command line.\n"
           "\n"
           "Options:\n"
           "  -h, --help     Show this help and exit.\n"
           "  -v, --version  Show the version and exit.\n"
           "  --             Take what follows as the file, even if it starts with '-'.\n"
           "Qt's own options, such as -platform NAME or -style NAME, are understood too.\n";
}

std::string cyclarVersionLine()
{
    return std::string("cyclar ") + applicationVersion + '\n';
}

} // namespace cyclar
