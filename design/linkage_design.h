// Linkage design: spherical four-bars that coordinate two shafts or guide a body through given
// orientations, with each candidate's reach, type, defects and transmission.
#pragma once

#include "design_task.h"
#include "sphere_geometry.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace cyclar {

/// The input angle and branch (1 or 2, as in the linkage analysis) at which a candidate reaches
/// one task position (or meets one shaft-angle pair).
struct PositionReach {
    double input = 0.0; ///< theta, degrees, in (-180, 180]
    int branch = 1;

    friend bool operator==(const PositionReach&, const PositionReach&) = default;
};

/// Why a candidate does not simply move through its task, driven by its input.
enum class DefectKind {
    Circuit, ///< the positions lie on different circuits: it would have to be taken apart
    Branch,  ///< on one circuit but on different branches
    Order,   ///< reached out of order, whichever way the input turns
    Toggle,  ///< the input passes a toggle (dead centre) between two consecutive positions
};

struct DesignDefect {
    DefectKind kind = DefectKind::Circuit;
    int from = 0; ///< Toggle only: the positions (1-based) between which it lies
    int to = 0;

    friend bool operator==(const DesignDefect&, const DesignDefect&) = default;
};

/// The defect in words: "circuit", "branch", "order", "toggle between positions 2 and 3".
std::string defectText(const DesignDefect& defect);

/// One linkage that does the task, checked by forward kinematics before it is offered.
struct DesignCandidate {
    /// In cyclar's own frame. Motion tasks: the task's point is the coupler point (h, k).
    /// Function tasks: h and k are the defaults', as nothing asks for a coupler point.
    LinkageDimensions dims;
    /// Maps a point X of cyclar's own frame (A0 = (1, 0, 0), B0 = (cos f, sin f, 0)) to M X in the
    /// task's frame; the identity for function tasks.
    Rotation placement = identityRotation();
    std::vector<PositionReach> positions; ///< one per task position or pair, in task order
    std::string type;                     ///< the spherical type, as analyseLinkage names it
    std::vector<DesignDefect> defects;    ///< empty for a usable candidate
    /// Least and greatest transmission angle (degrees) on the way from the first position to the
    /// last.
    std::array<double, 2> transmission{};
    /// Function tasks: the greatest difference (degrees) between a pair's output angle and the
    /// one the linkage gives at its input, on the branch listed. 0 to rounding for exact fits.
    double outputError = 0.0;
    /// The same motion as a candidate listed before it, with one or more joints taken at the
    /// other end of its axis (which changes the dimensions, not how the body moves).
    bool otherEnds = false;

    bool usable() const { return defects.empty(); }
};

/// What the design gives for one task: candidates, usable ones first; among those alike, the
/// ones with joints at their axes' other ends later; then by how far the transmission angle
/// strays from 90 degrees. When there are none, `reason` says why in one sentence; with
/// candidates it may carry a note (the residual of a least-squares fit).
struct DesignResult {
    TaskKind kind = TaskKind::Motion;
    std::vector<DesignCandidate> candidates;
    std::string reason;
    /// Least-squares function fits only: the root mean square residual of the linear
    /// loop-closure equation over the pairs.
    std::optional<double> residual;
};

/// Tuning of the motion design; the defaults suit interactive use.
struct DesignOptions {
    /// Four positions: in how many planes through the positions' centre the center-axis cone is
    /// cut; each plane gives up to three dyads.
    int coneSamples = 16;
    /// Three positions without fixed pivots: how many fixed pivots are spread on a ring 40
    /// degrees around the positions' centre.
    int spreadPivots = 8;
    /// Sampled families (four positions, three without pivots) give at most this many.
    std::size_t maxCandidates = 24;
    /// Five positions, and three with given pivots: offer each linkage also with its joints at
    /// the other ends of their axes (given fixed pivots stay), so that every set of dimensions
    /// that makes the motion is listed.
    bool everyJointEnd = true;
};

/// Why the task cannot be designed for, in one sentence; empty when its shape and numbers are
/// fine: three to five positions (three or more pairs; three only with the ground), finite
/// numbers, latitudes strictly between -90 and 90, no two positions or pairs the same, two
/// fixed pivots or none, a ground strictly between 0 and 180.
std::string designTaskProblem(const DesignTask& task);

/// Designs linkages for the task. A task that designTaskProblem refuses gives no candidates and
/// its reason; so does one for which no real linkage exists.
DesignResult designLinkages(const DesignTask& task, const DesignOptions& options = {});

// The pieces, for front ends that draw them.

/// A task position's point P = (cos lat cos lon, cos lat sin lon, sin lat) and its heading
/// u = cos h north + sin h east, as unit vectors of the task's frame.
SphereVector taskPoint(const TaskPosition& position);
SphereVector taskHeading(const TaskPosition& position);
SphereVector pivotPoint(const TaskPivot& pivot);

/// An RR dyad: a fixed pivot and the moving pivot where it lies in the first task position
/// (task frame). It fits when the arc between them is the same in every position.
struct Dyad {
    SphereVector fixed;
    SphereVector moving;
};

/// Dyads that fit the task's positions (motion tasks): three positions, one per given fixed
/// pivot (or per well-spread pivot); four, samples along the center-axis cone; five, all of the
/// finitely many (at most six).
std::vector<Dyad> taskDyads(const DesignTask& task, const DesignOptions& options = {});

/// The moving joints and the coupler point of a linkage at input theta on a branch, in
/// cyclar's own frame; nothing where it does not close there.
struct CouplerPose {
    SphereVector A1, B1, P;
};
std::optional<CouplerPose> couplerPoseAt(const LinkageDimensions& dims, double theta, int branch);

} // namespace cyclar
