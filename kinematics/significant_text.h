// Numbers as the core writes them, whatever the process's locale: with a fixed count of
// significant digits or of decimals (for people), or in the shortest text that reads back as the
// same double (for files and the command line's answers); and text put into markup (SVG, HTML).
#pragma once

#include <string>
#include <string_view>

namespace cyclar {

/// x with `digits` (1 to 17) significant digits, laid out as printf's "%.*g" lays it out in the C
/// locale: a decimal point whatever the process's locale.
std::string significantText(double x, int digits);

/// The shortest decimal text that reads back as the very same double, laid out as std::to_chars
/// lays it out: plain or scientific, whichever is shorter (plain on a tie), "-0" for minus zero.
/// A value that is not finite is "nan", "inf" or "-inf".
std::string shortestNumberText(double value);

/// A number in JSON: shortestNumberText, or null when the value is not finite.
std::string jsonNumberText(double value);

/// Finite x with `decimals` digits after the point (0..17), a half rounded away from zero as the
/// window's texts have always shown it (0.25 is "0.3"), with a decimal point whatever the
/// process's locale; "nan", "inf" or "-inf" for one that is not finite.
std::string fixedText(double x, int decimals);

/// Text for an element or an attribute of SVG or HTML: &, <, > and " escaped.
std::string markupEscaped(std::string_view text);

} // namespace cyclar
