// Text the core writes for people: numbers to a fixed count of significant digits or of
// decimals, and text put into markup (SVG, HTML).
#pragma once

#include <string>
#include <string_view>

namespace cyclar {

/// x with `digits` significant digits, laid out as a stream (or printf's %g) lays it out by
/// default, with a decimal point whatever the process's locale.
std::string significantText(double x, int digits);

/// Finite x with `decimals` digits after the point (0..17), a half rounded away from zero as the
/// window's texts have always shown it (0.25 is "0.3"), with a decimal point whatever the
/// process's locale; "nan", "inf" or "-inf" for one that is not finite.
std::string fixedText(double x, int decimals);

/// Text for an element or an attribute of SVG or HTML: &, <, > and " escaped.
std::string markupEscaped(std::string_view text);

} // namespace cyclar
