// Task files (.cyclar-task): what a linkage is to do, as versioned JSON, read by the same strict
// reader as linkage files and refused with one sentence for every way a task can be wrong.
#pragma once

#include "design_task.h"
#include "task_rule.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace cyclar {

inline constexpr const char* taskFileFormat = "cyclar-task";
inline constexpr int taskFileVersion = 1;
inline constexpr std::size_t taskFileMaxBytes = 1024 * 1024;
inline constexpr const char* taskFileSuffix = ".cyclar-task";

/// Reads a task file's bytes. On failure returns nothing and sets `error` to one sentence
/// saying what is wrong (without the file's name, which the caller puts first).
std::optional<DesignTask> parseTaskFile(std::string_view bytes, std::string& error);

/// Reads the task file at `path` (the system's bytes), refusing anything but a regular file
/// without blocking on it. `error` as there.
std::optional<DesignTask> readTaskFile(const std::string& path, std::string& error);

/// The task's text, "format", "version" and "kind" first, numbers in their shortest
/// round-trip form. Reading it back gives the same task.
std::string taskFileText(const DesignTask& task);

} // namespace cyclar
