// Strict JSON reading for cyclar's files, over nlohmann/json's event parser: it reports where a
// parse failed, and its events let a key given twice or a runaway nesting be refused before any
// of it is kept.
#include "strict_json.h"

#include "path_text.h"
#include "significant_text.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cyclar::json {

namespace {

std::string byteText(unsigned char byte)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(byte));
    return text;
}

// What the bytes are when they are not text JSON could be in: empty, UTF-16, binary, or not
// UTF-8. Byte positions count from 1, as an editor's do.
std::optional<std::string> notText(std::string_view bytes)
{
    if (bytes.empty()) {
        return "the file is empty";
    }
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2
        && ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF)
            || (byte(0) == 0 && byte(1) != 0 && byte(1) < 0x80)
            || (byte(0) != 0 && byte(0) < 0x80 && byte(1) == 0))) {
        return "it is UTF-16 text; save it as UTF-8";
    }
    for (std::size_t at = 0; at < bytes.size();) {
        const unsigned char b = byte(at);
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r') {
            return "it is not text: byte " + std::to_string(at + 1) + " is " + byteText(b);
        }
        const std::size_t length = utf8CharLength(bytes, at);
        if (length == 0) {
            return "it is not UTF-8 text: byte " + std::to_string(at + 1) + " is " + byteText(b);
        }
        at += length;
    }
    return std::nullopt;
}

// Builds the document from the parser's events, refusing what a file of ours never holds.
class Builder : public nlohmann::json_sax<Value> {
public:
    explicit Builder(const FileKind& kind) : m_kind(kind) {}

    Value root;
    std::string problem; ///< set when an event was refused
    bool syntaxError = false;
    std::size_t position = 0;   ///< for a syntax error: bytes read, the last one the culprit
    std::string description;    ///< for a syntax error: what the parser says, one line
    std::size_t tokenStart = 0; ///< for a number out of range: its first byte

    bool null() override { return add(Value(nullptr)); }
    bool boolean(bool value) override { return add(Value(value)); }
    bool number_integer(number_integer_t value) override
    {
        return add(Value(static_cast<double>(value)));
    }
    bool number_unsigned(number_unsigned_t value) override
    {
        return add(Value(static_cast<double>(value)));
    }
    bool number_float(number_float_t value, const string_t&) override
    {
        return add(Value(value == 0.0 ? 0.0 : value)); // minus zero is zero
    }
    bool string(string_t& value) override { return add(Value(std::move(value))); }
    bool binary(binary_t&) override { return false; } // not in JSON text

    bool start_object(std::size_t) override { return open(Value::object()); }
    bool key(string_t& name) override
    {
        Value& object = *m_stack.back();
        if (object.contains(name)) {
            problem = "has the key \"" + shown(name) + "\" twice";
            return false;
        }
        m_key = &object[name];
        return true;
    }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override { return open(Value::array()); }
    bool end_array() override { return close(); }

    bool parse_error(std::size_t bytesRead, const std::string& lastToken,
                     const nlohmann::detail::exception& error) override
    {
        syntaxError = true;
        position = bytesRead;
        if (error.id == 406) { // a number beyond the doubles
            tokenStart = bytesRead + 1 - std::min(bytesRead, lastToken.size());
            description = "number out of range";
            return false;
        }
        // "[json.exception.parse_error.101] parse error at line 1, column 9: syntax error
        // while parsing object - invalid literal; last read: '1 x'; expected '}'": keep what
        // went wrong and what was expected, without the echo of the file's bytes.
        std::string text = error.what();
        const std::size_t dash = text.find(" - ");
        text = dash == std::string::npos ? std::string("syntax error") : text.substr(dash + 3);
        const std::string echo = "; last read: '" + lastToken + "'";
        if (const std::size_t at = text.find(echo); at != std::string::npos) {
            text.erase(at, echo.size());
        }
        for (char& ch : text) {
            if (static_cast<unsigned char>(ch) < 0x20) {
                ch = ' ';
            }
        }
        description = text;
        return false;
    }

private:
    bool add(Value value)
    {
        if (m_stack.empty()) {
            root = std::move(value);
            return true;
        }
        Value& container = *m_stack.back();
        if (container.is_array()) {
            container.push_back(std::move(value));
        } else {
            *m_key = std::move(value);
        }
        return true;
    }

