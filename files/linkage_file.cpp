// Linkage files: strict reading (every way a file can be wrong gets its own sentence, decided in
// strict_json.cpp and here) and writing in a fixed key order.
#include "linkage_file.h"

#include "dimensions_json.h"
#include "path_text.h"
#include "strict_json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace cyclar {

namespace {

const json::FileKind linkageKind{"linkage file", linkageFileFormat, linkageFileVersion,
                                 linkageFileMaxBytes};

std::optional<LinkageFile> refuse(std::string& error, std::string why)
{
    error = std::move(why);
    return std::nullopt;
}

} // namespace

std::string shortestNumberText(double value)
{
    if (value == 0.0) {
        return "0"; // a zero reads back without its sign, so minus zero is written as zero
    }
    if (!std::isfinite(value)) {
        return "null"; // a file never holds such a value: the writers are given finite ones
    }
    // The fewest significant digits that read back as the same double (correctly rounded, so
    // of those the closest), laid out as std::to_chars does: plain or scientific, whichever is
    // shorter, plain on a tie. Written out here because not every standard library the core is
    // built with has to_chars for doubles.
    char scientific[40];
    int written = -1; // the precision `scientific` holds
    const auto write = [&](int precision) {
        if (written != precision) {
            std::snprintf(scientific, sizeof scientific, "%.*e", precision, value);
            written = precision;
        }
    };
    const auto readsBack = [&](int precision) {
        write(precision);
        return std::strtod(scientific, nullptr) == value;
    };
    // Seventeen digits always read back. Below a power of two the doubles lie twice as close as
    // above it, so there more digits can land on the wrong side: try each precision in turn.
    // Elsewhere the doubles that read back as this one lie evenly about it, and more digits,
    // correctly rounded, land no farther from it: once a precision reads back, every greater
    // one does. Most computed numbers take sixteen or seventeen digits, so those are asked
    // about first, and the rest of the range is halved: two or three conversions for most
    // numbers rather than up to seventeen (which the browser's C library, formatting and
    // reading through a software long double, feels in every number of a design's answer).
    int binaryExponent = 0;
    if (std::fabs(std::frexp(value, &binaryExponent)) == 0.5) {
        for (int precision = 0; precision <= 16 && !readsBack(precision); ++precision) {
        }
    } else {
        int fewest = 0;
        int most = 16;
        if (!readsBack(15)) {
            fewest = 16;
        } else if (!readsBack(14)) {
            fewest = most = 15;
        } else {
            most = 14;
        }
        while (fewest < most) {
            const int middle = (fewest + most) / 2;
            if (readsBack(middle)) {
                most = middle;
            } else {
                fewest = middle + 1;
            }
        }
        write(fewest);
    }
    const std::string_view text = scientific;
    const std::size_t e = text.find('e');
    const bool negative = text[0] == '-';
    std::string digits;
    for (const char ch : text.substr(0, e)) {
        if (ch >= '0' && ch <= '9') {
            digits += ch;
        }
    }
    const int exponent = std::atoi(text.data() + e + 1);
    std::string shortScientific(negative ? "-" : "");
    shortScientific.append(digits, 0, 1);
    if (digits.size() > 1) {
        shortScientific.append(1, '.').append(digits, 1);
    }
    const int magnitude = exponent < 0 ? -exponent : exponent;
    shortScientific.append(exponent < 0 ? "e-" : "e+");
    shortScientific.append(magnitude < 10 ? "0" : "").append(std::to_string(magnitude));
    std::string plain(negative ? "-" : "");
    const auto count = static_cast<int>(digits.size());
    if (exponent < 0) {
        plain.append("0.").append(static_cast<std::size_t>(-exponent - 1), '0').append(digits);
    } else if (exponent + 1 >= count) {
        // A whole number is written with all its digits, exact, as to_chars writes it; the
        // length is the same as the shortest digits padded with zeros.
        char whole[400];
        std::snprintf(whole, sizeof whole, "%.0f", value);
        plain = whole;
    } else {
        const auto point = static_cast<std::size_t>(exponent + 1);
        plain.append(digits, 0, point).append(1, '.').append(digits, point);
    }
    return plain.size() <= shortScientific.size() ? plain : shortScientific;
}

