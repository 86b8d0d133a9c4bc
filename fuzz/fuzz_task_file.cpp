// Fuzzes the task file reader: any bytes are either refused with one sentence, or give a task
// that keeps the task rules and whose text reads back as the same task.
#include "task_file.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<cyclar::DesignTask> task = cyclar::parseTaskFile(bytes, error);
    if (!task) {
        if (error.empty() || error.find('\n') != std::string::npos)
            std::abort();
        return 0;
    }
    if (cyclar::taskProblem(*task))
        std::abort();
    if (task->kind == cyclar::TaskKind::Motion
        && (task->positions.size() < 3 || task->positions.size() > 5 || !task->pairs.empty()))
        std::abort();
    for (const cyclar::TaskPosition& p : task->positions) {
        if (!(std::abs(p.latitude) < 90) || !std::isfinite(p.longitude)
            || !std::isfinite(p.heading))
            std::abort();
    }
    std::string again;
    const std::optional<cyclar::DesignTask> reread =
        cyclar::parseTaskFile(cyclar::taskFileText(*task), again);
    if (!reread || *reread != *task)
        std::abort();
    return 0;
}
