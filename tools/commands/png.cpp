// cyclar-export png: one frame of a new animation as the program draws it.
#include "command.h"

#include "frame.h"
#include "picture_export.h"

namespace cyclar {
namespace {

ExportResult png(const CommandInput& input)
{
    const QString path = outputPath(input);
    const int frame = wholeOption(input.parser, input.options.frame, 1, 360, "").value_or(1);
    const FileView view = viewOf(input);
    FramePalette palette;
    palette.rotationAxis = view.rotationAxis;
    palette.scale = wholeOption(input.parser, input.options.scale, 1, maxPictureScale,
                                "of pixels per picture pixel")
                        .value_or(1);
    needPictures(input);
    QString error;
    if (!writePng(renderFramePicture(sceneOf(input.source, view, motionOf(input)), frame, palette),
                  path, error)) {
        writeFailed(path, error);
    }
    return ExportResult();
}

} // namespace

const ExportCommand pngCommand{
    "png",
    {{CommandOption::frame},
     {CommandOption::circuit},
     {CommandOption::evenInput},
     {CommandOption::turn},
     {CommandOption::tilt},
     {CommandOption::scale},
     {CommandOption::rotationAxis},
     {CommandOption::output, true}},
    ".png",
    true,
    "The 480 x 480 picture that a new animation shows at frame N (1 to 360, default\n"
    "1) of circuit 1 or 2, the input at the sweep's pace or with --even-input evenly,\n"
    "seen from the view angles in whole degrees from -90 to 90 (defaults -18 and -18).\n"
    "With --scale K (1 to 4, default 1) the same picture is drawn at K times the\n"
    "pixels, 480K x 480K: geometry, pen widths, rings and label all K times larger.\n"
    "With --rotation-axis (or a file whose view has \"rotationAxis\": true) the\n"
    "coupler's pole, the fixed polode and the velocity of P are drawn over it.\n",
    "png --dims 50,30,35,40,45,-35 --frame 90 -o frame90.png",
    png,
};

} // namespace cyclar
