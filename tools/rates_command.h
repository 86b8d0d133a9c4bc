// cyclar-export's rate table: velocity and acceleration of each animation frame as CSV.
#pragma once

#include "linkage_model.h"

#include <QByteArray>

namespace cyclar {

/// The header line of the rate table (without its newline).
inline constexpr const char* ratesCsvHeader =
    "frame,t,input,output,branch,outputRate,outputAcceleration,couplerRate,poleX,poleY,poleZ,"
    "pointSpeed,pointVx,pointVy,pointVz,pointAcceleration,pointAx,pointAy,pointAz,"
    "mechanicalAdvantage";

/// One row per animation frame, the same frames and poses as the angle table; values that are
/// not finite are written nan, inf or -inf.
QByteArray ratesCsv(const LinkageDimensions& dims);

} // namespace cyclar
