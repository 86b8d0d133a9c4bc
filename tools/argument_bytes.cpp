// Command-line arguments carried through QString with their bytes kept.
#include "argument_bytes.h"

#include "path_text.h"

#include <cstring>

namespace cyclar {

QString argumentText(const char* bytes)
{
    const std::string_view text(bytes, std::strlen(bytes));
    QString out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8CharLength(text, at);
        if (length == 0) {
            const auto byte = static_cast<unsigned char>(text[at]);
            out += QChar(static_cast<char16_t>(0xDC00 + byte));
            ++at;
        } else {
            out += QString::fromUtf8(text.data() + at, static_cast<qsizetype>(length));
            at += length;
        }
    }
    return out;
}

std::string argumentBytes(const QString& text)
{
    std::string out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        if (unit >= 0xDC80 && unit <= 0xDCFF && !(i > 0 && text.at(i - 1).isHighSurrogate())) {
            out += static_cast<char>(unit - 0xDC00);
        } else if (text.at(i).isHighSurrogate() && i + 1 < text.size()
                   && text.at(i + 1).isLowSurrogate()) {
            out += text.mid(i, 2).toStdString();
            ++i;
        } else {
            out += QString(text.at(i)).toStdString();
        }
    }
    return out;
}

} // namespace cyclar
