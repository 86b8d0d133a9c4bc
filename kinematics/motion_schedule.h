// Which sweep parameters are solved: the coupler curve's two passes and the animation frames.
#pragma once

#include "linkage_model.h"
#include "pose_solver.h"

namespace cyclar {

/// The animation's clock state. Owned by whoever runs the animation; nothing here is global.
struct MotionSchedule {
    int framesPerCycle = 360;
    int frameIndex = 1;
    double frameParameter = 0.0; ///< radians, sweep parameter of the current frame
    int startIndex = 0;          ///< first sweep index of each curve pass (2 once symmetric)
};

/// lowerSign * upperSign of the model as it stands.
double signProduct(const LinkageModel& model);

/// Sweep parameter of point j of curve pass 1 or 2. The small offsets keep every sample off
/// t = 0 and off the exact multiples of pi, where the solver's branch signs are undefined.
double curveParameter(const LinkageModel& model, int framesPerCycle, int pass, int j);

/// Sweep parameter of frame index i (1..framesPerCycle).
double frameParameterFor(const LinkageModel& model, int framesPerCycle, int i);

/// One clock tick: the frame index moves on (after the last frame comes 1) and the frame's
/// sweep parameter is set from the model's stored signs.
void advanceFrame(MotionSchedule& schedule, const LinkageModel& model);

/// a = f and b = c exactly: the diagonal can shrink to 0, and the linkage is drawn with
/// lowerSign negated.
bool isSymmetric(const LinkageDimensions& dims);

/// What one paint works with. In the symmetric case the paint's model is a copy with lowerSign
/// negated; the page's own model is never touched, so it cannot be left negated.
struct PaintSchedule {
    LinkageModel model;
    int startIndex = 0;
};

/// The symmetric entry of a paint: yields the model the paint solves with and records in the
/// schedule that curve passes start at index 2 from now on (for the rest of the page's life).
PaintSchedule beginPaint(const LinkageModel& model, const LinkageDimensions& animationCopy,
                         MotionSchedule& schedule);

/// The frame-1 recomputation: while the frame index is 1, the paint derives the frame's
/// parameter with its own model's signs.
void recomputeFirstFrame(MotionSchedule& schedule, const LinkageModel& paintModel);

/// The sweep parameter that a new page shows at frame i when it has run from its first paint:
/// ticks derive it from the model's stored signs, except frame 1, which the paint derives from
/// its own model's.
double shownFrameParameter(const LinkageModel& model, const PaintSchedule& paint,
                           int framesPerCycle, int i);

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
