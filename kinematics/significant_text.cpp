// Numbers as the core writes them, locale-free: significant digits or decimals, or the shortest
// round trip.
#include "significant_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace cyclar {

// Not through a string stream: a stream brings the whole locale library with it, which is most of
// what the browser's module would otherwise download for a few sentences.
std::string significantText(double x, int digits)
{
    char text[48];
    const int precision = std::clamp(digits, 1, 17);
#if defined(__EMSCRIPTEN__)
    // The only locale there is the C locale: printf writes the same.
    std::snprintf(text, sizeof text, "%.*g", precision, x);
    return text;
#else
    // to_chars writes what printf writes in the C locale; printf itself would take the decimal
    // point of the process's locale (the desktop sets the user's: "1,5").
    const std::to_chars_result written =
        std::to_chars(text, text + sizeof text, x, std::chars_format::general, precision);
    return std::string(text, written.ec == std::errc() ? written.ptr : text);
#endif
}

std::string shortestNumberText(double value)
{
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value > 0 ? "inf" : "-inf";
    }
    if (value == 0.0) {
        return std::signbit(value) ? "-0" : "0";
    }
    // The fewest significant digits that read back as the same double (correctly rounded, so
    // of those the closest), laid out as std::to_chars does: plain or scientific, whichever is
    // shorter, plain on a tie. Written out here because not every standard library the core is
    // built with has to_chars for doubles. printf and strtod agree on the locale's decimal point,
    // and only the digits and the exponent are taken from printf's text: the locale never shows.
    char scientific[40];
    int written = -1; // the precision `scientific` holds
    const auto write = [&](int precision) {
        if (written != precision) {
            std::snprintf(scientific, sizeof scientific, "%.*e", precision, value);
            written = precision;
        }
    };
    const auto readsBack = [&](int precision) {
        write(precision);
        return std::strtod(scientific, nullptr) == value;
    };
    // Seventeen digits always read back. Below a power of two the doubles lie twice as close as
    // above it, so there more digits can land on the wrong side: try each precision in turn.
    // Elsewhere the doubles that read back as this one lie evenly about it, and more digits,
    // correctly rounded, land no farther from it: once a precision reads back, every greater
    // one does. Most computed numbers take sixteen or seventeen digits, so those are asked
    // about first, and the rest of the range is halved: two or three conversions for most
    // numbers rather than up to seventeen (which the browser's C library, formatting and
    // reading through a software long double, feels in every number of a design's answer).
    int binaryExponent = 0;
    if (std::fabs(std::frexp(value, &binaryExponent)) == 0.5) {
        for (int precision = 0; precision <= 16 && !readsBack(precision); ++precision) {
        }
    } else {
        int fewest = 0;
        int most = 16;
        if (!readsBack(15)) {
            fewest = 16;
        } else if (!readsBack(14)) {
            fewest = most = 15;
        } else {
            most = 14;
        }
        while (fewest < most) {
            const int middle = (fewest + most) / 2;
            if (readsBack(middle)) {
                most = middle;
            } else {
                fewest = middle + 1;
            }
        }
        write(fewest);
    }
    const std::string_view text = scientific;
    const std::size_t e = text.find('e');
    const bool negative = text[0] == '-';
    std::string digits;
    for (const char ch : text.substr(0, e)) {
        if (ch >= '0' && ch <= '9') {
            digits += ch;
        }
    }
    const int exponent = std::atoi(text.data() + e + 1);
    std::string shortScientific(negative ? "-" : "");
    shortScientific.append(digits, 0, 1);
    if (digits.size() > 1) {
        shortScientific.append(1, '.').append(digits, 1);
    }
    const int magnitude = exponent < 0 ? -exponent : exponent;
    shortScientific.append(exponent < 0 ? "e-" : "e+");
    shortScientific.append(magnitude < 10 ? "0" : "").append(std::to_string(magnitude));
    std::string plain(negative ? "-" : "");
    const auto count = static_cast<int>(digits.size());
    if (exponent < 0) {
        plain.append("0.").append(static_cast<std::size_t>(-exponent - 1), '0').append(digits);
    } else if (exponent + 1 >= count) {
        // A whole number is written with all its digits, exact, as to_chars writes it; the
        // length is the same as the shortest digits padded with zeros.
        char whole[400];
        std::snprintf(whole, sizeof whole, "%.0f", value);
        plain = whole;
    } else {
        const auto point = static_cast<std::size_t>(exponent + 1);
        plain.append(digits, 0, point).append(1, '.').append(digits, point);
    }
    return plain.size() <= shortScientific.size() ? plain : shortScientific;
}

std::string jsonNumberText(double value)
{
    return std::isfinite(value) ? shortestNumberText(value) : "null";
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
    // The process's decimal point, whatever it is (a comma, or more than one byte), becomes '.'.
    const std::string_view written = text;
    const std::size_t point = written.find_first_not_of("0123456789");
    std::string digits(written.substr(0, point));
    digits += '.';
    digits += written.substr(written.find_first_of("0123456789", point));
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
