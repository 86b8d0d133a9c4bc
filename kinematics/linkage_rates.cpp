// Velocity and acceleration in closed form from the loop's rotation equation, and their extremes.
#include "linkage_rates.h"

#include "motion_schedule.h"
#include "sphere_geometry.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace cyclar {

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

constexpr SphereVector nanVector{nan, nan, nan};

LinkageRates undefinedRates()
{
    LinkageRates r;
    r.outputRate = r.outputAcceleration = r.couplerRate = nan;
    r.inputRelativeRate = r.outputRelativeRate = r.inputRelativeAcceleration = nan;
    r.pointSpeed = r.pointAccelerationMagnitude = r.mechanicalAdvantage = nan;
    r.couplerVelocity = r.couplerAcceleration = r.pole = nanVector;
    r.pointVelocity = r.pointAcceleration = nanVector;
    return r;
}

// The instant of an input toggle: the velocity ratio passes from +inf to -inf (or back).
LinkageRates toggleRates()
{
    LinkageRates r = undefinedRates();
    r.outputRate = r.outputAcceleration = r.couplerRate = inf;
    r.pointSpeed = r.pointAccelerationMagnitude = inf;
    r.mechanicalAdvantage = 0.0;
    return r;
}

} // namespace

LinkageRates rigidRates(const SphereVector& A0, const SphereVector& B0, const SphereVector& A1,
                        const SphereVector& B1, const SphereVector& P)
{
    if (!isFinite(A0) || !isFinite(B0) || !isFinite(A1) || !isFinite(B1) || !isFinite(P)) {
        return undefinedRates();
    }
    const SphereVector B0xB1 = cross(B0, B1);
    const SphereVector B1xA1 = cross(B1, A1);
    const SphereVector A1xB0 = cross(A1, B0);
    const double D = dot(A1, B0xB1);
    const double psiNumerator = dot(A0, B1xA1);
    if (D == 0.0) {
        return psiNumerator == 0.0 ? undefinedRates() : toggleRates();
    }
    LinkageRates r;
    // Cramer's rule on x A1 + y B0 + z B1 = v: x = v.(B0 x B1)/D, y = v.(B1 x A1)/D,
    // z = v.(A1 x B0)/D; here (x, y, z) = (alpha', -psi', -beta') and v = -A0.
    const double inverseD = 1.0 / D;
    const double alpha1 = -dot(A0, B0xB1) * inverseD;
    const double psi1 = psiNumerator * inverseD;
    const double beta1 = dot(A0, A1xB0) * inverseD;
    const SphereVector A0xA1 = cross(A0, A1);
    const SphereVector v2 = (beta1 * psi1) * B0xB1 - alpha1 * A0xA1;
    const double alpha2 = dot(v2, B0xB1) * inverseD;
    const double psi2 = -dot(v2, B1xA1) * inverseD;

    r.outputRate = psi1;
    r.outputAcceleration = psi2;
    r.inputRelativeRate = alpha1;
    r.outputRelativeRate = beta1;
    r.inputRelativeAcceleration = alpha2;
    r.couplerVelocity = A0 + alpha1 * A1;
    r.couplerAcceleration = alpha2 * A1 + alpha1 * A0xA1;
    r.couplerRate = norm(r.couplerVelocity);
    r.pole = (1.0 / r.couplerRate) * r.couplerVelocity;
    r.pointVelocity = cross(r.couplerVelocity, P);
    r.pointSpeed = norm(r.pointVelocity);
    r.pointAcceleration =
        cross(r.couplerAcceleration, P) + cross(r.couplerVelocity, r.pointVelocity);
    r.pointAccelerationMagnitude = norm(r.pointAcceleration);
    r.mechanicalAdvantage = 1.0 / psi1;
    return r;
}

LinkageRates poseRates(const LinkageModel& model, const LinkagePose& pose)
{
    return rigidRates(model.A0, model.B0, pose.A1, pose.B1, pose.P);
}

