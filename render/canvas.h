// The desktop's off-screen drawing surface: the core's raster over a buffer a QImage shares.
#pragma once

#include "drawing_surface.h"
#include "frame_composition.h"
#include "pixel_buffer.h"
#include "raster.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include <functional>
#include <memory>

namespace cyclar {

/// The picture is composed here off screen and handed over in one piece, as a QImage
/// (Format_RGB32) over the core's pixels, not a copy of them. Drawing is the core's raster:
/// aliased lines, ellipses and fills, and the label in the bundled face's glyphs.
///
/// Frames are drawn by the core's FrameRenderer, which keeps the static layers between them;
/// the canvas itself (what image() and pixel() show, and what the drawing calls draw on) is a
/// picture of its own, white after every frame.
class Canvas final : public DrawingSurface {
public:
    /// The label is always drawn in the bundled face, from glyphs made at build time, so every
    /// picture's label is the same everywhere.
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int width() const override { return m_width; }
    int height() const override { return m_height; }

    void selectPen(const PenSpec& pen) override;
    void setTextColor(Rgb colour) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void ellipse(int left, int top, int right, int bottom) override;
    void rectangle(int left, int top, int right, int bottom) override;
    void textOut(int x, int y, std::string_view text) override;
    void setPixel(int x, int y, QRgb colour);
    /// The pixel's colour as 0x00RRGGBB (white is 0x00FFFFFF), or 0xFFFFFFFF, which is no
    /// colour, outside the canvas.
    QRgb pixel(int x, int y) const;

    /// The picture as drawn so far. It may be kept (shared): should anyone still hold it when
    /// the canvas draws again, the canvas moves on to pixels of its own and leaves the holder
    /// its picture.
    const QImage& image();

    /// Composes the scene's frame, hands it to the target (which may keep it), then clears the
    /// canvas with the pen: a rectangle over all of it.
    void drawFrame(SceneState& scene, const FramePalette& palette,
                   const std::function<void(const QImage&)>& target, const PenSpec& clear);

private:
    void prepareWriting();
    void wrap();

    int m_width;
    int m_height;
    PixelBuffer m_none{0, 0, PixelOrder::Argb32}; ///< drawn on until the canvas has pixels
    std::shared_ptr<PixelBuffer> m_buffer; ///< the canvas's own pixels, made when first needed
    Raster m_raster;
    QImage m_image;
    bool m_handedOut = false; ///< the image was handed out and may be shared
    bool m_drawnOn = false;   ///< drawn on since the canvas was last cleared
    FrameRenderer m_frames;
};

/// A QColor of the core's colour.
inline QColor toQColor(Rgb colour)
{
    return QColor(colour.r, colour.g, colour.b);
}

} // namespace cyclar
