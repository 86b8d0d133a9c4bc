// Builds the per-page linkage model: cosines, the coupler arc e, gaps, signs and diagonal range.
#include "linkage_model.h"

#include <cmath>

namespace cyclar {

namespace {

// x / |x|: exactly -1 or +1 for any nonzero x.
double signOf(double x) { return x / std::fabs(x); }

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

    m.lowerGap = std::fabs(dims.a - dims.f) - std::fabs(dims.b - dims.c);
    m.upperGap = (dims.b + dims.c) - (dims.a + dims.f);

    if (m.lowerGap * m.upperGap != 0.0) {
        m.lowerSign = signOf(m.lowerGap);
        m.upperSign = signOf(m.upperGap);
    } else if (m.lowerGap != 0.0) {
        m.lowerSign = signOf(m.lowerGap);
        m.upperSign = -signOf(m.lowerGap);
    } else if (m.upperGap != 0.0) {
        m.lowerSign = -signOf(m.upperGap);
        m.upperSign = signOf(m.upperGap);
    } else {
        m.lowerSign = -1.0;
        m.upperSign = 1.0;
    }

    m.diagonalMin = (std::fabs(m.lowerGap) + m.lowerGap) / 2.0 + std::fabs(dims.b - dims.c);
    m.diagonalMax = (dims.b + dims.c) - (std::fabs(m.upperGap) + m.upperGap) / 2.0;
    m.diagonalHalf = (m.diagonalMax - m.diagonalMin) / 2.0;
    return m;
}

bool isGrashof(const LinkageModel& model) { return model.lowerSign * model.upperSign > 0.0; }

const char* classificationLabel(const LinkageModel& model)
{
    return isGrashof(model) ? "Grashof Four-bar Linkage" : "Non-Grashof Four-bar Linkage";
}

} // namespace cyclar
