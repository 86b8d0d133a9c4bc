// The label's face as bitmaps: glyphs of printable ASCII, their advances and kerning pairs.
#pragma once

#include <cstdint>
#include <string_view>

namespace cyclar {

/// One picture of a glyph: the box of its inked pixels relative to the whole pixel at or left
/// of the glyph's position on the baseline's cell (top = the cell's top), whose rows start at
/// bits[offset] (one bit a pixel, leftmost in the high bit, each row padded to whole bytes).
struct LabelGlyphImage {
    int left;
    int top;
    int width;
    int height;
    int offset;
};

/// One glyph: its advance in 64ths of a pixel and, for each 64th of a pixel its position may
/// fall on, which of its pictures is drawn there (images[firstImage + phase[fraction]]).
struct LabelGlyph {
    int advance;
    int firstImage;
    std::uint8_t phase[64];
};

/// Moves `second` by `adjustment` 64ths of a pixel when it follows `first`.
struct LabelKerning {
    char first;
    char second;
    int adjustment;
};

struct LabelFace {
    int ascent;
    int height; ///< of a line's cell
    char firstGlyph;
    const LabelGlyph* glyphs; ///< for firstGlyph .. '~'
    const LabelGlyphImage* images;
    const std::uint8_t* bits;
    const LabelKerning* kerning;
    int kerningCount;

    /// The glyph of c; characters the face lacks are drawn as '?'.
    const LabelGlyph& glyph(char c) const
    {
        const bool known = c >= firstGlyph && c <= '~';
        return glyphs[(known ? c : '?') - firstGlyph];
    }
    int kern(char first, char second) const;
    /// Where each glyph goes: the pen advances in 64ths of a pixel; each glyph is drawn at the
    /// whole pixel at or left of its pen position, in its picture for the fraction left over.
    /// visit(image, x) for each character; returns the pen's end in 64ths of a pixel.
    template <typename Visit> long long layOut(std::string_view text, Visit&& visit) const
    {
        long long pen = 0;
        char previous = 0;
        for (const char c : text) {
            if (previous != 0) {
                pen += kern(previous, c);
            }
            const LabelGlyph& g = glyph(c);
            visit(images[g.firstImage + g.phase[pen & 63]], pen >> 6);
            pen += g.advance;
            previous = c;
        }
        return pen;
    }
    /// The width of the text's cell in whole pixels (nearest, halves up).
    int textWidth(std::string_view text) const;
};

/// The face the picture's label is drawn in (generated from the bundled sans).
const LabelFace& labelFace();

} // namespace cyclar
