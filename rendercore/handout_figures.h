// The pictures of the working's handout, drawn by the core so that the command line, the desktop
// and the browser save the same page: the linkage in the position worked out, and the chart of
// the output and transmission angles with that position marked.
#pragma once

#include "view.h"
#include "working_text.h"

#include <string>
#include <vector>

namespace cyclar {

/// The chart of psi (branch 1 solid, branch 2 dashed) and mu over theta, as the Analysis window
/// draws it, with the input limits, as an SVG element of chartWidth x chartHeight; with
/// `marked`, a disc at (theta, psi) and a square at (theta, mu) of the working's position. The
/// texts use the reader's sans-serif face: no font comes with it.
std::string angleChartSvg(const Working& working, bool marked);

/// What the handout says under each picture.
std::string handoutPictureCaption();
std::string handoutChartCaption();

/// The handout's figures for `working`: the linkage in its pose at the working's input, seen in
/// `view` (none where the linkage does not reach the input), and the chart (none where the
/// linkage does not move).
std::vector<HandoutFigure> handoutFigures(const Working& working, const ViewOrientation& view);

} // namespace cyclar
