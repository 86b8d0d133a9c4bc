// Linkage analysis in closed form: spherical Grashof values, toggle positions, transmission.
#include "linkage_analysis.h"

#include "motion_schedule.h"
#include "significant_text.h"
#include "sphere_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace cyclar {

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
// Sums and differences of decimal inputs carry rounding of this order at most; a Grashof value
// this close to 0 is taken as 0 (a change point).
constexpr double zeroTolerance = 1e-9;

double snapZero(double x)
{
    return std::fabs(x) <= zeroTolerance ? 0.0 : x;
}

double clampUnit(double x)
{
    return std::clamp(x, -1.0, 1.0);
}

double acosDegrees(double x)
{
    return std::acos(clampUnit(x)) / degree;
}

// The arc between two points when going the sum of two arcs one way: over 180 degrees the short
// way round is the other way.
double foldArc(double sum)
{
    return sum <= 180.0 ? sum : 360.0 - sum;
}

// Eight significant digits, always with a decimal point whatever the process's locale.
std::string number(double x)
{
    std::string text = significantText(x, 8);
    if (text == "-0") {
        text = "0";
    }
    return text;
}

std::string degrees(double x)
{
    return number(x) + "\u00b0";
}

// The fixed frame of the conventions: at A0 the tangent toward B0 (u0) and A0 x u0 (w0); at B0
// the tangent away from A0 (v0) and B0 x v0 (w1). For 0 < f < 180 these are (0, 1, 0),
// (0, 0, 1), (-sin f, cos f, 0) and (0, 0, 1).
struct PivotFrames {
    SphereVector A0{1.0, 0.0, 0.0};
    SphereVector B0;
    SphereVector u0, w0, v0, w1;
};

PivotFrames pivotFrames(double f)
{
    PivotFrames p;
    const double cosF = std::cos(f * degree);
    const double sinF = std::sin(f * degree);
    const double side = sinF / std::fabs(sinF); // NaN when B0 is A0 or its antipode
    p.B0 = {cosF, sinF, 0.0};
    p.u0 = {0.0, side, 0.0};
    p.w0 = {0.0, 0.0, side};
    p.v0 = {-sinF * side, cosF * side, 0.0};
    p.w1 = {0.0, 0.0, side};
    return p;
}

double angleAbout(const SphereVector& point, const SphereVector& along, const SphereVector& across)
{
    // atan2 lies in [-180, 180] already; only -180 needs turning into 180.
    const double angle = std::atan2(dot(point, across), dot(point, along)) / degree;
    return angle <= -180.0 ? 180.0 : angle;
}

// The input angle at the toggle position where the output stands at psi: there A0, A1 and B1
// lie on one great circle, A1 at arc a from A0 and arc c from B1.
double inputAngleAtOutputToggle(const LinkageDimensions& dims, const PivotFrames& p, double psi)
{
    const SphereVector dir = std::cos(psi * degree) * p.v0 + (std::sin(psi * degree) * p.w1);
    const SphereVector B1 = std::cos(dims.b * degree) * p.B0 + (std::sin(dims.b * degree) * dir);
    const SphereVector toward = B1 + (-dot(B1, p.A0) * p.A0);
    const double length = std::sqrt(dot(toward, toward));
    const SphereVector u = (1.0 / length) * toward;
    const double cosC = std::cos(dims.c * degree);
    double best = nan;
    double bestMiss = std::numeric_limits<double>::infinity();
    for (const double side : {1.0, -1.0}) {
        const SphereVector A1 =
            std::cos(dims.a * degree) * p.A0 + ((side * std::sin(dims.a * degree)) * u);
        const double miss = std::fabs(dot(A1, B1) - cosC);
        if (miss < bestMiss) {
            bestMiss = miss;
            best = angleAbout(A1, p.u0, p.w0);
        }
    }
    return best;
}

struct MotionText {
    const char* rotates;
    const char* rocks0;
    const char* rocksPi;
    const char* between;
};

