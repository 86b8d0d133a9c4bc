// Task files: the design task as versioned JSON. The text is read by the strict reader shared
// with linkage files; the task's own rules (how many positions, their ranges, no two alike)
// are checked here, for files and for tasks built in a program alike.
#include "task_file.h"

#include "linkage_file.h"
#include "strict_json.h"

#include <array>
#include <cmath>
#include <numbers>

namespace cyclar {

namespace {

const json::FileKind taskKind{"task file", taskFileFormat, taskFileVersion, taskFileMaxBytes};

// Angles are degrees; a turn or two either way covers every way of writing one.
constexpr double angleLimit = 360.0;

std::optional<DesignTask> refuse(std::string& error, std::string why)
{
    error = std::move(why);
    return std::nullopt;
}

std::string ordinal(std::size_t index)
{
    static const char* const names[] = {"first", "second", "third", "fourth", "fifth"};
    return index < 5 ? names[index] : "number " + std::to_string(index + 1);
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

using Vector = std::array<double, 3>;

// The point of a position and its heading's direction, as unit vectors.
std::array<Vector, 2> pointAndHeading(const TaskPosition& position)
{
    constexpr double degree = std::numbers::pi / 180.0;
    const double lambda = position.longitude * degree;
    const double phi = position.latitude * degree;
    const double sigma = position.heading * degree;
    const Vector point{std::cos(phi) * std::cos(lambda), std::cos(phi) * std::sin(lambda),
                       std::sin(phi)};
    const Vector north{-std::sin(phi) * std::cos(lambda), -std::sin(phi) * std::sin(lambda),
                       std::cos(phi)};
    const Vector east{-std::sin(lambda), std::cos(lambda), 0.0};
    Vector heading{};
    for (std::size_t i = 0; i < 3; ++i) {
        heading[i] = std::cos(sigma) * north[i] + std::sin(sigma) * east[i];
    }
    return {point, heading};
}

double distance(const Vector& x, const Vector& y)
{
    return std::hypot(x[0] - y[0], x[1] - y[1], x[2] - y[2]);
}

// Two orientations closer than this are one: the task could not tell them apart.
constexpr double sameOrientation = 1e-9;

bool withinAngles(double value)
{
    return std::abs(value) <= angleLimit;
}

std::string angleRange()
{
    return "from -360 to 360 degrees";
}

} // namespace

std::optional<std::string> taskProblem(const DesignTask& task)
{
    if (task.kind == TaskKind::Motion) {
        if (task.positions.size() < taskLeastPositions) {
            return "has " + std::to_string(task.positions.size())
                   + " positions; a motion task needs three to five";
        }
        if (task.positions.size() > taskMostPositions) {
            return "has " + std::to_string(task.positions.size())
                   + " positions; a motion task takes at most five";
        }
        for (std::size_t i = 0; i < task.positions.size(); ++i) {
            const TaskPosition& p = task.positions[i];
            if (!(std::abs(p.latitude) < 90.0)) {
                return "has a " + ordinal(i)
                       + " position whose \"latitude\" is not strictly between -90 and 90 "
                         "degrees (a heading has no north at a pole)";
            }
            if (!withinAngles(p.longitude) || !withinAngles(p.heading)) {
                return "has a " + ordinal(i) + " position whose \"longitude\" or \"heading\" is "
                       + "not " + angleRange();
            }
        }
        for (std::size_t i = 0; i < task.positions.size(); ++i) {
            for (std::size_t j = i + 1; j < task.positions.size(); ++j) {
                const auto [p, u] = pointAndHeading(task.positions[i]);
                const auto [q, v] = pointAndHeading(task.positions[j]);
                if (distance(p, q) < sameOrientation && distance(u, v) < sameOrientation) {
                    return "has its " + ordinal(i) + " and " + ordinal(j)
                           + " positions in the same place with the same heading";
                }
            }
        }
        if (!task.fixedPivots.empty()) {
            if (task.fixedPivots.size() != 2) {
                return "has " + std::to_string(task.fixedPivots.size())
                       + " \"fixedPivots\"; give exactly two, or none";
            }
            if (task.positions.size() != 3) {
                return std::string("has \"fixedPivots\" with ")
                       + std::to_string(task.positions.size())
                       + " positions; fixed pivots go with three positions only";
            }
            for (const TaskPivot& pivot : task.fixedPivots) {
                if (!(std::abs(pivot.latitude) <= 90.0) || !withinAngles(pivot.longitude)) {
                    return "has a fixed pivot whose \"latitude\" is not from -90 to 90 degrees "
                           "or whose \"longitude\" is not "
                           + angleRange();
                }
            }
            const TaskPosition first{task.fixedPivots[0].longitude, task.fixedPivots[0].latitude,
                                     0.0};
            const TaskPosition second{task.fixedPivots[1].longitude, task.fixedPivots[1].latitude,
                                      0.0};
            if (distance(pointAndHeading(first)[0], pointAndHeading(second)[0]) < sameOrientation) {
                return std::string("has its two fixed pivots in the same place");
            }
        }
        return std::nullopt;
    }

    if (task.pairs.size() < taskLeastPairs) {
        return "has " + std::to_string(task.pairs.size())
               + " pairs; a function task needs at least three";
    }
    for (std::size_t i = 0; i < task.pairs.size(); ++i) {
        const TaskPair& pair = task.pairs[i];
        if (!withinAngles(pair.input) || !withinAngles(pair.output)) {
            return "has a pair (number " + std::to_string(i + 1)
                   + ") whose \"input\" or \"output\" is not " + angleRange();
        }
        for (std::size_t j = 0; j < i; ++j) {
            const auto sameAngle = [](double x, double y) {
                const double turn = std::remainder(x - y, 360.0);
                return std::abs(turn) < 1e-9;
            };
            if (sameAngle(task.pairs[j].input, pair.input)
                && sameAngle(task.pairs[j].output, pair.output)) {
                return "has pairs number " + std::to_string(j + 1) + " and " + std::to_string(i + 1)
                       + " alike";
            }
        }
    }
    if (task.ground) {
        if (!(*task.ground > 0.0 && *task.ground < 180.0)) {
            return std::string("has a \"ground\" that is not strictly between 0 and 180 degrees");
        }
    } else if (task.pairs.size() == taskLeastPairs) {
        return std::string("has three pairs and no \"ground\"; three pairs need the ground "
                           "link's length");
    }
    return std::nullopt;
}

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
            if (!readNumbers((*positions)[i], ordinal(i) + " position",
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
                if (!readNumbers((*pivots)[i], ordinal(i) + " fixed pivot",
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
