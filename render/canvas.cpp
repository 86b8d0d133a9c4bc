// Canvas: the core's raster, and the QImage that shares its pixels.
#include "canvas.h"

#include <algorithm>

namespace cyclar {

namespace {

// The image holds a reference to the pixels it shows, so a kept picture outlives the canvas.
void releasePixels(void* info)
{
    delete static_cast<std::shared_ptr<const PixelBuffer>*>(info);
}

QImage shareAsImage(const std::shared_ptr<const PixelBuffer>& pixels)
{
    if (pixels->pixelCount() == 0) {
        return {};
    }
    return QImage(pixels->bytes(), pixels->width(), pixels->height(),
                  static_cast<qsizetype>(pixels->width()) * 4, QImage::Format_RGB32, releasePixels,
                  new std::shared_ptr<const PixelBuffer>(pixels));
}

} // namespace

// A canvas that only shows frames never needs pixels of its own (they would be white): they
// are made when something is drawn on it or its picture is asked for.
Canvas::Canvas(int width, int height)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)), m_raster(m_none),
      m_frames(width, height, PixelOrder::Argb32)
{
    if (m_width == 0 || m_height == 0) {
        m_width = m_height = 0;
    }
}

Canvas::~Canvas() = default;

void Canvas::wrap()
{
    m_image = shareAsImage(m_buffer);
}

void Canvas::prepareWriting()
{
    m_drawnOn = true;
    if (!m_buffer) {
        m_buffer = std::make_shared<PixelBuffer>(m_width, m_height, PixelOrder::Argb32);
        m_raster.setBuffer(*m_buffer);
        wrap();
    }
    if (!m_handedOut) {
        return;
    }
    m_handedOut = false;
    if (!m_image.isNull() && !m_image.isDetached()) {
        // Someone kept the last picture: they keep those pixels, the canvas draws on a copy.
        m_buffer = std::make_shared<PixelBuffer>(*m_buffer);
        m_raster.setBuffer(*m_buffer);
        wrap();
    }
}

const QImage& Canvas::image()
{
    if (!m_buffer) {
        prepareWriting();
        m_drawnOn = false; // white as made
    }
    m_handedOut = true;
    return m_image;
}

void Canvas::drawFrame(SceneState& scene, const FramePalette& palette,
                       const std::function<void(const QImage&)>& target, const PenSpec& clear)
{
    m_frames.render(scene, palette);
    target(shareAsImage(m_frames.sharedPixels()));
    // The frame's pixels are the renderer's; the canvas's own only need clearing when they
    // were drawn on, or when the clearing pen is not white (its outline stays).
    if (m_drawnOn || clear.colour != white) {
        selectPen(clear);
        rectangle(0, 0, width(), height());
        m_drawnOn = clear.colour != white;
    }
}

void Canvas::selectPen(const PenSpec& pen)
{
    m_raster.selectPen(pen);
}

void Canvas::setTextColor(Rgb colour)
{
    m_raster.setTextColor(colour);
}

void Canvas::moveTo(int x, int y)
{
    m_raster.moveTo(x, y);
}

void Canvas::lineTo(int x, int y)
{
    prepareWriting();
    m_raster.lineTo(x, y);
}

void Canvas::ellipse(int left, int top, int right, int bottom)
{
    prepareWriting();
    m_raster.ellipse(left, top, right, bottom);
}

void Canvas::rectangle(int left, int top, int right, int bottom)
{
    prepareWriting();
    m_raster.rectangle(left, top, right, bottom);
}

void Canvas::textOut(int x, int y, std::string_view text)
{
    prepareWriting();
    m_raster.textOut(x, y, text);
}

void Canvas::setPixel(int x, int y, QRgb colour)
{
    prepareWriting();
    m_raster.setPixel(x, y, Rgb(qRed(colour), qGreen(colour), qBlue(colour)));
}

QRgb Canvas::pixel(int x, int y) const
{
    if (!m_buffer) {
        const bool inside = x >= 0 && x < m_width && y >= 0 && y < m_height;
        return inside ? white.value() : Raster::notAColour;
    }
    return m_raster.pixel(x, y);
}

} // namespace cyclar
