// Exercise files (.cyclar-exercise): a titled linkage and the questions a teacher asks about it,
// as versioned JSON without the answers, and the student's answers to them. The one reader and
// writer of both, for the desktop, cyclar-export and the browser.
#pragma once

#include "linkage_model.h"

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cyclar {

/// What a question asks for.
enum class QuestionKind {
    type,                ///< the spherical type, in words
    grashof,             ///< whether the spherical Grashof condition holds
    inputLimits,         ///< |theta| at the input's toggle positions
    outputLimits,        ///< |psi| at the output's toggle positions
    swing,               ///< the rocker's swing (crank-rockers)
    timeRatio,           ///< forward over return stroke (crank-rockers)
    output,              ///< psi at the question's input
    transmission,        ///< mu at the question's input
    coupler,             ///< the coupler's angle at A1 at the question's input
    outputRate,          ///< dpsi/dtheta
    outputAcceleration,  ///< d2psi/dtheta2
    couplerRate,         ///< |omega|, the coupler's angular velocity per unit input rate
    pointSpeed,          ///< |dP/dtheta|
    mechanicalAdvantage, ///< dtheta/dpsi
};

inline constexpr std::array<QuestionKind, 14> allQuestionKinds{QuestionKind::type,
                                                               QuestionKind::grashof,
                                                               QuestionKind::inputLimits,
                                                               QuestionKind::outputLimits,
                                                               QuestionKind::swing,
                                                               QuestionKind::timeRatio,
                                                               QuestionKind::output,
                                                               QuestionKind::transmission,
                                                               QuestionKind::coupler,
                                                               QuestionKind::outputRate,
                                                               QuestionKind::outputAcceleration,
                                                               QuestionKind::couplerRate,
                                                               QuestionKind::pointSpeed,
                                                               QuestionKind::mechanicalAdvantage};

/// The kind's name in files and on the command line ("outputRate").
const char* questionKindName(QuestionKind kind);
std::optional<QuestionKind> questionKindNamed(std::string_view name);

/// The kinds asked at one input angle, on one branch (the position, velocity and acceleration).
bool askedAtInput(QuestionKind kind);
/// The kinds answered in words (type, grashof) rather than numbers: they take no tolerance.
bool answeredInWords(QuestionKind kind);
/// The kinds answered with a list of angles (the limits).
bool answeredWithList(QuestionKind kind);
/// The units a question of the kind may be asked in, the first the usual one: angles in "deg" or
/// "rad", ratios and rates per radian of input "1", the output's acceleration "1/rad". Empty for
/// the kinds answered in words.
std::vector<std::string_view> questionUnits(QuestionKind kind);

struct ExerciseQuestion {
    std::string id; ///< unique within the file: letters, digits, '-', '_' and '.'
    QuestionKind kind = QuestionKind::type;
    double input = 0.0;   ///< theta in degrees, for the kinds asked at an input
    int branch = 0;       ///< 1 or 2, for the kinds asked at an input
    double tolerance = 0; ///< in the unit, for the kinds answered with numbers
    std::string unit;     ///< one of questionUnits(kind); empty for words

    friend bool operator==(const ExerciseQuestion&, const ExerciseQuestion&) = default;
};

struct ExerciseFile {
    std::string title;
    LinkageDimensions dimensions;
    int circuit = 1;         ///< the linkage's circuit, 1 or 2
    bool showWorking = true; ///< false: the student may not see the working (nor the values)
    std::vector<ExerciseQuestion> questions;

    friend bool operator==(const ExerciseFile&, const ExerciseFile&) = default;
};

inline constexpr const char* exerciseFileFormat = "cyclar-exercise";
inline constexpr int exerciseFileVersion = 1;
inline constexpr std::size_t exerciseFileMaxBytes = 1024 * 1024;
inline constexpr const char* exerciseFileSuffix = ".cyclar-exercise";
inline constexpr std::size_t exerciseMostQuestions = 100;
inline constexpr std::size_t exerciseLongestTitle = 200;
inline constexpr std::size_t exerciseLongestId = 32;

/// Reads an exercise file's bytes. On failure returns nothing and sets `error` to one sentence
/// saying what is wrong (without the file's name, which the caller puts first).
std::optional<ExerciseFile> parseExerciseFile(std::string_view bytes, std::string& error);

/// Reads the exercise file at `path` (the system's bytes), refusing anything but a regular file
/// without blocking on it. `error` as there.
std::optional<ExerciseFile> readExerciseFile(const std::string& path, std::string& error);

/// Why the exercise could not be written and read back, or nothing when it can: the reader's
/// checks of its values, for exercises made in a program rather than read from a file.
std::optional<std::string> exerciseProblem(const ExerciseFile& exercise);

/// The file's text: "format" and "version" first, numbers in their shortest round-trip form,
/// so reading it back gives the same exercise.
std::string exerciseFileText(const ExerciseFile& exercise);

/// Writes the exercise atomically after the checks of exerciseProblem; the name must end in
/// .cyclar-exercise. On failure an earlier file stays whole and `error` names the file and why.
bool writeExerciseFile(const std::string& path, const ExerciseFile& exercise, std::string& error);

/// One answer a student gives: a number, a list of numbers, words, or yes/no (true/false).
struct ExerciseResponse {
    enum class Shape { number, numbers, words, yesNo };
    Shape shape = Shape::number;
    double number = 0.0;
    std::vector<double> numbers;
    std::string words;
    bool yes = false;

    friend bool operator==(const ExerciseResponse&, const ExerciseResponse&) = default;
};

/// The answers by question id.
using ExerciseResponses = std::map<std::string, ExerciseResponse>;

inline constexpr std::size_t answersFileMaxBytes = 1024 * 1024;

/// Reads a student's answers, one JSON object {"q1": 23.4, "q2": "crank-rocker", "q3": [12, 80],
/// "q4": true}: numbers, lists of up to four numbers, text of up to 200 bytes, true or false.
/// `error` as for the exercise file.
std::optional<ExerciseResponses> parseExerciseAnswers(std::string_view bytes, std::string& error);
std::optional<ExerciseResponses> readExerciseAnswers(const std::string& path, std::string& error);

} // namespace cyclar
