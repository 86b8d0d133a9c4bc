// cyclar-export angles: input, output and transmission angles of each animation frame.
#include "command.h"

#include "linkage_analysis.h"

namespace cyclar {
namespace {

ExportResult angles(const CommandInput& input)
{
    QByteArray text = "frame,t,input,output,transmission,branch\n";
    for (const FrameAngles& row : frameAngleTable(input.source.dimensions, motionOf(input))) {
        text += QByteArray::number(row.frame) + ',' + csv(row.t) + ',' + csv(row.angles.theta) + ','
                + csv(row.angles.psi) + ',' + csv(row.angles.mu) + ','
                + QByteArray::number(row.angles.branch) + '\n';
    }
    return ok(text);
}

} // namespace

const ExportCommand anglesCommand{
    "angles",
    {{CommandOption::circuit}, {CommandOption::evenInput}},
    nullptr,
    false,
    "CSV (frame,t,input,output,transmission,branch): the input, output and\n"
    "transmission angles in degrees and the assembly branch (1 or 2) of each of the\n"
    "360 animation frames, as the frames command solves them (--circuit and\n"
    "--even-input as there).\n",
    "angles --dims 50,30,35,40,45,-35 > angles.csv",
    angles,
};

} // namespace cyclar
