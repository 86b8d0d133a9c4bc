// The animation page's scene for the browser: the model, the clock, the view, the frame's
// pixels and the pose's angles and rates.
#include "api_support.h"

#include "linkage_analysis.h"
#include "linkage_rates.h"
#include "motion_schedule.h"

#include <algorithm>
#include <array>

using namespace cyclar;

WebScene* cyclar_scene_create()
{
    return new WebScene;
}

/// A scene as a new animation page builds it: the model from the dimensions, frame 1, the
/// starting view.
void cyclar_scene_build(WebScene* s, double a, double b, double c, double f, double h, double k)
{
    s->scene = newScene(LinkageDimensions{a, b, c, f, h, k}, WebScene::pictureSize);
}

/// The dimensions the page holds now; the model keeps those it was built with.
void cyclar_scene_set_dimensions(WebScene* s, double a, double b, double c, double f, double h,
                                 double k)
{
    s->scene.animationCopy = LinkageDimensions{a, b, c, f, h, k};
}

void cyclar_scene_set_view(WebScene* s, double turn, double tilt)
{
    s->scene.view.turn = turn;
    s->scene.view.tilt = tilt;
}

double cyclar_scene_turn(const WebScene* s)
{
    return s->scene.view.turn;
}

double cyclar_scene_tilt(const WebScene* s)
{
    return s->scene.view.tilt;
}

int cyclar_scene_frame_index(const WebScene* s)
{
    return s->scene.schedule.frameIndex;
}

/// Animate's restore of a saved frame index; the next tick advances from it.
void cyclar_scene_set_frame_index(WebScene* s, int index)
{
    s->scene.schedule.frameIndex = index;
}

/// One tick of the clock.
void cyclar_scene_advance(WebScene* s)
{
    advanceFrame(s->scene.schedule, s->scene.model);
}

/// Composes the frame the clock stands on; returns its 480k x 480k RGBA pixels (k the scale),
/// valid until the scene composes again.
const std::uint8_t* cyclar_scene_compose(WebScene* s)
{
    return s->renderer.render(s->scene, s->palette).bytes();
}

/// Device pixels per picture pixel from the next compose on (1..4, others the nearest): the
/// picture is then 480k x 480k, the same drawing k times larger.
void cyclar_scene_set_scale(WebScene* s, int scale)
{
    s->palette.scale = std::clamp(scale, 1, maxPictureScale);
}

/// Whether the picture also draws the coupler's rotation axis (the pole, the fixed polode and
/// P's velocity), from the next compose on; the exports follow it.
void cyclar_scene_set_rotation_axis(WebScene* s, int shown)
{
    s->palette.rotationAxis = shown != 0;
}

const char* cyclar_scene_label(const WebScene* s)
{
    return classificationLabel(s->scene.model);
}

/// The angles of the pose the scene's next compose draws: theta, psi, mu (NaN where the pose is
/// not finite) and the branch, as four doubles valid until the next call. Numbers, not text: the
/// Analysis panel asks for them every tick.
const double* cyclar_scene_angles(const WebScene* s)
{
    static std::array<double, 4> held{};
    const PoseAngles angles =
        shownPoseAngles(s->scene.model, s->scene.animationCopy, s->scene.schedule);
    held = {angles.theta, angles.psi, angles.mu, static_cast<double>(angles.branch)};
    return held.data();
}

/// The rates of the pose the scene's next compose draws: theta, dpsi/dtheta and P's speed, as
/// three doubles valid until the next call (NaN where the pose is not finite, +inf at a toggle).
const double* cyclar_scene_rates(const WebScene* s)
{
    static std::array<double, 3> held{};
    MotionSchedule schedule = s->scene.schedule;
    const PaintSchedule paint = beginPaint(s->scene.model, s->scene.animationCopy, schedule);
    recomputeFirstFrame(schedule, paint.model);
    const LinkagePose pose = solvePose(paint.model, schedule.frameParameter);
    const LinkageRates rates = poseRates(paint.model, pose);
    held = {poseAngles(paint.model, pose).theta, rates.outputRate, rates.pointSpeed};
    return held.data();
}

int cyclar_tick_interval(int speedPosition)
{
    return tickInterval(speedPosition);
}

double cyclar_slider_angle(int position)
{
    return sliderAngle(position);
}

/// The view slider position whose angle is nearest to `angle` (see sliderPosition).
int cyclar_slider_position(double angle)
{
    return sliderPosition(angle);
}
