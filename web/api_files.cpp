// Linkage files for the browser, read and written by the core's one reader and writer, so a bad
// file gets the very reason cyclar-export gives.
#include "api_support.h"

#include "design_result_text.h"
#include "linkage_file.h"

#include <optional>

using namespace cyclar;
using web::handOut;
using web::jsonNumber;

int cyclar_linkage_file_max_bytes()
{
    return static_cast<int>(linkageFileMaxBytes);
}

/// {"problem": sentence} or {"dimensions": {...}, "view": {...} or null, "speed": n or null,
/// "circuit": 1 or 2, "evenInput": true or false}.
const char* cyclar_read_linkage_file(int size)
{
    std::string error;
    const std::optional<LinkageFile> file = parseLinkageFile(web::fileBytes(size), error);
    if (!file) {
        return handOut("{\"problem\":" + jsonQuoted(error) + "}");
    }
    const LinkageDimensions& d = file->dimensions;
    std::string out = "{\"dimensions\":{\"a\":" + jsonNumber(d.a) + ",\"b\":" + jsonNumber(d.b)
                      + ",\"c\":" + jsonNumber(d.c) + ",\"f\":" + jsonNumber(d.f)
                      + ",\"h\":" + jsonNumber(d.h) + ",\"k\":" + jsonNumber(d.k) + "},\"view\":";
    out += file->view ? "{\"turn\":" + std::to_string(file->view->turn)
                            + ",\"tilt\":" + std::to_string(file->view->tilt) + ",\"rotationAxis\":"
                            + (file->view->rotationAxis ? "true" : "false") + "}"
                      : std::string("null");
    out += ",\"speed\":" + (file->speed ? std::to_string(*file->speed) : std::string("null"));
    out += ",\"circuit\":" + std::to_string(file->motion.circuit)
           + ",\"evenInput\":" + (file->motion.evenInput ? "true" : "false") + "}";
    return handOut(std::move(out));
}

/// The text of a linkage file, as the desktop and cyclar-export write it. `hasView` 0 leaves
/// the view out; a `speed` below 0 leaves the speed out; circuit 2 and an even input are
/// written, circuit 1 and the sweep's pace are not.
const char* cyclar_linkage_file_text(double a, double b, double c, double f, double h, double k,
                                     int hasView, int turn, int tilt, int rotationAxis, int speed,
                                     int circuit, int evenInput)
{
    LinkageFile file{LinkageDimensions{a, b, c, f, h, k},
                     {},
                     {},
                     MotionChoice{circuit == 2 ? 2 : 1, evenInput != 0}};
    if (hasView != 0) {
        file.view = FileView{turn, tilt, rotationAxis != 0};
    }
    if (speed >= 0) {
        file.speed = speed;
    }
    return handOut(linkageFileText(file));
}
