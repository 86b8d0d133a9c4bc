// Benchmarks of the rotation axis over the picture: the overlay's share of a tick (the pose's
// rates, the pole's ring and P's arrow, drawn and taken back), and a whole frame with and
// without it. The core alone, without Qt.
#include "frame_composition.h"
#include "motion_schedule.h"
#include "raster.h"
#include "rotation_overlay.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace cyclar;

// What the overlay adds to one tick: the frame's pose is solved for the arcs anyway; the rates,
// the ring and the arrow are drawn into the journal and undone before the next frame, as the
// renderer does with every moving layer.
void BM_rotationAxisTick(benchmark::State& state)
{
    SceneState scene = newScene(defaultDimensions, 480);
    PixelBuffer buffer(480, 480, PixelOrder::Rgba);
    buffer.fill(white);
    Raster raster(buffer);
    std::vector<Raster::PixelChange> journal;
    const Projection projection = projectionFor(480, 480, scene.sphereRadius);
    const RotationAxisPens pens;
    scene.view.recompute();
    const PaintSchedule paint = beginPaint(scene.model, scene.animationCopy, scene.schedule);
    std::vector<LinkagePose> poses;
    for (int i = 0; i < scene.schedule.framesPerCycle; ++i) {
        poses.push_back(solvePose(paint.model, scene.schedule.frameParameter));
        advanceFrame(scene.schedule, scene.model);
    }
    size_t frame = 0;
    for (auto _ : state) {
        raster.undo(journal);
        raster.setJournal(&journal);
        drawPoleAndVelocity(raster, projection, scene.view, paint.model, poses[frame], pens, 1);
        raster.setJournal(nullptr);
        frame = (frame + 1) % poses.size();
    }
}
BENCHMARK(BM_rotationAxisTick);

// Whole frames through the renderer, the static layers cached: off, then on.
void frames(benchmark::State& state, bool rotationAxis)
{
    SceneState scene = newScene(defaultDimensions, 480);
    FrameRenderer renderer(480, 480, PixelOrder::Rgba);
    FramePalette palette;
    palette.rotationAxis = rotationAxis;
    for (auto _ : state) {
        benchmark::DoNotOptimize(renderer.render(scene, palette).data());
        advanceFrame(scene.schedule, scene.model);
    }
}

void BM_frameWithoutRotationAxis(benchmark::State& state)
{
    frames(state, false);
}
BENCHMARK(BM_frameWithoutRotationAxis);

void BM_frameWithRotationAxis(benchmark::State& state)
{
    frames(state, true);
}
BENCHMARK(BM_frameWithRotationAxis);

// The fixed polode, drawn once per linkage and view into the cached layers.
void BM_fixedPolode(benchmark::State& state)
{
    SceneState scene = newScene(defaultDimensions, 480);
    PixelBuffer buffer(480, 480, PixelOrder::Rgba);
    Raster raster(buffer);
    const Projection projection = projectionFor(480, 480, scene.sphereRadius);
    scene.view.recompute();
    const PaintSchedule paint = beginPaint(scene.model, scene.animationCopy, scene.schedule);
    raster.selectPen(RotationAxisPens{}.polode);
    for (auto _ : state) {
        drawFixedPolode(raster, projection, scene.view, paint);
    }
}
BENCHMARK(BM_fixedPolode)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
