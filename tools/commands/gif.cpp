// cyclar-export gif: one whole cycle as an animated GIF.
#include "command.h"

#include "frame.h"
#include "picture_export.h"

namespace cyclar {
namespace {

ExportResult gif(const CommandInput& input)
{
    const QString path = outputPath(input);
    const FileView view = viewOf(input);
    const int speed = speedOf(input);
    needPictures(input);
    QString error;
    FramePalette palette;
    palette.rotationAxis = view.rotationAxis;
    if (!writeCycleGif(path, sceneOf(input.source, view, motionOf(input)), palette,
                       gifFrameDelay(speed), input.progress, error)) {
        writeFailed(path, error);
    }
    return ExportResult();
}

} // namespace

const ExportCommand gifCommand{
    "gif",
    {{CommandOption::circuit},
     {CommandOption::evenInput},
     {CommandOption::turn},
     {CommandOption::tilt},
     {CommandOption::speed},
     {CommandOption::rotationAxis},
     {CommandOption::output, true}},
    ".gif",
    true,
    "One whole cycle (360 frames, each exactly the png of that frame) as an animated\n"
    "GIF that loops forever; each frame lasts the animation's tick at speed slider\n"
    "position P (0 to 100, default 50: 0.17 s). Progress goes to stderr when it is a\n"
    "terminal. --rotation-axis draws the coupler's rotation axis on every frame;\n"
    "--circuit and --even-input choose the motion as for png.\n",
    "gif --dims 50,30,35,40,45,-35 --speed 80 -o cycle.gif",
    gif,
};

} // namespace cyclar
