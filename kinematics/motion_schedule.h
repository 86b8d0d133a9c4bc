// Which sweep parameters are solved: the coupler curve's two passes and the animation frames.
#pragma once

#include "linkage_model.h"
#include "pose_solver.h"

namespace cyclar {

/// Which motion of the linkage the frames show, and how its input is paced.
struct MotionChoice {
    /// 1 or 2 (anything else counts as 1). A linkage with two circuits (circuitCount) shows
    /// circuit 1, the one its first frame has always stood on, or the other assembly; a linkage
    /// with one circuit shows that one whichever is asked.
    int circuit = 1;
    /// Off, the sweep's own pace, which slows the input where the diagonal turns back. On, the
    /// input angle changes by the same amount every frame: a turning input 2 degrees a frame,
    /// a rocking one in equal steps along its circuit, as many frames to a lap as the sweep.
    bool evenInput = false;

    friend bool operator==(const MotionChoice&, const MotionChoice&) = default;
};

/// The animation's clock state. Owned by whoever runs the animation; nothing here is global.
struct MotionSchedule {
    int framesPerCycle = 360;
    int frameIndex = 1;
    double frameParameter = 0.0; ///< radians, sweep parameter of the current frame
    int startIndex = 0;          ///< first sweep index of each curve pass (2 once symmetric)
    MotionChoice motion;         ///< the circuit and the pace the frames follow
};

/// lowerSign * upperSign of the model as it stands.
double signProduct(const LinkageModel& model);

/// Sweep parameter of point j of curve pass 1 or 2. The small offsets keep every sample off
/// t = 0 and off the exact multiples of pi, where the solver's branch signs are undefined.
double curveParameter(const LinkageModel& model, int framesPerCycle, int pass, int j);

/// Sweep parameter of frame index i (1..framesPerCycle) in the sweep over the whole cycle: frames
/// 1 to N/2 with t < 0, the rest with t > 0. With two circuits those are the two circuits.
double frameParameterFor(const LinkageModel& model, int framesPerCycle, int i);

/// The sweep parameter a clock tick gives frame i, from the model's stored signs and the
/// schedule's circuit and pace (see shownParameter, which this is for every frame but 1).
double tickParameter(const LinkageModel& model, const MotionSchedule& schedule, int i);

/// One clock tick: the frame index moves on (after the last frame comes 1) and the frame's
/// sweep parameter is set from the model's stored signs.
void advanceFrame(MotionSchedule& schedule, const LinkageModel& model);

/// Shows another circuit or pace from now on: the frame index stays, and its parameter is the
/// one the tick gives it in the new motion (a frame index outside 1..framesPerCycle, which only
/// Animate's restore of a saved 0 leaves, keeps its parameter until the next tick). The schedule
/// records circuit 2 only for a linkage that has two (circuitCount), circuit 1 otherwise.
void setMotionChoice(MotionSchedule& schedule, const LinkageModel& model,
                     const MotionChoice& motion);

/// a = f and b = c exactly: the diagonal can shrink to 0, and the linkage is drawn with
/// lowerSign negated.
bool isSymmetric(const LinkageDimensions& dims);

/// What one paint works with. In the symmetric case the paint's model is a copy with lowerSign
/// negated; the page's own model is never touched, so it cannot be left negated.
struct PaintSchedule {
    LinkageModel model;
    int startIndex = 0;
    int framesPerCycle = 360;
    MotionChoice motion;
    /// The stored model's sign product, from which the ticks derive their parameters (and the
    /// number of circuits is counted) whatever the paint's model holds.
    double storedSigns = -1.0;
};

/// The symmetric entry of a paint: yields the model the paint solves with and records in the
/// schedule that curve passes start at index 2 from now on (for the rest of the page's life).
PaintSchedule beginPaint(const LinkageModel& model, const LinkageDimensions& animationCopy,
                         MotionSchedule& schedule);

/// What a new page built from `dims` paints with, showing `motion`.
PaintSchedule shownMotion(const LinkageDimensions& dims, const MotionChoice& motion = {});

/// The sweep parameter frame i (1..framesPerCycle) shows: the one rule every frame's pose comes
/// from, for the picture, its exports, the tables and the charts' markers.
///
/// At the sweep's pace, a linkage with one circuit shows frame i of the sweep. A linkage with two
/// shows the sweep's first half (t < 0) on circuit 1 and its second half (t > 0) on circuit 2,
/// in frames 1 to N/2 and again in N/2 + 1 to N: one lap of one circuit twice. The ticks derive
/// the parameters from the stored model's signs, and frame 1 the paint derives from its own
/// model's (which differ in the symmetric case only).
///
/// With the input paced evenly, the frames cover the same laps and half-laps of the sweep
/// parameter (each half-period of t, between multiples of pi, takes N/4 frames), but at equal
/// steps of the input angle theta: in each half-period the diagonal d runs once between the ends
/// of its range and |theta| between its values there, with
///   cos d = cos a cos f + sin a sin f cos theta   and   d = (dmin + dmax) / 2 - cos t half.
/// Frame k of a half-period (k = 0 .. N/4 - 1) stands (k + 1/2) steps into it, so that no frame
/// falls on its ends, where the solver's signs change. A linkage whose input cannot travel (a
/// rigid one, or one whose diagonal's range is not a range) keeps the sweep's pace.
double shownParameter(const PaintSchedule& paint, int i);

/// The pose frame i shows: solvePose(paint.model, shownParameter(paint, i)).
LinkagePose shownPose(const PaintSchedule& paint, int i);

/// The frame-1 recomputation: while the frame index is 1, the paint derives the frame's
/// parameter with its own model's signs.
void recomputeFirstFrame(MotionSchedule& schedule, const PaintSchedule& paint);

/// The pose a paint draws: the frame the clock stands on (frame 1's parameter derived by the
/// paint, recorded in the schedule), solved with the paint's model.
LinkagePose paintedPose(const PaintSchedule& paint, MotionSchedule& schedule);

/// Every frame of the cycle in order, as a new page shows them from its first paint on:
/// visit(i, t, pose) for i = 1 .. framesPerCycle.
template <typename Visit> void forEachShownFrame(const PaintSchedule& paint, Visit&& visit)
{
    for (int i = 1; i <= paint.framesPerCycle; ++i) {
        const double t = shownParameter(paint, i);
        visit(i, t, solvePose(paint.model, t));
    }
}

/// Runs the coupler-curve sweep: for pass 1 then 2, j from startIndex to N - startIndex,
/// calls visit(pass, j, t, P). The first point of each pass starts a new polyline.
template <typename Visit>
void sweepCouplerCurve(const PaintSchedule& paint, int framesPerCycle, Visit&& visit)
{
    for (int pass = 1; pass <= 2; ++pass) {
        for (int j = paint.startIndex; j <= framesPerCycle - paint.startIndex; ++j) {
            const double t = curveParameter(paint.model, framesPerCycle, pass, j);
            visit(pass, j, t, solvePose(paint.model, t).P);
        }
    }
}

/// The animation clock's period (ms) for speed slider position p: 1000 / (p / 10 + 1), in whole
/// numbers, from 1000 at 0..9 down to 90 at 100. Positions outside 0..100 count as the nearer end.
int tickInterval(int position);

/// A view slider's angle (degrees) for position p: (p - 50) * 9 / 5 in whole numbers truncated
/// toward zero, -90..90. Positions outside 0..100 count as the nearer end.
double sliderAngle(int position);

/// The view slider position whose angle lies nearest to `angle`: the lower one of two as near,
/// the middle (50) for a NaN. The desktop's and the browser's pages both ask this one function.
int sliderPosition(double angle);

} // namespace cyclar
