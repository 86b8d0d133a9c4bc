// The program's artwork: bundled fonts, the bitmaps of the pages and the main icon, drawn by code.
#pragma once

#include "page_layouts.h"

#include <QFont>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QRgb>
#include <QSize>
#include <QString>

namespace cyclar {

// Background of every bitmap but the linkage diagram: the dialog background colour.
inline constexpr QRgb artworkBackground = qRgb(180, 180, 230);

// Registers the artwork's resources and the bundled fonts. Safe to call any number of times;
// the work is done once. Needs a QGuiApplication; without one it warns and does nothing, so a
// later call (once the application exists) still registers everything.
void initArtwork();

// Family names of the bundled fonts as the font database registered them. Empty strings when
// a font could not be loaded (or no QGuiApplication exists yet). Calls initArtwork().
struct BundledFonts {
    QString sans;   // Liberation Sans, regular and bold
    QString serif;  // Liberation Serif, regular, bold and italic
    QString script; // Dancing Script, bold
};
const BundledFonts& bundledFonts();

// The fonts the page layouts were designed in (listed with the layouts in the core), each mapped
// to a bundled stand-in.
using TemplateFont = LayoutFont;
QFont templateFont(TemplateFont kind);

// The dialog base units (average character width, character height in pixels) of the font a
// layout was designed in, from the core's layout table.
QSize templateBaseUnits(TemplateFont kind);

// The plain sans the program draws its own text with (and uses as the application font).
QFont defaultTextFont();

// The bitmap ids the program carries, in ascending order.
QList<int> bitmapIds();

// The pixel size of bitmap `id`, or an invalid size for an id the program does not carry.
QSize bitmapSize(int id);

// Bitmap `id`, opaque (Format_RGB32) and exactly bitmapSize(id) large. Drawn on first use and
// cached. Returns a null image for an unknown id, or when there is no QGuiApplication.
// Like the rest of this API, call it from the GUI thread.
QImage bitmap(int id);

// The main icon: 32 x 32, fully opaque, in a sixteen-colour palette.
QImage mainIcon32();

// The icon's blank companion image: 64 x 64 and fully transparent.
QImage mainIconBlank64();

// The main icon at `size` pixels square, opaque: at 32 the pixel-drawn image above, at any other
// size the same sketch drawn antialiased for that size (never an enlarged copy).
QImage mainIconAt(int size);

// The same sketch as an SVG document, for the desktop's scalable icon.
QByteArray mainIconSvg();

// The main icon for windows: the 32 px image, plus the sketch drawn at 64, 128 and 256 px so
// that large renderings stay crisp. The blank 64 px image is left out on purpose: the platform
// would prefer it for large sizes and show an empty icon.
QIcon mainIcon();

} // namespace cyclar
