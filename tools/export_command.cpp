// cyclar-export's dispatcher: finds the command in the table (tools/commands/command_list.inc),
// parses the options that command takes, reads the linkage and runs the command's handler. The
// usage text is written from the same table.
#include "export_command.h"

#include "argument_bytes.h"
#include "commands/command.h"
#include "path_text.h"

#include <cmath>

namespace cyclar {

namespace {

constexpr const char* versionText = "1.0.0.1";

constexpr const char* usageIntro =
    "Usage: cyclar-export <command> [options]\n"
    "\n"
    "Prints the kinematics and pictures of a spherical four-bar linkage. Angles are in degrees;\n"
    "--dims takes exactly six comma-separated numbers in the order a,b,c,f,h,k (left link, right\n"
    "link, coupler, ground link, coupler point's radial length and angular position). Every\n"
    "command but design takes --file F.cyclar, a linkage file, in place of --dims; the picture\n"
    "commands then start from the file's view and speed, which --turn, --tilt and --speed\n"
    "override. design reads a task file instead.\n"
    "\n"
    "Commands:\n";

constexpr const char* usageClosing =
    "\n"
    "Numbers are printed in their shortest round-trip form; a value that is not finite prints\n"
    "as null in JSON and as nan, inf or -inf in CSV. Input angle: at A0 from the ground arc\n"
    "toward B0 to the arc toward A1; output angle: at B0 from the ground arc continued beyond\n"
    "B0 to the arc toward B1, both counter-clockwise seen from outside the sphere, in\n"
    "(-180, 180]; transmission angle: at B1 between the arcs toward A1 and toward B0.\n"
    "Files are replaced only once the new one is complete: a failed run leaves an earlier\n"
    "file whole, and a folder, a named pipe, a device or a read-only file at the path is\n"
    "refused and left as it was. Bad input, or a file that cannot be written, gets one line\n"
    "on stderr and exit code 2; an answer that cannot be written to stdout, exit code 1.\n"
    "\n"
    "Circuits: a Grashof linkage (on the sphere, T1 T2 T3 T4 > 0) can be assembled in two\n"
    "ways that it cannot move between without being taken apart, its two circuits; any other\n"
    "linkage has one. --circuit 1 (the default, the circuit frame 1 stands on) or --circuit 2\n"
    "chooses the one the frames show; each lap of it takes 180 frames, shown twice. A linkage\n"
    "with one circuit refuses --circuit 2. --even-input turns the input by the same angle\n"
    "every frame (2 degrees when it turns fully) instead of the sweep's own pace.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Show this help and exit; CMD --help shows that command's alone.\n"
    "  -v, --version  Show the version (1.0.0.1) and exit.\n";

// Help lines of a command are indented under its name.
constexpr int helpIndent = 10;

QByteArray usageText()
{
    const QByteArray indent(helpIndent, ' ');
    QByteArray text = usageIntro;
    for (const ExportCommand* command : exportCommands()) {
        text += "  " + QByteArray(command->name).leftJustified(helpIndent - 3) + ' '
                + exportCommandSynopsis(*command).toUtf8() + '\n';
        for (const QByteArray& line : QByteArray(command->help).split('\n')) {
            if (!line.isEmpty()) {
                text += indent + line + '\n';
            }
        }
        text += indent + "Example: cyclar-export " + command->example + '\n';
    }
    return text + usageClosing;
}

} // namespace

QByteArray commandHelpText(const ExportCommand& command)
{
    const bool takesALinkage = command.run != nullptr;
    QByteArray text = QByteArray("Usage: cyclar-export ") + command.name + ' '
                      + exportCommandSynopsis(command).toUtf8() + '\n';
    if (takesALinkage) {
        text += "       (or --file F.cyclar, a linkage file, in place of --dims)\n";
    }
    text += QByteArray("\n") + command.help + "\nExample: cyclar-export " + command.example + "\n\n"
            + (takesALinkage ? "The order of --dims, the angles, the numbers' form and the exit "
                               "status are in cyclar-export --help.\n"
                             : "The numbers' form and the exit status are in cyclar-export "
                               "--help.\n");
    return text;
}

namespace {

// The linkage the command works on: from --dims, or from --file with the file's view and speed.
LinkageDimensions parseDims(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 6) {
        throw UsageError{QStringLiteral("--dims needs exactly six comma-separated numbers "
                                        "a,b,c,f,h,k (got %1); for example --dims "
                                        "50,30,35,40,45,-35")
                             .arg(parts.size())};
    }
    static const char* const names[] = {"a", "b", "c", "f", "h", "k"};
    double values[6] = {};
    for (int i = 0; i < 6; ++i) {
        const std::optional<double> value = parseDecimal(parts[i]);
        if (!value) {
            throw UsageError{QStringLiteral("--dims: %1 = '%2' is not a finite decimal number; "
                                            "write it like 35 or -12.5")
                                 .arg(QLatin1String(names[i]), parts[i])};
        }
        values[i] = *value;
    }
    return {values[0], values[1], values[2], values[3], values[4], values[5]};
}

LinkageFile linkageSource(const QCommandLineParser& parser, const ExportOptions& options,
                          const QString& command)
{
    const std::optional<QString> dims = single(parser, options.dims);
    const std::optional<QString> path = single(parser, options.file);
    if (dims && path) {
        throw UsageError{QStringLiteral("give --dims or --file, not both")};
    }
    if (path) {
        const std::string bytes = argumentBytes(*path);
        std::string error;
        std::optional<LinkageFile> file = readLinkageFile(bytes, error);
        if (!file) {
            throw UsageError{QStringLiteral("'%1' %2").arg(
                QString::fromStdString(displayPath(bytes)), QString::fromStdString(error))};
        }
        return *file;
    }
    if (!dims) {
        throw UsageError{QStringLiteral("%1 needs --dims A,B,C,F,H,K (for example --dims "
                                        "50,30,35,40,45,-35) or --file F.cyclar")
                             .arg(command)};
    }
    LinkageFile file;
    file.dimensions = parseDims(*dims);
    return file;
}

} // namespace

