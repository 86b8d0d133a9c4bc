// Closed-form pose of the moving joints and the coupler point for one sweep parameter.
#pragma once

#include "linkage_model.h"

namespace cyclar {

/// The linkage's position for one sweep parameter t (radians).
struct LinkagePose {
    double diagonal = 0.0; ///< degrees, the arc from B0 to A1
    double cosD = 0.0, sinD = 0.0;
    double sinSign = 0.0;
    double paramSign = 0.0;
    double phiFactor = 0.0;
    double psiFactor = 0.0;
    double cosPhi = 0.0, sinPhi = 0.0; ///< angle at B0 between the ground arc and the diagonal
    double cosPsi = 0.0, sinPsi = 0.0; ///< angle at A1 between the diagonal and the coupler
    double cosPsiK = 0.0, sinPsiK = 0.0;
    SphereVector A1; ///< joint of the left link and the coupler
    SphereVector T1; ///< unit tangent at A1 toward B0
    SphereVector N1; ///< A1 x T1
    SphereVector B1; ///< joint of the coupler and the right link
    SphereVector P;  ///< coupler point
};

/// Solves the two spherical triangles on the diagonal d = mid - cos(t) * half.
///
/// Left triangle A0 B0 A1:  cos a = cos f cos d + sin f sin d cos phi.
/// Right triangle B0 A1 B1: cos b = cos d cos c + sin d sin c cos psi.
/// The signs of the two sines (the assembly branches) come from the model's lowerSign and
/// upperSign and from the signs of t and sin t. t = 0 and unclosable triangles give NaNs,
/// silently; nothing is clamped.
LinkagePose solvePose(const LinkageModel& model, double t);

} // namespace cyclar
