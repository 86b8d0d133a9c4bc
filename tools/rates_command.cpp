// cyclar-export's rate table, from the core's closed-form rates of each frame's pose.
#include "rates_command.h"

#include "export_command.h"
#include "linkage_rates.h"

namespace cyclar {

QByteArray ratesCsv(const LinkageDimensions& dims)
{
    const auto csv = [](double value) { return formatNumber(value, "nan", "inf", "-inf"); };
    const auto vector = [&csv](const SphereVector& v) {
        return csv(v.x) + ',' + csv(v.y) + ',' + csv(v.z);
    };
    QByteArray text = QByteArray(ratesCsvHeader) + '\n';
    for (const FrameRates& row : frameRateTable(dims)) {
        const LinkageRates& r = row.rates;
        text += QByteArray::number(row.frame) + ',' + csv(row.t) + ',' + csv(row.angles.theta) + ','
                + csv(row.angles.psi) + ',' + QByteArray::number(row.angles.branch) + ','
                + csv(r.outputRate) + ',' + csv(r.outputAcceleration) + ',' + csv(r.couplerRate)
                + ',' + vector(r.pole) + ',' + csv(r.pointSpeed) + ',' + vector(r.pointVelocity)
                + ',' + csv(r.pointAccelerationMagnitude) + ',' + vector(r.pointAcceleration) + ','
                + csv(r.mechanicalAdvantage) + '\n';
    }
    return text;
}

} // namespace cyclar
