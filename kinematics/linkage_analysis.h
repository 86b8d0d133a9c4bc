// Linkage analysis: the spherical type and its reasons, motion limits, transmission, angle tables.
#pragma once

#include "linkage_model.h"
#include "motion_schedule.h"
#include "pose_solver.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cyclar {

// Conventions (all angles in degrees; A0 = (1, 0, 0), B0 = (cos f, sin f, 0)):
// - input angle theta, in (-180, 180]: at A0, from the ground arc A0->B0 to the arc A0->A1,
//   counter-clockwise seen from outside the sphere (positive about A0);
// - output angle psi, in (-180, 180]: at B0, from the ground arc continued beyond B0 (away from
//   A0) to the arc B0->B1, counter-clockwise seen from outside (positive about B0);
// - transmission angle mu, in [0, 180]: at B1, between the arcs B1->A1 and B1->B0;
// - branch 1 where B0 . (A1 x B1) > 0, branch 2 where it is < 0.

/// How a link moves about its fixed pivot.
enum class LinkMotion {
    Rotates,        ///< turns fully
    RocksThrough0,  ///< its range holds 0 but not 180 degrees
    RocksThroughPi, ///< its range holds 180 but not 0 degrees
    RocksBetween,   ///< its range holds neither (it swings on one side of the ground)
};

/// Everything the analysis says about one linkage. Angles in degrees.
struct LinkageAnalysis {
    /// The four spherical Grashof values, with alpha = a (input), beta = b (output),
    /// gamma = f (ground), eta = c (coupler):
    /// T1 = gamma - alpha + eta - beta, T2 = gamma - alpha - eta + beta,
    /// T3 = eta + beta - gamma - alpha, T4 = 360 - (alpha + beta + gamma + eta).
    std::array<double, 4> T{};
    bool linksInRange = false; ///< a, b, c, f each strictly between 0 and 180
    /// The linkage closes and moves: the two triangles on the diagonal close together over a
    /// range of the diagonal, or one of them (a link within rounding of 0 or 180 degrees) only
    /// at one diagonal that the other's range holds, so that the short link turns on its own.
    bool assemblable = false;
    bool rigid = false; ///< the two triangles close together at one diagonal only
    /// The type in words ("crank-rocker", ...); empty when there is none.
    std::string type;
    /// T1 T2 T3 T4 > 0. None for a change-point linkage, which is of no Grashof type, and when
    /// there is no type at all.
    std::optional<bool> grashof;
    bool changePoint = false; ///< some Ti is 0 (to rounding)
    LinkMotion input = LinkMotion::RocksBetween;
    LinkMotion output = LinkMotion::RocksBetween;
    bool inputRotates = false;
    bool outputRotates = false;
    std::vector<double> inputLimits;        ///< |theta| at the toggle positions, ascending
    std::vector<double> outputLimits;       ///< |psi| at the toggle positions, ascending
    std::array<double, 2> transmission{};   ///< least and greatest mu over the motion (NaN if none)
    std::array<double, 2> transmissionAt{}; ///< |theta| where they occur
    std::optional<double> swing;            ///< the rocker's swing, crank-rockers only
    std::optional<double> timeRatio;        ///< forward over return stroke, crank-rockers only
    /// The input angles theta at the output's two toggle positions (in the order of
    /// outputLimits), which bound the strokes of the time ratio; crank-rockers only.
    std::optional<std::array<double, 2>> strokeInputs;
    /// Why the frame's label (the planar rule on the gaps) says otherwise; empty when it agrees.
    std::string labelNote;
    /// Which condition decided the type, in words (without labelNote).
    std::string decision;
    /// One sentence for the student: decision, with labelNote appended when there is one.
    std::string reason;
    /// Why the chart of the motion is empty, in a few words; empty when the linkage moves.
    std::string chartNote;
};

