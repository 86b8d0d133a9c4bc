// Fuzzes the reader of the Design window's kept tables: any bytes are either refused with one
// sentence, or give tables within their limits whose text reads back as the same tables.
#include "design_tables_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<cyclar::DesignTables> tables = cyclar::parseDesignTables(bytes, error);
    if (!tables) {
        if (error.empty() || error.find('\n') != std::string::npos)
            std::abort();
        return 0;
    }
    if (tables->positions.size() > cyclar::designTablesMostRows
        || tables->pairs.size() > cyclar::designTablesMostRows
        || tables->ground.size() > cyclar::designTablesLongestCell)
        std::abort();
    std::string again;
    const std::optional<cyclar::DesignTables> reread =
        cyclar::parseDesignTables(cyclar::designTablesText(*tables), again);
    if (!reread || *reread != *tables)
        std::abort();
    return 0;
}