std::optional<LinkageFile> parseLinkageFile(std::string_view bytes, std::string& error)
{
    const std::optional<json::Value> top = json::parseTop(
        bytes, linkageKind, {"format", "version", "dimensions", "view", "speed"}, error);
    if (!top) {
        return std::nullopt;
    }

    LinkageFile file;
    if (!json::readDimensions(json::member(*top, "dimensions"), file.dimensions, error)) {
        return std::nullopt;
    }

    if (const json::Value* view = json::member(*top, "view")) {
        if (!view->is_object()) {
            return refuse(error, "has a \"view\" that is not an object with \"turn\" and \"tilt\"");
        }
        if (const std::optional<std::string> key =
                json::unknownKey(*view, {"turn", "tilt", "rotationAxis"})) {
            return refuse(error,
                          "has an unknown key \"" + json::shown(*key) + "\" in its \"view\"");
        }
        FileView fileView;
        for (const char* name : {"turn", "tilt"}) {
            const std::optional<int> angle = json::wholeNumber(json::member(*view, name), -90, 90);
            if (!angle) {
                return refuse(error, std::string("has a view \"") + name
                                         + "\" that is not a whole number of degrees from -90 "
                                           "to 90");
            }
            (name[1] == 'u' ? fileView.turn : fileView.tilt) = *angle;
        }
        if (const json::Value* axis = json::member(*view, "rotationAxis")) {
            if (!axis->is_boolean()) {
                return refuse(error, "has a view \"rotationAxis\" that is not true or false");
            }
            fileView.rotationAxis = axis->get<bool>();
        }
        file.view = fileView;
    }

    if (const json::Value* speedValue = json::member(*top, "speed")) {
        const std::optional<int> speed = json::wholeNumber(speedValue, 0, 100);
        if (!speed) {
            return refuse(error, "has a \"speed\" that is not a whole number from 0 to 100");
        }
        file.speed = *speed;
    }
    return file;
}

std::optional<LinkageFile> readLinkageFile(const std::string& path, std::string& error)
{
    std::string bytes;
    if (!json::readRegularFile(path, linkageKind, bytes, error)) {
        return std::nullopt;
    }
    return parseLinkageFile(bytes, error);
}

std::string linkageFileText(const LinkageFile& file)
{
    std::string text = std::string("{\n  \"format\": \"") + linkageFileFormat + "\",\n";
    text += "  \"version\": " + std::to_string(linkageFileVersion) + ",\n";
    text += "  \"dimensions\": " + json::dimensionsText(file.dimensions);
    if (file.view) {
        text += ",\n  \"view\": {\"turn\": " + std::to_string(file.view->turn)
                + ", \"tilt\": " + std::to_string(file.view->tilt);
        // Written only when shown, so that files of views without it keep their bytes.
        if (file.view->rotationAxis) {
            text += ", \"rotationAxis\": true";
        }
        text += "}";
    }
    if (file.speed) {
        text += ",\n  \"speed\": " + std::to_string(*file.speed);
    }
    text += "\n}\n";
    return text;
}

bool canWriteLinkageFile(const std::string& path, const LinkageFile& file, std::string& error)
{
    const bool named = hasSuffix(path, linkageFileSuffix);
    if (!named) {
        error = "the file name must end in .cyclar";
        return false;
    }
    const LinkageDimensions& d = file.dimensions;
    for (double value : {d.a, d.b, d.c, d.f, d.h, d.k}) {
        if (!std::isfinite(value)) {
            error = "a dimension is not a finite number";
            return false;
        }
    }
    return true;
}

} // namespace cyclar

namespace cyclar::json {

namespace {

const char* const dimensionNames[] = {"a", "b", "c", "f", "h", "k"};
double LinkageDimensions::*const dimensionMembers[] = {
    &LinkageDimensions::a, &LinkageDimensions::b, &LinkageDimensions::c,
    &LinkageDimensions::f, &LinkageDimensions::h, &LinkageDimensions::k};

} // namespace

bool readDimensions(const Value* dimensions, LinkageDimensions& out, std::string& error)
{
    if (!dimensions || !dimensions->is_object()) {
        error = "has no \"dimensions\" object";
        return false;
    }
    if (const std::optional<std::string> key =
            unknownKey(*dimensions, {"a", "b", "c", "f", "h", "k"})) {
        error = "has an unknown dimension \"" + shown(*key) + "\"";
        return false;
    }
    for (int i = 0; i < 6; ++i) {
        const std::string name = dimensionNames[i];
        const Value* value = member(*dimensions, name);
        if (!value) {
            error = "has no dimension \"" + name + "\"";
            return false;
        }
        if (!value->is_number()) {
            error = "has a dimension \"" + name + "\" that is not a number";
            return false;
        }
        out.*dimensionMembers[i] = value->get<double>();
    }
    return true;
}

std::string dimensionsText(const LinkageDimensions& dims)
{
    std::string text = "{";
    for (int i = 0; i < 6; ++i) {
        text += std::string(i == 0 ? "\"" : ", \"") + dimensionNames[i]
                + "\": " + shortestNumberText(dims.*dimensionMembers[i]);
    }
    return text + "}";
}

} // namespace cyclar::json
