// Motion schedule: sweep parameters for the coupler curve and for each animation frame.
#include "motion_schedule.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace cyclar {

double signProduct(const LinkageModel& model)
{
    return model.lowerSign * model.upperSign;
}

double curveParameter(const LinkageModel& model, int framesPerCycle, int pass, int j)
{
    const double pi = model.pi;
    const double n = static_cast<double>(framesPerCycle);
    const double g = signProduct(model);
    const double dj = static_cast<double>(j);
    if (pass == 2) {
        return -(1.0 - 1.02 * g) * pi / n + (2.0 * pi + (0.02 * g + 2.0) * pi / n) * dj / n;
    }
    if (g == 1.0 && j == framesPerCycle) {
        // The first sample plus one period: the same pose, and it closes pass 1 away from t = 0.
        return -2.02 * pi / n;
    }
    return -2.0 * pi - (1.02 * g + 1.0) * pi / n + (2.0 * pi + (0.02 * g + 2.0) * pi / n) * dj / n;
}

namespace {

// The sweep's frame parameter with sign product g.
double sweepParameter(double pi, double g, int framesPerCycle, int i)
{
    const double n = static_cast<double>(framesPerCycle);
    return -2.0 * pi - (1.01 * g + 1.0) * pi / n
           + ((4.0 * pi - pi / n) / n) * static_cast<double>(i);
}

// How many frames frame i lies past the start of its lap of `lap` frames (0 to lap - 1); frame
// indices below 1 wrap as well, and no index is counted past the range of int.
int placeInLap(int i, int lap)
{
    const long long along = (static_cast<long long>(i) - 1) % lap;
    return static_cast<int>(along < 0 ? along + lap : along);
}

// The frame of the sweep that frame i shows at the sweep's pace: itself with one circuit; with
// two, frame i's place in the lap of its circuit, the lap being half the sweep.
int sweepFrame(double storedSigns, const MotionChoice& motion, int framesPerCycle, int i)
{
    if (!(storedSigns > 0.0) || framesPerCycle < 2) {
        return i;
    }
    const int lap = framesPerCycle / 2;
    return 1 + placeInLap(i, lap) + (motion.circuit == 2 ? lap : 0);
}

// |theta| (degrees, 0 to 180) where the diagonal B0-A1 is d (degrees).
double inputForDiagonal(const LinkageModel& m, double d)
{
    const double cosInput = (std::cos(d * m.degToRad) - m.cosA * m.cosF) / (m.sinA * m.sinF);
    return std::acos(std::clamp(cosInput, -1.0, 1.0)) / m.degToRad;
}

// Frame i's sweep parameter with the input paced evenly (see shownParameter), or NaN when the
// input has no travel to pace.
double evenParameter(const LinkageModel& m, double storedSigns, const MotionChoice& motion,
                     int framesPerCycle, int i)
{
    // At an end of the diagonal's range set by the input's own triangle A0 B0 A1, that triangle
    // is flat and theta is 0 or 180 exactly; the arc cosine would give that only to a few digits.
    const double low = m.lowerGap >= 0.0 ? 0.0 : inputForDiagonal(m, m.diagonalMin);
    const double high = m.upperGap >= 0.0 ? 180.0 : inputForDiagonal(m, m.diagonalMax);
    const double travel = high - low;
    if (!(travel > 1e-9) || !(m.diagonalHalf > 0.0) || framesPerCycle < 4) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const bool twoCircuits = storedSigns > 0.0;
    const int lap = twoCircuits ? framesPerCycle / 2 : framesPerCycle;
    const int along = placeInLap(i, lap);
    // Half-periods of t from the start of the lap, each of N/4 frames; the frame at its middle.
    const double halves = (static_cast<double>(along) + 0.5) / (framesPerCycle / 4.0);
    const int whole = std::min(static_cast<int>(halves), twoCircuits ? 1 : 3);
    const double part = halves - static_cast<double>(whole);
    const int half = whole + (twoCircuits && motion.circuit == 2 ? 2 : 0);
    // Even half-periods take d from its least to its greatest, odd ones back.
    const bool rising = half % 2 == 0;
    const double input = rising ? low + part * travel : high - part * travel;
    const double cosD = m.cosA * m.cosF + m.sinA * m.sinF * std::cos(input * m.degToRad);
    const double d = std::acos(std::clamp(cosD, -1.0, 1.0)) / m.degToRad;
    const double cosT = ((m.diagonalMin + m.diagonalMax) / 2.0 - d) / m.diagonalHalf;
    // t = (half - 2) pi + tau with tau in (0, pi), kept off its ends by rounding's width.
    constexpr double offEnd = 1e-12;
    const double tau =
        std::clamp(std::acos(std::clamp(rising ? cosT : -cosT, -1.0, 1.0)), offEnd, m.pi - offEnd);
    return static_cast<double>(half - 2) * m.pi + tau;
}

// The one rule of which parameter frame i shows (see shownParameter). `stored` holds the sign
// product the ticks use; `paint` the one of the model that solves.
double motionParameter(const LinkageModel& model, double storedSigns, double paintSigns,
                       const MotionChoice& motion, int framesPerCycle, int i)
{
    if (motion.evenInput) {
        const double t = evenParameter(model, storedSigns, motion, framesPerCycle, i);
        if (!std::isnan(t)) {
            return t;
        }
    }
    // Frame 1 takes the paint's own signs; every other frame the ticks'.
    return sweepParameter(model.pi, i == 1 ? paintSigns : storedSigns, framesPerCycle,
                          sweepFrame(storedSigns, motion, framesPerCycle, i));
}

} // namespace

