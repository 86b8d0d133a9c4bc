// Writing an exercise file to disk: the checks of the core, then one atomic write.
#include "exercise_file.h"

#include "atomic_write.h"
#include "path_text.h"

namespace cyclar {

bool writeExerciseFile(const std::string& path, const ExerciseFile& exercise, std::string& error)
{
    std::string why;
    if (!hasSuffix(path, exerciseFileSuffix)) {
        why = std::string("the file name must end in ") + exerciseFileSuffix;
    } else if (const std::optional<std::string> problem = exerciseProblem(exercise)) {
        why = "the exercise " + *problem;
    }
    if (!why.empty()) {
        error = "could not write '" + displayPath(path) + "': " + why;
        return false;
    }
    return writeFileAtomically(path, exerciseFileText(exercise), error);
}

} // namespace cyclar
