// Field rules: C-locale number reading, ranges, live link bounds and the validation messages.
#include "field_rules.h"

#include "significant_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace cyclar {

namespace {

constexpr int significantDigits = 15;
constexpr std::size_t fieldBufferChars = 31;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// strtod in the C locale whatever the process locale is (a desktop program adopts the user's
// locale, whose decimal separator may be a comma).
double strtodC(const char* text, char** end)
{
#if defined(__EMSCRIPTEN__)
    return std::strtod(text, end); // the only locale there is the C locale
#else
    const locale_t c = newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr));
    if (c == locale_t(nullptr)) {
        *end = const_cast<char*>(text);
        return 0.0;
    }
    const double value = strtod_l(text, end, c);
    freelocale(c);
    return value;
#endif
}

double heldLength(double value)
{
    return value < 0.0 ? 0.0 : value;
}

} // namespace

std::string formatNumber(double v)
{
    // In the C locale whatever the process's: a comma written into a field could not be read back.
    return significantText(v, significantDigits);
}

std::optional<double> parseFieldText(std::string_view text)
{
    // The first 31 characters. Any character that is not ASCII fails, so it suffices to look at
    // the first 31 bytes: were one of the first 31 characters not ASCII, the first such would
    // start within them, after ASCII characters only.
    char bytes[fieldBufferChars + 1] = {};
    const std::size_t length = std::min(text.size(), fieldBufferChars);
    for (std::size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80) {
            return std::nullopt;
        }
        bytes[i] = text[i];
    }
    const char* begin = bytes;
    const char* const end = bytes + length;

    while (begin != end && isBlank(*begin)) {
        ++begin;
    }
    const char first = begin != end ? *begin : '\0';

    char* stop = nullptr;
    const double value = strtodC(begin, &stop);
    const char* rest = stop;
    if (rest == begin) {
        return std::nullopt;
    }
    // strtod also takes hexadecimal numbers ("0x1A"); a dimension is written in decimal.
    for (const char* p = begin; p != rest; ++p) {
        if (*p == 'x' || *p == 'X') {
            return std::nullopt;
        }
    }
    // "inf", "nan" and overflow ("1e999") would poison every later computation.
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    if (value == 0.0 && first != '0') {
        return std::nullopt;
    }
    // An embedded NUL stops strtod short of the end, so it fails here too.
    while (rest != end && isBlank(*rest)) {
        ++rest;
    }
    if (rest != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> parseCellNumber(std::string_view text)
{
    const auto space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (!text.empty() && space(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && space(text.back())) {
        text.remove_suffix(1);
    }
    // [+-] digits [. digits] or [+-] . digits, then an optional exponent: nothing else (no
    // hexadecimal, no group separators, no words), checked before strtod sees it.
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t from = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i;
        }
        return i - from;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) {
        return std::nullopt;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (digits() == 0) {
            return std::nullopt;
        }
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    const std::string number(text);
    char* stop = nullptr;
    const double value = strtodC(number.c_str(), &stop);
    if (stop != number.c_str() + number.size() || !std::isfinite(value)) {
        return std::nullopt; // overflow ("1e999") is no number to design with
    }
    return value;
}

bool inRange(double value, double min, double max)
{
    return min <= value && value <= max;
}

std::string rangeMessage(double min, double max)
{
    return "Please enter a number between " + formatNumber(min) + " and " + formatNumber(max) + ".";
}

double linkBound(double first, double second, double third)
{
    return heldLength(first) + heldLength(second) + heldLength(third);
}

std::string_view fieldOrder(FieldPage page)
{
    // Each page reads its fields in the order of its exchange, which is not the order on screen.
    return page == FieldPage::Dimensions ? "bacfhk" : "acfhkb";
}

std::size_t fieldIndex(char field)
{
    const std::size_t i = std::string_view("abcfhk").find(field);
    return i == std::string_view::npos ? 5 : i;
}

double& fieldValue(LinkageDimensions& dims, char field)
{
    switch (field) {
    case 'a':
        return dims.a;
    case 'b':
        return dims.b;
    case 'c':
        return dims.c;
    case 'f':
        return dims.f;
    case 'h':
        return dims.h;
    default:
        return dims.k;
    }
}

double fieldValue(const LinkageDimensions& dims, char field)
{
    LinkageDimensions copy = dims;
    return fieldValue(copy, field);
}

FieldRange fieldRange(FieldPage page, char field, const LinkageDimensions& held)
{
    if (field == 'h' || field == 'k') {
        return {-1000.0, 1000.0};
    }
    if (page == FieldPage::Animation) {
        return {0.0, 1000.0};
    }
    const LinkageDimensions& d = held;
    switch (field) {
    case 'a':
        return {0.0, linkBound(d.b, d.c, d.f)};
    case 'b':
        return {0.0, linkBound(d.a, d.c, d.f)};
    case 'c':
        return {0.0, linkBound(d.a, d.b, d.f)};
    default:
        return {0.0, linkBound(d.a, d.b, d.c)};
    }
}

std::optional<FieldFailure> readFields(FieldPage page, const FieldTexts& texts,
                                       LinkageDimensions& held)
{
    for (const char field : fieldOrder(page)) {
        const std::optional<double> value = parseFieldText(texts[fieldIndex(field)]);
        if (!value) {
            return FieldFailure{field, std::string(notANumberMessage)};
        }
        double& stored = fieldValue(held, field);
        stored = *value;
        const FieldRange range = fieldRange(page, field, held);
        if (!inRange(stored, range.min, range.max)) {
            return FieldFailure{field, rangeMessage(range.min, range.max)};
        }
    }
    return std::nullopt;
}

std::optional<FieldFailure> checkHeldValues(FieldPage page, const LinkageDimensions& held)
{
    for (const char field : fieldOrder(page)) {
        const FieldRange range = fieldRange(page, field, held);
        const double value = fieldValue(held, field);
        if (!inRange(value, range.min, range.max)) {
            return FieldFailure{field, rangeMessage(range.min, range.max)};
        }
    }
    return std::nullopt;
}

std::string heldValueRefusal(FieldPage page, char field, const LinkageDimensions& held)
{
    static constexpr std::array<std::string_view, 6> names{"the left link",
                                                           "the right link",
                                                           "the coupler link",
                                                           "the ground link",
                                                           "the coupler point's radial length",
                                                           "the coupler point's angular position"};
    const FieldRange range = fieldRange(page, field, held);
    const double value = fieldValue(held, field);
    return "has " + std::string(names[fieldIndex(field)]) + ' ' + field + " = "
           + formatNumber(value) + ", which must be between " + formatNumber(range.min) + " and "
           + formatNumber(range.max);
}

} // namespace cyclar
