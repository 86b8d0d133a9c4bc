// The colours every page and window of the program is drawn in.
#pragma once

#include <QColor>
#include <QPalette>

class QApplication;

namespace cyclar {

/// Background of every dialog and of its texts and pictures: a light lavender blue.
QColor dialogBackgroundColour();
/// Text of labels: a crimson.
QColor dialogTextColour();

/// `base` with the dialog background and label text colours in every colour group (a page
/// disabled beneath another keeps its look). Edit fields keep the colours of `base`.
QPalette dialogPalette(const QPalette& base);

/// Makes the dialog colours the application's palette.
void applyDialogColours(QApplication& app);

/// The program's whole look: the classic three-dimensional control style, whose trackbars and
/// edit fields resemble the ones the pages were designed with, in the dialog colours. (Qt's
/// Fusion style also keeps a little memory for every slider ever shown, which a long run of
/// pages would pile up.)
void applyDialogLook(QApplication& app);

} // namespace cyclar
