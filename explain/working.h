// The working: every answer about a linkage at one input angle derived step by step, each step
// with its relation in symbols, the same with the numbers put in, and the result.
#pragma once

#include "linkage_analysis.h"
#include "linkage_model.h"
#include "linkage_rates.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace cyclar {

/// One step of the working. The texts are for people (Unicode symbols, degrees with their
/// sign, a minus sign for negative numbers) and never show a number that is not finite: where a
/// value is not defined the result says why in words.
struct WorkingStep {
    std::string name;    ///< "Diagonal B0–A1"
    std::string symbols; ///< the relation: "cos d = cos a cos f + sin a sin f cos θ"
    std::string numbers; ///< the same with the numbers put in
    std::string result;  ///< "d = 24.19°", or words
    /// The result's number(s) at full precision: one, three for a vector, a list for limits;
    /// empty when the result is in words.
    std::vector<double> value;
    std::string unit; ///< of value: "deg", "1" (a ratio or a rate per radian of input), "1/rad"
    std::string note; ///< what happens here, in words; may be empty
};

struct WorkingSection {
    std::string title;
    std::vector<WorkingStep> steps;
};

/// The named numbers of the working, NaN where not defined (there the working says why).
struct WorkingResults {
    double diagonal;           ///< d, the arc B0-A1
    double output;             ///< psi on the branch asked for
    double outputOther;        ///< psi on the other branch
    double transmission;       ///< mu
    double coupler;            ///< the coupler's angle at A1 (see explainLinkage)
    std::array<double, 4> T{}; ///< T1..T4
    std::vector<double> inputLimits;
    std::vector<double> outputLimits;
    double outputRate;          ///< dpsi/dtheta
    double outputAcceleration;  ///< d2psi/dtheta2
    double couplerRate;         ///< |omega|
    double pointSpeed;          ///< |dP/dtheta|
    double pointAcceleration;   ///< |d2P/dtheta2|
    double mechanicalAdvantage; ///< dtheta/dpsi
    SphereVector P;
};

/// An explanation of the linkage at one input angle, on one branch.
struct Working {
    LinkageDimensions dims;
    double input = 0.0; ///< theta as asked, degrees
    double theta = 0.0; ///< the same within (-180, 180]
    int branch = 1;     ///< 1 or 2
    std::string title;
    /// What is special at this input (a toggle, a folded position, a change point's flat
    /// position, beyond the linkage's reach), in words; empty when nothing is.
    std::string situation;
    std::vector<WorkingSection> sections;
    WorkingResults results{};
    LinkageAnalysis analysis;
    /// The joints at theta on the branch, when the linkage reaches theta.
    std::optional<PlacedPose> pose;
};

/// The sections' titles, in their order.
inline constexpr const char* classificationSection = "Classification";
inline constexpr const char* positionSection = "Position at \u03b8";
inline constexpr const char* limitsSection = "Limits";
inline constexpr const char* velocitySection = "Velocity at \u03b8";
inline constexpr const char* accelerationSection = "Acceleration at \u03b8";

/// The working for the linkage `dims` at input angle `theta` (degrees, any finite value; it is
/// taken within (-180, 180]) on branch 1 or 2 (B0 . (A1 x B1) > 0 or < 0).
///
/// Classification: T1..T4 with their sums, the spherical Grashof condition, the two links'
/// motions, the type, and the frame's planar label with why it may differ (analyseLinkage).
/// Position at theta: the diagonal d (cos d = cos a cos f + sin a sin f cos theta), both
/// triangles' angles by the spherical law of cosines, the direction delta of A1 from B0 (its
/// sign by the sine rule), psi = delta + gamma (branch 1) or delta - gamma (branch 2), the branch
/// test, mu, the coupler's angle, A1, B1 and P (outputAnglesAt, placedPose).
/// The coupler's angle is measured at A1 from the input link continued beyond A1 to the arc
/// A1->B1, counter-clockwise seen from outside: 180 + s angle(B0 A1 A0) - b angle(B0 A1 B1),
/// s = +1 for theta >= 0 (else -1), b = +1 on branch 1 (else -1), within (-180, 180].
/// Limits: the input's and output's toggle positions (the law of cosines at the diagonal's ends),
/// the transmission's range, and for a crank-rocker the swing and the time ratio.
/// Velocity and acceleration: the loop equation A1 . B1 = cos c differentiated once and twice,
/// the coupler's angular velocity and acceleration, P's velocity and acceleration, the
/// mechanical advantage (outputRatesAt). Every number is the one those functions give.
Working explainLinkage(const LinkageDimensions& dims, double theta, int branch);

/// The step of the working a question's answer is found in: its section and its name.
struct WorkingPlace {
    const char* section;
    const char* step;
};

/// The names of the steps that answer the exercises' questions.
namespace workingSteps {
inline constexpr WorkingPlace type{classificationSection, "Type"};
inline constexpr WorkingPlace grashof{classificationSection, "Spherical Grashof condition"};
inline constexpr WorkingPlace inputLimits{limitsSection, "Input limits"};
inline constexpr WorkingPlace outputLimits{limitsSection, "Output limits"};
inline constexpr WorkingPlace swing{limitsSection, "Swing"};
inline constexpr WorkingPlace timeRatio{limitsSection, "Time ratio"};
inline constexpr WorkingPlace output{positionSection, "Output \u03c8 on both branches"};
inline constexpr WorkingPlace transmission{positionSection, "Transmission angle \u03bc"};
inline constexpr WorkingPlace coupler{positionSection, "Coupler angle"};
inline constexpr WorkingPlace outputRate{velocitySection, "Velocity ratio d\u03c8/d\u03b8"};
inline constexpr WorkingPlace couplerRate{velocitySection, "Coupler's angular velocity \u03c9"};
inline constexpr WorkingPlace pointSpeed{velocitySection, "Velocity of P"};
inline constexpr WorkingPlace mechanicalAdvantage{velocitySection, "Mechanical advantage"};
inline constexpr WorkingPlace outputAcceleration{accelerationSection,
                                                 "Output acceleration d\u00b2\u03c8/d\u03b8\u00b2"};
} // namespace workingSteps

/// The step of `working` at `place`, or null when the working has none (it stopped earlier).
const WorkingStep* findStep(const Working& working, const WorkingPlace& place);

} // namespace cyclar
