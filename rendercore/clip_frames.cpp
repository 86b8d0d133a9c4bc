// The clips' linkage, views and colours, and their frames drawn by the frame composition.
#include "clip_frames.h"

#include "motion_schedule.h"
#include "view.h"

#include <cstdint>

namespace cyclar {

// a 30, b 40, c 30, f 60: lowerGap = |a - f| - |b - c| = 20 and upperGap = (b + c) - (a + f) = -20
// have opposite signs, so the linkage is not Grashof and the diagonal B0-A1 swings between 30
// and 70 degrees twice per cycle, once on each assembly branch. With P 25 degrees from A1, on
// the far side of A1 from B1 (k 165), each branch traces one lobe and the lobes cross at one
// point: the whole curve is a figure of eight.
const LinkageDimensions clipLinkage{30.0, 40.0, 30.0, 60.0, 25.0, 165.0};

namespace {

// The animation frame index (1..framesPerCycle) reached `steps` frames after frame 1.
int animationFrameAfter(std::int64_t steps, int framesPerCycle)
{
    const std::int64_t n = framesPerCycle;
    return static_cast<int>(1 + ((steps % n) + n) % n);
}

// Animation frames per clip frame: each clip shows one whole cycle.
int cycleStep(Clip clip)
{
    return MotionSchedule{}.framesPerCycle / clipFormat(clip).frameCount;
}

} // namespace

ClipFormat clipFormat(Clip clip)
{
    switch (clip) {
    case Clip::Title:
        return {449, 452, 60, 10};
    case Clip::Circular:
        return {240, 240, 120, 15};
    }
    return {};
}

FramePalette clipPalette()
{
    FramePalette palette;
    palette.sphere = {clipTan, 1};
    palette.curve = {clipRed, 2};
    palette.link = {clipBlue, 2};
    palette.joint = {clipBlue, 1};
    palette.clear = {clipWhite, 2};
    palette.drawLabel = false;
    return palette;
}

ClipShot clip1038Shot(int i)
{
    return {clip1038Turn, clip1038Tilt,
            animationFrameAfter(std::int64_t{i} * cycleStep(Clip::Title),
                                MotionSchedule{}.framesPerCycle)};
}

ClipShot clip170Shot(int i)
{
    // The title clip's view, going once round the sphere's polar axis over the clip: the
    // equator and the reference circles keep their place while the linkage and its curve go
    // round.
    const double spinStep = 360.0 / static_cast<double>(clipFormat(Clip::Circular).frameCount);
    return {clip1038Turn, clip1038Tilt,
            animationFrameAfter(std::int64_t{i} * cycleStep(Clip::Circular),
                                MotionSchedule{}.framesPerCycle),
            static_cast<double>(i) * spinStep};
}

ClipShot clipShot(Clip clip, int i)
{
    return clip == Clip::Title ? clip1038Shot(i) : clip170Shot(i);
}

ClipPainter::ClipPainter(int width, int height, PixelOrder order)
    : m_renderer(width, height, order), m_scene(newScene(clipLinkage, width)),
      m_palette(clipPalette())
{
}

const PixelBuffer& ClipPainter::draw(const ClipShot& shot)
{
    m_scene.view.turn = shot.turn;
    m_scene.view.tilt = shot.tilt;
    m_scene.view.spin = shot.spin;
    MotionSchedule& schedule = m_scene.schedule;
    schedule.frameIndex =
        animationFrameAfter(std::int64_t{shot.animationFrame} - 1, schedule.framesPerCycle);
    schedule.frameParameter = tickParameter(m_scene.model, schedule, schedule.frameIndex);
    return m_renderer.render(m_scene, m_palette);
}

ClipRenderer::ClipRenderer(Clip clip, PixelOrder order)
    : m_clip(clip), m_painter(clipFormat(clip).width, clipFormat(clip).height, order)
{
}

} // namespace cyclar
