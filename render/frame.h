// One frame of the animation: label, sphere, coupler curve and linkage, composed off screen.
#pragma once

#include "canvas.h"
#include "linkage_model.h"
#include "motion_schedule.h"
#include "view.h"

#include <functional>
#include <memory>

namespace cyclar {

/// Pens and text colour of a picture. The defaults are the animation page's.
struct FramePalette {
    PenSpec sphere{QColor(0, 150, 0), 1};
    PenSpec curve{QColor(255, 0, 0), 2};
    PenSpec link{QColor(0, 0, 255), 2};
    PenSpec joint{QColor(0, 0, 255), 1};
    PenSpec clear{QColor(255, 255, 255), 2};
    QColor label{0, 180, 60};
    bool drawLabel = true;
};

/// What a paint reads and writes besides the canvas: the dimensions as the page holds them now,
/// the model it was built with, the clock, the view and the sphere's radius.
struct SceneState {
    LinkageDimensions animationCopy;
    LinkageModel model;
    MotionSchedule schedule;
    ViewOrientation view;
    double sphereRadius = 216.0;
};

/// A scene as a newly built animation page holds it: model from the dimensions, frame 1,
/// start index 0, the starting view, the radius from the canvas width.
SceneState newScene(const LinkageDimensions& dims, int canvasWidth);

/// Receives the finished picture (the page paints it; an export writes it).
using FrameTarget = std::function<void(const QImage&)>;

/// Composes one frame on the canvas, hands it to the target, and leaves the canvas white.
/// Layering: outline and reference circles, then the coupler curve, then the five arcs, then
/// the joint rings on top. Advances nothing: the frame is the one the schedule stands on.
void renderFrame(Canvas& canvas, SceneState& scene, const FrameTarget& target,
                 const FramePalette& palette = FramePalette());

/// Makes sure the canvas exists with the given size (it is created once and reused) and
/// whitens it.
void prepareCanvas(std::unique_ptr<Canvas>& canvas, int canvasWidth, int canvasHeight,
                   const QFont& font = QFont());

} // namespace cyclar
