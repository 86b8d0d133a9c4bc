// How numbers are written into and read back from edit fields: the field rules, for QStrings.
#include "number_text.h"

#include "field_rules.h"

#include <QByteArray>

namespace cyclar {

QString formatDouble(double v)
{
    return QString::fromStdString(formatNumber(v));
}

std::optional<double> parseDouble(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return parseFieldText(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

} // namespace cyclar
