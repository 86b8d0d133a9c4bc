// cyclar-export curve: the coupler curve's vertices as the first picture draws them.
#include "command.h"

#include "linkage_model.h"
#include "motion_schedule.h"

namespace cyclar {
namespace {

ExportResult curve(const CommandInput& input)
{
    const LinkageDimensions& d = input.source.dimensions;
    const LinkageModel model = buildLinkageModel(d);
    MotionSchedule schedule; // a new page: frame 1, start index 0
    const PaintSchedule paint = beginPaint(model, d, schedule);
    QByteArray text = "pass,j,t,x,y,z\n";
    sweepCouplerCurve(
        paint, schedule.framesPerCycle, [&text](int pass, int j, double t, const SphereVector& p) {
            text += QByteArray::number(pass) + ',' + QByteArray::number(j) + ',' + csv(t) + ','
                    + csv(p.x) + ',' + csv(p.y) + ',' + csv(p.z) + '\n';
        });
    return ok(text);
}

} // namespace

const ExportCommand curveCommand{
    "curve",
    {},
    nullptr,
    false,
    "CSV (pass,j,t,x,y,z): every vertex of the two passes of the coupler curve, as the\n"
    "first picture of a new animation shows it.\n",
    "curve --dims 20,50,45,40,45,-35 > curve.csv",
    curve,
};

} // namespace cyclar
