// The coupler's rotation axis over the picture: its pole, the fixed polode and P's velocity.
#pragma once

#include "drawing_surface.h"
#include "linkage_model.h"
#include "motion_schedule.h"
#include "pose_solver.h"
#include "view.h"

namespace cyclar {

/// Pens of the rotation-axis drawing (widths at scale 1).
struct RotationAxisPens {
    PenSpec polode{Rgb(230, 130, 0), 1};
    PenSpec pole{Rgb(160, 0, 160), 2};
    PenSpec velocity{Rgb(0, 0, 0), 1};
};

/// How long P's velocity arrow is on the sphere (radians) for a speed |dP/dtheta|: a third of
/// the speed, at most half a radian, so the arrow stays short whatever the speed.
double velocityArrowLength(double pointSpeed);

/// The fixed polode: the pole at each frame of the cycle the paint shows (its circuit and
/// pace), as one polyline in the view. Broken where a frame has no pole and where the pole jumps
/// (at a toggle its sign is undefined and it goes over to the far side of the sphere); closed
/// round when the cycle's ends meet.
void drawFixedPolode(LineSink& sink, const Projection& projection, const ViewOrientation& view,
                     const PaintSchedule& paint);

/// The pose's pole as a small ring, then P's velocity as a short arrow along the sphere from P,
/// its head drawn in the picture's plane. `scale` multiplies the marks' sizes and pens.
void drawPoleAndVelocity(DrawingSurface& surface, const Projection& projection,
                         const ViewOrientation& view, const LinkageModel& model,
                         const LinkagePose& pose, const RotationAxisPens& pens, int scale);

} // namespace cyclar
