// cyclar-export exercise: new exercises drawn from a seed, and the teacher's key.
#include "command.h"

#include "argument_bytes.h"
#include "atomic_write.h"
#include "exercise.h"
#include "path_text.h"

#include <cerrno>
#include <charconv>
#include <cstring>

#include <sys/stat.h>

namespace cyclar {
namespace {

std::optional<std::uint64_t> seedNumber(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::uint64_t value = 0;
    const char* last = bytes.constData() + bytes.size();
    const auto [end, ec] = std::from_chars(bytes.constData(), last, value);
    if (bytes.isEmpty() || ec != std::errc() || end != last) {
        return std::nullopt;
    }
    return value;
}

// The folder the exercises go into: made when it is not there (its parent must be).
std::optional<QString> folderProblem(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode) ? std::nullopt
                                     : std::optional<QString>(QStringLiteral("is not a folder"));
    }
    if (::mkdir(path.c_str(), 0777) != 0) {
        return QStringLiteral("could not be made (%1)")
            .arg(QString::fromUtf8(std::strerror(errno)));
    }
    return std::nullopt;
}

// "exercise --seed S --count N [--type T] [--kinds LIST] -o DIR"
ExportResult runExerciseCommand(const QStringList& args)
{
    std::optional<QString> seed, count, type, kinds, folder;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            return ok(commandHelpText(exerciseCommand));
        }
        std::optional<QString>* target =
            arg == QLatin1String("--seed")                                   ? &seed
            : arg == QLatin1String("--count")                                ? &count
            : arg == QLatin1String("--type")                                 ? &type
            : arg == QLatin1String("--kinds")                                ? &kinds
            : arg == QLatin1String("-o") || arg == QLatin1String("--output") ? &folder
                                                                             : nullptr;
        if (target == nullptr) {
            return usageError(
                QStringLiteral("unexpected argument '%1' (see cyclar-export exercise --help)")
                    .arg(arg));
        }
        if (*target) {
            return usageError(QStringLiteral("%1 given more than once; give it once").arg(arg));
        }
        if (i + 1 >= args.size()) {
            return usageError(QStringLiteral("%1 needs a value").arg(arg));
        }
        *target = args[++i];
    }
    if (!seed || !count || !folder) {
        return usageError(QStringLiteral("exercise needs --seed S, --count N and -o DIR"));
    }
    ExerciseRequest request;
    const std::optional<std::uint64_t> seedValue = seedNumber(*seed);
    if (!seedValue) {
        return usageError(QStringLiteral("--seed '%1' must be a whole number from 0 to "
                                         "18446744073709551615")
                              .arg(*seed));
    }
    request.seed = *seedValue;
    bool numberOk = false;
    request.count = count->toInt(&numberOk);
    if (!numberOk || request.count < 1 || request.count > mostExercises) {
        return usageError(QStringLiteral("--count '%1' must be a whole number from 1 to %2")
                              .arg(*count)
                              .arg(mostExercises));
    }
    if (type) {
        request.type = type->toStdString();
    }
    if (kinds) {
        for (const QString& name : kinds->split(QLatin1Char(','))) {
            const std::optional<QuestionKind> kind =
                questionKindNamed(name.trimmed().toStdString());
            if (!kind) {
                QStringList names;
                for (const QuestionKind k : allQuestionKinds) {
                    names += QLatin1String(questionKindName(k));
                }
                return usageError(QStringLiteral("--kinds: '%1' is none of %2")
                                      .arg(name, names.join(QStringLiteral(", "))));
            }
            if (std::find(request.kinds.begin(), request.kinds.end(), *kind)
                == request.kinds.end()) {
                request.kinds.push_back(*kind);
            }
        }
    }
    if (const std::optional<std::string> problem = exerciseRequestProblem(request)) {
        return usageError(QString::fromStdString(*problem));
    }
    const std::vector<MadeExercise> made = makeExercises(request);
    if (static_cast<int>(made.size()) < request.count) {
        return usageError(QStringLiteral("found only %1 of the %2 exercises asked for; ask for "
                                         "fewer, or for other kinds")
                              .arg(made.size())
                              .arg(request.count));
    }
    const std::string dir = argumentBytes(*folder);
    if (const std::optional<QString> problem = folderProblem(dir)) {
        return usageError(
            QStringLiteral("-o '%1' %2").arg(QString::fromStdString(displayPath(dir)), *problem));
    }
    std::string error;
    const std::string prefix = dir.ends_with('/') ? dir : dir + '/';
    for (const MadeExercise& exercise : made) {
        if (!writeExerciseFile(prefix + exercise.name + exerciseFileSuffix, exercise.exercise,
                               error)) {
            return usageError(QString::fromStdString(error));
        }
    }
    if (!writeFileAtomically(prefix + "answers.csv", answersCsv(made), error)) {
        return usageError(QString::fromStdString(error));
    }
    return ExportResult();
}

} // namespace

const ExportCommand exerciseCommand{
    "exercise",
    {},
    nullptr,
    false,
    "Writes N different exercises into the folder DIR (made if missing):\n"
    "exercise-01.cyclar-exercise, ..., each a linkage of whole-degree dimensions with\n"
    "questions of every kind that applies (or of the kinds in LIST: type, grashof,\n"
    "inputLimits, outputLimits, swing, timeRatio, output, transmission, coupler,\n"
    "outputRate, outputAcceleration, couplerRate, pointSpeed, mechanicalAdvantage),\n"
    "asked at an input clear of every toggle; and answers.csv (exercise,id,kind,answer),\n"
    "the key. --type crank-rocker, rocker-crank, double-crank, grashof-double-rocker or\n"
    "non-grashof-double-rocker. The same seed writes the same bytes.\n",
    "exercise --seed 7 --count 20 --type crank-rocker -o class",
    nullptr,
    runExerciseCommand,
    "--seed S --count N [--type T] [--kinds LIST] -o DIR",
};

} // namespace cyclar
