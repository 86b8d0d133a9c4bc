// Numbers in the core's sentences: a fixed count of significant digits, locale-free.
#include "significant_text.h"

#include <algorithm>
#include <cstdio>

namespace cyclar {

// Through snprintf rather than a string stream: a stream brings the whole locale library with
// it, which is most of what the browser's module would otherwise download for two sentences.
std::string significantText(double x, int digits)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.*g", std::clamp(digits, 1, 17), x);
    std::string out = text;
    // The C library writes the decimal point of the process's locale (the desktop sets the
    // user's); %g writes no other comma.
    std::replace(out.begin(), out.end(), ',', '.');
    return out;
}

std::string markupEscaped(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

} // namespace cyclar
