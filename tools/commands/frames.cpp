// cyclar-export frames: the pose drawn in each of the 360 animation frames.
#include "command.h"

#include "motion_schedule.h"

namespace cyclar {
namespace {

ExportResult frames(const CommandInput& input)
{
    QByteArray text = "frame,t,A1x,A1y,A1z,B1x,B1y,B1z,Px,Py,Pz\n";
    forEachShownFrame(shownMotion(input.source.dimensions, motionOf(input)),
                      [&text](int i, double t, const LinkagePose& p) {
                          text += QByteArray::number(i) + ',' + csv(t) + ',' + csv(p.A1.x) + ','
                                  + csv(p.A1.y) + ',' + csv(p.A1.z) + ',' + csv(p.B1.x) + ','
                                  + csv(p.B1.y) + ',' + csv(p.B1.z) + ',' + csv(p.P.x) + ','
                                  + csv(p.P.y) + ',' + csv(p.P.z) + '\n';
                      });
    return ok(text);
}

} // namespace

const ExportCommand framesCommand{
    "frames",
    {{CommandOption::circuit}, {CommandOption::evenInput}},
    nullptr,
    false,
    "CSV (frame,t,A1x,A1y,A1z,B1x,B1y,B1z,Px,Py,Pz): the sweep parameter and the pose\n"
    "drawn for each of the 360 animation frames, on circuit 1 or 2 (see Circuits below),\n"
    "with --even-input at the even pace of the input.\n",
    "frames --dims 50,30,35,40,45,-35 > frames.csv",
    frames,
};

} // namespace cyclar
