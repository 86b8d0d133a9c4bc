// One frame of the animation: label, sphere, coupler curve and linkage, layer by layer.
#pragma once

#include "drawing_surface.h"
#include "linkage_model.h"
#include "motion_schedule.h"
#include "pixel_buffer.h"
#include "raster.h"
#include "view.h"

#include <vector>

namespace cyclar {

/// Pens and text colour of a picture. The defaults are the animation page's.
struct FramePalette {
    PenSpec sphere{Rgb(0, 150, 0), 1};
    PenSpec curve{Rgb(255, 0, 0), 2};
    PenSpec link{Rgb(0, 0, 255), 2};
    PenSpec joint{Rgb(0, 0, 255), 1};
    PenSpec clear{Rgb(255, 255, 255), 2};
    Rgb label{0, 180, 60};
    bool drawLabel = true;
};

/// What a paint reads and writes besides the picture: the dimensions as the page holds them now,
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

/// Draws the whole frame through the surface, on whatever it holds. Layering: label, outline and
/// reference circles, then the coupler curve, then the five arcs, then the joint rings on top.
/// Advances nothing: the frame is the one the schedule stands on (the symmetric start index
/// and the frame-1 parameter are recorded in the schedule, as every paint does).
void composeFrame(DrawingSurface& surface, SceneState& scene, const FramePalette& palette = FramePalette());

/// The layers that change only with the linkage, the view, the palette or the picture's size
/// (label, outline, reference circles, coupler curve), composed once and copied under every
/// frame until one of those changes.
class StaticLayers {
public:
    /// Fills the raster's buffer with the frame's static layers on white. The scene is the
    /// one composeFrame is about to draw, after its paint schedule was taken.
    void copyInto(PixelBuffer& target, const SceneState& scene, const PaintSchedule& paint,
                  const FramePalette& palette);
    /// Forgets the cached picture.
    void clear();

private:
    std::vector<unsigned char> m_key;
    PixelBuffer m_pixels;
};

/// The same frame as composeFrame on a white picture, pixel for pixel, but the static layers come
/// from the cache: the whole buffer is covered, whatever it held before.
void composeFrame(Raster& raster, SceneState& scene, const FramePalette& palette, StaticLayers& cache);

/// A picture and its cache together: what a front end that only shows frames needs.
class FrameRenderer {
public:
    explicit FrameRenderer(int width = 480, int height = 480, PixelOrder order = PixelOrder::Rgba);
    FrameRenderer(const FrameRenderer&) = delete;
    FrameRenderer& operator=(const FrameRenderer&) = delete;

    /// Composes the frame the scene's schedule stands on; the picture stays in pixels() until
    /// the next call.
    const PixelBuffer& render(SceneState& scene, const FramePalette& palette = FramePalette());
    const PixelBuffer& pixels() const { return m_buffer; }

private:
    PixelBuffer m_buffer;
    Raster m_raster;
    StaticLayers m_cache;
};

} // namespace cyclar
