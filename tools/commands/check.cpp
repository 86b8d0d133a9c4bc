// cyclar-export check: a student's answers to an exercise, marked correct or not yet, with a hint
// that names the step of the working to look at; the right values only with --reveal.
#include "command.h"

#include "argument_bytes.h"
#include "exercise.h"
#include "path_text.h"

namespace cyclar {
namespace {

QString shownPath(const QString& path)
{
    return QString::fromStdString(displayPath(argumentBytes(path)));
}

// "check --exercise F --answers A.json [--reveal]"; args start after the command's name.
ExportResult runCheckCommand(const QStringList& args)
{
    std::optional<QString> exercisePath;
    std::optional<QString> answersPath;
    bool reveal = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            return ok(commandHelpText(checkCommand));
        }
        if (arg == QLatin1String("--reveal")) {
            reveal = true;
            continue;
        }
        std::optional<QString>* target = arg == QLatin1String("--exercise")  ? &exercisePath
                                         : arg == QLatin1String("--answers") ? &answersPath
                                                                             : nullptr;
        if (target == nullptr) {
            return usageError(
                QStringLiteral("unexpected argument '%1' (see cyclar-export check --help)")
                    .arg(arg));
        }
        if (*target) {
            return usageError(QStringLiteral("%1 given more than once; give it once").arg(arg));
        }
        if (i + 1 >= args.size()) {
            return usageError(QStringLiteral("%1 needs a file").arg(arg));
        }
        *target = args[++i];
    }
    if (!exercisePath || !answersPath) {
        return usageError(QStringLiteral("check needs --exercise FILE.cyclar-exercise and "
                                         "--answers FILE.json"));
    }
    std::string error;
    const std::optional<ExerciseFile> exercise =
        readExerciseFile(argumentBytes(*exercisePath), error);
    if (!exercise) {
        return usageError(
            QStringLiteral("'%1' %2").arg(shownPath(*exercisePath), QString::fromStdString(error)));
    }
    if (const std::optional<std::string> problem = unanswerableQuestion(*exercise)) {
        return usageError(QStringLiteral("'%1' %2").arg(shownPath(*exercisePath),
                                                        QString::fromStdString(*problem)));
    }
    const std::optional<ExerciseResponses> answers =
        readExerciseAnswers(argumentBytes(*answersPath), error);
    if (!answers) {
        return usageError(
            QStringLiteral("'%1' %2").arg(shownPath(*answersPath), QString::fromStdString(error)));
    }
    if (const std::optional<std::string> stray = strayAnswer(*exercise, *answers)) {
        return usageError(QStringLiteral("'%1' has an answer for \"%2\", which the exercise "
                                         "does not ask")
                              .arg(shownPath(*answersPath), QString::fromStdString(*stray)));
    }
    return ok(QByteArray::fromStdString(
        checkJson(*exercise, checkExercise(*exercise, *answers), reveal)));
}

} // namespace

const ExportCommand checkCommand{
    "check",
    {},
    nullptr,
    false,
    "Marks a student's answers to an exercise, given as one JSON object such as\n"
    "{\"q1\": 23.4, \"q2\": \"crank-rocker\", \"q3\": [12, 80]}. Prints {\"results\":\n"
    "[{\"id\", \"correct\", \"hint\"}], \"score\", \"of\"}: a hint names the step of\n"
    "the working to look at, never the value. --reveal adds each right \"answer\" and\n"
    "its \"unit\". An exercise with a question that has no answer is refused.\n",
    "check --exercise exercise-01.cyclar-exercise --answers answers.json",
    nullptr,
    runCheckCommand,
    "--exercise FILE.cyclar-exercise --answers FILE.json [--reveal]",
};

} // namespace cyclar