ExportResult usageError(const QString& message)
{
    ExportResult result;
    result.exitCode = exitUsage;
    QString line = message;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    result.err = "cyclar-export: " + line.toUtf8() + '\n';
    return result;
}

const std::vector<const ExportCommand*>& exportCommands()
{
    static const std::vector<const ExportCommand*> table{
#define CYCLAR_EXPORT_COMMAND(name) &name##Command,
#include "commands/command_list.inc"
#undef CYCLAR_EXPORT_COMMAND
    };
    return table;
}

const ExportCommand* findExportCommand(const QString& name)
{
    for (const ExportCommand* command : exportCommands()) {
        if (name == QLatin1String(command->name)) {
            return command;
        }
    }
    return nullptr;
}

QString exportCommandSynopsis(const ExportCommand& command)
{
    if (command.synopsis != nullptr) {
        return QString::fromUtf8(command.synopsis);
    }
    const ExportOptions options;
    QString synopsis = QStringLiteral("--dims A,B,C,F,H,K");
    for (const OptionUse& use : command.options) {
        const QCommandLineOption& option = options[use.option];
        const QString name = option.names().first();
        const QString flag = (name.size() == 1 && use.option == CommandOption::output)
                                 ? QLatin1Char('-') + name
                                 : QStringLiteral("--") + name;
        const QString value = optionValueName(command, use.option);
        const QString shown = value.isEmpty() ? flag : flag + QLatin1Char(' ') + value;
        synopsis +=
            QLatin1Char(' ') + (use.required ? shown : QLatin1Char('[') + shown + QLatin1Char(']'));
    }
    return synopsis;
}

bool exportCommandDrawsPictures(const char* name)
{
    const ExportCommand* command = findExportCommand(QString::fromUtf8(name));
    return command != nullptr && command->drawsPictures;
}

ExportResult runExport(const QStringList& args, const ExportProgress& progress)
{
    QStringList names;
    for (const ExportCommand* command : exportCommands()) {
        names += QLatin1String(command->name);
    }
    const QString commandList = QStringLiteral("use one of %1 (see cyclar-export --help)")
                                    .arg(names.join(QStringLiteral(", ")));
    if (args.isEmpty()) {
        return usageError(QStringLiteral("no command given; ") + commandList);
    }
    const QString& name = args.first();
    if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
        return ok(usageText());
    }
    if (name == QLatin1String("--version") || name == QLatin1String("-v")) {
        return ok(QByteArray("cyclar-export ") + versionText + '\n');
    }
    const ExportCommand* command = findExportCommand(name);
    if (command == nullptr) {
        return usageError(QStringLiteral("unknown command '%1'; ").arg(name) + commandList);
    }
    if (command->runArguments != nullptr) {
        // A command with arguments of its own shape (design's --write N FILE) reads them itself.
        return command->runArguments(args.mid(1));
    }

    const ExportOptions options;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({options.dims, options.file, options.help});
    for (const OptionUse& use : command->options) {
        parser.addOption(options[use.option]);
    }

    QStringList argv = args;
    argv.front() = QStringLiteral("cyclar-export");
    if (!parser.parse(argv)) {
        return usageError(parser.errorText() + QStringLiteral(" (see cyclar-export --help)"));
    }
    if (parser.isSet(options.help)) {
        return ok(commandHelpText(*command));
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usageError(QStringLiteral("unexpected argument '%1' (see cyclar-export --help)")
                              .arg(parser.positionalArguments().first()));
    }

    try {
        const LinkageFile source = linkageSource(parser, options, name);
        return command->run(CommandInput{*command, parser, options, source, progress});
    } catch (const UsageError& error) {
        return usageError(error.message);
    }
}

} // namespace cyclar
