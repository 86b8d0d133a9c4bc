// Motion schedule: sweep parameters for the coupler curve and for each animation frame.
#include "motion_schedule.h"

#include <algorithm>
#include <cmath>

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

double frameParameterFor(const LinkageModel& model, int framesPerCycle, int i)
{
    const double pi = model.pi;
    const double n = static_cast<double>(framesPerCycle);
    const double g = signProduct(model);
    return -2.0 * pi - (1.01 * g + 1.0) * pi / n
           + ((4.0 * pi - pi / n) / n) * static_cast<double>(i);
}

void advanceFrame(MotionSchedule& schedule, const LinkageModel& model)
{
    schedule.frameIndex = schedule.frameIndex + 1;
    if (schedule.frameIndex >= schedule.framesPerCycle + 1) {
        schedule.frameIndex = 1;
    }
    schedule.frameParameter =
        frameParameterFor(model, schedule.framesPerCycle, schedule.frameIndex);
}

bool isSymmetric(const LinkageDimensions& dims)
{
    return dims.a == dims.f && dims.b == dims.c;
}

PaintSchedule beginPaint(const LinkageModel& model, const LinkageDimensions& animationCopy,
                         MotionSchedule& schedule)
{
    PaintSchedule paint{model, schedule.startIndex};
    if (isSymmetric(animationCopy)) {
        paint.model.lowerSign = -paint.model.lowerSign;
        schedule.startIndex = 2;
        paint.startIndex = 2;
    }
    return paint;
}

void recomputeFirstFrame(MotionSchedule& schedule, const LinkageModel& paintModel)
{
    if (schedule.frameIndex == 1) {
        schedule.frameParameter = frameParameterFor(paintModel, schedule.framesPerCycle, 1);
    }
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

double shownFrameParameter(const LinkageModel& model, const PaintSchedule& paint,
                           int framesPerCycle, int i)
{
    MotionSchedule schedule;
    schedule.framesPerCycle = framesPerCycle;
    schedule.frameIndex = i;
    schedule.frameParameter = frameParameterFor(model, framesPerCycle, i);
    recomputeFirstFrame(schedule, paint.model);
    return schedule.frameParameter;
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
