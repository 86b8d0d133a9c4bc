// Benchmarks of one whole frame (compose, hand over, clear) against its pose solutions alone, and
// of what the Analysis window adds to a tick (and draws once per linkage).
#include "analysis_plot.h"
#include "frame.h"
#include "motion_schedule.h"

#include <QGuiApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

using namespace cyclar;

// The 722 curve points and the current frame's pose, as one paint solves them.
void BM_frameSolutionsOnly(benchmark::State& state)
{
    SceneState scene = newScene(defaultDimensions, 480);
    for (auto _ : state) {
        const PaintSchedule paint = beginPaint(scene.model, scene.animationCopy, scene.schedule);
        double sum = 0.0;
        sweepCouplerCurve(paint, 360,
                          [&sum](int, int, double, const SphereVector& p) { sum += p.x; });
        sum += solvePose(paint.model, scene.schedule.frameParameter).P.x;
        benchmark::DoNotOptimize(sum);
        advanceFrame(scene.schedule, scene.model);
    }
}
BENCHMARK(BM_frameSolutionsOnly);

// A whole frame: composed on the canvas, drawn into the page's picture, canvas cleared.
void BM_renderFrame(benchmark::State& state)
{
    SceneState scene = newScene(defaultDimensions, 480);
    std::unique_ptr<Canvas> canvas;
    prepareCanvas(canvas, 480, 480);
    QImage page(480, 480, QImage::Format_RGB32);
    const FrameTarget handOver = [&page](const QImage& image) {
        QPainter painter(&page);
        painter.drawImage(0, 0, image);
    };
    for (auto _ : state) {
        renderFrame(*canvas, scene, handOver);
        advanceFrame(scene.schedule, scene.model);
    }
}
BENCHMARK(BM_renderFrame);

// The core's frame alone, in the browser's byte order: what the web page composes before it
// puts the pixels on its canvas.
void BM_coreFrameRgba(benchmark::State& state)
{
    SceneState scene = newScene(defaultDimensions, 480);
    FrameRenderer renderer(480, 480, PixelOrder::Rgba);
    for (auto _ : state) {
        benchmark::DoNotOptimize(renderer.render(scene).data());
        advanceFrame(scene.schedule, scene.model);
    }
}
BENCHMARK(BM_coreFrameRgba);

// The Analysis window's share of a tick: the shown pose's angles, then, as the window paints,
// the cached chart where the markers were and where they go, and the markers.
void BM_analysisTick(benchmark::State& state)
{
    SceneState scene = newScene(defaultDimensions, 480);
    const QImage chart =
        drawAnalysisChart(defaultDimensions, analysisChartSize, QGuiApplication::font());
    QImage window = chart.copy();
    PoseAngles shown = shownPoseAngles(scene.model, scene.animationCopy, scene.schedule);
    for (auto _ : state) {
        advanceFrame(scene.schedule, scene.model);
        const PoseAngles next = shownPoseAngles(scene.model, scene.animationCopy, scene.schedule);
        const QRegion dirty =
            analysisMarkerRegion(chart.size(), shown) + analysisMarkerRegion(chart.size(), next);
        shown = next;
        QPainter painter(&window);
        paintAnalysisPlot(painter, chart, dirty, shown);
    }
}
BENCHMARK(BM_analysisTick);

// The same with the whole chart copied each tick, for comparison.
void BM_analysisTickWholeChart(benchmark::State& state)
{
    SceneState scene = newScene(defaultDimensions, 480);
    const QImage chart =
        drawAnalysisChart(defaultDimensions, analysisChartSize, QGuiApplication::font());
    QImage window = chart.copy();
    for (auto _ : state) {
        advanceFrame(scene.schedule, scene.model);
        const PoseAngles shown = shownPoseAngles(scene.model, scene.animationCopy, scene.schedule);
        QPainter painter(&window);
        paintAnalysisPlot(painter, chart, QRegion(chart.rect()), shown);
    }
}
BENCHMARK(BM_analysisTickWholeChart);

// The chart itself, drawn once when the window opens (curves, axes, legend).
void BM_analysisChart(benchmark::State& state)
{
    for (auto _ : state) {
        QImage chart =
            drawAnalysisChart(defaultDimensions, analysisChartSize, QGuiApplication::font());
        benchmark::DoNotOptimize(chart);
    }
}
BENCHMARK(BM_analysisChart);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
