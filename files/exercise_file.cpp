// Exercise files and answer files: the strict reading (one sentence for every way they can be
// wrong), the checks of an exercise's values shared by the reader and the writer, and the text.
#include "exercise_file.h"

#include "design_result_text.h"
#include "dimensions_json.h"
#include "linkage_file.h"
#include "significant_text.h"
#include "strict_json.h"

#include <cmath>
#include <set>

namespace cyclar {

namespace {

const json::FileKind exerciseKind{"exercise", exerciseFileFormat, exerciseFileVersion,
                                  exerciseFileMaxBytes};
const json::FileKind answersKind{"set of answers", "", 0, answersFileMaxBytes};

struct KindName {
    QuestionKind kind;
    const char* name;
};

constexpr KindName kindNames[] = {
    {QuestionKind::type, "type"},
    {QuestionKind::grashof, "grashof"},
    {QuestionKind::inputLimits, "inputLimits"},
    {QuestionKind::outputLimits, "outputLimits"},
    {QuestionKind::swing, "swing"},
    {QuestionKind::timeRatio, "timeRatio"},
    {QuestionKind::output, "output"},
    {QuestionKind::transmission, "transmission"},
    {QuestionKind::coupler, "coupler"},
    {QuestionKind::outputRate, "outputRate"},
    {QuestionKind::outputAcceleration, "outputAcceleration"},
    {QuestionKind::couplerRate, "couplerRate"},
    {QuestionKind::pointSpeed, "pointSpeed"},
    {QuestionKind::mechanicalAdvantage, "mechanicalAdvantage"},
};

// An input angle further out than a turn either way is a slip, not a way of writing an angle.
constexpr double inputLimit = 360.0;
// The longest answer in words a student may give (the longest type name is 33 bytes).
constexpr std::size_t longestWords = 200;
// The most numbers one answer lists (a link has two limits at most).
constexpr std::size_t mostNumbers = 4;

bool validId(std::string_view id)
{
    if (id.empty() || id.size() > exerciseLongestId) {
        return false;
    }
    for (const char ch : id) {
        const bool allowed = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z')
                             || (ch >= '0' && ch <= '9') || ch == '-' || ch == '_' || ch == '.';
        if (!allowed) {
            return false;
        }
    }
    return true;
}

std::string idRule()
{
    return "1 to " + std::to_string(exerciseLongestId) + " letters, digits, '-', '_' or '.'";
}

bool hasControl(std::string_view text)
{
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x20 || byte == 0x7F) {
            return true;
        }
    }
    return false;
}

std::string unitList(QuestionKind kind)
{
    std::string list;
    const std::vector<std::string_view> units = questionUnits(kind);
    for (std::size_t i = 0; i < units.size(); ++i) {
        list += (i == 0                  ? "\""
                 : i + 1 == units.size() ? " or \""
                                         : ", \"")
                + std::string(units[i]) + "\"";
    }
    return list;
}

// How a message names a question: by its id when it has a usable one, else by its place.
std::string questionName(const std::string& id, std::size_t index)
{
    if (validId(id)) {
        return "question \"" + id + "\"";
    }
    return "question number " + std::to_string(index + 1);
}

std::optional<ExerciseFile> refuse(std::string& error, std::string why)
{
    error = std::move(why);
    return std::nullopt;
}