std::string motionClause(const char* link, LinkMotion motion, const MotionText& text)
{
    std::string clause = std::string("the ") + link;
    switch (motion) {
    case LinkMotion::Rotates:
        return clause + " turns fully (" + text.rotates + ")";
    case LinkMotion::RocksThrough0:
        return clause + " rocks through 0\u00b0 but not 180\u00b0 (" + text.rocks0 + ")";
    case LinkMotion::RocksThroughPi:
        return clause + " rocks through 180\u00b0 but not 0\u00b0 (" + text.rocksPi + ")";
    case LinkMotion::RocksBetween:
        break;
    }
    return clause + " rocks through neither 0\u00b0 nor 180\u00b0 (" + text.between + ")";
}

LinkMotion motionOf(bool holds0, bool holdsPi)
{
    if (holds0 && holdsPi) {
        return LinkMotion::Rotates;
    }
    if (holds0) {
        return LinkMotion::RocksThrough0;
    }
    return holdsPi ? LinkMotion::RocksThroughPi : LinkMotion::RocksBetween;
}

const char* rockerEnd(LinkMotion motion)
{
    return motion == LinkMotion::RocksThrough0 ? "0" : "\u03c0";
}

std::string typeOf(const LinkageAnalysis& r)
{
    if (r.changePoint) {
        return "change-point";
    }
    if (!*r.grashof) {
        return std::string("non-Grashof double-rocker (") + rockerEnd(r.input) + "-"
               + rockerEnd(r.output) + ")";
    }
    const bool inputCrank = r.input == LinkMotion::Rotates;
    const bool outputCrank = r.output == LinkMotion::Rotates;
    if (inputCrank && outputCrank) {
        return "double-crank";
    }
    if (inputCrank) {
        return "crank-rocker";
    }
    return outputCrank ? "rocker-crank" : "Grashof double-rocker";
}

std::string outOfRangeReason(const LinkageDimensions& d)
{
    const std::pair<const char*, double> links[] = {
        {"input a", d.a}, {"output b", d.b}, {"coupler c", d.c}, {"ground f", d.f}};
    std::string names;
    int count = 0;
    for (const auto& [name, value] : links) {
        if (value > 0.0 && value < 180.0) {
            continue;
        }
        names += (count == 0 ? "" : " and ") + std::string(name) + " = "
                 + (std::isfinite(value) ? degrees(value) : std::string("not a number"));
        ++count;
    }
    return "No type: the " + names + (count == 1 ? " is" : " are")
           + " not strictly between 0\u00b0 and 180\u00b0, where the spherical conditions apply.";
}

// A planar gap as the label note prints it: rounding noise prints as 0, with the sign the label
// took it by, since that sign decided the label.
std::string gapText(double gap)
{
    if (gap != 0.0 && std::fabs(gap) <= zeroTolerance) {
        return std::string("0\u00b0 (to rounding; the label counts it as ")
               + (gap > 0.0 ? "positive" : "negative") + ")";
    }
    return degrees(snapZero(gap));
}

void findLabelNote(LinkageAnalysis& r, const LinkageDimensions& dims)
{
    const LinkageModel model = buildLinkageModel(dims);
    const bool labelGrashof = isGrashof(model);
    if (r.grashof.value_or(false) == labelGrashof) {
        return;
    }
    const double lower = model.lowerGap;
    const double upper = model.planarUpperGap;
    std::string verdict;
    if (labelGrashof) {
        verdict = lower > 0.0 ? " are both positive" : " are both negative";
    } else if (lower == 0.0 && upper == 0.0) {
        verdict = " are both 0";
    } else if (lower == 0.0 || upper == 0.0) {
        verdict = ": one of them is 0";
    } else {
        verdict = " have opposite signs";
    }
    r.labelNote =
        std::string("the frame is labelled \"") + classificationLabel(model)
        + "\" because its label applies the planar rule to the angles (|a - f| - |b - c| = "
        + gapText(lower) + " and (b + c) - (a + f) = " + gapText(upper) + verdict
        + "), which on the sphere does not decide: T1 to T4 do";
}

// How the ranges of the diagonal B0-A1 that the two triangles allow meet.
enum class Meeting { Apart, OnePosition, Moves };