PlacedPose placedPose(const LinkageDimensions& dims, double theta, double psi)
{
    // The model's pivots (its degree factor is the same double as `degree`).
    PlacedPose pose;
    pose.A0 = {1.0, 0.0, 0.0};
    pose.B0 = {std::cos(dims.f * degree), std::sin(dims.f * degree), 0.0};
    // theta = 0 points along the ground arc toward B0; psi = 0 along it beyond B0, away from A0.
    pose.A1 = pointAbout(pose.A0, tangentToward(pose.A0, pose.B0), theta, dims.a);
    const SphereVector beyondB0 = -1.0 * tangentToward(pose.B0, pose.A0);
    pose.B1 = pointAbout(pose.B0, beyondB0, psi, dims.b);
    // P sits at arc h from A1, at angle k from the arc toward B1.
    pose.P = pointAbout(pose.A1, tangentToward(pose.A1, pose.B1), dims.k, dims.h);
    return pose;
}

OutputRates outputRatesAt(const LinkageDimensions& dims, double theta)
{
    OutputRates out;
    out.branch = {undefinedRates(), undefinedRates()};
    const OutputAngles angles = outputAnglesAt(dims, theta);
    if (!angles.closes) {
        return out;
    }
    out.closes = true;
    for (size_t i = 0; i < 2; ++i) {
        const PlacedPose pose = placedPose(dims, theta, angles.psi[i]);
        out.branch[i] = rigidRates(pose.A0, pose.B0, pose.A1, pose.B1, pose.P);
    }
    return out;
}

std::vector<FrameRates> frameRateTable(const LinkageDimensions& dims, const MotionChoice& motion)
{
    std::vector<FrameRates> table;
    table.reserve(static_cast<size_t>(MotionSchedule().framesPerCycle));
    frameAngleTable(
        dims, motion,
        [&table](const FrameAngles& row, const LinkageModel& model, const LinkagePose& pose) {
            table.push_back({row.frame, row.t, row.angles, poseRates(model, pose), pose.P});
        });
    return table;
}

namespace {

// The input angle is sampled every quarter degree, 0 and 180 among the samples: by the mirror
// symmetry of the two branches the extremes often sit exactly there.
constexpr double extremeStep = 0.25;
constexpr int extremeSamples = 1440;

struct Sample {
    double theta = nan;
    int branch = 0;
    double outputRate = nan;
    double pointSpeed = nan;
};

Sample sampleAt(const LinkageDimensions& dims, double theta, int branch)
{
    const LinkageRates r = outputRatesAt(dims, theta).branch[static_cast<size_t>(branch - 1)];
    return {theta, branch, r.outputRate, r.pointSpeed};
}

// Whether x is further toward `sign` than y; NaN (beyond the motion) is never better.
bool beyond(double x, double y, double sign)
{
    return !std::isnan(x) && (std::isnan(y) || sign * x > sign * y);
}

// Golden-section search for the extreme of `value` (sign +1 for the greatest, -1 for the least)
// on one branch between lo and hi; it stops when the bracket no longer shrinks.
template <typename Value>
Sample refine(const LinkageDimensions& dims, int branch, double lo, double hi, double sign,
              Value value)
{
    constexpr double golden = 0.6180339887498949;
    double x1 = hi - golden * (hi - lo);
    double x2 = lo + golden * (hi - lo);
    Sample s1 = sampleAt(dims, x1, branch);
    Sample s2 = sampleAt(dims, x2, branch);
    for (int i = 0; i < 100 && x1 < x2; ++i) {
        if (beyond(value(s1), value(s2), sign)) {
            hi = x2;
            x2 = x1;
            s2 = s1;
            x1 = hi - golden * (hi - lo);
            s1 = sampleAt(dims, x1, branch);
        } else {
            lo = x1;
            x1 = x2;
            s1 = s2;
            x2 = lo + golden * (hi - lo);
            s2 = sampleAt(dims, x2, branch);
        }
    }
    return beyond(value(s1), value(s2), sign) ? s1 : s2;
}

template <typename Value>
RateExtreme extremeOf(const LinkageDimensions& dims, const std::vector<Sample>& samples,
                      double sign, Value value)
{
    const Sample* best = nullptr;
    for (const Sample& s : samples) {
        if (std::isfinite(value(s)) && (!best || beyond(value(s), value(*best), sign))) {
            best = &s;
        }
    }
    if (!best) {
        return {nan, nan, 0};
    }
    Sample found = refine(dims, best->branch, best->theta - extremeStep, best->theta + extremeStep,
                          sign, value);
    if (!beyond(value(found), value(*best), sign)) {
        found = *best;
    }
    double theta = std::remainder(found.theta, 360.0);
    if (theta <= -180.0) {
        theta += 360.0;
    }
    return {value(found), theta, found.branch};
}

} // namespace

