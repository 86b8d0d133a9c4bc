// cyclar-export rates: velocity and acceleration of each animation frame as CSV, from the core's
// closed-form rates of each frame's pose.
#include "command.h"

#include "linkage_rates.h"

namespace cyclar {
namespace {

ExportResult rates(const CommandInput& input)
{
    const auto vector = [](const SphereVector& v) {
        return csv(v.x) + ',' + csv(v.y) + ',' + csv(v.z);
    };
    QByteArray text = "frame,t,input,output,branch,outputRate,outputAcceleration,couplerRate,"
                      "poleX,poleY,poleZ,pointSpeed,pointVx,pointVy,pointVz,pointAcceleration,"
                      "pointAx,pointAy,pointAz,mechanicalAdvantage\n";
    for (const FrameRates& row : frameRateTable(input.source.dimensions, motionOf(input))) {
        const LinkageRates& r = row.rates;
        text += QByteArray::number(row.frame) + ',' + csv(row.t) + ',' + csv(row.angles.theta) + ','
                + csv(row.angles.psi) + ',' + QByteArray::number(row.angles.branch) + ','
                + csv(r.outputRate) + ',' + csv(r.outputAcceleration) + ',' + csv(r.couplerRate)
                + ',' + vector(r.pole) + ',' + csv(r.pointSpeed) + ',' + vector(r.pointVelocity)
                + ',' + csv(r.pointAccelerationMagnitude) + ',' + vector(r.pointAcceleration) + ','
                + csv(r.mechanicalAdvantage) + '\n';
    }
    return ok(text);
}

} // namespace

const ExportCommand ratesCommand{
    "rates",
    {{CommandOption::circuit}, {CommandOption::evenInput}},
    nullptr,
    false,
    "CSV, one row per animation frame (the frames and poses of angles), per radian of\n"
    "input: frame,t,input,output,branch, outputRate (dpsi/dtheta), outputAcceleration\n"
    "(d2psi/dtheta2), couplerRate (|w|, the coupler's angular velocity), poleX..Z\n"
    "(w/|w|, the coupler's pole), pointSpeed and pointVx..Vz (dP/dtheta),\n"
    "pointAcceleration and pointAx..Az (d2P/dtheta2), mechanicalAdvantage\n"
    "(dtheta/dpsi). At a toggle the rate is inf and the pole nan. --circuit and\n"
    "--even-input as for frames.\n",
    "rates --dims 50,30,35,40,45,-35 > rates.csv",
    rates,
};

} // namespace cyclar
