// One cyclar-export command: its name, options, help text and handler, and the helpers the
// handlers share. Each command is defined in a file of its own in this folder and listed once in
// command_list.inc, from which the dispatcher, the usage text and the manual page's check are
// all derived.
#pragma once

#include "export_command.h"
#include "json_object.h"
#include "linkage_file.h"

#include <QByteArray>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace cyclar {

struct LinkageDimensions;
struct SceneState;
struct SphereVector;

/// The options a command may take besides --dims, --file and --help, which every command takes.
enum class CommandOption {
    t,
    frame,
    circuit,
    evenInput,
    turn,
    tilt,
    speed,
    scale,
    rates,
    rotationAxis,
    output,
    input,
    branch,
    format
};

struct OptionUse {
    CommandOption option;
    bool required = false;
};

/// Every option's parser entry, made once per run.
struct ExportOptions {
    QCommandLineOption dims{QStringLiteral("dims"), QString(), QStringLiteral("A,B,C,F,H,K")};
    QCommandLineOption file{QStringLiteral("file"), QString(), QStringLiteral("F.cyclar")};
    QCommandLineOption t{QStringLiteral("t"), QString(), QStringLiteral("T")};
    QCommandLineOption frame{QStringLiteral("frame"), QString(), QStringLiteral("N")};
    QCommandLineOption circuit{QStringLiteral("circuit"), QString(), QStringLiteral("1|2")};
    QCommandLineOption evenInput{QStringLiteral("even-input")}; // a switch: the input's pace
    QCommandLineOption turn{QStringLiteral("turn"), QString(), QStringLiteral("DEG")};
    QCommandLineOption tilt{QStringLiteral("tilt"), QString(), QStringLiteral("DEG")};
    QCommandLineOption speed{QStringLiteral("speed"), QString(), QStringLiteral("P")};
    QCommandLineOption scale{QStringLiteral("scale"), QString(), QStringLiteral("K")};
    QCommandLineOption rates{QStringLiteral("rates")};                // a switch: plot's rate chart
    QCommandLineOption rotationAxis{QStringLiteral("rotation-axis")}; // a switch: the overlay
    QCommandLineOption output{QStringList{QStringLiteral("o"), QStringLiteral("output")}, QString(),
                              QStringLiteral("FILE")};
    QCommandLineOption input{QStringLiteral("input"), QString(), QStringLiteral("THETA")};
    QCommandLineOption branch{QStringLiteral("branch"), QString(), QStringLiteral("1|2")};
    QCommandLineOption format{QStringLiteral("format"), QString(),
                              QStringLiteral("text|markdown|html|json")};
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")}};

    const QCommandLineOption& operator[](CommandOption option) const;
};

struct ExportCommand;

/// What a handler gets: the parsed arguments and the linkage they name.
struct CommandInput {
    const ExportCommand& command;
    const QCommandLineParser& parser;
    const ExportOptions& options;
    const LinkageFile& source;
    const ExportProgress& progress;
};

struct ExportCommand {
    const char* name;
    std::vector<OptionUse> options; ///< in the order the usage text shows them
    const char* outputSuffix;       ///< what -o FILE must end in, when the command writes a file
    bool drawsPictures;             ///< needs the graphics library (fonts, raster engine)
    const char* help;               ///< lines of about 90 columns, each ending in a newline
    const char* example;            ///< one command line, without the program's name
    ExportResult (*run)(const CommandInput& input);
    /// For a command that takes no linkage and reads its arguments itself (those after its
    /// name), in place of `run`; its usage line is then `synopsis`.
    ExportResult (*runArguments)(const QStringList& args) = nullptr;
    const char* synopsis = nullptr;
};

// Each command's entry, defined in its own file.
#define CYCLAR_EXPORT_COMMAND(name) extern const ExportCommand name##Command;
#include "command_list.inc"
#undef CYCLAR_EXPORT_COMMAND

/// Every command, in the order --help lists them.
const std::vector<const ExportCommand*>& exportCommands();

/// The command of that name, or null.
const ExportCommand* findExportCommand(const QString& name);

/// The command's options as --help shows them: "--dims A,B,C,F,H,K [--frame N] -o FILE.png".
QString exportCommandSynopsis(const ExportCommand& command);

/// What `cyclar-export CMD --help` prints: that command's usage line, help and example.
QByteArray commandHelpText(const ExportCommand& command);

/// The value name an option shows in the usage text ("N", "DEG", "FILE.png").
QString optionValueName(const ExportCommand& command, CommandOption option);

/// Bad input: the handler throws it, the dispatcher prints it as the one line on stderr.
struct UsageError {
    QString message;
};

ExportResult ok(QByteArray text);

/// A whole decimal number, blanks allowed around it; no hex, no inf or nan words.
std::optional<double> parseDecimal(const QString& text);

/// The option's value, or nothing when absent; given twice is an error.
std::optional<QString> single(const QCommandLineParser& parser, const QCommandLineOption& option);

/// A whole number option within [low, high]; `what` says what it counts (may be empty).
std::optional<int> wholeOption(const QCommandLineParser& parser, const QCommandLineOption& option,
                               int low, int high, const char* what);

/// The view: the file's (or the starting view), each angle given on the command line overriding.
FileView viewOf(const CommandInput& input);
/// The circuit and pace of the frames: the file's (or circuit 1 at the sweep's pace), --circuit
/// overriding the circuit and --even-input turning the even pace on. Circuit 2 of a linkage with
/// one circuit is refused.
MotionChoice motionOf(const CommandInput& input);
/// The speed slider's position: --speed, else the file's, else the middle.
int speedOf(const CommandInput& input);
/// -o FILE, which must end in the command's suffix.
QString outputPath(const CommandInput& input);
/// Refuses to draw without the graphics library, and loads the bundled text face.
void needPictures(const CommandInput& input);
SceneState sceneOf(const LinkageFile& source, const FileView& view, const MotionChoice& motion);
[[noreturn]] void writeFailed(const QString& path, const QString& error);

/// Exit status 2 and "cyclar-export: <message>" as one line on stderr.
ExportResult usageError(const QString& message);

/// A JSON string: quotes, backslashes and control characters escaped (the text is UTF-8).
QByteArray jsonString(const std::string& text);

/// A number as a CSV cell: nan, inf or -inf when not finite.
QByteArray csv(double value);

} // namespace cyclar
