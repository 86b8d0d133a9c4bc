// Exercises: the answers cyclar works out for an exercise's questions, the check of a student's
// answers with a hint that names the step of the working to look at, and the making of new
// exercises from a seed, each question with a well-defined answer.
#pragma once

#include "exercise_file.h"
#include "working.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cyclar {

/// The right answer to one question, in the question's unit.
struct ExerciseKey {
    bool defined = false; ///< false: the linkage gives this question no answer (see why)
    std::string why;
    std::vector<double> numbers; ///< one number, or the limits in ascending order
    std::string words;           ///< for type and grashof: the type's words, or "Grashof", ...
};

/// The answer the working gives to question `q` of `exercise`.
ExerciseKey exerciseKey(const ExerciseFile& exercise, const ExerciseQuestion& q);

/// The first question of the exercise that has no answer, as a sentence that follows "the
/// exercise" (a linkage that cannot reach the question's input, a swing asked of a linkage that
/// is no crank-rocker, ...), or nothing when every question has one.
std::optional<std::string> unanswerableQuestion(const ExerciseFile& exercise);

/// The question as a student reads it, with its unit and tolerance:
/// "What is the output angle ψ at θ = 30° on branch 1? In degrees, to within 0.1."
std::string questionText(const ExerciseQuestion& q);

/// Where in the working the answer to a question of the kind is found.
WorkingPlace questionStep(QuestionKind kind);

/// The key as text: numbers in their shortest round-trip form in the question's unit (a list's
/// separated by spaces), or the words.
std::string keyText(const ExerciseKey& key);

/// The key as a student reads it beside the question: numbers with the question's unit (the
/// limits joined by "and"), or the words.
std::string keyWords(const ExerciseKey& key, const ExerciseQuestion& q);

/// An answer as typed into a field: for a question answered in words, the words; otherwise a
/// number, or numbers apart by spaces, commas or semicolons (the limits), a minus sign as printed
/// read as '-'; text that is no number is kept as words (it is then marked not yet). Nothing for
/// a field left blank.
std::optional<ExerciseResponse> responseFromText(const ExerciseQuestion& q, std::string_view typed);

/// The outcome of one question.
struct QuestionCheck {
    std::string id;
    bool answered = false;
    bool correct = false;
    std::string hint; ///< empty when correct; names the step of the working, never the value
    ExerciseKey key;
};

struct ExerciseCheck {
    std::vector<QuestionCheck> results; ///< in the exercise's order
    int score = 0;
    int of = 0;
};

/// Checks the answers against the exercise's keys: a number within the question's tolerance
/// (for psi and the coupler's angle, the nearer way round), a list of limits each within it, the
/// type's words or the Grashof verdict in any case and spacing. A question without an answer is
/// "not yet".
ExerciseCheck checkExercise(const ExerciseFile& exercise, const ExerciseResponses& answers);

/// An answer whose id is none of the exercise's questions, or nothing.
std::optional<std::string> strayAnswer(const ExerciseFile& exercise,
                                       const ExerciseResponses& answers);

/// {"results": [{"id", "correct", "hint"}], "score", "of"}; with `reveal` each result also
/// holds "answer" (a number, a list or the words) and "unit".
std::string checkJson(const ExerciseFile& exercise, const ExerciseCheck& check, bool reveal);

/// What the teacher asks for: how many exercises, from which seed, of which type, with which
/// kinds of question (all that apply when empty).
struct ExerciseRequest {
    std::uint64_t seed = 0;
    int count = 1;
    std::string type; ///< "" or one of exerciseTypes
    std::vector<QuestionKind> kinds;
};

/// The types a request may ask for.
inline constexpr const char* exerciseTypes[] = {"crank-rocker", "rocker-crank", "double-crank",
                                                "grashof-double-rocker",
                                                "non-grashof-double-rocker"};

inline constexpr int mostExercises = 999;

/// Why the request cannot be met (an unknown type, kinds no linkage of the type answers), or
/// nothing.
std::optional<std::string> exerciseRequestProblem(const ExerciseRequest& request);

/// One made exercise: its file name's stem ("exercise-01") and the exercise.
struct MadeExercise {
    std::string name;
    ExerciseFile exercise;
};

/// `count` different exercises drawn from the seed, the same for the same request on every run.
/// Linkages have whole-degree dimensions, are of a clear type (no Ti within 3 degrees of 0),
/// and are asked at a whole-degree input at least 3 degrees from any toggle, where the velocity
/// ratio lies between 0.05 and 5 in size: every question has a well-defined answer. Empty when
/// the request has a problem.
std::vector<MadeExercise> makeExercises(const ExerciseRequest& request);

/// The key of made exercises as CSV: exercise,id,kind,answer (see keyText), one row per
/// question.
std::string answersCsv(const std::vector<MadeExercise>& exercises);

} // namespace cyclar
