// The design view: a task's positions as small arrows on the sphere, and a candidate linkage
// moving through them, placed in the task's frame.
#pragma once

#include "drawing_surface.h"
#include "linkage_design.h"
#include "view.h"

#include <vector>

namespace cyclar {

/// Pens of the design view (widths at scale 1).
struct DesignViewPalette {
    PenSpec sphere{Rgb(0, 150, 0), 1};
    PenSpec curve{Rgb(255, 0, 0), 1};
    PenSpec link{Rgb(0, 0, 255), 2};
    PenSpec joint{Rgb(0, 0, 255), 1};
    PenSpec task{Rgb(0, 0, 0), 2};
    PenSpec pivot{Rgb(160, 0, 160), 1};
    Rgb number{0, 0, 0};
    /// Device pixels per picture pixel, 1..maxPictureScale as in the frame palette.
    int scale = 1;
};

/// One pose of the candidate in the view: its input angle (degrees) and branch (1 or 2).
struct DesignStep {
    double input = 0.0;
    int branch = 1;

    friend bool operator==(const DesignStep&, const DesignStep&) = default;
};

/// The poses an animation of the candidate goes through: from its first position's input to its
/// last position's, a degree at a time, turning the way that meets the positions in order (of
/// two such ways, the one that closes at more of its steps, then the shorter), and back again.
/// Every position's own input is among the steps. Only steps where the linkage closes on the
/// first position's branch are kept. When the positions are on different branches, or in no
/// order either way, it goes once round instead. Empty when it closes nowhere.
std::vector<DesignStep> designTour(const DesignCandidate& candidate);

/// A view that looks at the middle of a motion task's positions (and fixed pivots), as square
/// on as whole degrees of turn and tilt allow; the page's starting view for other tasks.
ViewOrientation viewFacingTask(const DesignTask& task);

/// Draws the design view through the surface, sized to it: the sphere's outline and reference
/// circles; the task (motion: each position as a short arrow along its heading with its number,
/// the given fixed pivots as double rings; function: with a candidate, the output link's place
/// at each pair, as an arrow from the output pivot); then, with a candidate, the coupler
/// point's path over the tour and the linkage at `step`, all in the task's frame through the
/// candidate's placement. A step where the candidate does not close draws no linkage.
void composeDesignView(DrawingSurface& surface, const DesignTask& task,
                       const DesignCandidate* candidate, const DesignStep& step,
                       const ViewOrientation& view, const DesignViewPalette& palette = {});

} // namespace cyclar