    bool open(Value empty)
    {
        if (static_cast<int>(m_stack.size()) >= maxDepth) {
            problem = std::string("is not a cyclar ") + m_kind.noun + ": it nests deeper than "
                      + std::to_string(maxDepth) + " levels";
            return false;
        }
        Value* placed = nullptr;
        if (m_stack.empty()) {
            root = std::move(empty);
            placed = &root;
        } else if (m_stack.back()->is_array()) {
            m_stack.back()->push_back(std::move(empty));
            placed = &m_stack.back()->back();
        } else {
            *m_key = std::move(empty);
            placed = m_key;
        }
        m_stack.push_back(placed);
        return true;
    }

    bool close()
    {
        m_stack.pop_back();
        return true;
    }

    const FileKind& m_kind;
    std::vector<Value*> m_stack;
    Value* m_key = nullptr;
};

std::string overLimit(const FileKind& kind)
{
    const std::string_view noun = kind.noun;
    const bool vowel = noun.find_first_of("aeiou") == 0;
    return std::string("is over 1 MB; ") + (vowel ? "an " : "a ") + kind.noun
           + " is a few hundred bytes";
}

} // namespace

std::optional<Value> parse(std::string_view bytes, const FileKind& kind, std::string& error)
{
    if (bytes.size() > kind.maxBytes) {
        error = overLimit(kind);
        return std::nullopt;
    }
    if (const std::optional<std::string> why = notText(bytes)) {
        error = "is not JSON (" + *why + ")";
        return std::nullopt;
    }
    Builder builder(kind);
    if (Value::sax_parse(bytes, &builder, nlohmann::detail::input_format_t::json, true)) {
        return std::move(builder.root);
    }
    if (!builder.problem.empty()) {
        error = builder.problem;
    } else if (builder.tokenStart != 0) {
        error = "is not JSON (a number out of range at byte " + std::to_string(builder.tokenStart)
                + ")";
    } else if (builder.position > bytes.size()) {
        // The parser counts the end of the text as one more byte read.
        error = "is not JSON (it ends too soon, after byte " + std::to_string(bytes.size()) + ": "
                + builder.description + ")";
    } else {
        // "invalid literal; expected '}'" -> "invalid literal at byte 9; expected '}'"
        std::string what = builder.description;
        const std::size_t expected = what.find("; ");
        const std::string rest = expected == std::string::npos ? "" : what.substr(expected);
        what = what.substr(0, expected);
        error =
            "is not JSON (" + what + " at byte " + std::to_string(builder.position) + rest + ")";
    }
    return std::nullopt;
}

std::optional<Value> parseTop(std::string_view bytes, const FileKind& kind,
                              std::initializer_list<std::string_view> known, std::string& error)
{
    std::optional<Value> top = parse(bytes, kind, error);
    if (!top) {
        return std::nullopt;
    }
    const std::string notOurs = std::string("is not a cyclar ") + kind.noun + ": ";
    if (!top->is_object()) {
        error = notOurs + "it holds no JSON object";
        return std::nullopt;
    }
    const Value* format = member(*top, "format");
    if (!format || !format->is_string() || *format != kind.format) {
        error = notOurs + "its \"format\" is not \"" + kind.format + "\"";
        return std::nullopt;
    }
    const Value* version = member(*top, "version");
    if (!wholeNumber(version, kind.version, kind.version)) {
        if (version && version->is_number() && version->get<double>() > kind.version) {
            error = "was made by a newer cyclar (file version "
                    + significantText(version->get<double>(), 6) + "; this one reads version "
                    + std::to_string(kind.version) + ")";
        } else {
            error = "has no valid \"version\" (this cyclar reads version "
                    + std::to_string(kind.version) + ")";
        }
        return std::nullopt;
    }
    if (const std::optional<std::string> key = unknownKey(*top, known)) {
        error = "has an unknown key \"" + shown(*key) + "\"";
        return std::nullopt;
    }
    return top;
}

