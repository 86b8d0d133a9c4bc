// Fuzzes the exercise and answer file readers: any bytes are either refused with one sentence,
// or give an exercise that keeps the exercise rules, reads back as itself from its text, and can
// be worked out and checked whatever its linkage; answers are checked against a fixed exercise.
#include "exercise.h"
#include "exercise_file.h"
#include "working_text.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void refusedInOneLine(const std::string& error)
{
    if (error.empty() || error.find('\n') != std::string::npos)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    if (const std::optional<cyclar::ExerciseFile> exercise =
            cyclar::parseExerciseFile(bytes, error)) {
        if (cyclar::exerciseProblem(*exercise))
            std::abort();
        std::string again;
        const std::optional<cyclar::ExerciseFile> reread =
            cyclar::parseExerciseFile(cyclar::exerciseFileText(*exercise), again);
        if (!reread || *reread != *exercise)
            std::abort();
        // Whatever the linkage and the inputs: keys, a check and the working, without a fault.
        (void)cyclar::unanswerableQuestion(*exercise);
        (void)cyclar::checkJson(*exercise, cyclar::checkExercise(*exercise, {}), true);
        const cyclar::ExerciseQuestion& first = exercise->questions.front();
        const cyclar::Working working =
            cyclar::explainLinkage(exercise->dimensions, first.input, first.branch);
        if (cyclar::workingText(working).find("nan") != std::string::npos)
            std::abort();
    } else {
        refusedInOneLine(error);
    }

    error.clear();
    if (const std::optional<cyclar::ExerciseResponses> answers =
            cyclar::parseExerciseAnswers(bytes, error)) {
        cyclar::ExerciseFile exercise;
        exercise.title = "Fuzz";
        exercise.dimensions = {160, 105, 120, 100, 45, -35};
        for (const cyclar::QuestionKind kind : cyclar::allQuestionKinds) {
            cyclar::ExerciseQuestion q;
            q.id = cyclar::questionKindName(kind);
            q.kind = kind;
            q.input = 30;
            q.branch = 1;
            q.tolerance = 0.1;
            const std::vector<std::string_view> units = cyclar::questionUnits(kind);
            q.unit = units.empty() ? std::string() : std::string(units.front());
            exercise.questions.push_back(q);
        }
        (void)cyclar::strayAnswer(exercise, *answers);
        (void)cyclar::checkExercise(exercise, *answers);
    } else {
        refusedInOneLine(error);
    }
    return 0;
}
