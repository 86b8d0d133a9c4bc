// Text that comes from the system rather than from us: file names are bytes, in whatever
// encoding the folder was written in, and messages must show them without damage.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cyclar {

/// The length of the UTF-8 character starting at `at`, or 0 when the bytes there are not one
/// (overlong forms, surrogates and values past U+10FFFF included).
std::size_t utf8CharLength(std::string_view bytes, std::size_t at);

/// Whether the path ends in `suffix` (ASCII, as ".cyclar"), letters in either case.
bool hasSuffix(std::string_view path, std::string_view suffix);

/// A path (the system's bytes) as a message shows it: UTF-8 as it is, any other byte and any
/// control character as \xHH, so the message stays one readable line.
std::string displayPath(std::string_view path);

} // namespace cyclar