bool readRegularFile(const std::string& path, const FileKind& kind, std::string& bytes,
                     std::string& error)
{
    // Opened without blocking, so that a named pipe with no writer cannot hold us; what it is
    // is then asked of the open file itself, which cannot change under us.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int code = errno;
        error = code == ENOENT || code == ENOTDIR
                    ? std::string("does not exist")
                    : std::string("cannot be read (") + std::strerror(code) + ")";
        return false;
    }
    struct stat info {};
    std::string why;
    if (::fstat(fd, &info) != 0) {
        why = std::string("cannot be read (") + std::strerror(errno) + ")";
    } else if (S_ISDIR(info.st_mode)) {
        why = std::string("is a folder, not a ") + kind.noun;
    } else if (S_ISFIFO(info.st_mode)) {
        why = std::string("is a named pipe, not a ") + kind.noun;
    } else if (S_ISSOCK(info.st_mode)) {
        why = std::string("is a socket, not a ") + kind.noun;
    } else if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) {
        why = std::string("is a device, not a ") + kind.noun;
    } else if (!S_ISREG(info.st_mode)) {
        why = std::string("is not a regular file, so not a ") + kind.noun;
    } else if (static_cast<std::size_t>(info.st_size) > kind.maxBytes) {
        why = overLimit(kind);
    }
    bytes.clear();
    if (why.empty()) {
        // One byte beyond the limit tells a file that grew since from one that fits.
        char buffer[65536];
        while (bytes.size() <= kind.maxBytes) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                why = std::string("cannot be read (") + std::strerror(errno) + ")";
                break;
            }
            if (got == 0) {
                break;
            }
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    if (!why.empty()) {
        error = why;
        return false;
    }
    if (bytes.size() > kind.maxBytes) {
        error = overLimit(kind);
        return false;
    }
    return true;
}

std::optional<std::string> unknownKey(const Value& object,
                                      std::initializer_list<std::string_view> known)
{
    for (const auto& [key, value] : object.items()) {
        bool isKnown = false;
        for (const std::string_view name : known) {
            isKnown = isKnown || key == name;
        }
        if (!isKnown) {
            return key;
        }
    }
    return std::nullopt;
}

std::string shown(std::string_view key)
{
    // At most 40 characters; control and formatting characters (which could break the line or
    // turn the text around) show as '?'. The key is valid UTF-8: the reader checked it.
    constexpr std::size_t longest = 40;
    std::string text;
    std::size_t count = 0;
    std::size_t at = 0;
    for (; at < key.size() && count < longest; ++count) {
        const std::size_t length = std::max<std::size_t>(1, utf8CharLength(key, at));
        const std::string_view character = key.substr(at, length);
        const auto lead = static_cast<unsigned char>(character[0]);
        const bool control =
            lead < 0x20 || lead == 0x7F
            || (length == 2 && lead == 0xC2 && static_cast<unsigned char>(character[1]) < 0xA0);
        const bool formatting =
            character == "\u200B" || character == "\u200C" || character == "\u200D"
            || character == "\u200E" || character == "\u200F" || character == "\u2028"
            || character == "\u2029" || character == "\u202A" || character == "\u202B"
            || character == "\u202C" || character == "\u202D" || character == "\u202E"
            || character == "\u2066" || character == "\u2067" || character == "\u2068"
            || character == "\u2069" || character == "\uFEFF";
        text += control || formatting || utf8CharLength(key, at) == 0 ? std::string_view("?")
                                                                      : character;
        at += length;
    }
    return at < key.size() ? text + "..." : text;
}

std::optional<int> wholeNumber(const Value* value, int low, int high)
{
    if (!value || !value->is_number()) {
        return std::nullopt;
    }
    const double number = value->get<double>();
    if (!(number >= low && number <= high) || number != std::trunc(number)) {
        return std::nullopt;
    }
    return static_cast<int>(number);
}

const Value* member(const Value& object, std::string_view name)
{
    const auto it = object.find(name);
    return it == object.end() ? nullptr : &*it;
}

} // namespace cyclar::json
