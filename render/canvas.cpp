// Canvas: lines, ellipses and fills rasterised directly into a QImage; text through QPainter.
#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QPainter>

namespace cyclar {

namespace {

constexpr QRgb notAColour = 0xFFFFFFFFu;

} // namespace

Canvas::Canvas(int width, int height, const QFont& font)
    : m_image(width, height, QImage::Format_RGB32), m_font(font), m_metrics(font)
{
    // Crisp text: every pixel of the picture is one of its pens' colours or white.
    m_font.setStyleStrategy(QFont::NoAntialias);
    m_metrics = QFontMetrics(m_font);
    m_width = m_image.width();
    m_height = m_image.height();
    m_image.fill(Qt::white);
    m_stride = m_image.bytesPerLine();
    prepareWriting();
}

void Canvas::prepareWriting()
{
    if (!m_bitsValid) {
        m_bits = m_image.bits(); // detaches from anyone who still shares the image
        m_bitsValid = true;
    }
}

Canvas::~Canvas() = default;

const QImage& Canvas::image()
{
    m_bitsValid = false;
    return m_image;
}

void Canvas::selectPen(const PenSpec& pen)
{
    m_pen = pen;
    m_penRgb = pen.colour.rgb();
}

void Canvas::setTextColor(const QColor& colour) { m_textColour = colour; }

void Canvas::moveTo(int x, int y) { m_current = QPoint(x, y); }

void Canvas::lineTo(int x, int y)
{
    const QPoint to(x, y);
    drawLine(m_current, to);
    m_current = to;
}

// One step of the line: the pen's width in pixels across the line's minor axis.
void Canvas::plot(int x, int y, bool steep)
{
    const int width = std::max(1, m_pen.width);
    const int first = -(width - 1) / 2;
    for (int i = first; i < first + width; ++i) {
        const int px = steep ? x + i : x;
        const int py = steep ? y : y + i;
        if (static_cast<unsigned>(px) < static_cast<unsigned>(m_width)
            && static_cast<unsigned>(py) < static_cast<unsigned>(m_height)) {
            row(py)[px] = m_penRgb;
        }
    }
}

namespace {

// Liang-Barsky: clips the segment to the box; false when nothing of it is inside.
bool clipSegment(double& x0, double& y0, double& x1, double& y1, const QRectF& box)
{
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - box.left(), box.right() - x0, y0 - box.top(), box.bottom() - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return false;
            }
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, r);
        } else {
            t1 = std::min(t1, r);
        }
        if (t0 > t1) {
            return false;
        }
    }
    const double nx0 = x0 + t0 * dx;
    const double ny0 = y0 + t0 * dy;
    x1 = x0 + t1 * dx;
    y1 = y0 + t1 * dy;
    x0 = nx0;
    y0 = ny0;
    return true;
}

} // namespace

