// Pose solver: the law of cosines on the diagonal's two triangles, branch signs from t.
#include "pose_solver.h"

#include <cmath>

namespace cyclar {

LinkagePose solvePose(const LinkageModel& m, double t)
{
    LinkagePose p;
    const double d = (m.diagonalMin + m.diagonalMax) / 2.0 - std::cos(t) * m.diagonalHalf;
    p.diagonal = d;
    p.cosD = std::cos(d * m.degToRad);
    p.sinD = std::sin(d * m.degToRad);

    p.sinSign = std::fabs(std::sin(t)) / std::sin(t);
    p.paramSign = -std::fabs(t) / t;

    const double lower = m.lowerSign;
    const double upper = m.upperSign;
    const double sinSign = p.sinSign;
    const double paramSign = p.paramSign;
    p.phiFactor = ((lower - 1.0) * (1.0 - paramSign) / 2.0 + 1.0) * (upper + 1.0) / 2.0 * sinSign
                  + paramSign * (1.0 - upper) / 2.0;
    p.psiFactor = ((lower + 1.0) * (paramSign - 1.0) / 2.0 + 1.0) * (1.0 - upper) / 2.0 * sinSign
                  + paramSign * (1.0 + upper) / 2.0;

    p.cosPhi = (m.cosA - m.cosF * p.cosD) / m.sinF / p.sinD;
    p.sinPhi = std::sqrt(1.0 - p.cosPhi * p.cosPhi) * p.phiFactor;
    p.cosPsi = (m.cosB - m.cosC * p.cosD) / m.sinC / p.sinD;
    p.sinPsi = std::sqrt(1.0 - p.cosPsi * p.cosPsi) * p.psiFactor;
    p.cosPsiK = p.cosPsi * m.cosK - p.sinPsi * m.sinK;
    p.sinPsiK = p.sinPsi * m.cosK + p.cosPsi * m.sinK;

    const double cosD = p.cosD;
    const double sinD = p.sinD;
    p.A1 = {m.sinF * p.cosPhi * sinD + m.cosF * cosD, -m.cosF * p.cosPhi * sinD + m.sinF * cosD,
            p.sinPhi * sinD};
    p.T1 = {-m.sinF * p.cosPhi * cosD + m.cosF * sinD, m.cosF * p.cosPhi * cosD + m.sinF * sinD,
            -p.sinPhi * cosD};
    p.N1 = {-m.sinF * p.sinPhi, m.cosF * p.sinPhi, p.cosPhi};

    p.B1 = {p.A1.x * m.cosC + p.T1.x * m.sinC * p.cosPsi + p.N1.x * m.sinC * p.sinPsi,
            p.A1.y * m.cosC + p.T1.y * m.sinC * p.cosPsi + p.N1.y * m.sinC * p.sinPsi,
            p.A1.z * m.cosC + p.T1.z * m.sinC * p.cosPsi + p.N1.z * m.sinC * p.sinPsi};
    p.P = {p.A1.x * m.cosH + p.T1.x * m.sinH * p.cosPsiK + p.N1.x * m.sinH * p.sinPsiK,
           p.A1.y * m.cosH + p.T1.y * m.sinH * p.cosPsiK + p.N1.y * m.sinH * p.sinPsiK,
           p.A1.z * m.cosH + p.T1.z * m.sinH * p.cosPsiK + p.N1.z * m.sinH * p.sinPsiK};
    return p;
}

} // namespace cyclar