// A range that has shrunk to a point (a link within rounding of 0 or 180 degrees) is no single
// position of the linkage when the other range holds it: the diagonal then stays put while the
// short link turns on its own.
Meeting meetingOf(double inputLow, double inputHigh, double closeLow, double closeHigh)
{
    const double overlap = std::min(inputHigh, closeHigh) - std::max(inputLow, closeLow);
    if (overlap > zeroTolerance) {
        return Meeting::Moves;
    }
    if (!(overlap >= -zeroTolerance)) {
        return Meeting::Apart;
    }
    const bool inputPoint = inputHigh - inputLow <= zeroTolerance;
    const bool closePoint = closeHigh - closeLow <= zeroTolerance;
    return inputPoint != closePoint ? Meeting::Moves : Meeting::OnePosition;
}

} // namespace

double inputAngleForDiagonal(const LinkageDimensions& dims, double d)
{
    return acosDegrees(
        (std::cos(d * degree) - std::cos(dims.a * degree) * std::cos(dims.f * degree))
        / (std::sin(dims.a * degree) * std::sin(dims.f * degree)));
}

double outputAngleForDiagonal(const LinkageDimensions& dims, double e)
{
    return acosDegrees(
        (std::cos(dims.b * degree) * std::cos(dims.f * degree) - std::cos(e * degree))
        / (std::sin(dims.b * degree) * std::sin(dims.f * degree)));
}

double transmissionForDiagonal(const LinkageDimensions& dims, double d)
{
    return acosDegrees(
        (std::cos(d * degree) - std::cos(dims.b * degree) * std::cos(dims.c * degree))
        / (std::sin(dims.b * degree) * std::sin(dims.c * degree)));
}

