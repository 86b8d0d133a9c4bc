// The two looping clips of the moving linkage: what each frame shows, drawn by the frame
// composition.
#pragma once

#include "frame_composition.h"
#include "linkage_model.h"
#include "pixel_buffer.h"

#include <memory>

namespace cyclar {

/// The title page's clip (1038) and the Circular View window's (170).
enum class Clip { Title, Circular };

/// Frame size in pixels, length and rate of a clip.
struct ClipFormat {
    int width = 0;
    int height = 0;
    int frameCount = 0;
    int framesPerSecond = 0;
};

ClipFormat clipFormat(Clip clip);

/// The linkage both clips show. It is not Grashof, so its two assembly branches join into a
/// single circuit, and its coupler curve is one closed curve that crosses itself once (a
/// figure of eight): each branch draws one lobe.
extern const LinkageDimensions clipLinkage;

/// The clips' colours: red (coupler curve), tan (sphere and reference circles), blue (linkage),
/// white (background). Every pixel of every frame is one of these.
inline constexpr Rgb clipRed{255, 3, 3};
inline constexpr Rgb clipTan{207, 127, 51};
inline constexpr Rgb clipBlue{3, 3, 255};
inline constexpr Rgb clipWhite{255, 255, 255};

/// The pens of a clip picture: the clip colours, no label.
FramePalette clipPalette();

/// What one clip frame shows: the view angles (degrees, any value: the rotation is periodic),
/// the animation frame index (1..360) whose pose is drawn, and the spin of the linkage and its
/// curve about the sphere's polar axis (degrees).
struct ClipShot {
    double turn = 0.0;
    double tilt = 0.0;
    int animationFrame = 1;
    double spin = 0.0;
};

/// The title page clip's view, fixed for all its frames.
inline constexpr double clip1038Turn = -18.0;
inline constexpr double clip1038Tilt = -18.0;

/// Frame i of each clip. Indices past the last frame continue the motion (the animation frame
/// wraps after 360 and the spin keeps growing), so frame frameCount shows what frame 0 does.
ClipShot clip1038Shot(int i);
ClipShot clip170Shot(int i);
ClipShot clipShot(Clip clip, int i);

/// Draws shots of the clip linkage on one picture (radius 90 % of its width).
class ClipPainter {
public:
    ClipPainter(int width, int height, PixelOrder order = PixelOrder::Rgba);
    ClipPainter(const ClipPainter&) = delete;
    ClipPainter& operator=(const ClipPainter&) = delete;

    /// The picture of one shot; it stays in the painter until the next draw.
    const PixelBuffer& draw(const ClipShot& shot);
    /// Draws from now on at `scale` device pixels per picture pixel (1..maxPictureScale).
    void setScale(int scale) { m_palette.scale = scale; }

private:
    FrameRenderer m_renderer;
    SceneState m_scene;
    FramePalette m_palette;
};

/// One clip's frames at the clip's size, drawn when asked for.
class ClipRenderer {
public:
    explicit ClipRenderer(Clip clip, PixelOrder order = PixelOrder::Rgba);

    /// Frame i (any i: see clipShot) in the renderer's picture, valid until the next call.
    const PixelBuffer& render(int i) { return m_painter.draw(clipShot(m_clip, i)); }
    /// Draws from now on at `scale` device pixels per picture pixel (1..maxPictureScale).
    void setScale(int scale) { m_painter.setScale(scale); }

private:
    Clip m_clip;
    ClipPainter m_painter;
};

} // namespace cyclar
