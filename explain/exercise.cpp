// Exercises: keys from the working, the check of a student's answers, and exercises made from a
// seed by a generator of our own, so that a seed gives the same bytes on every machine.
#include "exercise.h"

#include "design_result_text.h"
#include "field_rules.h"
#include "linkage_file.h"
#include "significant_text.h"
#include "sphere_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>

namespace cyclar {

namespace {

bool isAngle(const ExerciseQuestion& q)
{
    return q.unit == "deg" || q.unit == "rad";
}

double inUnit(const ExerciseQuestion& q, double degrees)
{
    return q.unit == "rad" ? degrees * degree : degrees;
}

ExerciseKey undefinedKey(std::string why)
{
    ExerciseKey key;
    key.why = std::move(why);
    return key;
}

// The step's reason, or the working's situation, as the reason a question has no answer.
std::string reasonFrom(const Working& working, const WorkingPlace& place)
{
    if (const WorkingStep* step = findStep(working, place); step && !step->note.empty()) {
        return step->note;
    }
    return working.situation;
}

const char* grashofWords(const LinkageAnalysis& analysis)
{
    if (analysis.changePoint) {
        return "change-point";
    }
    return *analysis.grashof ? "Grashof" : "non-Grashof";
}

// Text compared without case, spaces, hyphens or underscores, "pi" read as π.
std::string normalised(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == ' ' || ch == '\t' || ch == '-' || ch == '_') {
            continue;
        }
        if ((ch == 'p' || ch == 'P') && i + 1 < text.size()
            && (text[i + 1] == 'i' || text[i + 1] == 'I')) {
            out += "\u03c0";
            ++i;
            continue;
        }
        out += ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
    }
    // Other dashes people type: the en dash, the minus sign, the hyphen.
    for (const std::string dash : {"\u2013", "\u2212", "\u2010"}) {
        for (std::size_t at = out.find(dash); at != std::string::npos; at = out.find(dash)) {
            out.erase(at, dash.size());
        }
    }
    for (std::size_t at = out.find("\u03a0"); at != std::string::npos; at = out.find("\u03a0")) {
        out.replace(at, 2, "\u03c0");
    }
    return out;
}

bool wordsMatch(const ExerciseQuestion& q, const ExerciseKey& key, const ExerciseResponse& given)
{
    if (q.kind == QuestionKind::grashof) {
        std::string verdict;
        if (given.shape == ExerciseResponse::Shape::yesNo) {
            verdict = given.yes ? "grashof" : "nongrashof";
        } else if (given.shape == ExerciseResponse::Shape::words) {
            verdict = normalised(given.words);
            if (verdict == "yes" || verdict == "true" || verdict == "holds") {
                verdict = "grashof";
            } else if (verdict == "no" || verdict == "false" || verdict == "notgrashof"
                       || verdict == "fails") {
                verdict = "nongrashof";
            } else if (verdict == "neither") {
                verdict = "changepoint";
            }
        }
        return verdict == normalised(key.words);
    }
    return given.shape == ExerciseResponse::Shape::words
           && normalised(given.words) == normalised(key.words);
}

bool within(const ExerciseQuestion& q, double given, double right)
{
    double difference = given - right;
    if (q.kind == QuestionKind::output || q.kind == QuestionKind::coupler) {
        // Angles on a circle: 179.95° and -179.95° are a tenth of a degree apart.
        const double turn = q.unit == "rad" ? 2.0 * std::numbers::pi : 360.0;
        difference = std::remainder(difference, turn);
    }
    return std::fabs(difference) <= q.tolerance;
}

bool numbersMatch(const ExerciseQuestion& q, const ExerciseKey& key, const ExerciseResponse& given)
{
    std::vector<double> values;
    if (given.shape == ExerciseResponse::Shape::number) {
        values = {given.number};
    } else if (given.shape == ExerciseResponse::Shape::numbers) {
        values = given.numbers;
    } else {
        return false;
    }
    if (values.size() != key.numbers.size()) {
        return false;
    }
    std::sort(values.begin(), values.end());
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!within(q, values[i], key.numbers[i])) {
            return false;
        }
    }
    return true;
}

std::string inputText(const ExerciseQuestion& q)
{
    std::string theta = shortestNumberText(q.input);
    if (theta[0] == '-') {
        theta = "\u2212" + theta.substr(1);
    }
    return " at \u03b8 = " + theta + "\u00b0 on branch " + std::to_string(q.branch);
}