RateExtremes rateExtremes(const LinkageDimensions& dims)
{
    RateExtremes out;
    out.leastOutputRate = out.greatestOutputRate = {nan, nan, 0};
    out.leastPointSpeed = out.greatestPointSpeed = {nan, nan, 0};
    const LinkageAnalysis analysis = analyseLinkage(dims);
    if (!analysis.linksInRange || !analysis.assemblable) {
        return out;
    }
    // The branches the motion runs on: both where it passes a toggle, else the ones the
    // animation shows on its circuits (both when it shows none).
    bool onBranch[2] = {false, false};
    for (const int circuit : {1, 2}) {
        const PaintSchedule paint = shownMotion(dims, MotionChoice{circuit, false});
        forEachShownFrame(paint, [&](int, double, const LinkagePose& pose) {
            const int branch = poseAngles(paint.model, pose).branch;
            if (branch != 0) {
                onBranch[branch - 1] = true;
            }
        });
    }
    if (!onBranch[0] && !onBranch[1]) {
        onBranch[0] = onBranch[1] = true;
    }
    std::vector<Sample> samples;
    samples.reserve(2 * extremeSamples + 2);
    for (int j = 0; j <= extremeSamples; ++j) {
        const double theta = -180.0 + j * extremeStep;
        const OutputRates rates = outputRatesAt(dims, theta);
        for (int branch = 1; branch <= 2; ++branch) {
            if (onBranch[branch - 1]) {
                const LinkageRates& r = rates.branch[static_cast<size_t>(branch - 1)];
                samples.push_back({theta, branch, r.outputRate, r.pointSpeed});
            }
        }
    }
    const auto rate = [](const Sample& s) { return s.outputRate; };
    const auto speed = [](const Sample& s) { return s.pointSpeed; };
    out.leastOutputRate = extremeOf(dims, samples, -1.0, rate);
    out.greatestOutputRate = extremeOf(dims, samples, 1.0, rate);
    out.leastPointSpeed = extremeOf(dims, samples, -1.0, speed);
    out.greatestPointSpeed = extremeOf(dims, samples, 1.0, speed);

    // A toggle that is not a change point's flat position (input at 0 or 180 degrees, where the
    // branches cross and the ratio stays finite): the ratio runs off to +inf on one side and
    // -inf on the other, and P's speed with it unless P sits on the axis there, A1.
    constexpr double flatTolerance = 1e-9;
    for (const double limit : analysis.inputLimits) {
        if (limit <= flatTolerance || limit >= 180.0 - flatTolerance) {
            continue;
        }
        out.leastOutputRate = {-inf, limit, 0};
        out.greatestOutputRate = {inf, limit, 0};
        if (std::fmod(dims.h, 180.0) != 0.0) {
            out.greatestPointSpeed = {inf, limit, 0};
        }
        break;
    }
    return out;
}

SphereVector inCouplerFrame(const SphereVector& A1, const SphereVector& B1, const SphereVector& v)
{
    const SphereVector u = tangentToward(A1, B1);
    return {dot(v, A1), dot(v, u), dot(v, cross(A1, u))};
}

Polodes framePolodes(const LinkageDimensions& dims, const MotionChoice& motion)
{
    const PaintSchedule paint = shownMotion(dims, motion);
    Polodes polodes;
    polodes.fixed.reserve(static_cast<size_t>(paint.framesPerCycle));
    polodes.moving.reserve(static_cast<size_t>(paint.framesPerCycle));
    forEachShownFrame(paint, [&](int, double, const LinkagePose& pose) {
        const SphereVector pole = poseRates(paint.model, pose).pole;
        polodes.fixed.push_back(pole);
        polodes.moving.push_back(inCouplerFrame(pose.A1, pose.B1, pole));
    });
    return polodes;
}

} // namespace cyclar
