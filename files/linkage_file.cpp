// Linkage files: strict reading (every way a file can be wrong gets its own sentence, decided in
// strict_json.cpp and here) and writing in a fixed key order.
#include "linkage_file.h"

#include "dimensions_json.h"
#include "path_text.h"
#include "significant_text.h"
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

std::string fileNumberText(double value)
{
    // A zero reads back without its sign, so minus zero is written as zero; a file never holds a
    // value that is not finite (the writers are given finite ones), but the design's answer may.
    return std::isfinite(value) ? shortestNumberText(value == 0.0 ? 0.0 : value) : "null";
}

std::optional<LinkageFile> parseLinkageFile(std::string_view bytes, std::string& error)
{
    const std::optional<json::Value> top = json::parseTop(
        bytes, linkageKind,
        {"format", "version", "dimensions", "view", "speed", "circuit", "evenInput"}, error);
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

    if (const json::Value* circuit = json::member(*top, "circuit")) {
        const std::optional<int> number = json::wholeNumber(circuit, 1, 2);
        if (!number) {
            return refuse(error, "has a \"circuit\" that is not 1 or 2 (a linkage has at most "
                                 "two circuits)");
        }
        file.motion.circuit = *number;
    }
    if (const json::Value* even = json::member(*top, "evenInput")) {
        if (!even->is_boolean()) {
            return refuse(error, "has an \"evenInput\" that is not true or false");
        }
        file.motion.evenInput = even->get<bool>();
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
    if (file.motion.circuit == 2) {
        text += ",\n  \"circuit\": 2";
    }
    if (file.motion.evenInput) {
        text += ",\n  \"evenInput\": true";
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
                + "\": " + fileNumberText(dims.*dimensionMembers[i]);
    }
    return text + "}";
}

} // namespace cyclar::json