std::string unitWords(const ExerciseQuestion& q)
{
    if (answeredInWords(q.kind)) {
        return "";
    }
    const std::string tolerance = shortestNumberText(q.tolerance);
    if (q.unit == "deg") {
        return " In degrees, to within " + tolerance + ".";
    }
    if (q.unit == "rad") {
        return " In radians, to within " + tolerance + ".";
    }
    if (q.unit == "1/rad") {
        return " Per radian of input, to within " + tolerance + ".";
    }
    return " To within " + tolerance + ".";
}

} // namespace

WorkingPlace questionStep(QuestionKind kind)
{
    switch (kind) {
    case QuestionKind::type:
        return workingSteps::type;
    case QuestionKind::grashof:
        return workingSteps::grashof;
    case QuestionKind::inputLimits:
        return workingSteps::inputLimits;
    case QuestionKind::outputLimits:
        return workingSteps::outputLimits;
    case QuestionKind::swing:
        return workingSteps::swing;
    case QuestionKind::timeRatio:
        return workingSteps::timeRatio;
    case QuestionKind::output:
        return workingSteps::output;
    case QuestionKind::transmission:
        return workingSteps::transmission;
    case QuestionKind::coupler:
        return workingSteps::coupler;
    case QuestionKind::outputRate:
        return workingSteps::outputRate;
    case QuestionKind::outputAcceleration:
        return workingSteps::outputAcceleration;
    case QuestionKind::couplerRate:
        return workingSteps::couplerRate;
    case QuestionKind::pointSpeed:
        return workingSteps::pointSpeed;
    case QuestionKind::mechanicalAdvantage:
        break;
    }
    return workingSteps::mechanicalAdvantage;
}

ExerciseKey exerciseKey(const ExerciseFile& exercise, const ExerciseQuestion& q)
{
    const double theta = askedAtInput(q.kind) ? q.input : 0.0;
    const Working w =
        explainLinkage(exercise.dimensions, theta, askedAtInput(q.kind) ? q.branch : 1);
    const LinkageAnalysis& an = w.analysis;
    const WorkingPlace place = questionStep(q.kind);
    if (!an.linksInRange || !an.assemblable) {
        return undefinedKey(w.situation);
    }
    ExerciseKey key;
    key.defined = true;
    const auto number = [&](double value) -> ExerciseKey {
        if (!std::isfinite(value)) {
            return undefinedKey(reasonFrom(w, place));
        }
        key.numbers = {isAngle(q) ? inUnit(q, value) : value};
        return key;
    };
    const WorkingResults& r = w.results;
    switch (q.kind) {
    case QuestionKind::type:
        key.words = an.type;
        return key;
    case QuestionKind::grashof:
        key.words = grashofWords(an);
        return key;
    case QuestionKind::inputLimits:
    case QuestionKind::outputLimits: {
        const std::vector<double>& limits =
            q.kind == QuestionKind::inputLimits ? an.inputLimits : an.outputLimits;
        if (limits.empty()) {
            return undefinedKey(q.kind == QuestionKind::inputLimits
                                    ? "its input turns fully, so it has no input limits"
                                    : "its output turns fully, so it has no output limits");
        }
        for (const double limit : limits) {
            key.numbers.push_back(inUnit(q, limit));
        }
        return key;
    }
    case QuestionKind::swing:
    case QuestionKind::timeRatio:
        if (!an.swing || !an.timeRatio) {
            return undefinedKey("it is a " + an.type
                                + ", not a crank-rocker: only a crank-rocker has a swing and a "
                                  "time ratio");
        }
        return number(q.kind == QuestionKind::swing ? *an.swing : *an.timeRatio);
    case QuestionKind::output:
        return number(r.output);
    case QuestionKind::transmission:
        return number(r.transmission);
    case QuestionKind::coupler:
        return number(r.coupler);
    case QuestionKind::outputRate:
        return number(r.outputRate);
    case QuestionKind::outputAcceleration:
        return number(r.outputAcceleration);
    case QuestionKind::couplerRate:
        return number(r.couplerRate);
    case QuestionKind::pointSpeed:
        return number(r.pointSpeed);
    case QuestionKind::mechanicalAdvantage:
        break;
    }
    return number(r.mechanicalAdvantage);
}