// The question at `index` of the file, with the JSON types checked; its values are checked by
// exerciseProblem afterwards, for files and programs alike.
bool readQuestion(const json::Value& item, std::size_t index, ExerciseQuestion& q,
                  std::string& error)
{
    const std::string place = "question number " + std::to_string(index + 1);
    if (!item.is_object()) {
        error = "has a " + place + " that is not an object";
        return false;
    }
    const json::Value* id = json::member(item, "id");
    if (!id || !id->is_string()) {
        error = "has a " + place + " without an \"id\" text";
        return false;
    }
    q.id = id->get<std::string>();
    if (!validId(q.id)) {
        error = "has a " + place + " whose \"id\" is not " + idRule();
        return false;
    }
    const std::string name = "has a question \"" + q.id + "\"";
    if (const std::optional<std::string> key =
            json::unknownKey(item, {"id", "kind", "input", "branch", "tolerance", "unit"})) {
        error = name + " with an unknown key \"" + json::shown(*key) + "\"";
        return false;
    }
    const json::Value* kind = json::member(item, "kind");
    if (!kind || !kind->is_string()) {
        error = name + " without a \"kind\" text";
        return false;
    }
    const std::optional<QuestionKind> known = questionKindNamed(kind->get<std::string>());
    if (!known) {
        error = name + " of an unknown kind \"" + json::shown(kind->get<std::string>()) + "\"";
        return false;
    }
    q.kind = *known;
    const std::string kindText = std::string("\"") + questionKindName(q.kind) + "\"";
    const auto presence = [&](const char* key, bool wanted) {
        const bool present = json::member(item, key) != nullptr;
        if (present && !wanted) {
            error = name + " of kind " + kindText + ", which takes no \"" + key + "\"";
            return false;
        }
        if (!present && wanted) {
            error = name + " without the \"" + key + "\" a question of kind " + kindText + " needs";
            return false;
        }
        return true;
    };
    const bool atInput = askedAtInput(q.kind);
    const bool inNumbers = !answeredInWords(q.kind);
    if (!presence("input", atInput) || !presence("branch", atInput)
        || !presence("tolerance", inNumbers) || !presence("unit", inNumbers)) {
        return false;
    }
    if (atInput) {
        const json::Value* input = json::member(item, "input");
        if (!input->is_number()) {
            error = name + " whose \"input\" is not a number";
            return false;
        }
        q.input = input->get<double>();
        const std::optional<int> branch = json::wholeNumber(json::member(item, "branch"), 1, 2);
        if (!branch) {
            error = name + " whose \"branch\" is not 1 or 2";
            return false;
        }
        q.branch = *branch;
    }
    if (inNumbers) {
        const json::Value* tolerance = json::member(item, "tolerance");
        if (!tolerance->is_number()) {
            error = name + " whose \"tolerance\" is not a number";
            return false;
        }
        q.tolerance = tolerance->get<double>();
        const json::Value* unit = json::member(item, "unit");
        if (!unit->is_string()) {
            error = name + " whose \"unit\" is not text";
            return false;
        }
        q.unit = unit->get<std::string>();
    }
    return true;
}

} // namespace

const char* questionKindName(QuestionKind kind)
{
    for (const KindName& entry : kindNames) {
        if (entry.kind == kind) {
            return entry.name;
        }
    }
    return "type";
}

std::optional<QuestionKind> questionKindNamed(std::string_view name)
{
    for (const KindName& entry : kindNames) {
        if (name == entry.name) {
            return entry.kind;
        }
    }
    return std::nullopt;
}

bool askedAtInput(QuestionKind kind)
{
    switch (kind) {
    case QuestionKind::output:
    case QuestionKind::transmission:
    case QuestionKind::coupler:
    case QuestionKind::outputRate:
    case QuestionKind::outputAcceleration:
    case QuestionKind::couplerRate:
    case QuestionKind::pointSpeed:
    case QuestionKind::mechanicalAdvantage:
        return true;
    default:
        return false;
    }
}

bool answeredInWords(QuestionKind kind)
{
    return kind == QuestionKind::type || kind == QuestionKind::grashof;
}

bool answeredWithList(QuestionKind kind)
{
    return kind == QuestionKind::inputLimits || kind == QuestionKind::outputLimits;
}

std::vector<std::string_view> questionUnits(QuestionKind kind)
{
    switch (kind) {
    case QuestionKind::type:
    case QuestionKind::grashof:
        return {};
    case QuestionKind::inputLimits:
    case QuestionKind::outputLimits:
    case QuestionKind::swing:
    case QuestionKind::output:
    case QuestionKind::transmission:
    case QuestionKind::coupler:
        return {"deg", "rad"};
    case QuestionKind::outputAcceleration:
        return {"1/rad"};
    default:
        return {"1"};
    }
}

