// cyclar-export save: a linkage file, with the view and speed when given.
#include "command.h"

#include "argument_bytes.h"
#include "path_text.h"

namespace cyclar {
namespace {

ExportResult save(const CommandInput& input)
{
    const QString path = outputPath(input);
    LinkageFile file = input.source;
    if (file.view || input.parser.isSet(input.options.turn)
        || input.parser.isSet(input.options.tilt)) {
        file.view = viewOf(input);
    }
    if (file.speed || input.parser.isSet(input.options.speed)) {
        file.speed = speedOf(input);
    }
    file.motion = motionOf(input);
    const std::string bytes = argumentBytes(path);
    std::string error;
    if (!writeLinkageFile(bytes, file, error)) {
        writeFailed(QString::fromStdString(displayPath(bytes)), QString::fromStdString(error));
    }
    return ExportResult();
}

} // namespace

const ExportCommand saveCommand{
    "save",
    {{CommandOption::turn},
     {CommandOption::tilt},
     {CommandOption::speed},
     {CommandOption::circuit},
     {CommandOption::evenInput},
     {CommandOption::output, true}},
    linkageFileSuffix,
    false,
    "A linkage file that cyclar and --file open: the dimensions, and the view and\n"
    "speed when given, and the circuit and the even pace of the input when chosen.\n",
    "save --dims 50,30,35,40,45,-35 --turn 0 -o class.cyclar",
    save,
};

} // namespace cyclar
