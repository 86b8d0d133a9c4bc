// Raster: lines, ellipses, fills and label glyphs written straight into a pixel buffer.
#include "raster.h"

#include "label_face.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace cyclar {

void Raster::selectPen(const PenSpec& pen)
{
    m_pen = pen;
    m_penWord = m_buffer->word(pen.colour);
}

void Raster::moveTo(int x, int y)
{
    m_currentX = x;
    m_currentY = y;
}

void Raster::lineTo(int x, int y)
{
    drawLine(m_currentX, m_currentY, x, y);
    m_currentX = x;
    m_currentY = y;
}

// One step of the line: the pen's width in pixels across the line's minor axis.
void Raster::plot(int x, int y, bool steep)
{
    const int width = std::max(1, m_pen.width);
    const int first = -(width - 1) / 2;
    for (int i = first; i < first + width; ++i) {
        const int px = steep ? x + i : x;
        const int py = steep ? y : y + i;
        if (m_buffer->contains(px, py)) {
            put(px, py, m_penWord);
        }
    }
}

namespace {

struct Box {
    double left, top, right, bottom;
};

// Liang-Barsky: clips the segment to the box; false when nothing of it is inside.
bool clipSegment(double& x0, double& y0, double& x1, double& y1, const Box& box)
{
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - box.left, box.right - x0, y0 - box.top, box.bottom - y0};
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

void Raster::drawLine(int fromX, int fromY, int toX, int toY)
{
    // Points far outside are clipped first, so a line never walks millions of hidden pixels:
    // ends within `margin` of the picture are drawn as they are, others are cut at
    // [-margin, size + margin].
    const int margin = 4;
    const auto near = [this](int x, int y) {
        return x >= -margin && x <= width() + margin - 1 && y >= -margin
               && y <= height() + margin - 1;
    };
    if (!near(fromX, fromY) || !near(toX, toY)) {
        double x0 = fromX, y0 = fromY, x1 = toX, y1 = toY;
        const Box box{-margin, -margin, static_cast<double>(width() + margin),
                      static_cast<double>(height() + margin)};
        if (!clipSegment(x0, y0, x1, y1, box)) {
            return;
        }
        fromX = static_cast<int>(std::lround(x0));
        fromY = static_cast<int>(std::lround(y0));
        toX = static_cast<int>(std::lround(x1));
        toY = static_cast<int>(std::lround(y1));
    }
    int x0 = fromX;
    int y0 = fromY;
    const int x1 = toX;
    const int y1 = toY;
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

void Raster::fillSpan(int y, int left, int right, std::uint32_t word)
{
    if (y < 0 || y >= height()) {
        return;
    }
    left = std::max(left, 0);
    right = std::min(right, width() - 1);
    if (left <= right) {
        if (m_journal != nullptr) {
            for (int x = left; x <= right; ++x) {
                put(x, y, word);
            }
            return;
        }
        std::uint32_t* line = m_buffer->row(y);
        std::fill(line + left, line + right + 1, word);
    }
}

void Raster::ellipse(int left, int top, int right, int bottom)
{
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
    // A pen wider than a pixel (a picture drawn at a scale) stamps a square of its width on
    // every pixel of the outline once the inside is filled, so no fill covers part of it.
    const std::uint32_t inside = m_buffer->word(white);
    const int penWidth = std::max(1, m_pen.width);
    std::vector<std::pair<int, int>> outline;
    const auto set = [this, penWidth, &outline](int x, int y) {
        if (penWidth > 1) {
            outline.emplace_back(x, y);
        } else if (m_buffer->contains(x, y)) {
            put(x, y, m_penWord);
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
            fillSpan(y0, x0 + 1, x1 - 1, inside);
            fillSpan(y1, x0 + 1, x1 - 1, inside);
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
    const int first = -(penWidth - 1) / 2;
    for (const auto& [x, y] : outline) {
        for (int sy = first; sy < first + penWidth; ++sy) {
            for (int sx = first; sx < first + penWidth; ++sx) {
                if (m_buffer->contains(x + sx, y + sy)) {
                    put(x + sx, y + sy, m_penWord);
                }
            }
        }
    }
}

void Raster::rectangle(int left, int top, int right, int bottom)
{
    // The part of [left, right) x [top, bottom) on the picture; wide integers so no bound of the
    // caller's can overflow.
    const long long x0 = std::max<long long>(left, 0);
    const long long y0 = std::max<long long>(top, 0);
    const long long x1 = std::min<long long>(static_cast<long long>(right) - 1, width() - 1);
    const long long y1 = std::min<long long>(static_cast<long long>(bottom) - 1, height() - 1);
    if (x0 > x1 || y0 > y1) {
        return;
    }
    // White inside, then the outline in the pen's colour along the rectangle's edges.
    const std::uint32_t inside = m_buffer->word(white);
    if (x0 == 0 && y0 == 0 && x1 == width() - 1 && y1 == height() - 1 && m_journal == nullptr) {
        std::fill(m_buffer->data(), m_buffer->data() + m_buffer->pixelCount(), inside);
    } else {
        for (long long y = y0; y <= y1; ++y) {
            fillSpan(static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1), inside);
        }
    }
    moveTo(left, top);
    lineTo(right - 1, top);
    lineTo(right - 1, bottom - 1);
    lineTo(left, bottom - 1);
    lineTo(left, top);
}

void Raster::textOut(int x, int y, std::string_view text)
{
    // The cell is whitened first, then each glyph's inked pixels are set in the text colour,
    // each as a k x k block at text scale k.
    const LabelFace& face = labelFace();
    const long long k = m_textScale;
    const long long cellWidth = std::max(1, face.textWidth(text)) * k;
    const std::uint32_t inside = m_buffer->word(white);
    // Everything is clipped to the cell (as a line drawn into a cell-sized picture would be)
    // and to the picture; positions are wide integers so no caller's corner can overflow.
    const long long cellLeft = std::max<long long>(x, 0);
    const long long cellRight = std::min<long long>(static_cast<long long>(x) + cellWidth, width());
    const long long cellTop = std::max<long long>(y, 0);
    const long long cellBottom =
        std::min<long long>(static_cast<long long>(y) + face.height * k, height());
    if (cellLeft >= cellRight || cellTop >= cellBottom) {
        return;
    }
    for (long long row = cellTop; row < cellBottom; ++row) {
        fillSpan(static_cast<int>(row), static_cast<int>(cellLeft), static_cast<int>(cellRight - 1),
                 inside);
    }
    const std::uint32_t ink = m_buffer->word(m_textColour);
    face.layOut(text, [&](const LabelGlyphImage& g, long long glyphX) {
        const int rowBytes = (g.width + 7) / 8;
        for (int gy = 0; gy < g.height; ++gy) {
            const std::uint8_t* bits = face.bits + g.offset + gy * rowBytes;
            for (int gx = 0; gx < g.width; ++gx) {
                if ((bits[gx / 8] & (0x80 >> (gx % 8))) == 0) {
                    continue;
                }
                const long long left = x + (glyphX + g.left + gx) * k;
                const long long top = static_cast<long long>(y) + (g.top + gy) * k;
                for (long long py = top; py < top + k; ++py) {
                    for (long long px = left; px < left + k; ++px) {
                        if (px >= cellLeft && px < cellRight && py >= cellTop && py < cellBottom) {
                            put(static_cast<int>(px), static_cast<int>(py), ink);
                        }
                    }
                }
            }
        }
    });
}

void Raster::setPixel(int x, int y, Rgb colour)
{
    if (m_buffer->contains(x, y)) {
        put(x, y, m_buffer->word(colour));
    }
}

void Raster::undo(std::vector<PixelChange>& journal)
{
    std::uint32_t* pixels = m_buffer->data();
    for (auto change = journal.rbegin(); change != journal.rend(); ++change) {
        pixels[change->index] = change->previous;
    }
    journal.clear();
}

std::uint32_t Raster::pixel(int x, int y) const
{
    return m_buffer->contains(x, y) ? m_buffer->colour(m_buffer->row(y)[x]).value() : notAColour;
}

} // namespace cyclar