double frameParameterFor(const LinkageModel& model, int framesPerCycle, int i)
{
    return sweepParameter(model.pi, signProduct(model), framesPerCycle, i);
}

double tickParameter(const LinkageModel& model, const MotionSchedule& schedule, int i)
{
    const double g = signProduct(model);
    return motionParameter(model, g, g, schedule.motion, schedule.framesPerCycle, i);
}

void advanceFrame(MotionSchedule& schedule, const LinkageModel& model)
{
    // After the last frame comes 1 (and an index past it, which only a caller can set, goes
    // there too, without counting past the largest int).
    schedule.frameIndex =
        schedule.frameIndex >= schedule.framesPerCycle ? 1 : schedule.frameIndex + 1;
    schedule.frameParameter = tickParameter(model, schedule, schedule.frameIndex);
}

void setMotionChoice(MotionSchedule& schedule, const LinkageModel& model,
                     const MotionChoice& motion)
{
    schedule.motion = {motion.circuit == 2 && circuitCount(model) == 2 ? 2 : 1, motion.evenInput};
    if (schedule.frameIndex >= 1 && schedule.frameIndex <= schedule.framesPerCycle) {
        schedule.frameParameter = tickParameter(model, schedule, schedule.frameIndex);
    }
}

bool isSymmetric(const LinkageDimensions& dims)
{
    return dims.a == dims.f && dims.b == dims.c;
}

PaintSchedule beginPaint(const LinkageModel& model, const LinkageDimensions& animationCopy,
                         MotionSchedule& schedule)
{
    PaintSchedule paint{model, schedule.startIndex, schedule.framesPerCycle, schedule.motion,
                        signProduct(model)};
    if (isSymmetric(animationCopy)) {
        paint.model.lowerSign = -paint.model.lowerSign;
        schedule.startIndex = 2;
        paint.startIndex = 2;
    }
    return paint;
}

PaintSchedule shownMotion(const LinkageDimensions& dims, const MotionChoice& motion)
{
    MotionSchedule schedule; // a new page: frame 1, start index 0
    schedule.motion = motion;
    return beginPaint(buildLinkageModel(dims), dims, schedule);
}

double shownParameter(const PaintSchedule& paint, int i)
{
    return motionParameter(paint.model, paint.storedSigns, signProduct(paint.model), paint.motion,
                           paint.framesPerCycle, i);
}

LinkagePose shownPose(const PaintSchedule& paint, int i)
{
    return solvePose(paint.model, shownParameter(paint, i));
}

void recomputeFirstFrame(MotionSchedule& schedule, const PaintSchedule& paint)
{
    if (schedule.frameIndex == 1) {
        schedule.frameParameter = shownParameter(paint, 1);
    }
}

LinkagePose paintedPose(const PaintSchedule& paint, MotionSchedule& schedule)
{
    recomputeFirstFrame(schedule, paint);
    return solvePose(paint.model, schedule.frameParameter);
}

int tickInterval(int position)
{
    // The slider never leaves 0..100; keep the divisor positive whatever a caller passes.
    const int p = std::clamp(position, 0, 100);
    return 1000 / (p / 10 + 1);
}

double sliderAngle(int position)
{
    const int p = std::clamp(position, 0, 100);
    return static_cast<double>((p - 50) * 9 / 5);
}

int sliderPosition(double angle)
{
    if (std::isnan(angle)) {
        return 50; // a NaN is near nothing: the middle
    }
    // Beyond the ends the nearest angle is the end's (and an infinite one is as far from all).
    const double target = std::clamp(angle, sliderAngle(0), sliderAngle(100));
    int best = 0;
    double bestDistance = std::fabs(sliderAngle(0) - target);
    for (int p = 1; p <= 100; ++p) {
        const double distance = std::fabs(sliderAngle(p) - target);
        if (distance < bestDistance) { // of two as near, the lower stays
            best = p;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace cyclar
