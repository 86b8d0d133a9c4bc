// What each module shares: the file buffer, text handed to the page and its JSON numbers.
#include "api_support.h"

#include "linkage_file.h"
#include "significant_text.h"

#include <algorithm>
#include <cmath>
#include <vector>

/// The page (or a worker) copies a file's bytes (at most one byte past the limit) into this buffer,
/// then asks for them to be read.
std::uint8_t* cyclar_file_buffer(int size)
{
    static std::vector<std::uint8_t> buffer;
    buffer.resize(static_cast<std::size_t>(std::max(size, 1)));
    return buffer.data();
}

namespace cyclar::web {

const char* handOut(std::string text)
{
    static std::string held;
    held = std::move(text);
    return held.c_str();
}

std::string jsonNumber(double value)
{
    return jsonNumberText(value);
}

std::string_view fileBytes(int size)
{
    return {reinterpret_cast<const char*>(cyclar_file_buffer(size)),
            static_cast<std::size_t>(std::max(size, 0))};
}

} // namespace cyclar::web
