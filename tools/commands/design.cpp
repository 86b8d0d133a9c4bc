// cyclar-export design: linkages for a task file, as JSON, and one of them as a linkage file.
#include "command.h"

#include "argument_bytes.h"
#include "design_result_text.h"
#include "four_position_map.h"
#include "linkage_design.h"
#include "linkage_file.h"
#include "path_text.h"
#include "task_file.h"

#include <string>

namespace cyclar {
namespace {

// A whole number from 1 up, as typed: digits only.
std::optional<std::size_t> candidateNumber(const QString& text)
{
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value == 0 || text.trimmed() != text || text.startsWith(QLatin1Char('+'))) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(value);
}

// "design --task FILE [--map | --write N FILE.cyclar]"; args start after the command's name. A
// task the reader refuses: exitUsage and one line. No linkage for a sound task is an answer, not
// an error: the JSON then lists none and says why. No map for a task is an error: a map is asked
// for only where one is drawn.
ExportResult runDesignCommand(const QStringList& args)
{
    std::optional<QString> taskPath;
    std::optional<std::pair<QString, QString>> write;
    bool map = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            return ok(commandHelpText(designCommand));
        }
        if (arg == QLatin1String("--task")) {
            if (taskPath) {
                return usageError(QStringLiteral("--task given more than once; give it once"));
            }
            if (i + 1 >= args.size()) {
                return usageError(QStringLiteral("--task needs a task file"));
            }
            taskPath = args[++i];
        } else if (arg == QLatin1String("--map")) {
            if (map) {
                return usageError(QStringLiteral("--map given more than once; give it once"));
            }
            map = true;
        } else if (arg == QLatin1String("--write")) {
            if (write) {
                return usageError(QStringLiteral("--write given more than once; give it once"));
            }
            if (i + 2 >= args.size()) {
                return usageError(QStringLiteral("--write needs a candidate's number and a file, "
                                                 "for example --write 1 design.cyclar"));
            }
            write = std::pair{args[i + 1], args[i + 2]};
            i += 2;
        } else {
            return usageError(QStringLiteral("unexpected argument '%1' (see cyclar-export design "
                                             "--help)")
                                  .arg(arg));
        }
    }
    if (!taskPath) {
        return usageError(QStringLiteral("design needs --task FILE.cyclar-task"));
    }
    if (map && write) {
        return usageError(QStringLiteral("--map prints the solution map alone; leave out --write"));
    }
    std::optional<std::size_t> chosen;
    if (write) {
        chosen = candidateNumber(write->first);
        if (!chosen) {
            return usageError(
                QStringLiteral("--write: '%1' is not a candidate's number (1, 2, ...)")
                    .arg(write->first));
        }
        if (!write->second.endsWith(QLatin1String(linkageFileSuffix))) {
            return usageError(QStringLiteral("--write: '%1' must end in %2")
                                  .arg(write->second, QLatin1String(linkageFileSuffix)));
        }
    }
    std::string error;
    const std::string taskBytes = argumentBytes(*taskPath);
    const QString taskName = QString::fromStdString(displayPath(taskBytes));
    const std::optional<DesignTask> task = readTaskFile(taskBytes, error);
    if (!task) {
        return usageError(QStringLiteral("'%1' %2").arg(taskName, QString::fromStdString(error)));
    }
    if (map) {
        const SolutionMap curves = fourPositionMap(*task);
        if (curves.empty()) {
            return usageError(
                QStringLiteral("'%1': %2").arg(taskName, QString::fromStdString(curves.reason)));
        }
        ExportResult ok;
        ok.out = QByteArray::fromStdString(solutionMapJson(curves));
        return ok;
    }
    const DesignResult result = designLinkages(*task);
    if (chosen) {
        if (*chosen > result.candidates.size()) {
            return usageError(QStringLiteral("--write %1: the task has %2 candidates")
                                  .arg(*chosen)
                                  .arg(result.candidates.size()));
        }
        LinkageFile file;
        file.dimensions = result.candidates[*chosen - 1].dims;
        std::string writeError;
        if (!writeLinkageFile(argumentBytes(write->second), file, writeError)) {
            return usageError(QString::fromStdString(writeError));
        }
    }
    ExportResult ok;
    ok.out = QByteArray::fromStdString(designResultJson(result));
    return ok;
}

} // namespace

const ExportCommand designCommand{
    "design",
    {},
    nullptr,
    false,
    "Spherical four-bars that do the task: coordinate two shafts (function) or guide\n"
    "a body through three to five orientations (motion). Prints the candidates as\n"
    "JSON in the one order every front end lists (usable first, then transmission,\n"
    "then dimensions), each with the number of the mechanism it is a variant of;\n"
    "--write N saves candidate N (counting from 1) as a linkage file. --map prints\n"
    "the solution map of four positions (five: of the first four) instead: the\n"
    "centre-point and circle-point curves as JSON.\n",
    "design --task wiper.cyclar-task --write 1 wiper.cyclar",
    nullptr,
    runDesignCommand,
    "--task FILE.cyclar-task [--map | --write N FILE.cyclar]",
};

} // namespace cyclar
