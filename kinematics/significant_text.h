// Text the core writes for people: numbers to a fixed count of significant digits, and text put
// into markup (SVG, HTML).
#pragma once

#include <string>
#include <string_view>

namespace cyclar {

/// x with `digits` significant digits, laid out as a stream (or printf's %g) lays it out by
/// default, with a decimal point whatever the process's locale.
std::string significantText(double x, int digits);

/// Text for an element or an attribute of SVG or HTML: &, <, > and " escaped.
std::string markupEscaped(std::string_view text);

} // namespace cyclar
