// Builds a page's controls from its layout table, in dialog units of the page's font.
#pragma once

#include "artwork.h"
#include "dialog_units.h"
#include "motion_schedule.h" // tickInterval and sliderAngle, which the pages use with their layout

#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

namespace cyclar {

class BitmapButton;
class Trackbar;

/// Places controls on a page. Controls are created in the order of the calls, which is also
/// the keyboard's tab order.
class PageLayout {
public:
    /// A layout in one of the template fonts: the page takes the font's stand-in and the units
    /// of the font itself.
    PageLayout(QWidget* page, TemplateFont font);
    /// A layout in units measured from `font`.
    PageLayout(QWidget* page, const QFont& font);

    const DialogUnits& units() const { return m_units; }

    QLineEdit* edit(int x, int y, int w, int h);
    /// A clickable picture at (x, y); it takes the bitmap's own size.
    BitmapButton* bitmapButton(int x, int y, int bitmapId);
    /// A picture at (x, y) at the bitmap's own size.
    QLabel* picture(int x, int y, int bitmapId, bool sunken = false);
    /// Left-aligned text wrapped at the box's width.
    QLabel* text(int x, int y, int w, int h, const QString& text);
    /// Text centred across the box (and down it, unless it is a single line at the top).
    QLabel* centredText(int x, int y, int w, int h, const QString& text, bool centredDown = true);
    Trackbar* trackbar(int x, int y, int w, int h);

    /// The page's client size for a template of w x h units, grown only where a control would
    /// reach beyond it (and to `atLeast`).
    QSize clientSize(int w, int h, QSize atLeast = QSize()) const;

private:
    QWidget* m_page;
    DialogUnits m_units;
    QRect m_extent; ///< the union of the controls placed so far
};

} // namespace cyclar