std::optional<std::string> unanswerableQuestion(const ExerciseFile& exercise)
{
    for (const ExerciseQuestion& q : exercise.questions) {
        const ExerciseKey key = exerciseKey(exercise, q);
        if (!key.defined) {
            std::string why = key.why;
            if (!why.empty() && why.back() == '.') {
                why.pop_back();
            }
            return "has a question \"" + q.id + "\" without an answer (" + why + ")";
        }
    }
    return std::nullopt;
}

std::string questionText(const ExerciseQuestion& q)
{
    std::string text;
    switch (q.kind) {
    case QuestionKind::type:
        text = "What type of linkage is this, by the spherical conditions?";
        break;
    case QuestionKind::grashof:
        text = "Does the spherical Grashof condition hold (Grashof, non-Grashof or "
               "change-point)?";
        break;
    case QuestionKind::inputLimits:
        text = "At which |\u03b8| does the input reach its limits?";
        break;
    case QuestionKind::outputLimits:
        text = "At which |\u03c8| does the output reach its limits?";
        break;
    case QuestionKind::swing:
        text = "Through what angle does the output rocker swing?";
        break;
    case QuestionKind::timeRatio:
        text = "What is the time ratio, the longer stroke over the shorter?";
        break;
    case QuestionKind::output:
        text = "What is the output angle \u03c8" + inputText(q) + "?";
        break;
    case QuestionKind::transmission:
        text = "What is the transmission angle \u03bc" + inputText(q) + "?";
        break;
    case QuestionKind::coupler:
        text = "What is the coupler's angle at A1" + inputText(q) + "?";
        break;
    case QuestionKind::outputRate:
        text = "What is the velocity ratio d\u03c8/d\u03b8" + inputText(q) + "?";
        break;
    case QuestionKind::outputAcceleration:
        text = "What is d\u00b2\u03c8/d\u03b8\u00b2" + inputText(q) + "?";
        break;
    case QuestionKind::couplerRate:
        text = "What is |\u03c9|, the coupler's angular velocity per unit input rate,"
               + inputText(q) + "?";
        break;
    case QuestionKind::pointSpeed:
        text = "What is |dP/d\u03b8|, the coupler point's speed per unit input rate," + inputText(q)
               + "?";
        break;
    case QuestionKind::mechanicalAdvantage:
        text = "What is the mechanical advantage d\u03b8/d\u03c8" + inputText(q) + "?";
        break;
    }
    return text + unitWords(q);
}

std::string keyText(const ExerciseKey& key)
{
    if (!key.defined) {
        return "";
    }
    if (key.numbers.empty()) {
        return key.words;
    }
    std::string text;
    for (const double value : key.numbers) {
        text += std::string(text.empty() ? "" : " ") + shortestNumberText(value);
    }
    return text;
}

std::string keyWords(const ExerciseKey& key, const ExerciseQuestion& q)
{
    if (!key.defined) {
        return "";
    }
    if (key.numbers.empty()) {
        return key.words;
    }
    const std::string unit = q.unit == "deg" ? "\u00b0" : q.unit == "rad" ? " rad" : "";
    std::string text;
    for (const double value : key.numbers) {
        if (!text.empty()) {
            text += " and ";
        }
        text += shortestNumberText(value);
        text += unit;
    }
    return text;
}

std::optional<ExerciseResponse> responseFromText(const ExerciseQuestion& q, std::string_view typed)
{
    const auto blank = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; };
    while (!typed.empty() && blank(typed.front())) {
        typed.remove_prefix(1);
    }
    while (!typed.empty() && blank(typed.back())) {
        typed.remove_suffix(1);
    }
    if (typed.empty()) {
        return std::nullopt;
    }
    ExerciseResponse response;
    response.shape = ExerciseResponse::Shape::words;
    response.words = std::string(typed);
    if (answeredInWords(q.kind)) {
        return response;
    }
    // The parts between blanks, commas and semicolons, each a number.
    std::vector<double> numbers;
    std::string part;
    std::string text = response.words;
    text += ' ';
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, "\u2212") == 0) {
            part += '-';
            i += 2;
            continue;
        }
        const char ch = text[i];
        if (blank(ch) || ch == ',' || ch == ';') {
            if (!part.empty()) {
                const std::optional<double> number = parseCellNumber(part);
                if (!number) {
                    return response; // words: not yet
                }
                numbers.push_back(*number);
                part.clear();
            }
            continue;
        }
        part += ch;
    }
    if (numbers.size() == 1) {
        response.shape = ExerciseResponse::Shape::number;
        response.number = numbers.front();
    } else {
        response.shape = ExerciseResponse::Shape::numbers;
        response.numbers = numbers;
    }
    response.words.clear();
    return response;
}