void Canvas::drawLine(QPoint from, QPoint to)
{
    prepareWriting();
    // Points far outside are clipped first, so a line never walks millions of hidden pixels.
    const int margin = 4;
    const QRect near(-margin, -margin, m_image.width() + 2 * margin, m_image.height() + 2 * margin);
    if (!near.contains(from) || !near.contains(to)) {
        double x0 = from.x(), y0 = from.y(), x1 = to.x(), y1 = to.y();
        if (!clipSegment(x0, y0, x1, y1, QRectF(near))) {
            return;
        }
        from = QPoint(static_cast<int>(std::lround(x0)), static_cast<int>(std::lround(y0)));
        to = QPoint(static_cast<int>(std::lround(x1)), static_cast<int>(std::lround(y1)));
    }
    int x0 = from.x();
    int y0 = from.y();
    const int x1 = to.x();
    const int y1 = to.y();
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    const bool steep = -dy > dx;
    int error = dx + dy;
    for (;;) {
        plot(x0, y0, steep);
        if (x0 == x1 && y0 == y1) {
            break;
        }
        const int e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

void Canvas::fillSpan(int y, int left, int right, QRgb colour)
{
    if (y < 0 || y >= m_image.height()) {
        return;
    }
    left = std::max(left, 0);
    right = std::min(right, m_image.width() - 1);
    if (left <= right) {
        QRgb* line = row(y);
        std::fill(line + left, line + right + 1, colour);
    }
}

void Canvas::ellipse(int left, int top, int right, int bottom)
{
    prepareWriting();
    if (right < left) {
        std::swap(left, right);
    }
    if (bottom < top) {
        std::swap(top, bottom);
    }
    // Bresenham's midpoint ellipse inscribed in the box: the four quadrants are traced together
    // from the left and right edges of the middle row(s) toward the top and bottom, so the
    // outline is 8-connected and touches the box's four edges. Each row's inside is filled
    // white as the trace leaves it.
    const QRgb white = qRgb(255, 255, 255);
    const auto set = [this](int x, int y) {
        if (static_cast<unsigned>(x) < static_cast<unsigned>(m_width)
            && static_cast<unsigned>(y) < static_cast<unsigned>(m_height)) {
            row(y)[x] = m_penRgb;
        }
    };
    const double a = right - left;
    const double b = bottom - top;
    const double oddHeight = static_cast<double>((bottom - top) & 1);
    double dx = 4.0 * (1.0 - a) * b * b;
    double dy = 4.0 * (oddHeight + 1.0) * a * a;
    double error = dx + dy + oddHeight * a * a;
    int x0 = left;
    int x1 = right;
    int y0 = top + (bottom - top + 1) / 2;
    int y1 = y0 - static_cast<int>(oddHeight);
    const double stepA = 8.0 * a * a;
    const double stepB = 8.0 * b * b;
    do {
        set(x1, y0);
        set(x0, y0);
        set(x0, y1);
        set(x1, y1);
        const double e2 = 2.0 * error;
        if (e2 <= dy) {
            fillSpan(y0, x0 + 1, x1 - 1, white);
            fillSpan(y1, x0 + 1, x1 - 1, white);
            ++y0;
            --y1;
            dy += stepA;
            error += dy;
        }
        if (e2 >= dx || 2.0 * error > dy) {
            ++x0;
            --x1;
            dx += stepB;
            error += dx;
        }
    } while (x0 <= x1);
    // Very flat ellipses stop early: finish their tips.
    while (y0 - y1 <= bottom - top) {
        set(x0 - 1, y0);
        set(x1 + 1, y0++);
        set(x0 - 1, y1);
        set(x1 + 1, y1--);
    }
}

void Canvas::rectangle(int left, int top, int right, int bottom)
{
    prepareWriting();
    const QRect inside = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)) & m_image.rect();
    if (inside.isEmpty()) {
        return;
    }
    // White inside, then the outline in the pen's colour along the rectangle's edges.
    if (inside == m_image.rect()) {
        std::fill(row(0), row(0) + m_stride / 4 * m_height, qRgb(255, 255, 255));
    } else {
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            fillSpan(y, inside.left(), inside.right(), qRgb(255, 255, 255));
        }
    }
    moveTo(left, top);
    lineTo(right - 1, top);
    lineTo(right - 1, bottom - 1);
    lineTo(left, bottom - 1);
    lineTo(left, top);
}

void Canvas::textOut(int x, int y, const QString& text)
{
    if (text != m_cachedText || m_textColour.rgb() != m_cachedTextColour
        || m_cachedTextImage.isNull()) {
        const QSize cell(std::max(1, m_metrics.horizontalAdvance(text)), m_metrics.height());
        QImage image(cell, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(m_font);
        p.setPen(m_textColour);
        p.drawText(image.rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        p.end();
        m_cachedText = text;
        m_cachedTextColour = m_textColour.rgb();
        m_cachedTextImage = image;
    }
    prepareWriting();
    const QRect target = QRect(QPoint(x, y), m_cachedTextImage.size()) & QRect(0, 0, m_width, m_height);
    for (int ty = target.top(); ty <= target.bottom(); ++ty) {
        const QRgb* source = reinterpret_cast<const QRgb*>(m_cachedTextImage.constScanLine(ty - y));
        std::copy(source + (target.left() - x), source + (target.right() - x) + 1, row(ty) + target.left());
    }
}

void Canvas::setPixel(int x, int y, QRgb colour)
{
    prepareWriting();
    if (m_image.valid(x, y)) {
        row(y)[x] = colour;
    }
}

QRgb Canvas::pixel(int x, int y) const
{
    return m_image.valid(x, y) ? (m_image.pixel(x, y) & 0x00FFFFFFu) : notAColour;
}

} // namespace cyclar
