// Canvas: the core's raster, and the QImage that shares its pixels.
#include "canvas.h"

namespace cyclar {

namespace {

// The image holds a reference to the pixels it shows, so a kept picture outlives the canvas.
void releasePixels(void* info) { delete static_cast<std::shared_ptr<PixelBuffer>*>(info); }

} // namespace

Canvas::Canvas(int width, int height, const QFont&)
    : m_buffer(std::make_shared<PixelBuffer>(width, height, PixelOrder::Argb32)), m_raster(*m_buffer)
{
    wrap();
}

Canvas::~Canvas() = default;

void Canvas::wrap()
{
    if (m_buffer->pixelCount() == 0) {
        m_image = QImage();
        return;
    }
    m_image = QImage(m_buffer->bytes(), m_buffer->width(), m_buffer->height(),
                     static_cast<qsizetype>(m_buffer->width()) * 4, QImage::Format_RGB32, releasePixels,
                     new std::shared_ptr<PixelBuffer>(m_buffer));
}

void Canvas::prepareWriting()
{
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
    m_handedOut = true;
    return m_image;
}

Raster& Canvas::raster()
{
    prepareWriting();
    return m_raster;
}

void Canvas::selectPen(const PenSpec& pen) { m_raster.selectPen(pen); }

void Canvas::setTextColor(Rgb colour) { m_raster.setTextColor(colour); }

void Canvas::moveTo(int x, int y) { m_raster.moveTo(x, y); }

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

QRgb Canvas::pixel(int x, int y) const { return m_raster.pixel(x, y); }

} // namespace cyclar