LinkageAnalysis analyseLinkage(const LinkageDimensions& dims)
{
    LinkageAnalysis r;
    const double a = dims.a, b = dims.b, c = dims.c, f = dims.f;
    r.T = {snapZero(f - a + c - b), snapZero(f - a - c + b), snapZero(c + b - f - a),
           snapZero(360.0 - (a + b + c + f))};
    r.transmission = {nan, nan};
    r.transmissionAt = {nan, nan};
    const auto inRange = [](double x) { return x > 0.0 && x < 180.0; };
    r.linksInRange = inRange(a) && inRange(b) && inRange(c) && inRange(f);
    if (!r.linksInRange) {
        r.reason = outOfRangeReason(dims);
        r.decision = r.reason;
        r.chartNote = "No chart: a link is not strictly between 0\u00b0 and 180\u00b0.";
        return r;
    }
    const auto [T1, T2, T3, T4] = r.T;
    r.changePoint = T1 == 0.0 || T2 == 0.0 || T3 == 0.0 || T4 == 0.0;
    if (!r.changePoint) {
        r.grashof = T1 * T2 * T3 * T4 > 0.0;
    }

    // The diagonal B0-A1 over a full turn of the input, and where the triangle B0 A1 B1 closes.
    const double inputLow = std::fabs(a - f);
    const double inputHigh = foldArc(a + f);
    const double closeLow = std::fabs(b - c);
    const double closeHigh = foldArc(b + c);
    const double low = std::max(inputLow, closeLow);
    const double high = std::min(inputHigh, closeHigh);
    const Meeting meeting = meetingOf(inputLow, inputHigh, closeLow, closeHigh);
    r.assemblable = meeting == Meeting::Moves;
    r.rigid = meeting == Meeting::OnePosition;
    if (!r.assemblable) {
        const std::string ranges = degrees(inputLow) + " and " + degrees(inputHigh)
                                   + " (from a and f) and between " + degrees(closeLow) + " and "
                                   + degrees(closeHigh) + " (from b and c)";
        if (r.rigid) {
            r.reason = "No type: the diagonal B0-A1 may lie between " + ranges
                       + ", and the two ranges meet only at one diagonal, "
                       + degrees((low + high) / 2.0) + ", so the linkage is rigid there.";
            r.chartNote = "No chart: the linkage is rigid.";
        } else {
            r.reason = "No type: the linkage cannot be assembled, since the diagonal B0-A1 would "
                       "have to lie both between "
                       + ranges + ".";
            r.chartNote = "No chart: the linkage cannot be assembled.";
        }
        r.decision = r.reason;
        r.grashof.reset();
        return r;
    }
    findLabelNote(r, dims);

    r.input = motionOf(T1 * T2 >= 0.0, T3 * T4 >= 0.0);
    r.output = motionOf(T2 * T4 <= 0.0, T1 * T3 <= 0.0);
    r.inputRotates = r.input == LinkMotion::Rotates;
    r.outputRotates = r.output == LinkMotion::Rotates;
    if (T1 * T2 < 0.0) {
        r.inputLimits.push_back(inputAngleForDiagonal(dims, closeLow));
    }
    if (T3 * T4 < 0.0) {
        r.inputLimits.push_back(inputAngleForDiagonal(dims, closeHigh));
    }
    if (T1 * T3 > 0.0) {
        r.outputLimits.push_back(outputAngleForDiagonal(dims, std::fabs(a - c)));
    }
    if (T2 * T4 > 0.0) {
        r.outputLimits.push_back(outputAngleForDiagonal(dims, foldArc(a + c)));
    }
    std::sort(r.inputLimits.begin(), r.inputLimits.end());
    std::sort(r.outputLimits.begin(), r.outputLimits.end());

    // Where the triangle B0 A1 B1 goes flat, mu is 0 or 180 exactly.
    r.transmission = {low == closeLow ? 0.0 : transmissionForDiagonal(dims, low),
                      high == closeHigh ? 180.0 : transmissionForDiagonal(dims, high)};
    // At the ends of its own range the input stands exactly at 0 or 180 degrees; the arc cosine
    // would lose half the digits there.
    r.transmissionAt = {low == inputLow ? 0.0 : inputAngleForDiagonal(dims, low),
                        high == inputHigh ? 180.0 : inputAngleForDiagonal(dims, high)};

    r.type = typeOf(r);
    if (r.type == "crank-rocker" && r.outputLimits.size() == 2) {
        r.swing = r.outputLimits[1] - r.outputLimits[0];
        const PivotFrames p = pivotFrames(f);
        const double first = inputAngleAtOutputToggle(dims, p, r.outputLimits[0]);
        const double second = inputAngleAtOutputToggle(dims, p, r.outputLimits[1]);
        double stroke = std::fmod(second - first + 720.0, 360.0);
        stroke = std::max(stroke, 360.0 - stroke);
        r.timeRatio = stroke / (360.0 - stroke);
        r.strokeInputs = std::array{first, second};
    }

    std::string condition;
    if (r.changePoint) {
        std::string zeros;
        for (int i = 0; i < 4; ++i) {
            if (r.T[static_cast<size_t>(i)] == 0.0) {
                zeros += "T" + std::to_string(i + 1) + " = ";
            }
        }
        condition = zeros
                    + "0, so the linkage can fold flat with all four joints on one great "
                      "circle and there switch between its assembly branches: a change-point "
                      "linkage, of no Grashof type";
    } else {
        const MotionText inputText{
            "T1\u00b7T2 > 0 and T3\u00b7T4 > 0", "T1\u00b7T2 > 0, T3\u00b7T4 < 0",
            "T3\u00b7T4 > 0, T1\u00b7T2 < 0", "T1\u00b7T2 < 0, T3\u00b7T4 < 0"};
        const MotionText outputText{
            "T1\u00b7T3 < 0 and T2\u00b7T4 < 0", "T2\u00b7T4 < 0, T1\u00b7T3 > 0",
            "T1\u00b7T3 < 0, T2\u00b7T4 > 0", "T1\u00b7T3 > 0, T2\u00b7T4 > 0"};
        condition = std::string("T1\u00b7T2\u00b7T3\u00b7T4 ")
                    + (*r.grashof ? "> 0, so the spherical Grashof condition holds"
                                  : "< 0, so the spherical Grashof condition fails")
                    + ": " + motionClause("input a", r.input, inputText) + " and "
                    + motionClause("output b", r.output, outputText) + ", a " + r.type;
    }
    r.decision = condition + ".";
    r.reason = condition + (r.labelNote.empty() ? "" : "; " + r.labelNote) + ".";
    return r;
}

