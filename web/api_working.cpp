// The working and the exercises for the browser's panels (the desk module): the core's text of
// the working, its handout, and an exercise read, checked and its key shown.
#include "api_support.h"

#include "design_result_text.h"
#include "exercise.h"
#include "handout_figures.h"
#include "working_text.h"

#include <array>
#include <cmath>

using namespace cyclar;
using web::handOut;
using web::jsonNumber;

namespace {

// The exercise the page has open: read by cyclar_read_exercise_file, checked against after.
std::optional<ExerciseFile>& heldExercise()
{
    static std::optional<ExerciseFile> exercise;
    return exercise;
}

} // namespace

/// The working at `theta` on `branch` in the form `format`: 0 text, 1 Markdown, 2 JSON.
const char* cyclar_working(double a, double b, double c, double f, double h, double k, double theta,
                           int branch, int format)
{
    const Working working = explainLinkage({a, b, c, f, h, k}, theta, branch);
    return handOut(format == 2   ? workingJson(working)
                   : format == 1 ? workingMarkdown(working)
                                 : workingText(working));
}

/// The working as the HTML handout, its picture seen at the view's turn and tilt: the very page
/// cyclar-export explain --format html writes.
const char* cyclar_working_html(double a, double b, double c, double f, double h, double k,
                                double theta, int branch, double turn, double tilt)
{
    const Working working = explainLinkage({a, b, c, f, h, k}, theta, branch);
    ViewOrientation view;
    view.turn = turn;
    view.tilt = tilt;
    view.recompute();
    return handOut(workingHtml(working, handoutFigures(working, view)));
}

int cyclar_exercise_file_max_bytes()
{
    return static_cast<int>(exerciseFileMaxBytes);
}

/// Reads the exercise file in the file buffer and holds it for the checks: {"problem": sentence}
/// (the reader's, or a question without an answer) or {"title", "dims", "showWorking",
/// "questions": [{"id", "kind", "text", "input", "branch"}]}.
const char* cyclar_read_exercise_file(int size)
{
    std::string error;
    std::optional<ExerciseFile> exercise = parseExerciseFile(web::fileBytes(size), error);
    if (exercise) {
        if (const std::optional<std::string> problem = unanswerableQuestion(*exercise)) {
            error = *problem;
            exercise.reset();
        }
    }
    if (!exercise) {
        return handOut("{\"problem\":" + jsonQuoted(error) + "}");
    }
    heldExercise() = exercise;
    const LinkageDimensions& d = exercise->dimensions;
    std::string out =
        "{\"title\":" + jsonQuoted(exercise->title) + ",\"dims\":{\"a\":" + jsonNumber(d.a)
        + ",\"b\":" + jsonNumber(d.b) + ",\"c\":" + jsonNumber(d.c) + ",\"f\":" + jsonNumber(d.f)
        + ",\"h\":" + jsonNumber(d.h) + ",\"k\":" + jsonNumber(d.k)
        + "},\"showWorking\":" + (exercise->showWorking ? "true" : "false") + ",\"questions\":[";
    for (std::size_t i = 0; i < exercise->questions.size(); ++i) {
        const ExerciseQuestion& q = exercise->questions[i];
        out += std::string(i == 0 ? "{" : ",{") + "\"id\":" + jsonQuoted(q.id) + ",\"kind\":\""
               + questionKindName(q.kind) + "\",\"text\":" + jsonQuoted(questionText(q));
        if (askedAtInput(q.kind)) {
            out += ",\"input\":" + jsonNumber(q.input) + ",\"branch\":" + std::to_string(q.branch);
        }
        out += "}";
    }
    return handOut(out + "]}");
}

/// Checks the answers typed for the held exercise, one line each in the questions' order: the
/// marks as cyclar-export check prints them, without the right values.
const char* cyclar_exercise_check(const char* typed)
{
    const std::optional<ExerciseFile>& exercise = heldExercise();
    if (!exercise) {
        return handOut("{\"results\": [], \"score\": 0, \"of\": 0}");
    }
    ExerciseResponses responses;
    std::string_view lines = typed;
    for (const ExerciseQuestion& q : exercise->questions) {
        const std::size_t end = std::min(lines.find('\n'), lines.size());
        if (const std::optional<ExerciseResponse> r = responseFromText(q, lines.substr(0, end))) {
            responses.emplace(q.id, *r);
        }
        lines.remove_prefix(std::min(end + 1, lines.size()));
    }
    return handOut(checkJson(*exercise, checkExercise(*exercise, responses), false));
}

/// The held exercise's right values as a student reads them, {"answers": [{"id", "text"}]}: none
/// when the file forbids the working.
const char* cyclar_exercise_key()
{
    const std::optional<ExerciseFile>& exercise = heldExercise();
    std::string out = "{\"answers\":[";
    if (exercise && exercise->showWorking) {
        for (const ExerciseQuestion& q : exercise->questions) {
            out += std::string(out.back() == '[' ? "{" : ",{") + "\"id\":" + jsonQuoted(q.id)
                   + ",\"text\":" + jsonQuoted(keyWords(exerciseKey(*exercise, q), q)) + "}";
        }
    }
    return handOut(out + "]}");
}
