// The animation page's scene for the browser: the model, the clock, the view and the frame's
// pixels.
#include "api_support.h"

#include "linkage_analysis.h"
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

/// Shows circuit 1 or 2 (2 only of a linkage that has two), with the input turned evenly or at
/// the sweep's pace, from the frame the clock stands on.
void cyclar_scene_set_motion(WebScene* s, int circuit, int evenInput)
{
    setMotionChoice(s->scene.schedule, s->scene.model, MotionChoice{circuit, evenInput != 0});
}

/// The circuit shown, 1 or 2.
int cyclar_scene_circuit(const WebScene* s)
{
    return s->scene.schedule.motion.circuit;
}

/// How many circuits the scene's linkage has, 1 or 2.
int cyclar_scene_circuit_count(const WebScene* s)
{
    return circuitCount(s->scene.model);
}

/// 1 while the input is turned evenly, 0 at the sweep's pace.
int cyclar_scene_even_input(const WebScene* s)
{
    return s->scene.schedule.motion.evenInput ? 1 : 0;
}

const char* cyclar_scene_label(const WebScene* s)
{
    return classificationLabel(s->scene.model);
}

/// The input angle and the branch of the pose the scene's next compose draws (branch 0 where
/// it is folded flat, NaN where the linkage does not move): what the working follows. Two
/// doubles, valid until the next call.
const double* cyclar_scene_input(const WebScene* s)
{
    static std::array<double, 2> held{};
    const PoseAngles angles =
        shownPoseAngles(s->scene.model, s->scene.animationCopy, s->scene.schedule);
    held = {angles.theta, static_cast<double>(angles.branch)};
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
