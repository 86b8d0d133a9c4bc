// How numbers are written into and read back from edit fields.
#pragma once

#include <QString>

#include <optional>

namespace cyclar {

/// Formats like printf "%.*g" with 15 significant digits in the C locale, whatever the
/// process's: 50 -> "50", 0.1 -> "0.1", 1e20 -> "1e+20".
QString formatDouble(double v);

/// Reads the number in a field's text, by the field rules (parseFieldText).
///
/// Only the first 31 characters count (a field is read into a 32-byte buffer). Blanks and tabs
/// around the number are skipped; the rest must be one finite decimal number in the C locale,
/// as strtod reads it, with nothing left over. A value of zero passes only when its first
/// non-blank character is the digit 0, so an empty field, "-0", "+0" and ".0" fail. Hexadecimal
/// numbers, infinities, NaNs, overflow and text that is not ASCII fail too.
std::optional<double> parseDouble(const QString& text);

} // namespace cyclar
