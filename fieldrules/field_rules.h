// The rules of the six fields: how their text is read, the ranges each page tests, the messages.
#pragma once

#include "linkage_model.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace cyclar {

/// A number as a field shows it: printf's "%.*g" with 15 significant digits in the C locale,
/// whatever the process's (significantText): 50 -> "50", 0.1 -> "0.1", 1e20 -> "1e+20".
std::string formatNumber(double v);

/// Reads the number in a field's text (UTF-8).
///
/// Only the first 31 characters count (a field is read into a 32-byte buffer). Blanks and tabs
/// around the number are skipped; the rest must be one finite decimal number in the C locale,
/// as strtod reads it, with nothing left over. A value of zero passes only when its first
/// non-blank character is the digit 0, so an empty field, "-0", "+0" and ".0" fail. Hexadecimal
/// numbers, infinities, NaNs, overflow and text that is not ASCII fail too.
std::optional<double> parseFieldText(std::string_view text);

/// Reads a number typed into a cell of a design task's table: one finite decimal number in the C
/// locale ([+-] digits, an optional fraction, an optional exponent), blanks around it allowed.
/// Unlike a field, any length and any zero pass. Hexadecimal, infinities, NaNs, overflow, group
/// separators and anything that is not ASCII fail.
std::optional<double> parseCellNumber(std::string_view text);

/// Both bounds are included; min > max (or a NaN anywhere) lets nothing pass.
bool inRange(double value, double min, double max);

/// The message for text that is not a number.
inline constexpr std::string_view notANumberMessage = "Please enter a number.";

/// The message for a number outside [min, max], the bounds written as formatNumber writes them.
std::string rangeMessage(double min, double max);

/// A link's upper bound on the dimensions page: the sum of the other three links, left to right.
/// A held value below 0 counts as 0, so a negative value in one field can never make another
/// field impossible to fill (and trap the user, whose negative field would never be read again).
double linkBound(double first, double second, double third);

/// The two pages whose fields hold the six dimensions.
enum class FieldPage { Dimensions, Animation };

/// The six fields by name, in the order a page reads them back.
std::string_view fieldOrder(FieldPage page);

/// Where a field stands among a, b, c, f, h, k (0..5; any other name is k's 5).
std::size_t fieldIndex(char field);

/// The value a field stands for: 'a', 'b', 'c', 'f', 'h' or 'k' (any other name is 'k').
double& fieldValue(LinkageDimensions& dims, char field);
double fieldValue(const LinkageDimensions& dims, char field);

struct FieldRange {
    double min = 0.0;
    double max = 0.0;
};

/// The range a page tests a field against, from the values held at that moment (the dimensions
/// page's link bounds follow the other links as they are read).
FieldRange fieldRange(FieldPage page, char field, const LinkageDimensions& held);

/// The texts of the six fields, in the order a, b, c, f, h, k.
using FieldTexts = std::array<std::string_view, 6>;

/// The field that stopped a read, and the message to show for it.
struct FieldFailure {
    char field = 0;
    std::string message;
};

/// The first of the values `held` that a page's range tests refuse, tested in the page's order
/// against the ranges they give with these values held, and the page's message for it; nothing
/// when all pass. The check of values that come from elsewhere (a file) and must pass the rules
/// typed ones do, without a field being read.
std::optional<FieldFailure> checkHeldValues(FieldPage page, const LinkageDimensions& held);

/// How a refused value from a file is said, after the file's name: "has the left link a = 500,
/// which must be between 0 and 105".
std::string heldValueRefusal(FieldPage page, char field, const LinkageDimensions& held);

/// Reads a page's fields back into `held`, in the page's order. Each value is stored as soon as
/// its text parses, even when its range test then fails. The first failure ends the read (later
/// fields keep their held values) and is returned; nothing on success.
std::optional<FieldFailure> readFields(FieldPage page, const FieldTexts& texts,
                                       LinkageDimensions& held);

} // namespace cyclar
