// Where a window opened beside an animation page goes while another such window is shown: the
// page, the window shown and the new one arranged on the screen so that, where the screen has
// room, none covers another.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace cyclar {

/// The height the Design window asks for: a table of positions, the candidates and the sphere
/// need it to be read without scrolling.
inline constexpr int designWindowMinimumHeight = 640;

/// Where the page, the window shown already and the new window go: top-left corners of their
/// frames.
struct WindowArrangement {
    QPoint page;
    QPoint shown;
    QPoint window;
};

/// Arranges a new window of `window` size on `screen` (its available area) beside the page whose
/// frame is `pageFrame` and whose picture is at `picture`, while another window is shown at
/// `shown` (an empty rectangle when none is). Each stays wholly on the screen where it fits, and
/// the arrangement keeps clear, in this order:
/// 1. the page's controls (all of the page but its picture), covered by neither window;
/// 2. the page's picture, covered by neither window;
/// 3. the window shown, not covered by the new one;
/// and then moves the page and the window shown as little as it can (the page the less), and
/// puts the new window as near the page as it can, level with it, to its right rather than its
/// left. So where the screen has room for all three, none covers another; where it has not, the
/// page stays in sight before the window shown, its controls before its picture.
WindowArrangement arrangeBesidePage(const QRect& pageFrame, const QRect& picture,
                                    const QRect& shown, const QSize& window, const QRect& screen);

/// The height of a window's frame that wants `wanted` pixels and at least `least`, on a screen
/// `available` pixels high: no taller than the screen, and at least `least` where the screen has
/// them.
int heightOnScreen(int wanted, int least, int available);

/// Shows `window` for the first time, arranged by arrangeBesidePage beside `page` (whose picture
/// is at `picture` on the screen) and `shown` (another window beside the page, or null when none
/// is shown), which are moved as it says. Its frame is made `least` pixels high at least where
/// the screen has them (0: its own height).
void showArrangedBeside(QWidget& window, QWidget& page, const QRect& picture, QWidget* shown,
                        int least = 0);

} // namespace cyclar
