// Numbers in the core's sentences: a fixed count of significant digits or decimals, locale-free.
#include "significant_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

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

std::string fixedText(double x, int decimals)
{
    if (!std::isfinite(x)) {
        return std::isnan(x) ? "nan" : x > 0 ? "inf" : "-inf";
    }
    const int kept = std::clamp(decimals, 0, 17);
    // The exact decimal value (a double's has at most 1074 digits after the point), then rounded
    // by hand: printf rounds a half to even, which would write 0.25 as 0.2.
    constexpr int exact = 1080;
    char text[310 + 1 + exact + 1]; // the largest double has 309 digits before the point
    std::snprintf(text, sizeof text, "%.*f", exact, std::fabs(x));
    std::string digits = text;
    std::replace(digits.begin(), digits.end(), ',', '.'); // the process's decimal point
    const std::size_t point = digits.find('.');
    const std::size_t end = point + 1 + static_cast<std::size_t>(kept);
    const bool up = digits[end] >= '5'; // the first digit dropped: a half or more goes up
    digits.resize(kept == 0 ? point : end);
    if (up) {
        std::size_t i = digits.size();
        while (i > 0) {
            --i;
            if (digits[i] == '.') {
                continue;
            }
            if (digits[i] != '9') {
                ++digits[i];
                break;
            }
            digits[i] = '0';
            if (i == 0) {
                digits.insert(digits.begin(), '1');
            }
        }
    }
    // A negative value keeps its sign even where it rounds to zero (-0.04 is "-0.0").
    if (x < 0) {
        digits.insert(digits.begin(), '-');
    }
    return digits;
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
