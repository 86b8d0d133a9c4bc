// Every page's layout, written once: the controls of each page (kind, id, box in dialog units,
// bitmap, text), its template size and font, and the conversion of dialog units to pixels.
// Qt-free: the desktop's pages (pages/, app/) build their widgets from it, and the browser's
// pages (web/js/pages.js) read it through the WebAssembly module.
#pragma once

#include <span>
#include <string_view>

namespace cyclar {

/// The fonts the layouts were designed in (each page's widgets are drawn in a bundled stand-in).
enum class LayoutFont {
    MsSansSerif8,             ///< "MS Sans Serif", 8 pt: dimensions page, About, Circular View
    TimesNewRomanExtraBold10, ///< "Times New Roman MT Extra Bold", 10 pt: title page
    Tahoma8,                  ///< "Tahoma", 8 pt: animation page
    TimesNewRoman12,          ///< "Times New Roman", 12 pt: help page
};

/// The dialog base units of a layout font: its average character width and its height, in
/// pixels at 96 dots per inch.
struct BaseUnits {
    int width;
    int height;
};

/// The base units of the font a layout was designed in. Layouts are measured in these, not in
/// their stand-in's metrics: Liberation Sans is a cell shorter than "MS Sans Serif" and Tahoma,
/// whose 6 x 13 the layouts' numbers fit. Liberation Serif has the metrics of Times New Roman,
/// whose units the serif layouts keep.
BaseUnits layoutBaseUnits(LayoutFont font);

/// Dialog units to pixels: a horizontal unit is a quarter of the average character width, a
/// vertical one an eighth of the height. Rounds to the nearest pixel, halves away from zero, as
/// the dialog manager's MulDiv does.
int dialogUnitsToPixelsX(int units, BaseUnits base);
int dialogUnitsToPixelsY(int units, BaseUnits base);

enum class ControlKind {
    edit,           ///< a one-line text field
    bitmapButton,   ///< a clickable picture at the bitmap's own size
    picture,        ///< a picture at the bitmap's own size
    sunkenPicture,  ///< a picture in a sunken frame
    text,           ///< left-aligned text wrapped at the box's width
    centredText,    ///< text centred across the box and down it
    topCentredText, ///< text centred across the box, on its top line
    trackbar,       ///< a slider from 0 to 100
    clip,           ///< an animation clip, at the clip's size (and its border)
    icon,           ///< the program's 32 x 32 icon
    pushButton,     ///< a push button with a caption
};

struct LayoutControl {
    ControlKind kind;
    std::string_view id;   ///< the control's id, or empty for a static one
    int x, y, w, h;        ///< dialog units; w and h are 0 where the control takes its own size
    int bitmap = 0;        ///< bitmap id of pictures and bitmap buttons
    std::string_view text; ///< what a text, or a push button's caption, shows
    std::string_view name; ///< what a field or slider is called for assistive technology
};

struct PageTemplate {
    std::string_view page; ///< title, dimensions, animation, help, about, circular
    LayoutFont font;
    int width, height;                       ///< the template's size in dialog units
    std::span<const LayoutControl> controls; ///< in template order, which is the tab order
};

/// The template of the named page; an unknown name is a programming error and yields the
/// first page's.
const PageTemplate& pageTemplate(std::string_view page);

} // namespace cyclar