std::optional<std::string> exerciseProblem(const ExerciseFile& exercise)
{
    if (exercise.title.empty()) {
        return std::string("has an empty \"title\"");
    }
    if (exercise.title.size() > exerciseLongestTitle) {
        return "has a \"title\" longer than " + std::to_string(exerciseLongestTitle) + " bytes";
    }
    if (hasControl(exercise.title)) {
        return std::string("has a \"title\" with a control character (a title is one line)");
    }
    const LinkageDimensions& d = exercise.dimensions;
    for (const double value : {d.a, d.b, d.c, d.f, d.h, d.k}) {
        if (!std::isfinite(value)) {
            return std::string("has a dimension that is not a finite number");
        }
    }
    if (exercise.circuit != 1 && exercise.circuit != 2) {
        return std::string("has a linkage \"circuit\" that is not 1 or 2");
    }
    if (exercise.questions.empty()) {
        return std::string("has no questions");
    }
    if (exercise.questions.size() > exerciseMostQuestions) {
        return "has more than " + std::to_string(exerciseMostQuestions) + " questions";
    }
    std::set<std::string> ids;
    for (std::size_t i = 0; i < exercise.questions.size(); ++i) {
        const ExerciseQuestion& q = exercise.questions[i];
        const std::string name = "has a " + questionName(q.id, i);
        if (!validId(q.id)) {
            return name + " whose \"id\" is not " + idRule();
        }
        if (!ids.insert(q.id).second) {
            return "has two questions with the id \"" + q.id + "\"";
        }
        if (askedAtInput(q.kind)) {
            if (!(std::fabs(q.input) <= inputLimit)) {
                return name + " whose \"input\" is not from -360 to 360 degrees";
            }
            if (q.branch != 1 && q.branch != 2) {
                return name + " whose \"branch\" is not 1 or 2";
            }
        }
        if (!answeredInWords(q.kind)) {
            if (!(q.tolerance > 0.0) || !std::isfinite(q.tolerance)) {
                return name + " whose \"tolerance\" is not a number above 0";
            }
            bool knownUnit = false;
            for (const std::string_view unit : questionUnits(q.kind)) {
                knownUnit = knownUnit || q.unit == unit;
            }
            if (!knownUnit) {
                return name + " whose \"unit\" is not " + unitList(q.kind);
            }
        }
    }
    return std::nullopt;
}

std::optional<ExerciseFile> parseExerciseFile(std::string_view bytes, std::string& error)
{
    const std::optional<json::Value> top = json::parseTop(
        bytes, exerciseKind, {"format", "version", "title", "linkage", "showWorking", "questions"},
        error);
    if (!top) {
        return std::nullopt;
    }
    ExerciseFile exercise;
    const json::Value* title = json::member(*top, "title");
    if (!title || !title->is_string()) {
        return refuse(error, "has no \"title\" text");
    }
    exercise.title = title->get<std::string>();

    const json::Value* linkage = json::member(*top, "linkage");
    if (!linkage || !linkage->is_object()) {
        return refuse(error, "has no \"linkage\" object");
    }
    if (const std::optional<std::string> key =
            json::unknownKey(*linkage, {"dimensions", "circuit"})) {
        return refuse(error, "has an unknown key \"" + json::shown(*key) + "\" in its \"linkage\"");
    }
    if (!json::readDimensions(json::member(*linkage, "dimensions"), exercise.dimensions, error)) {
        error = "has a \"linkage\" that " + error;
        return std::nullopt;
    }
    if (const json::Value* circuit = json::member(*linkage, "circuit")) {
        const std::optional<int> number = json::wholeNumber(circuit, 1, 2);
        if (!number) {
            return refuse(error, "has a linkage \"circuit\" that is not 1 or 2");
        }
        exercise.circuit = *number;
    }

    if (const json::Value* show = json::member(*top, "showWorking")) {
        if (!show->is_boolean()) {
            return refuse(error, "has a \"showWorking\" that is not true or false");
        }
        exercise.showWorking = show->get<bool>();
    }

    const json::Value* questions = json::member(*top, "questions");
    if (!questions || !questions->is_array()) {
        return refuse(error, "has no \"questions\" list");
    }
    if (questions->size() > exerciseMostQuestions) {
        return refuse(error,
                      "has more than " + std::to_string(exerciseMostQuestions) + " questions");
    }
    for (std::size_t i = 0; i < questions->size(); ++i) {
        ExerciseQuestion q;
        if (!readQuestion((*questions)[i], i, q, error)) {
            return std::nullopt;
        }
        exercise.questions.push_back(std::move(q));
    }
    if (const std::optional<std::string> problem = exerciseProblem(exercise)) {
        return refuse(error, *problem);
    }
    return exercise;
}

