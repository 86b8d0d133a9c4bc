// The Design window's tables as the user left them, kept between runs: both kinds' tables as
// typed (a cell that is not a number yet included), and which kind was shown.
#pragma once

#include "design_task.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cyclar {

/// The cells' texts, row by row.
struct DesignTables {
    TaskKind kind = TaskKind::Motion;
    std::vector<std::array<std::string, 3>> positions; ///< longitude, latitude, heading
    bool pivotsGiven = false;
    std::array<std::array<std::string, 2>, 2> pivots; ///< longitude, latitude of each
    std::vector<std::array<std::string, 2>> pairs;    ///< input, output
    bool groundGiven = false;
    std::string ground;

    friend bool operator==(const DesignTables&, const DesignTables&) = default;
};

inline constexpr const char* designTablesFormat = "cyclar-design-tables";
inline constexpr int designTablesVersion = 1;
inline constexpr std::size_t designTablesMaxBytes = 1024 * 1024;
/// Rows a table may hold, and characters a cell: far more than anyone types.
inline constexpr std::size_t designTablesMostRows = 1000;
inline constexpr std::size_t designTablesLongestCell = 200;

/// Reads the tables' text. On failure returns nothing and sets `error` to one sentence.
std::optional<DesignTables> parseDesignTables(std::string_view bytes, std::string& error);

/// Reads the file at `path` (the system's bytes) as the strict reader reads every file.
std::optional<DesignTables> readDesignTables(const std::string& path, std::string& error);

/// The tables' text, "format" and "version" first: reading it back gives the same tables.
std::string designTablesText(const DesignTables& tables);

} // namespace cyclar
