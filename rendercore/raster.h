// The raster implementation of the drawing steps: aliased lines, ellipses, fills and glyphs.
#pragma once

#include "drawing_surface.h"
#include "pixel_buffer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace cyclar {

/// Draws into a pixel buffer it does not own. Drawing is aliased so the pixel geometry is exact:
/// a line goes from pixel to pixel, an ellipse's outline touches its box's edges, shapes are
/// filled white, text is written on an opaque white cell.
///
/// Lines are rasterised directly (Bresenham, both end pixels included); a pen of width w paints
/// w pixels across the line's minor axis. A frame draws about 1,500 of them, which a
/// general-purpose stroker would make the bulk of the frame's cost.
class Raster final : public DrawingSurface {
public:
    explicit Raster(PixelBuffer& buffer) : m_buffer(&buffer) {}

    /// Draws into another buffer from now on (pen and text colour stay).
    void setBuffer(PixelBuffer& buffer)
    {
        m_buffer = &buffer;
        m_penWord = buffer.word(m_pen.colour);
    }
    PixelBuffer& buffer() { return *m_buffer; }
    const PixelBuffer& buffer() const { return *m_buffer; }

    int width() const override { return m_buffer->width(); }
    int height() const override { return m_buffer->height(); }
    void selectPen(const PenSpec& pen) override;
    void setTextColor(Rgb colour) override { m_textColour = colour; }
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void ellipse(int left, int top, int right, int bottom) override;
    void rectangle(int left, int top, int right, int bottom) override;
    void textOut(int x, int y, std::string_view text) override;
    void setTextScale(int factor) override { m_textScale = factor < 1 ? 1 : factor; }

    void setPixel(int x, int y, Rgb colour);
    /// The pixel's colour as 0x00RRGGBB (white is 0x00FFFFFF), or notAColour outside.
    std::uint32_t pixel(int x, int y) const;
    static constexpr std::uint32_t notAColour = 0xFFFFFFFFu;

    /// A pixel's word before a drawing step changed it.
    struct PixelChange {
        std::size_t index;
        std::uint32_t previous;
    };
    /// While a journal is set, every pixel written is recorded in it first, so the drawing can
    /// be taken back (nullptr: none).
    void setJournal(std::vector<PixelChange>* journal) { m_journal = journal; }
    /// Takes back the recorded changes, last first, and empties the journal.
    void undo(std::vector<PixelChange>& journal);

private:
    void drawLine(int fromX, int fromY, int toX, int toY);
    void plot(int x, int y, bool steep);
    void fillSpan(int y, int left, int right, std::uint32_t word);
    /// Writes one pixel that is known to be on the picture.
    void put(int x, int y, std::uint32_t word)
    {
        std::uint32_t& pixel = m_buffer->row(y)[x];
        if (m_journal != nullptr) {
            m_journal->push_back({static_cast<std::size_t>(&pixel - m_buffer->data()), pixel});
        }
        pixel = word;
    }

    PixelBuffer* m_buffer;
    std::vector<PixelChange>* m_journal = nullptr;
    PenSpec m_pen{Rgb(0, 0, 0), 1};
    std::uint32_t m_penWord = 0;
    Rgb m_textColour{0, 0, 0};
    int m_textScale = 1;
    int m_currentX = 0;
    int m_currentY = 0;
};

} // namespace cyclar