std::optional<ExerciseFile> readExerciseFile(const std::string& path, std::string& error)
{
    std::string bytes;
    if (!json::readRegularFile(path, exerciseKind, bytes, error)) {
        return std::nullopt;
    }
    return parseExerciseFile(bytes, error);
}

std::string exerciseFileText(const ExerciseFile& exercise)
{
    std::string text = std::string("{\n  \"format\": \"") + exerciseFileFormat + "\",\n";
    text += "  \"version\": " + std::to_string(exerciseFileVersion) + ",\n";
    text += "  \"title\": " + jsonQuoted(exercise.title) + ",\n";
    text += "  \"linkage\": {\"dimensions\": " + json::dimensionsText(exercise.dimensions);
    // Written only for the other circuit, as in linkage files.
    if (exercise.circuit != 1) {
        text += ", \"circuit\": " + std::to_string(exercise.circuit);
    }
    text += "},\n";
    if (!exercise.showWorking) {
        text += "  \"showWorking\": false,\n";
    }
    text += "  \"questions\": [";
    for (std::size_t i = 0; i < exercise.questions.size(); ++i) {
        const ExerciseQuestion& q = exercise.questions[i];
        text += (i == 0 ? "\n    {\"id\": " : ",\n    {\"id\": ") + jsonQuoted(q.id)
                + ", \"kind\": \"" + questionKindName(q.kind) + "\"";
        if (askedAtInput(q.kind)) {
            text += ", \"input\": " + shortestNumberText(q.input)
                    + ", \"branch\": " + std::to_string(q.branch);
        }
        if (!answeredInWords(q.kind)) {
            text += ", \"tolerance\": " + shortestNumberText(q.tolerance)
                    + ", \"unit\": " + jsonQuoted(q.unit);
        }
        text += "}";
    }
    text += exercise.questions.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return text;
}

std::optional<ExerciseResponses> parseExerciseAnswers(std::string_view bytes, std::string& error)
{
    const std::optional<json::Value> top = json::parse(bytes, answersKind, error);
    if (!top) {
        return std::nullopt;
    }
    if (!top->is_object()) {
        error = "is not a set of answers: it holds no JSON object such as {\"q1\": 23.4}";
        return std::nullopt;
    }
    ExerciseResponses responses;
    for (const auto& [id, value] : top->items()) {
        if (!validId(id)) {
            error = "has an answer for \"" + json::shown(id) + "\", which is no question's id ("
                    + idRule() + ")";
            return std::nullopt;
        }
        const std::string name = "has an answer \"" + id + "\"";
        ExerciseResponse response;
        if (value.is_number()) {
            response.number = value.get<double>();
        } else if (value.is_boolean()) {
            response.shape = ExerciseResponse::Shape::yesNo;
            response.yes = value.get<bool>();
        } else if (value.is_string()) {
            response.shape = ExerciseResponse::Shape::words;
            response.words = value.get<std::string>();
            if (response.words.size() > longestWords) {
                error = name + " longer than " + std::to_string(longestWords) + " bytes";
                return std::nullopt;
            }
        } else if (value.is_array()) {
            response.shape = ExerciseResponse::Shape::numbers;
            if (value.empty() || value.size() > mostNumbers) {
                error = name + " that lists " + std::to_string(value.size()) + " numbers (1 to "
                        + std::to_string(mostNumbers) + ")";
                return std::nullopt;
            }
            for (const json::Value& item : value) {
                if (!item.is_number()) {
                    error = name + " that lists something other than numbers";
                    return std::nullopt;
                }
                response.numbers.push_back(item.get<double>());
            }
        } else {
            error = name + " that is not a number, a list of numbers, text, or true or false";
            return std::nullopt;
        }
        responses.emplace(id, std::move(response));
    }
    return responses;
}

std::optional<ExerciseResponses> readExerciseAnswers(const std::string& path, std::string& error)
{
    std::string bytes;
    if (!json::readRegularFile(path, answersKind, bytes, error)) {
        return std::nullopt;
    }
    return parseExerciseAnswers(bytes, error);
}

} // namespace cyclar
