// The module's shared helpers: text handed to the page and its JSON numbers.
#include "api_support.h"

#include "linkage_file.h"

#include <algorithm>
#include <cmath>

namespace cyclar::web {

const char* handOut(std::string text)
{
    static std::string held;
    held = std::move(text);
    return held.c_str();
}

std::string jsonNumber(double value)
{
    return std::isfinite(value) ? shortestNumberText(value) : std::string("null");
}

std::string_view fileBytes(int size)
{
    return {reinterpret_cast<const char*>(cyclar_file_buffer(size)),
            static_cast<std::size_t>(std::max(size, 0))};
}

} // namespace cyclar::web
