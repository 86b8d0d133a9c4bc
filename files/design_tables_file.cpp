// The Design window's tables between runs, read by the strict reader every cyclar file goes
// through and written as text that reads back to the same tables.
#include "design_tables_file.h"

#include "design_result_text.h"
#include "strict_json.h"

namespace cyclar {

namespace {

const json::FileKind tablesKind{"design tables file", designTablesFormat, designTablesVersion,
                                designTablesMaxBytes};

// A row of N cells: a list of N strings, none longer than a cell may be.
template <std::size_t N> bool readRow(const json::Value& value, std::array<std::string, N>& row)
{
    if (!value.is_array() || value.size() != N) {
        return false;
    }
    for (std::size_t i = 0; i < N; ++i) {
        if (!value[i].is_string()) {
            return false;
        }
        row[i] = value[i].get<std::string>();
        if (row[i].size() > designTablesLongestCell) {
            return false;
        }
    }
    return true;
}

template <std::size_t N>
bool readRows(const json::Value* list, std::vector<std::array<std::string, N>>& rows)
{
    if (!list) {
        return true;
    }
    if (!list->is_array() || list->size() > designTablesMostRows) {
        return false;
    }
    for (const json::Value& value : *list) {
        std::array<std::string, N> row;
        if (!readRow(value, row)) {
            return false;
        }
        rows.push_back(std::move(row));
    }
    return true;
}

bool readFlag(const json::Value* value, bool& flag)
{
    if (!value) {
        return true;
    }
    if (!value->is_boolean()) {
        return false;
    }
    flag = value->get<bool>();
    return true;
}

template <std::size_t N> std::string rowText(const std::array<std::string, N>& row)
{
    std::string out = "[";
    for (std::size_t i = 0; i < N; ++i) {
        out += (i == 0 ? "" : ", ") + jsonQuoted(row[i]);
    }
    return out + "]";
}

template <std::size_t N> std::string rowsText(const std::vector<std::array<std::string, N>>& rows)
{
    std::string out = "[";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out += (i == 0 ? "\n    " : ",\n    ") + rowText(rows[i]);
    }
    return out + (rows.empty() ? "]" : "\n  ]");
}

} // namespace

std::optional<DesignTables> parseDesignTables(std::string_view bytes, std::string& error)
{
    const std::optional<json::Value> top =
        json::parseTop(bytes, tablesKind,
                       {"format", "version", "kind", "positions", "pivotsGiven", "pivots", "pairs",
                        "groundGiven", "ground"},
                       error);
    if (!top) {
        return std::nullopt;
    }
    DesignTables tables;
    const json::Value* kind = json::member(*top, "kind");
    if (!kind || !(*kind == "motion" || *kind == "function")) {
        error = "has no \"kind\" \"motion\" or \"function\"";
        return std::nullopt;
    }
    tables.kind = *kind == "motion" ? TaskKind::Motion : TaskKind::Function;
    std::vector<std::array<std::string, 2>> pivots;
    const json::Value* ground = json::member(*top, "ground");
    if (!readRows(json::member(*top, "positions"), tables.positions)
        || !readRows(json::member(*top, "pairs"), tables.pairs)
        || !readRows(json::member(*top, "pivots"), pivots)
        || !readFlag(json::member(*top, "pivotsGiven"), tables.pivotsGiven)
        || !readFlag(json::member(*top, "groundGiven"), tables.groundGiven)
        || (ground
            && (!ground->is_string()
                || ground->get_ref<const std::string&>().size() > designTablesLongestCell))
        || !(pivots.empty() || pivots.size() == 2)) {
        error = "holds tables that are not lists of rows of text";
        return std::nullopt;
    }
    if (pivots.size() == 2) {
        tables.pivots = {pivots[0], pivots[1]};
    }
    if (ground) {
        tables.ground = ground->get<std::string>();
    }
    return tables;
}

std::optional<DesignTables> readDesignTables(const std::string& path, std::string& error)
{
    std::string bytes;
    if (!json::readRegularFile(path, tablesKind, bytes, error)) {
        return std::nullopt;
    }
    return parseDesignTables(bytes, error);
}

std::string designTablesText(const DesignTables& tables)
{
    std::string text = std::string("{\n  \"format\": \"") + designTablesFormat + "\",\n";
    text += "  \"version\": " + std::to_string(designTablesVersion) + ",\n";
    text += std::string("  \"kind\": \"")
            + (tables.kind == TaskKind::Motion ? "motion" : "function") + "\",\n";
    text += "  \"positions\": " + rowsText(tables.positions) + ",\n";
    text += std::string("  \"pivotsGiven\": ") + (tables.pivotsGiven ? "true" : "false") + ",\n";
    text +=
        "  \"pivots\": [" + rowText(tables.pivots[0]) + ", " + rowText(tables.pivots[1]) + "],\n";
    text += "  \"pairs\": " + rowsText(tables.pairs) + ",\n";
    text += std::string("  \"groundGiven\": ") + (tables.groundGiven ? "true" : "false") + ",\n";
    text += "  \"ground\": " + jsonQuoted(tables.ground) + "\n}\n";
    return text;
}

} // namespace cyclar
