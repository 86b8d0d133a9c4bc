// cyclar-export frames: the pose drawn in each of the 360 animation frames.
#include "command.h"

#include "linkage_model.h"
#include "motion_schedule.h"
#include "pose_solver.h"

namespace cyclar {
namespace {

ExportResult frames(const CommandInput& input)
{
    const LinkageDimensions& d = input.source.dimensions;
    const LinkageModel model = buildLinkageModel(d);
    MotionSchedule schedule;
    const PaintSchedule paint = beginPaint(model, d, schedule);
    QByteArray text = "frame,t,A1x,A1y,A1z,B1x,B1y,B1z,Px,Py,Pz\n";
    for (int i = 1; i <= schedule.framesPerCycle; ++i) {
        const double t = shownFrameParameter(model, paint, schedule.framesPerCycle, i);
        const LinkagePose p = solvePose(paint.model, t);
        text += QByteArray::number(i) + ',' + csv(t) + ',' + csv(p.A1.x) + ',' + csv(p.A1.y) + ','
                + csv(p.A1.z) + ',' + csv(p.B1.x) + ',' + csv(p.B1.y) + ',' + csv(p.B1.z) + ','
                + csv(p.P.x) + ',' + csv(p.P.y) + ',' + csv(p.P.z) + '\n';
    }
    return ok(text);
}

} // namespace

const ExportCommand framesCommand{
    "frames",
    {},
    nullptr,
    false,
    "CSV (frame,t,A1x,A1y,A1z,B1x,B1y,B1z,Px,Py,Pz): the sweep parameter and the pose\n"
    "drawn for each of the 360 animation frames.\n",
    "frames --dims 50,30,35,40,45,-35 > frames.csv",
    frames,
};

} // namespace cyclar