ExerciseCheck checkExercise(const ExerciseFile& exercise, const ExerciseResponses& answers)
{
    ExerciseCheck check;
    for (const ExerciseQuestion& q : exercise.questions) {
        QuestionCheck result;
        result.id = q.id;
        result.key = exerciseKey(exercise, q);
        const WorkingPlace place = questionStep(q.kind);
        const std::string step =
            std::string("the step \u201c") + place.step + "\u201d under " + place.section;
        const auto given = answers.find(q.id);
        result.answered = given != answers.end();
        if (!result.key.defined) {
            result.hint = "This question has no answer for this linkage; see " + step + ".";
        } else if (!result.answered) {
            result.hint = "No answer given; " + step + " works it out.";
        } else if (answeredInWords(q.kind)) {
            result.correct = wordsMatch(q, result.key, given->second);
            if (!result.correct) {
                result.hint = "Look again at " + step + ".";
            }
        } else {
            result.correct = numbersMatch(q, result.key, given->second);
            if (!result.correct) {
                const bool countWrong =
                    answeredWithList(q.kind)
                    && given->second.shape == ExerciseResponse::Shape::numbers
                    && given->second.numbers.size() != result.key.numbers.size();
                result.hint =
                    countWrong ? "Not as many limits as the link has; look again at " + step + "."
                               : "Look again at " + step + ".";
            }
        }
        check.score += result.correct ? 1 : 0;
        check.results.push_back(std::move(result));
    }
    check.of = static_cast<int>(exercise.questions.size());
    return check;
}

std::optional<std::string> strayAnswer(const ExerciseFile& exercise,
                                       const ExerciseResponses& answers)
{
    for (const auto& answer : answers) {
        const std::string& id = answer.first;
        const bool asked = std::any_of(exercise.questions.begin(), exercise.questions.end(),
                                       [&id](const ExerciseQuestion& q) { return q.id == id; });
        if (!asked) {
            return id;
        }
    }
    return std::nullopt;
}

std::string checkJson(const ExerciseFile& exercise, const ExerciseCheck& check, bool reveal)
{
    std::string out = "{\"results\": [";
    for (std::size_t i = 0; i < check.results.size(); ++i) {
        const QuestionCheck& r = check.results[i];
        out += (i == 0 ? "\n  {\"id\": " : ",\n  {\"id\": ") + jsonQuoted(r.id)
               + ", \"correct\": " + (r.correct ? "true" : "false")
               + ", \"hint\": " + (r.hint.empty() ? std::string("null") : jsonQuoted(r.hint));
        if (reveal) {
            const ExerciseQuestion& q = exercise.questions[i];
            std::string answer = "null";
            if (r.key.defined && !r.key.numbers.empty()) {
                if (answeredWithList(q.kind)) {
                    answer = "[";
                    for (std::size_t j = 0; j < r.key.numbers.size(); ++j) {
                        answer +=
                            std::string(j == 0 ? "" : ", ") + shortestNumberText(r.key.numbers[j]);
                    }
                    answer += "]";
                } else {
                    answer = shortestNumberText(r.key.numbers[0]);
                }
            } else if (r.key.defined) {
                answer = jsonQuoted(r.key.words);
            }
            out += ", \"answer\": " + answer
                   + ", \"unit\": " + (q.unit.empty() ? std::string("null") : jsonQuoted(q.unit));
        }
        out += "}";
    }
    out += check.results.empty() ? "],\n" : "\n ],\n";
    out += " \"score\": " + std::to_string(check.score) + ",\n \"of\": " + std::to_string(check.of)
           + "}\n";
    return out;
}

// ---------------------------------------------------------------------------------------------
// Making exercises

