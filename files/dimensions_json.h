// The six dimensions as a JSON object, read and written the one way every file that holds a
// linkage does. Internal to files/: nothing outside includes it.
#pragma once

#include "linkage_model.h"
#include "strict_json.h"

#include <string>

namespace cyclar::json {

/// Reads `dimensions`, an object with exactly the numbers a, b, c, f, h and k (null when the
/// file has none). On failure sets `error` to the sentence that follows the file's name.
bool readDimensions(const Value* dimensions, LinkageDimensions& out, std::string& error);

/// {"a": 50, "b": 30, ...}, each number in its shortest round-trip form.
std::string dimensionsText(const LinkageDimensions& dims);

} // namespace cyclar::json
