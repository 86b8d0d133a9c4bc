// How numbers are written into and read back from edit fields.
#include "number_text.h"

#include <QByteArray>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace cyclar {

namespace {

constexpr int significantDigits = 15;
constexpr qsizetype fieldBufferChars = 31;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// strtod in the C locale whatever the process locale is (QCoreApplication adopts the user's
// locale, whose decimal separator may be a comma).
double strtodC(const char* text, char** end)
{
    const locale_t c = newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr));
    if (c == locale_t(nullptr)) {
        *end = const_cast<char*>(text);
        return 0.0;
    }
    const double value = strtod_l(text, end, c);
    freelocale(c);
    return value;
}

} // namespace

QString formatDouble(double v)
{
    // "%.*g" as printf writes it in the C locale: snprintf would take the process's decimal
    // separator, and a comma written here could not be read back.
    char buffer[64];
    const std::to_chars_result written =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, significantDigits);
    if (written.ec != std::errc())
        return {};
    return QString::fromLatin1(buffer, written.ptr - buffer);
}

std::optional<double> parseDouble(const QString& text)
{
    const QString field = text.left(fieldBufferChars);
    for (const QChar ch : field) {
        if (ch.unicode() >= 0x80)
            return std::nullopt;
    }
    // Plain ASCII from here on, so one byte per character; constData() is NUL-terminated.
    const QByteArray bytes = field.toLatin1();
    const char* begin = bytes.constData();
    const char* const end = begin + bytes.size();

    while (begin != end && isBlank(*begin))
        ++begin;
    const char first = begin != end ? *begin : '\0';

    char* stop = nullptr;
    const double value = strtodC(begin, &stop);
    const char* rest = stop;
    if (rest == begin)
        return std::nullopt;
    // strtod also takes hexadecimal numbers ("0x1A"); a dimension is written in decimal.
    for (const char* p = begin; p != rest; ++p) {
        if (*p == 'x' || *p == 'X')
            return std::nullopt;
    }
    // "inf", "nan" and overflow ("1e999") would poison every later computation.
    if (!std::isfinite(value))
        return std::nullopt;
    if (value == 0.0 && first != '0')
        return std::nullopt;

    while (rest != end && isBlank(*rest))
        ++rest;
    if (rest != end)
        return std::nullopt;
    return value;
}

} // namespace cyclar
