// The pictures of the working's handout: the linkage in the position worked out, and the
// Analysis chart with that position marked.
#pragma once

#include "view.h"
#include "working_text.h"

#include <QFont>

#include <vector>

namespace cyclar {

/// The handout's figures for `working`: the linkage in its pose at the working's input, seen
/// in `view` (an inline SVG drawn by the core), and the chart of psi and mu over theta with
/// that position's markers (a PNG), its text in `font`. No picture where the linkage does not
/// reach the input; no chart where it does not move.
std::vector<HandoutFigure> handoutFigures(const Working& working, const ViewOrientation& view,
                                          const QFont& font);

} // namespace cyclar
