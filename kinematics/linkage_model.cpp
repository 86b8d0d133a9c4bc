// Builds the per-page linkage model: cosines, the coupler arc e, gaps, signs and diagonal range.
#include "linkage_model.h"

#include <cmath>

namespace cyclar {

namespace {

// x / |x|: exactly -1 or +1 for any nonzero x.
double signOf(double x)
{
    return x / std::fabs(x);
}

struct SignPair {
    double lower;
    double upper;
};

// The branch signs from the two gaps. A positive gap means the a-f triangle sets that end of the
// diagonal's range; a zero gap leaves both triangles flat there, and the signs then differ.
SignPair signsFor(double lowerGap, double upperGap)
{
    if (lowerGap * upperGap != 0.0) {
        return {signOf(lowerGap), signOf(upperGap)};
    }
    if (lowerGap != 0.0) {
        return {signOf(lowerGap), -signOf(lowerGap)};
    }
    if (upperGap != 0.0) {
        return {-signOf(upperGap), signOf(upperGap)};
    }
    return {-1.0, 1.0};
}

// The longest the third side of a spherical triangle with sides x and y can be: their sum, or,
// once the sum passes 180 degrees, the shorter way round, 360 - (x + y).
double longestThirdSide(double x, double y)
{
    const double sum = x + y;
    return sum <= 180.0 ? sum : 360.0 - sum;
}

} // namespace

LinkageModel buildLinkageModel(const LinkageDimensions& dims)
{
    LinkageModel m;
    m.pi = 4.0 * std::atan(1.0);
    m.degToRad = std::atan(1.0) / 45.0;

    m.jointGap = 1.0;
    m.cosJointGap = std::cos(m.jointGap * m.degToRad);
    m.sinJointGap = std::sin(m.jointGap * m.degToRad);

    m.cosA = std::cos(dims.a * m.degToRad);
    m.sinA = std::sin(dims.a * m.degToRad);
    m.cosC = std::cos(dims.c * m.degToRad);
    m.sinC = std::sin(dims.c * m.degToRad);
    m.cosF = std::cos(dims.f * m.degToRad);
    m.sinF = std::sin(dims.f * m.degToRad);
    m.cosH = std::cos(dims.h * m.degToRad);
    m.sinH = std::sin(dims.h * m.degToRad);
    m.cosK = std::cos(dims.k * m.degToRad);
    m.sinK = std::sin(dims.k * m.degToRad);
    m.cosB = std::cos(dims.b * m.degToRad);
    m.sinB = std::sin(dims.b * m.degToRad);

    m.cosE = m.cosH * m.cosC + m.sinH * m.sinC * m.cosK;
    m.e = std::acos(m.cosE) / m.degToRad;
    m.sinE = std::sqrt(1.0 - m.cosE * m.cosE);

    m.A0 = {1.0, 0.0, 0.0};
    m.B0 = {std::cos(dims.f * m.degToRad), std::sin(dims.f * m.degToRad), 0.0};

    // The diagonal's range is where the ranges of its two triangles meet: from the larger of
    // |a - f| and |b - c| to the smaller of the two longest third sides.
    const double upperLeft = longestThirdSide(dims.a, dims.f);
    const double upperRight = longestThirdSide(dims.b, dims.c);
    m.lowerGap = std::fabs(dims.a - dims.f) - std::fabs(dims.b - dims.c);
    m.upperGap = upperRight - upperLeft;
    m.planarUpperGap = (dims.b + dims.c) - (dims.a + dims.f);

    const SignPair signs = signsFor(m.lowerGap, m.upperGap);
    m.lowerSign = signs.lower;
    m.upperSign = signs.upper;

    m.diagonalMin = (std::fabs(m.lowerGap) + m.lowerGap) / 2.0 + std::fabs(dims.b - dims.c);
    m.diagonalMax = upperRight - (std::fabs(m.upperGap) + m.upperGap) / 2.0;
    m.diagonalHalf = (m.diagonalMax - m.diagonalMin) / 2.0;
    return m;
}

bool isGrashof(const LinkageModel& model)
{
    const SignPair planar = signsFor(model.lowerGap, model.planarUpperGap);
    return planar.lower * planar.upper > 0.0;
}

int circuitCount(const LinkageModel& model)
{
    return model.lowerSign * model.upperSign > 0.0 ? 2 : 1;
}

const char* classificationLabel(const LinkageModel& model)
{
    return isGrashof(model) ? "Grashof Four-bar Linkage" : "Non-Grashof Four-bar Linkage";
}

} // namespace cyclar
