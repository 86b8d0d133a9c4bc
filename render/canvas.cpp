// Canvas: aliased QPainter drawing onto a QImage, with lines batched into polylines.
#include "canvas.h"

namespace cyclar {

namespace {

constexpr QRgb notAColour = 0xFFFFFFFFu;

} // namespace

Canvas::Canvas(int width, int height, const QFont& font)
    : m_image(width, height, QImage::Format_RGB32), m_font(font)
{
    // Crisp text: every pixel of the picture is one of its pens' colours or white.
    m_font.setStyleStrategy(QFont::NoAntialias);
    m_image.fill(Qt::white);
}

Canvas::~Canvas() { endPainting(); }

QPainter& Canvas::painter()
{
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>(&m_image);
        m_painter->setRenderHint(QPainter::Antialiasing, false);
        m_painter->setRenderHint(QPainter::TextAntialiasing, false);
        m_painter->setBrush(Qt::white);
        m_painter->setBackground(Qt::white);
        m_painter->setBackgroundMode(Qt::OpaqueMode);
        m_painter->setFont(m_font);
        QPen pen(m_pen.colour, m_pen.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        m_painter->setPen(pen);
    }
    return *m_painter;
}

void Canvas::flushPolyline()
{
    if (m_polyline.size() >= 2) {
        painter().drawPolyline(m_polyline);
    }
    m_polyline.clear();
}

void Canvas::endPainting()
{
    flushPolyline();
    if (m_painter) {
        m_painter->end();
        m_painter.reset();
    }
}

void Canvas::flush() { endPainting(); }

const QImage& Canvas::image()
{
    endPainting();
    return m_image;
}

void Canvas::selectPen(const PenSpec& pen)
{
    flushPolyline();
    m_pen = pen;
    if (m_painter) {
        m_painter->setPen(QPen(pen.colour, pen.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
}

void Canvas::setTextColor(const QColor& colour) { m_textColour = colour; }

void Canvas::moveTo(int x, int y)
{
    flushPolyline();
    m_current = QPoint(x, y);
}

void Canvas::lineTo(int x, int y)
{
    if (m_polyline.isEmpty()) {
        m_polyline.append(m_current);
    }
    m_current = QPoint(x, y);
    m_polyline.append(m_current);
}

void Canvas::ellipse(int left, int top, int right, int bottom)
{
    flushPolyline();
    painter().drawEllipse(QRect(left, top, right - left, bottom - top));
}

void Canvas::rectangle(int left, int top, int right, int bottom)
{
    flushPolyline();
    QPainter& p = painter();
    const QRect inside(QPoint(left, top), QPoint(right - 1, bottom - 1));
    p.fillRect(inside, Qt::white);
    p.drawRect(inside.adjusted(0, 0, -1, -1));
}

void Canvas::textOut(int x, int y, const QString& text)
{
    flushPolyline();
    QPainter& p = painter();
    p.save();
    p.setPen(m_textColour);
    const QFontMetrics metrics(m_font);
    const QRect cell(x, y, metrics.horizontalAdvance(text), metrics.height());
    p.fillRect(cell, Qt::white);
    p.drawText(cell, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    p.restore();
}

void Canvas::setPixel(int x, int y, QRgb colour)
{
    endPainting();
    if (m_image.valid(x, y)) {
        m_image.setPixel(x, y, colour);
    }
}

QRgb Canvas::pixel(int x, int y)
{
    endPainting();
    return m_image.valid(x, y) ? (m_image.pixel(x, y) & 0x00FFFFFFu) : notAColour;
}

} // namespace cyclar
