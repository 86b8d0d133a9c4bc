// The picture's label face as C++ source: glyph bitmaps and metrics the render core draws from.
#pragma once

#include <QByteArray>
#include <QFont>

namespace cyclar {

/// The source text of rendercore/label_glyphs.cpp: every printable ASCII glyph of the font as
/// drawn unantialiased, with its advance, the kerning pairs that move a glyph, and the line's
/// ascent and height. The same font on the same machine gives the same bytes.
QByteArray labelGlyphSource(const QFont& font);

/// The face the label is drawn in: the bundled sans at the program's text size.
QFont labelFont();

} // namespace cyclar