OutputAngles outputAnglesAt(const LinkageDimensions& dims, double theta)
{
    OutputAngles out;
    out.psi = {nan, nan};
    out.mu = nan;
    const PivotFrames p = pivotFrames(dims.f);
    const SphereVector dirA = std::cos(theta * degree) * p.u0 + (std::sin(theta * degree) * p.w0);
    const SphereVector A1 = std::cos(dims.a * degree) * p.A0 + (std::sin(dims.a * degree) * dirA);
    const double cosD = dot(A1, p.B0);
    const double alongV = dot(A1, p.v0);
    const double alongW = dot(A1, p.w1);
    const double sinD = std::hypot(alongV, alongW);
    const double delta = std::atan2(alongW, alongV) / degree;
    const double cosGamma = (std::cos(dims.c * degree) - std::cos(dims.b * degree) * cosD)
                            / (std::sin(dims.b * degree) * sinD);
    const double cosMu = (cosD - std::cos(dims.b * degree) * std::cos(dims.c * degree))
                         / (std::sin(dims.b * degree) * std::sin(dims.c * degree));
    // A flat triangle may come out a rounding error beyond +-1; anything further does not close.
    constexpr double slack = 1e-12;
    out.diagonal = std::atan2(sinD, cosD) / degree;
    out.direction = delta;
    out.cosSpread = cosGamma;
    out.spread = nan;
    if (!(std::fabs(cosGamma) <= 1.0 + slack) || !(std::fabs(cosMu) <= 1.0 + slack)) {
        return out;
    }
    const double gamma = acosDegrees(cosGamma);
    out.spread = gamma;
    out.closes = true;
    out.psi = {wrapDegrees(delta + gamma), wrapDegrees(delta - gamma)};
    out.mu = acosDegrees(cosMu);
    return out;
}

namespace {

PivotFrames pivotFrames(const LinkageModel& model)
{
    return pivotFrames(std::atan2(model.B0.y, model.B0.x) / degree);
}

PoseAngles poseAnglesIn(const PivotFrames& p, const LinkageModel& model, const LinkagePose& pose)
{
    PoseAngles angles;
    angles.theta = angleAbout(pose.A1, p.u0, p.w0);
    angles.psi = angleAbout(pose.B1, p.v0, p.w1);
    // mu is the angle between the planes B1 A1 and B1 B0, i.e. between B1 x A1 and B1 x B0:
    // their cross product is B1 times the triple product below, their dot product
    // A1.B0 - (B1.A1)(B1.B0). The atan2 of the two keeps it exact near 0 and 180 degrees.
    const double triple = dot(model.B0, cross(pose.A1, pose.B1));
    angles.mu = std::atan2(std::fabs(triple),
                           dot(pose.A1, model.B0) - dot(pose.B1, pose.A1) * dot(pose.B1, model.B0))
                / degree;
    angles.branch = triple > 0.0 ? 1 : (triple < 0.0 ? 2 : 0);
    return angles;
}

} // namespace

PoseAngles poseAngles(const LinkageModel& model, const LinkagePose& pose)
{
    return poseAnglesIn(pivotFrames(model), model, pose);
}

PoseAngles shownPoseAngles(const LinkageModel& model, const LinkageDimensions& animationCopy,
                           MotionSchedule schedule)
{
    const PaintSchedule paint = beginPaint(model, animationCopy, schedule);
    return poseAngles(paint.model, paintedPose(paint, schedule));
}

std::vector<FrameAngles> frameAngleTable(const LinkageDimensions& dims, const MotionChoice& motion)
{
    return frameAngleTable(dims, motion, nullptr);
}

std::vector<FrameAngles> frameAngleTable(const LinkageDimensions& dims, const MotionChoice& motion,
                                         const FramePoseVisitor& visit)
{
    const PaintSchedule paint = shownMotion(dims, motion);
    const PivotFrames frames = pivotFrames(paint.model);
    std::vector<FrameAngles> table;
    table.reserve(static_cast<size_t>(paint.framesPerCycle));
    forEachShownFrame(paint, [&](int i, double t, const LinkagePose& pose) {
        FrameAngles row;
        row.frame = i;
        row.t = t;
        row.angles = poseAnglesIn(frames, paint.model, pose);
        if (visit) {
            visit(row, paint.model, pose);
        }
        table.push_back(row);
    });
    return table;
}

} // namespace cyclar
