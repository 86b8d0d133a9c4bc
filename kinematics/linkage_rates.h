// Velocity and acceleration of the linkage: output rate, the coupler's spin and pole, P's motion.
#pragma once

#include "linkage_analysis.h"
#include "linkage_model.h"
#include "pose_solver.h"

#include <array>
#include <vector>

namespace cyclar {

// Every rate is per unit input rate: a derivative with respect to the input angle theta in
// radians, the input turning positively about A0 (multiply by the input's speed for per second).
// Angles follow linkage_analysis.h: theta positive about A0, psi positive about B0, so a link's
// angular velocity is theta' A0 for the input and psi' B0 for the output.
//
// At a toggle of the input (A1, B0 and B1 on one great circle) the output rate passes through
// infinity and changes sign: there outputRate, outputAcceleration, couplerRate, pointSpeed and
// pointAcceleration are +inf, mechanicalAdvantage is 0, and the directions (pole, the vectors)
// are NaN, since their sign is undefined at that instant. Where the output stands still
// (A0, A1 and B1 on one great circle) outputRate is 0 and mechanicalAdvantage is +-inf. At a
// change point's flat position both happen at once and every rate is NaN (0/0: the branches
// cross there). A pose that is not finite gives NaN throughout.

/// The rates of one pose.
struct LinkageRates {
    double outputRate = 0.0;         ///< dpsi/dtheta, the velocity ratio
    double outputAcceleration = 0.0; ///< d2psi/dtheta2, per radian
    /// The coupler's angular velocity: theta' A0 + alpha' A1 = psi' B0 + beta' B1 with theta' = 1.
    SphereVector couplerVelocity;
    SphereVector couplerAcceleration; ///< its derivative, the coupler's angular acceleration
    double couplerRate = 0.0;         ///< |couplerVelocity|
    /// The coupler's pole: couplerVelocity / couplerRate, the point where the axis of rotation
    /// meets the sphere on the side it points to. It lies on the great circles A0 A1 and B0 B1.
    SphereVector pole;
    double inputRelativeRate = 0.0;  ///< alpha': the coupler's rate about A1 relative to the input
    double outputRelativeRate = 0.0; ///< beta': the coupler's rate about B1 relative to the output
    double inputRelativeAcceleration = 0.0; ///< alpha'', the derivative of alpha'
    SphereVector pointVelocity;     ///< dP/dtheta = couplerVelocity x P, tangent to the sphere
    double pointSpeed = 0.0;        ///< |dP/dtheta|
    SphereVector pointAcceleration; ///< d2P/dtheta2 = eps x P + omega x (omega x P)
    double pointAccelerationMagnitude = 0.0; ///< |d2P/dtheta2|
    double mechanicalAdvantage = 0.0;        ///< dtheta/dpsi = 1 / outputRate
};

/// The rates of a rigid pose given by its joints: the pivots A0 and B0, the moving joints A1 and
/// B1 and the coupler point P (unit vectors).
///
/// The coupler turns about A1 relative to the input and about B1 relative to the output, so with
/// theta' = 1:  A0 + alpha' A1 = psi' B0 + beta' B1.  Solving the 3x3 system
/// [A1, -B0, -B1] (alpha', psi', beta') = -A0 by Cramer's rule, with the determinant
/// D = A1 . (B0 x B1) (zero at the input's toggles):
///   psi' = A0 . (B1 x A1) / D,  alpha' = -A0 . (B0 x B1) / D,  beta' = A0 . (A1 x B0) / D.
/// Differentiating once more (dA1/dtheta = A0 x A1, dB1/dtheta = psi' B0 x B1) gives the same
/// system for (alpha'', psi'', beta'') with the right-hand side
/// -alpha' A0 x A1 + beta' psi' B0 x B1.
LinkageRates rigidRates(const SphereVector& A0, const SphereVector& B0, const SphereVector& A1,
                        const SphereVector& B1, const SphereVector& P);

/// The rates of a pose of the pose solver.
LinkageRates poseRates(const LinkageModel& model, const LinkagePose& pose);

/// The joints of the pose with input angle theta and output angle psi (degrees), placed by the
/// conventions: A1 at arc a from A0 in the direction theta, B1 at arc b from B0 in the direction
/// psi, and P at arc h from A1, at angle k from the arc toward B1.
struct PlacedPose {
    SphereVector A0, B0, A1, B1, P;
};
PlacedPose placedPose(const LinkageDimensions& dims, double theta, double psi);

/// The rates at input angle theta (degrees) on both branches, for the chart: the pose is built
/// from theta and the branch's psi (outputAnglesAt) by placedPose.
struct OutputRates {
    bool closes = false;
    std::array<LinkageRates, 2> branch; ///< branch 1 and branch 2 (NaN where it does not close)
};
OutputRates outputRatesAt(const LinkageDimensions& dims, double theta);

/// One row of the rate table: the same frames and poses as frameAngleTable.
struct FrameRates {
    int frame = 0;
    double t = 0.0;
    PoseAngles angles;
    LinkageRates rates;
    SphereVector P; ///< the coupler point of the frame's pose
};

/// The rates of each animation frame 1..framesPerCycle, from the poses a new page showing
/// `motion` draws.
std::vector<FrameRates> frameRateTable(const LinkageDimensions& dims,
                                       const MotionChoice& motion = {});

/// An extreme of a rate over the motion and where it occurs.
struct RateExtreme {
    double value = 0.0; ///< +-inf where the rate is unbounded (at an input toggle)
    double theta = 0.0; ///< input angle (degrees); |theta| of the toggle for an infinite value
    int branch = 0;     ///< 1 or 2; 0 for an infinite value (both branches meet at the toggle)
};

/// The extremes of the velocity ratio and of the coupler point's speed over the whole motion:
/// every input angle the linkage reaches, on the branches the animation shows on either circuit
/// (both where the motion passes a toggle, from one branch to the other, or shows none).
/// Sampled every quarter degree of theta, each refined to rounding between its neighbouring
/// samples; where the input has toggles the velocity ratio is unbounded (its least value -inf and
/// its greatest +inf, at the first toggle), and so is P's speed unless P lies on the axis A1.
/// All NaN (branch 0) for a linkage that does not move.
struct RateExtremes {
    RateExtreme leastOutputRate;
    RateExtreme greatestOutputRate;
    RateExtreme leastPointSpeed;
    RateExtreme greatestPointSpeed;
};
RateExtremes rateExtremes(const LinkageDimensions& dims);

/// The polodes over the animation frames: the pole's path on the fixed sphere, and in the
/// coupler's own frame (A1, the unit tangent at A1 toward B1, A1 x that tangent), the frame in
/// which P = (cos h, sin h cos k, sin h sin k). NaN where a frame has no pole.
struct Polodes {
    std::vector<SphereVector> fixed;
    std::vector<SphereVector> moving;
};
Polodes framePolodes(const LinkageDimensions& dims, const MotionChoice& motion = {});

/// A point given in the fixed frame, in the coupler's frame at the pose with joints A1 and B1.
SphereVector inCouplerFrame(const SphereVector& A1, const SphereVector& B1, const SphereVector& v);

} // namespace cyclar
