// A frame on the desktop canvas: composed by the core, handed over as a QImage, canvas cleared.
#pragma once

#include "canvas.h"
#include "frame_composition.h"

#include <functional>
#include <memory>

namespace cyclar {

/// Receives the finished picture (the page paints it; an export writes it).
using FrameTarget = std::function<void(const QImage&)>;

/// Composes one frame on the canvas, hands it to the target, and leaves the canvas white.
/// Layering: outline and reference circles, then the coupler curve, then the five arcs, then
/// the joint rings on top. Advances nothing: the frame is the one the schedule stands on.
/// The frame is the core's FrameRenderer's, kept in the canvas (the layers that change only
/// with the linkage or the view are drawn once per change): drawings made on the canvas between
/// frames do not show in them.
void renderFrame(Canvas& canvas, SceneState& scene, const FrameTarget& target,
                 const FramePalette& palette = FramePalette());

/// Makes sure the canvas exists with the given size (it is created once and reused) and
/// whitens it.
void prepareCanvas(std::unique_ptr<Canvas>& canvas, int canvasWidth, int canvasHeight);

} // namespace cyclar
