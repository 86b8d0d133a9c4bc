// cyclar-export svg: one frame as vectors, point for point where the png puts its pixels.
#include "command.h"

#include "artwork.h"
#include "frame.h"
#include "svg_export.h"

namespace cyclar {
namespace {

ExportResult svg(const CommandInput& input)
{
    const QString path = outputPath(input);
    const int frame = wholeOption(input.parser, input.options.frame, 1, 360, "").value_or(1);
    const FileView view = viewOf(input);
    needPictures(input);
    SceneState scene = sceneOf(input.source, view, motionOf(input));
    advanceToFrame(scene, frame);
    QString error;
    FramePalette palette;
    palette.rotationAxis = view.rotationAxis;
    if (!writeSvg(path, scene, palette, error)) {
        writeFailed(path, error);
    }
    return ExportResult();
}

} // namespace

const ExportCommand svgCommand{
    "svg",
    {{CommandOption::frame},
     {CommandOption::circuit},
     {CommandOption::evenInput},
     {CommandOption::turn},
     {CommandOption::tilt},
     {CommandOption::rotationAxis},
     {CommandOption::output, true}},
    ".svg",
    true,
    "The same frame as vectors in a 480 x 480 coordinate system: sphere outline,\n"
    "reference circles, coupler curve, the five arcs, the joint rings and the label,\n"
    "in the picture's colours and pen widths, each point where the png puts its pixel.\n"
    "--rotation-axis adds the coupler's pole, the fixed polode and the velocity of P;\n"
    "--circuit and --even-input choose the motion as for png.\n",
    "svg --file class.cyclar --frame 120 -o frame120.svg",
    svg,
};

} // namespace cyclar
