// The strict JSON reading behind every file cyclar reads: one place decides each reason a file
// is refused (not text, not UTF-8, not JSON and where, too deep, a number out of range, a key
// given twice, not a regular file, too large). Internal to files/: nothing outside includes it.
#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace cyclar::json {

using Value = nlohmann::json;

/// Objects and arrays nest no deeper than this; no cyclar file comes near it.
inline constexpr int maxDepth = 64;

/// What kind of file is being read, for the sentences that name it.
struct FileKind {
    const char* noun;   ///< "linkage file"
    const char* format; ///< its "format" value, "cyclar-linkage"
    int version;        ///< the version this cyclar reads
    std::size_t maxBytes;
};

/// Parses `bytes` as one JSON value. Every number is held as a finite double (minus zero as
/// zero). On failure returns nothing and sets `error` to one sentence that follows the file's
/// name ("is not JSON (...)").
std::optional<Value> parse(std::string_view bytes, const FileKind& kind, std::string& error);

/// Parses the bytes and checks the frame every cyclar file shares: an object whose "format"
/// and "version" are the kind's, and no key beyond `known`.
std::optional<Value> parseTop(std::string_view bytes, const FileKind& kind,
                              std::initializer_list<std::string_view> known, std::string& error);

/// Reads the regular file at `path` (the system's bytes) whole, refusing folders, pipes,
/// devices and files over the kind's size limit without blocking on any of them.
bool readRegularFile(const std::string& path, const FileKind& kind, std::string& bytes,
                     std::string& error);

/// The first key of `object` (in byte order) that is not one of `known`.
std::optional<std::string> unknownKey(const Value& object,
                                      std::initializer_list<std::string_view> known);

/// A key from a file as a message may show it: one short line, whatever the file holds.
std::string shown(std::string_view key);

/// A whole number within [low, high], or nothing (fractions, text and huge values alike).
std::optional<int> wholeNumber(const Value* value, int low, int high);

/// The member `name` of `object`, or null when absent.
const Value* member(const Value& object, std::string_view name);

} // namespace cyclar::json
