// How numbers are written into edit fields (the field rules read them back: takeFieldText).
#pragma once

#include <QString>

namespace cyclar {

/// Formats like printf "%.*g" with 15 significant digits in the C locale, whatever the
/// process's: 50 -> "50", 0.1 -> "0.1", 1e20 -> "1e+20".
QString formatDouble(double v);

} // namespace cyclar
