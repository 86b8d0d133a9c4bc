// File names as bytes, and as messages show them.
#include "path_text.h"

#include <cstdio>

namespace cyclar {

std::size_t utf8CharLength(std::string_view bytes, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > bytes.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(at + i);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) {
            return 0;
        }
    }
    return length;
}

std::string displayPath(std::string_view path)
{
    std::string text;
    for (std::size_t at = 0; at < path.size();) {
        const auto byte = static_cast<unsigned char>(path[at]);
        const bool c1 =
            byte == 0xC2 && at + 1 < path.size() && static_cast<unsigned char>(path[at + 1]) < 0xA0;
        const std::size_t length = byte < 0x20 || byte == 0x7F || c1 ? 0 : utf8CharLength(path, at);
        if (length == 0) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(byte));
            text += escaped;
            at += 1;
        } else {
            text += path.substr(at, length);
            at += length;
        }
    }
    return text;
}

bool hasSuffix(std::string_view path, std::string_view suffix)
{
    if (path.size() < suffix.size()) {
        return false;
    }
    const std::string_view end = path.substr(path.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        const char ch = end[i];
        if ((ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch) != suffix[i]) {
            return false;
        }
    }
    return true;
}

} // namespace cyclar
