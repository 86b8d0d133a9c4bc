// One frame of the animation: label, sphere, coupler curve and linkage, layer by layer.
#pragma once

#include "drawing_surface.h"
#include "linkage_model.h"
#include "motion_schedule.h"
#include "pixel_buffer.h"
#include "raster.h"
#include "rotation_overlay.h"
#include "view.h"

#include <memory>
#include <vector>

namespace cyclar {

/// Largest number of device pixels a picture pixel may be drawn as, across and down.
inline constexpr int maxPictureScale = 4;

/// Pens and text colour of a picture, and the scale it is drawn at. The defaults are the
/// animation page's.
struct FramePalette {
    PenSpec sphere{Rgb(0, 150, 0), 1};
    PenSpec curve{Rgb(255, 0, 0), 2};
    PenSpec link{Rgb(0, 0, 255), 2};
    PenSpec joint{Rgb(0, 0, 255), 1};
    PenSpec clear{Rgb(255, 255, 255), 2};
    Rgb label{0, 180, 60};
    bool drawLabel = true;
    /// Device pixels per picture pixel (1..maxPictureScale; others count as the nearest): the
    /// surface is that many times wider and taller, and the geometry, the pen widths, the
    /// rings and the label are drawn that many times larger.
    int scale = 1;
    /// Also draw the coupler's rotation axis: the pole, the fixed polode and P's velocity, over
    /// the rest of the picture. Off, the picture is exactly the one without it.
    bool rotationAxis = false;
    RotationAxisPens axisPens;
};

/// The palette's scale, brought into 1..maxPictureScale.
int pictureScale(const FramePalette& palette);

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
/// With the palette's rotation axis on, the fixed polode follows the coupler curve, and the
/// pole and P's velocity arrow come last.
/// Advances nothing: the frame is the one the schedule stands on (the symmetric start index
/// and the frame-1 parameter are recorded in the schedule, as every paint does).
void composeFrame(DrawingSurface& surface, SceneState& scene,
                  const FramePalette& palette = FramePalette());

/// The same picture with the linkage in the pose of these joints instead of the frame's (the
/// rotation axis is not drawn): a position worked out at an input angle of its own.
void composePose(DrawingSurface& surface, SceneState& scene, const SphereVector& A1,
                 const SphereVector& B1, const SphereVector& P,
                 const FramePalette& palette = FramePalette());

/// Frames of one picture size, drawn fast: the layers that change only with the linkage, the
/// view, the palette or the picture's size (label, outline, reference circles, coupler curve)
/// are drawn once per change; each frame then draws only the linkage's arcs and rings over
/// them, and takes those back before the next frame. Pixel for pixel the pictures are those
/// composeFrame draws on a white picture. The picture is width x height times the palette's
/// scale; a frame at another scale than the last one starts a picture of that size.
class FrameRenderer {
public:
    explicit FrameRenderer(int width = 480, int height = 480, PixelOrder order = PixelOrder::Rgba);
    FrameRenderer(const FrameRenderer&) = delete;
    FrameRenderer& operator=(const FrameRenderer&) = delete;

    /// Composes the frame the scene's schedule stands on (recording in the schedule what every
    /// paint records). The picture stays in pixels() until the next call.
    const PixelBuffer& render(SceneState& scene, const FramePalette& palette = FramePalette());
    const PixelBuffer& pixels() const { return *m_buffer; }
    /// The picture's pixels, shared: whoever still holds them when the next frame begins keeps
    /// this frame's picture, and the renderer goes on with a copy of its own.
    std::shared_ptr<const PixelBuffer> sharedPixels() const { return m_buffer; }
    /// Forgets the static layers: the next frame draws them anew.
    void forgetStaticLayers() { m_key.clear(); }

private:
    int m_width;
    int m_height;
    std::shared_ptr<PixelBuffer> m_buffer;
    Raster m_raster;
    std::vector<unsigned char> m_key; ///< what the static layers in the buffer were drawn from
    std::vector<Raster::PixelChange> m_journal; ///< the last frame's arcs and rings
};

} // namespace cyclar
