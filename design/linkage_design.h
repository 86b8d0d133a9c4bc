// Linkage design: spherical four-bars that coordinate two shafts or guide a body through given
// orientations, with each candidate's reach, type, defects and transmission.
#pragma once

#include "design_task.h"
#include "sphere_geometry.h"
#include "task_rule.h"

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
    /// Function tasks: the greatest and the root mean square difference (degrees) between a
    /// pair's output angle and the one the linkage gives at its input, on the branch listed.
    /// 0 to rounding for exact fits.
    double maxError = 0.0;
    double rmsError = 0.0;
    /// One or more joints taken at the other end of its axis (which changes the dimensions, not
    /// how the body moves) from where the design first put them.
    bool otherEnds = false;
    /// The physical mechanism it is a variant of (1, 2, ...): candidates with the same fixed and
    /// moving joint axes, reaching the same body positions, share it, whichever pivot drives and
    /// at whichever end of its axis each joint is taken.
    int mechanism = 0;
    /// Which of its mechanism's two fixed pivots drives: 1 for the one its mechanism's first
    /// variant drives from, 2 for the other.
    int drivenPivot = 1;

    bool usable() const { return defects.empty(); }
};

/// What the design gives for one task: candidates in the one order of orderCandidates
/// (candidate_order.h), each mechanism's variants together. When there are none, `reason` says
/// why in one sentence; with candidates it may carry a note (how well a least-squares fit
/// fits, a family offered in place of a single answer, a task that is ill-conditioned).
struct DesignResult {
    TaskKind kind = TaskKind::Motion;
    std::vector<DesignCandidate> candidates;
    std::string reason;
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
    /// Designs the task again with its numbers moved by 0.01 degrees, and says so in the reason
    /// when the answer swings wildly (an ill-conditioned task): function tasks, five positions
    /// and three with their pivots, whose answers are single linkages rather than samples of a
    /// family.
    bool checkConditioning = true;
};

/// Designs linkages for the task. A task that the task rule (taskProblem) refuses gives no
/// candidates and its reason ("the task has ..."); so does one for which no real linkage exists.
DesignResult designLinkages(const DesignTask& task, const DesignOptions& options = {});

// The pieces, for front ends that draw them.

/// An RR dyad: a fixed pivot and the moving pivot where it lies in the first task position
/// (task frame). It fits when the arc between them is the same in every position.
struct Dyad {
    SphereVector fixed;
    SphereVector moving;
};

/// Dyads that fit the task's positions (motion tasks): three positions, one per given fixed
/// pivot (or per well-spread pivot; a few of the family where a given pivot lies at a pole);
/// four, samples along the center-axis cone; five, all of the finitely many (at most six).
std::vector<Dyad> taskDyads(const DesignTask& task, const DesignOptions& options = {});

/// The moving pivot W (at the first position) that keeps its arc to the fixed pivot G through
/// the displacements: square to every v_i = (D_i^T - I) G. Nothing where the v_i leave it
/// undetermined (G at a pole) or have no common perpendicular (G fits no dyad).
std::optional<SphereVector> movingPivotFor(const std::vector<Rotation>& moves,
                                           const SphereVector& G);

/// The displacements from the first position to each of the others, D_i with W_i = D_i W_1
/// for every point W of the body (motion tasks).
std::vector<Rotation> taskDisplacements(const DesignTask& task);

/// The linkages two dyads of a sound motion task make, either one driving, each checked by
/// forward kinematics and judged as the design's own candidates are, in the one order (none
/// where they make no proper linkage that reaches every position).
std::vector<DesignCandidate> linkagesFromDyads(const DesignTask& task, const Dyad& first,
                                               const Dyad& second);

struct LinkageAnalysis;

/// A candidate's defects and its transmission range on the way from its first position to its
/// last, from its dimensions and the input and branch at each position.
void judgeCandidate(DesignCandidate& candidate, const LinkageAnalysis& analysis);

/// The moving joints and the coupler point of a linkage at input theta on a branch, in
/// cyclar's own frame; nothing where it does not close there.
struct CouplerPose {
    SphereVector A1, B1, P;
};
std::optional<CouplerPose> couplerPoseAt(const LinkageDimensions& dims, double theta, int branch);

} // namespace cyclar
