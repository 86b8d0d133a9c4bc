// Numbers in the texts the core writes for people: a fixed count of significant digits.
#pragma once

#include <string>

namespace cyclar {

/// x with `digits` significant digits, laid out as a stream (or printf's %g) lays it out by
/// default, with a decimal point whatever the process's locale.
std::string significantText(double x, int digits);

} // namespace cyclar