/// Classifies the linkage and finds its motion limits and transmission extremes, exactly.
///
/// With the diagonal d = arc B0-A1, the input triangle A0 B0 A1 gives
///   cos d = cos a cos f + sin a sin f cos theta,
/// so d grows with |theta| from |a - f| to a + f (360 - (a + f) above 180). The linkage closes
/// where the triangle B0 A1 B1 does: |b - c| <= d <= b + c (360 - (b + c) above 180). The input
/// turns fully when the first range lies inside the second, which works out to
/// T1 T2 >= 0 and T3 T4 >= 0; likewise the output (diagonal A0-B1, cos e = cos b cos f -
/// sin b sin f cos psi) turns fully when T1 T3 <= 0 and T2 T4 <= 0. The range of theta holds 0
/// exactly when T1 T2 >= 0 and 180 when T3 T4 >= 0; that of psi holds 180 when T1 T3 <= 0 and
/// 0 when T2 T4 <= 0. The type follows from these two motions (see the README for the table).
///
/// The transmission angle follows d monotonically (cos d = cos b cos c + sin b sin c cos mu), so
/// its extremes lie at the ends of the range of d that the linkage reaches.
LinkageAnalysis analyseLinkage(const LinkageDimensions& dims);

/// |theta| at which the diagonal B0-A1 is d: cos d = cos a cos f + sin a sin f cos theta.
double inputAngleForDiagonal(const LinkageDimensions& dims, double d);
/// |psi| at which the diagonal A0-B1 is e: cos e = cos b cos f - sin b sin f cos psi.
double outputAngleForDiagonal(const LinkageDimensions& dims, double e);
/// mu where the diagonal B0-A1 is d: cos d = cos b cos c + sin b sin c cos mu.
double transmissionForDiagonal(const LinkageDimensions& dims, double d);

/// The output for one input angle theta on both branches.
struct OutputAngles {
    bool closes = false;         ///< false where the linkage cannot be assembled at this theta
    std::array<double, 2> psi{}; ///< psi on branch 1 and branch 2 (NaN where it does not close)
    double mu = 0.0;             ///< the same on both branches (they are mirror images)
    // The steps on the way, kept for the working (finite whenever theta and f are):
    double diagonal = 0.0;  ///< d, the arc B0-A1, degrees
    double direction = 0.0; ///< delta, the direction of A1 seen from B0 (measured as psi is)
    double cosSpread = 0.0; ///< cos gamma, the angle at B0 of the triangle B0 A1 B1
    double spread = 0.0;    ///< gamma (NaN where the linkage does not close)
};

/// psi and mu for the input angle theta (degrees).
///
/// Seen from B0, A1 lies at arc d in the direction delta (measured as psi is), and B1 at arc b in
/// the direction psi = delta +- gamma, where gamma is the angle at B0 of the triangle B0 A1 B1:
/// cos c = cos b cos d + sin b sin d cos gamma. The sign + gives B0 . (A1 x B1) > 0: branch 1.
OutputAngles outputAnglesAt(const LinkageDimensions& dims, double theta);

/// The four angles of one solved pose.
struct PoseAngles {
    double theta = 0.0;
    double psi = 0.0;
    double mu = 0.0;
    int branch = 0; ///< 1 or 2; 0 where the pose is not finite or B1 lies on the great circle A1 B0
};

/// Reads theta, psi, mu and the branch off a pose of the pose solver. NaN where it is not finite.
PoseAngles poseAngles(const LinkageModel& model, const LinkagePose& pose);

/// The angles of the pose that a paint of the scene draws now (paintedPose). Changes nothing:
/// the schedule is taken by value.
PoseAngles shownPoseAngles(const LinkageModel& model, const LinkageDimensions& animationCopy,
                           MotionSchedule schedule);

/// One row of the animation's angle table.
struct FrameAngles {
    int frame = 0;
    double t = 0.0;
    PoseAngles angles;
};

/// theta, psi, mu and the branch for each animation frame 1..framesPerCycle, from the same poses
/// that a new animation page showing `motion` draws for those frames.
std::vector<FrameAngles> frameAngleTable(const LinkageDimensions& dims,
                                         const MotionChoice& motion = {});

/// The same table, each row also handed to visit with the model and pose it was read from, for
/// tables that list more of each frame's pose.
using FramePoseVisitor =
    std::function<void(const FrameAngles& row, const LinkageModel& model, const LinkagePose& pose)>;
std::vector<FrameAngles> frameAngleTable(const LinkageDimensions& dims, const MotionChoice& motion,
                                         const FramePoseVisitor& visit);

} // namespace cyclar
