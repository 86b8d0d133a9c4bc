// Command-line arguments as the system gave them. Qt decodes argv as UTF-8 and loses any byte
// that is not; these carry such bytes through a QString unchanged, so a file name in another
// encoding still names its file.
#pragma once

#include <QString>

#include <string>

namespace cyclar {

/// argv's bytes as text: UTF-8 decoded, and each byte that is not UTF-8 kept as the lone
/// surrogate U+DC80 + (byte - 0x80).
QString argumentText(const char* bytes);

/// The bytes argumentText was given (for text not from it, its UTF-8).
std::string argumentBytes(const QString& text);

} // namespace cyclar
