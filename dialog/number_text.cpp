// How numbers are written into edit fields: the field rules' number text, as a QString.
#include "number_text.h"

#include "field_rules.h"

namespace cyclar {

QString formatDouble(double v)
{
    return QString::fromStdString(formatNumber(v));
}

} // namespace cyclar
