// The design view: a task's positions as small arrows on the sphere, and a candidate linkage
// moving through them, placed in the task's frame.
#pragma once

#include "drawing_surface.h"
#include "four_position_map.h"
#include "linkage_design.h"
#include "view.h"

#include <cstddef>
#include <optional>
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
    /// The solution map's curves: before a pivot is picked, and then by what a dyad pair with
    /// the picked pivot gives. The centre-point curve is drawn in pen width 2, the circle-point
    /// curve in 1; the sphere's far side in the same colours paled halfway to white.
    Rgb mapPlain{150, 60, 200};
    Rgb mapUsable{0, 160, 60};
    Rgb mapDefective{230, 130, 0};
    Rgb mapNone{150, 150, 150};
    PenSpec picked{Rgb(0, 0, 0), 1};
    PenSpec mark{Rgb(190, 0, 0), 1};
    /// Device pixels per picture pixel, 1..maxPictureScale as in the frame palette.
    int scale = 1;
};

/// The solution map as the view draws it: its curves, coloured by `classes` when there is one
/// per point, the picked points (fixed pivots on the centre-point curve) and the marks of five
/// positions.
struct DesignMapView {
    const SolutionMap* map = nullptr;
    std::vector<MapClass> classes;
    std::vector<std::size_t> picked;
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
/// circles; the solution map when one is given (its curves, picked points as double rings, the
/// marks of five positions as rings in their colour); the task (motion: each position as a short
/// arrow along its heading with its number, the given fixed pivots as double rings; function: with
/// a candidate, the output link's place at each pair, as an arrow from the output pivot); then,
/// with a candidate, the coupler point's path over the tour and the linkage at `step`, all in the
/// task's frame through the candidate's placement. A step where the candidate does not close draws
/// no linkage.
void composeDesignView(DrawingSurface& surface, const DesignTask& task,
                       const DesignCandidate* candidate, const DesignStep& step,
                       const ViewOrientation& view, const DesignViewPalette& palette = {},
                       const DesignMapView* map = nullptr);

/// The point of the solution map (with `marks`, the five-position mark) whose centre point lies
/// nearest the pixel (x, y) of a design view `width` by `height` pixels, among those on the
/// side of the sphere facing the viewer and within `reach` pixels of it; nothing when none is.
std::optional<std::size_t> pickMapPoint(const SolutionMap& map, bool marks,
                                        const ViewOrientation& view, int width, int height,
                                        double x, double y, double reach);

} // namespace cyclar