namespace {

// SplitMix64: small, fast and fully specified, so a seed draws the same numbers everywhere
// (the standard library's distributions are not the same on every library).
class Draws {
public:
    explicit Draws(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    /// A whole number from low to high, each equally likely.
    int between(int low, int high)
    {
        const auto span = static_cast<std::uint64_t>(high - low) + 1;
        const std::uint64_t limit = ~std::uint64_t{0} - (~std::uint64_t{0} % span);
        std::uint64_t value = next();
        while (value >= limit) {
            value = next();
        }
        return low + static_cast<int>(value % span);
    }

private:
    std::uint64_t m_state;
};

// A linkage of a clear type: no Ti this close to 0 (degrees).
constexpr double clearType = 3.0;
// The asked input stays this far (degrees) from the input's toggles and the output's.
constexpr double clearOfToggles = 3.0;
constexpr int linkageAttempts = 200000;
constexpr int inputAttempts = 100;

bool typeMatches(const std::string& wanted, const std::string& type)
{
    if (wanted.empty()) {
        return true;
    }
    if (wanted == "grashof-double-rocker") {
        return type == "Grashof double-rocker";
    }
    if (wanted == "non-grashof-double-rocker") {
        return type.rfind("non-Grashof double-rocker", 0) == 0;
    }
    return type == wanted;
}

// Whether a question of the kind has an answer for a linkage whose input and output turn fully
// or not and which is or is not a crank-rocker.
bool applies(QuestionKind kind, bool inputRotates, bool outputRotates, bool crankRocker)
{
    switch (kind) {
    case QuestionKind::inputLimits:
        return !inputRotates;
    case QuestionKind::outputLimits:
        return !outputRotates;
    case QuestionKind::swing:
    case QuestionKind::timeRatio:
        return crankRocker;
    default:
        return true;
    }
}

// How each type's links move: input turns, output turns.
struct TypeMotion {
    const char* name;
    bool inputRotates;
    bool outputRotates;
};
constexpr TypeMotion typeMotions[] = {{"crank-rocker", true, false},
                                      {"rocker-crank", false, true},
                                      {"double-crank", true, true},
                                      {"grashof-double-rocker", false, false},
                                      {"non-grashof-double-rocker", false, false}};

double toleranceFor(QuestionKind kind)
{
    switch (kind) {
    case QuestionKind::timeRatio:
    case QuestionKind::outputRate:
    case QuestionKind::couplerRate:
    case QuestionKind::pointSpeed:
        return 0.005;
    case QuestionKind::outputAcceleration:
    case QuestionKind::mechanicalAdvantage:
        return 0.02;
    default:
        return 0.1;
    }
}

// An input angle and branch at which every question has a well-defined answer, or nothing.
std::optional<std::pair<int, int>> askedPosition(const LinkageDimensions& dims,
                                                 const LinkageAnalysis& analysis, Draws& draws)
{
    for (int attempt = 0; attempt < inputAttempts; ++attempt) {
        const int theta = draws.between(-179, 180);
        const int branch = draws.between(1, 2);
        bool clear = true;
        for (const double limit : analysis.inputLimits) {
            clear = clear && std::fabs(std::fabs(theta) - limit) >= clearOfToggles;
        }
        if (!clear) {
            continue;
        }
        const OutputAngles angles = outputAnglesAt(dims, theta);
        if (!angles.closes) {
            continue;
        }
        const double psi = angles.psi[static_cast<std::size_t>(branch - 1)];
        for (const double limit : analysis.outputLimits) {
            clear = clear && std::fabs(std::fabs(psi) - limit) >= clearOfToggles;
        }
        const LinkageRates r =
            outputRatesAt(dims, theta).branch[static_cast<std::size_t>(branch - 1)];
        const double rate = std::fabs(r.outputRate);
        if (clear && rate >= 0.05 && rate <= 5.0 && std::fabs(r.outputAcceleration) <= 50.0) {
            return std::pair{theta, branch};
        }
    }
    return std::nullopt;
}

std::string numbered(int number, int count)
{
    const int width = count >= 100 ? 3 : 2;
    std::string text = std::to_string(number);
    return std::string(static_cast<std::size_t>(std::max(0, width - static_cast<int>(text.size()))),
                       '0')
           + text;
}

} // namespace

std::optional<std::string> exerciseRequestProblem(const ExerciseRequest& request)
{
    if (request.count < 1 || request.count > mostExercises) {
        return "the count must be a whole number from 1 to " + std::to_string(mostExercises);
    }
    bool knownType = request.type.empty();
    for (const char* type : exerciseTypes) {
        knownType = knownType || request.type == type;
    }
    if (!knownType) {
        std::string list;
        for (const char* type : exerciseTypes) {
            list += std::string(list.empty() ? "" : ", ") + std::string(type);
        }
        return "the type '" + request.type + "' is none of " + list;
    }
    // Some type the request allows must answer every kind asked.
    for (const TypeMotion& motion : typeMotions) {
        if (!request.type.empty() && request.type != motion.name) {
            continue;
        }
        const bool crankRocker = std::string(motion.name) == "crank-rocker";
        const bool all =
            std::all_of(request.kinds.begin(), request.kinds.end(), [&](QuestionKind k) {
                return applies(k, motion.inputRotates, motion.outputRotates, crankRocker);
            });
        if (all) {
            return std::nullopt;
        }
    }
    std::string kinds;
    for (const QuestionKind kind : request.kinds) {
        kinds += std::string(kinds.empty() ? "" : ", ") + std::string(questionKindName(kind));
    }
    return "no " + (request.type.empty() ? std::string("linkage") : request.type)
           + " answers every kind asked (" + kinds
           + "): input limits need a rocking input, output limits a rocking output, and swing "
             "and time ratio a crank-rocker";
}

std::vector<MadeExercise> makeExercises(const ExerciseRequest& request)
{
    std::vector<MadeExercise> made;
    if (exerciseRequestProblem(request)) {
        return made;
    }
    Draws draws(request.seed);
    std::set<std::array<int, 6>> used;
    for (int attempt = 0;
         attempt < linkageAttempts && static_cast<int>(made.size()) < request.count; ++attempt) {
        const std::array<int, 6> drawn{draws.between(10, 170), draws.between(10, 170),
                                       draws.between(10, 170), draws.between(10, 170),
                                       draws.between(10, 80),  draws.between(-90, 90)};
        const LinkageDimensions dims{double(drawn[0]), double(drawn[1]), double(drawn[2]),
                                     double(drawn[3]), double(drawn[4]), double(drawn[5])};
        const LinkageAnalysis an = analyseLinkage(dims);
        if (!an.linksInRange || !an.assemblable || an.changePoint || used.count(drawn) != 0
            || !typeMatches(request.type, an.type)) {
            continue;
        }
        const bool clearTyped = std::all_of(an.T.begin(), an.T.end(),
                                            [](double t) { return std::fabs(t) >= clearType; });
        if (!clearTyped) {
            continue;
        }
        const bool crankRocker = an.type == "crank-rocker";
        std::vector<QuestionKind> kinds = request.kinds;
        if (kinds.empty()) {
            for (const QuestionKind kind : allQuestionKinds) {
                if (applies(kind, an.inputRotates, an.outputRotates, crankRocker)) {
                    kinds.push_back(kind);
                }
            }
        }
        const bool answered = std::all_of(kinds.begin(), kinds.end(), [&](QuestionKind k) {
            return applies(k, an.inputRotates, an.outputRotates, crankRocker);
        });
        if (!answered || (crankRocker && (!an.swing || !an.timeRatio))) {
            continue;
        }
        const bool atInput = std::any_of(kinds.begin(), kinds.end(), askedAtInput);
        std::optional<std::pair<int, int>> position;
        if (atInput) {
            position = askedPosition(dims, an, draws);
            if (!position) {
                continue;
            }
        }
        used.insert(drawn);
        MadeExercise exercise;
        const int number = static_cast<int>(made.size()) + 1;
        exercise.name = "exercise-" + numbered(number, request.count);
        ExerciseFile& file = exercise.exercise;
        file.title = "Exercise " + std::to_string(number);
        file.dimensions = dims;
        for (std::size_t i = 0; i < kinds.size(); ++i) {
            ExerciseQuestion q;
            q.id = "q" + std::to_string(i + 1);
            q.kind = kinds[i];
            if (askedAtInput(q.kind)) {
                q.input = position->first;
                q.branch = position->second;
            }
            if (!answeredInWords(q.kind)) {
                q.tolerance = toleranceFor(q.kind);
                q.unit = std::string(questionUnits(q.kind).front());
            }
            file.questions.push_back(std::move(q));
        }
        made.push_back(std::move(exercise));
    }
    return made;
}

std::string answersCsv(const std::vector<MadeExercise>& exercises)
{
    std::string csv = "exercise,id,kind,answer\n";
    for (const MadeExercise& made : exercises) {
        for (const ExerciseQuestion& q : made.exercise.questions) {
            csv += made.name + "," + q.id + "," + questionKindName(q.kind) + ","
                   + keyText(exerciseKey(made.exercise, q)) + "\n";
        }
    }
    return csv;
}

} // namespace cyclar
