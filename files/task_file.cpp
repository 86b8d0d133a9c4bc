// Task files: the design task as versioned JSON. The text is read by the strict reader shared
// with linkage files; the task's own rules (how many positions, their ranges, no two alike)
// are the one task rule's, which the design and the windows ask too.
#include "task_file.h"

#include "linkage_file.h"
#include "strict_json.h"

#include <array>

namespace cyclar {

namespace {

const json::FileKind taskKind{"task file", taskFileFormat, taskFileVersion, taskFileMaxBytes};

std::optional<DesignTask> refuse(std::string& error, std::string why)
{
    error = std::move(why);
    return std::nullopt;
}

// Reads the numbers `names` of the object `value` (the `what` of the task) into `out`.
template <std::size_t N>
bool readNumbers(const json::Value& value, const std::string& what,
                 const std::array<const char*, N>& names, std::array<double, N>& out,
                 std::string& error)
{
    if (!value.is_object()) {
        error = "has a " + what + " that is not an object";
        return false;
    }
    for (const auto& [key, item] : value.items()) {
        bool isKnown = false;
        for (const char* name : names) {
            isKnown = isKnown || key == name;
        }
        if (!isKnown) {
            error = "has an unknown key \"" + json::shown(key) + "\" in its " + what;
            return false;
        }
    }
    for (std::size_t i = 0; i < N; ++i) {
        const json::Value* number = json::member(value, names[i]);
        if (!number) {
            error = "has a " + what + " without \"" + names[i] + "\"";
            return false;
        }
        if (!number->is_number()) {
            error = "has a " + what + " whose \"" + names[i] + "\" is not a number";
            return false;
        }
        out[i] = number->get<double>();
    }
    return true;
}

// The list `name` of the task: nothing with `error` unset when it is absent, nothing with
// `error` set when it is not a list.
const json::Value* listMember(const json::Value& top, const char* name, std::string& error)
{
    const json::Value* list = json::member(top, name);
    if (list && !list->is_array()) {
        error = std::string("has a \"") + name + "\" that is not a list";
        return nullptr;
    }
    return list;
}

} // namespace

std::optional<DesignTask> parseTaskFile(std::string_view bytes, std::string& error)
{
    const std::optional<json::Value> top = json::parseTop(
        bytes, taskKind,
        {"format", "version", "kind", "positions", "fixedPivots", "pairs", "ground"}, error);
    if (!top) {
        return std::nullopt;
    }
    DesignTask task;
    const json::Value* kind = json::member(*top, "kind");
    if (!kind) {
        return refuse(error, "has no \"kind\" (\"motion\" or \"function\")");
    }
    if (*kind == "motion") {
        task.kind = TaskKind::Motion;
    } else if (*kind == "function") {
        task.kind = TaskKind::Function;
    } else {
        return refuse(error, "has an unknown \"kind\"; a task is \"motion\" or \"function\"");
    }
    const bool motion = task.kind == TaskKind::Motion;
    for (const char* stray :
         motion ? std::array{"pairs", "ground"} : std::array{"positions", "fixedPivots"}) {
        if (json::member(*top, stray)) {
            return refuse(error, std::string("has \"") + stray + "\", which a "
                                     + (motion ? "motion" : "function") + " task does not take");
        }
    }

    if (motion) {
        error.clear();
        const json::Value* positions = listMember(*top, "positions", error);
        if (!positions) {
            return error.empty() ? refuse(error, "has no \"positions\"") : std::nullopt;
        }
        for (std::size_t i = 0; i < positions->size() && i <= taskMostPositions; ++i) {
            std::array<double, 3> values{};
            if (!readNumbers((*positions)[i], taskOrdinal(i) + " position",
                             std::array{"longitude", "latitude", "heading"}, values, error)) {
                return std::nullopt;
            }
            task.positions.push_back({values[0], values[1], values[2]});
        }
        if (positions->size() > taskMostPositions) {
            task.positions.resize(positions->size()); // counted, not read: it is refused
        }
        if (const json::Value* pivots = listMember(*top, "fixedPivots", error)) {
            for (std::size_t i = 0; i < pivots->size() && i <= 2; ++i) {
                std::array<double, 2> values{};
                if (!readNumbers((*pivots)[i], taskOrdinal(i) + " fixed pivot",
                                 std::array{"longitude", "latitude"}, values, error)) {
                    return std::nullopt;
                }
                task.fixedPivots.push_back({values[0], values[1]});
            }
            if (pivots->size() > 2) {
                task.fixedPivots.resize(pivots->size()); // counted, not read: it is refused
            }
        } else if (!error.empty()) {
            return std::nullopt;
        }
    } else {
        error.clear();
        const json::Value* pairs = listMember(*top, "pairs", error);
        if (!pairs) {
            return error.empty() ? refuse(error, "has no \"pairs\"") : std::nullopt;
        }
        for (std::size_t i = 0; i < pairs->size(); ++i) {
            std::array<double, 2> values{};
            if (!readNumbers((*pairs)[i], "pair (number " + std::to_string(i + 1) + ")",
                             std::array{"input", "output"}, values, error)) {
                return std::nullopt;
            }
            task.pairs.push_back({values[0], values[1]});
        }
        if (const json::Value* ground = json::member(*top, "ground")) {
            if (!ground->is_number()) {
                return refuse(error, "has a \"ground\" that is not a number");
            }
            task.ground = ground->get<double>();
        }
    }
    if (std::optional<std::string> problem = taskProblem(task)) {
        return refuse(error, std::move(*problem));
    }
    return task;
}

std::optional<DesignTask> readTaskFile(const std::string& path, std::string& error)
{
    std::string bytes;
    if (!json::readRegularFile(path, taskKind, bytes, error)) {
        return std::nullopt;
    }
    return parseTaskFile(bytes, error);
}

std::string taskFileText(const DesignTask& task)
{
    const auto number = [](double value) { return fileNumberText(value); };
    const bool motion = task.kind == TaskKind::Motion;
    std::string text = std::string("{\n  \"format\": \"") + taskFileFormat + "\",\n";
    text += "  \"version\": " + std::to_string(taskFileVersion) + ",\n";
    text += std::string("  \"kind\": \"") + (motion ? "motion" : "function") + "\"";
    const auto list = [&](const char* name, std::size_t count, const auto& item) {
        text += std::string(",\n  \"") + name + "\": [";
        for (std::size_t i = 0; i < count; ++i) {
            text += (i == 0 ? "\n    " : ",\n    ") + item(i);
        }
        text += count == 0 ? "]" : "\n  ]";
    };
    if (motion) {
        list("positions", task.positions.size(), [&](std::size_t i) {
            const TaskPosition& p = task.positions[i];
            return "{\"longitude\": " + number(p.longitude) + ", \"latitude\": "
                   + number(p.latitude) + ", \"heading\": " + number(p.heading) + "}";
        });
        if (!task.fixedPivots.empty()) {
            list("fixedPivots", task.fixedPivots.size(), [&](std::size_t i) {
                const TaskPivot& p = task.fixedPivots[i];
                return "{\"longitude\": " + number(p.longitude)
                       + ", \"latitude\": " + number(p.latitude) + "}";
            });
        }
    } else {
        list("pairs", task.pairs.size(), [&](std::size_t i) {
            const TaskPair& p = task.pairs[i];
            return "{\"input\": " + number(p.input) + ", \"output\": " + number(p.output) + "}";
        });
        if (task.ground) {
            text += ",\n  \"ground\": " + number(*task.ground);
        }
    }
    text += "\n}\n";
    return text;
}

} // namespace cyclar
