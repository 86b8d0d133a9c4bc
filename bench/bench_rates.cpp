// Benchmarks of the rates: the rate table of 360 frames beside the angle table of the same
// frames, the extremes over the motion, and the rate chart, drawn once per linkage.
#include "artwork.h"
#include "frame_composition.h"
#include "linkage_analysis.h"
#include "linkage_rates.h"
#include "rate_plot.h"

#include <QGuiApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

using namespace cyclar;

// The angle table is the yardstick: the rate table solves the same poses and adds the rates.
void BM_angleTable(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<FrameAngles> table = frameAngleTable(defaultDimensions);
        benchmark::DoNotOptimize(table);
    }
    state.SetItemsProcessed(state.iterations() * 360);
}
BENCHMARK(BM_angleTable);

void BM_rateTable(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<FrameRates> table = frameRateTable(defaultDimensions);
        benchmark::DoNotOptimize(table);
    }
    state.SetItemsProcessed(state.iterations() * 360);
}
BENCHMARK(BM_rateTable);

void BM_rateExtremes(benchmark::State& state)
{
    for (auto _ : state) {
        RateExtremes extremes = rateExtremes(LinkageDimensions{20, 50, 45, 40, 45, -35});
        benchmark::DoNotOptimize(extremes);
    }
}
BENCHMARK(BM_rateExtremes)->Unit(benchmark::kMillisecond);

void BM_rateChart(benchmark::State& state)
{
    const QFont font = defaultTextFont();
    for (auto _ : state) {
        QImage chart = drawRateChart(defaultDimensions, analysisChartSize, font);
        benchmark::DoNotOptimize(chart);
    }
}
BENCHMARK(BM_rateChart)->Unit(benchmark::kMillisecond);

// The rate tab's share of a tick: the shown pose's rates, then the cached chart where the
// markers were and where they go, and the markers.
void BM_rateTick(benchmark::State& state)
{
    const RateChartGeometry geometry(defaultDimensions, analysisChartSize);
    const QImage chart = drawRateChart(defaultDimensions, geometry, defaultTextFont());
    QImage window = chart.copy();
    const std::vector<FrameRates> table = frameRateTable(defaultDimensions);
    SceneState scene = newScene(defaultDimensions, 480);
    FrameRates shown = table.front();
    for (auto _ : state) {
        advanceFrame(scene.schedule, scene.model);
        MotionSchedule schedule = scene.schedule;
        const PaintSchedule paint = beginPaint(scene.model, scene.animationCopy, schedule);
        const LinkagePose pose = paintedPose(paint, schedule);
        FrameRates next;
        next.angles = poseAngles(paint.model, pose);
        next.rates = poseRates(paint.model, pose);
        const QRegion dirty = rateMarkerRegion(geometry, shown) + rateMarkerRegion(geometry, next);
        shown = next;
        QPainter painter(&window);
        for (const QRect& rect : dirty) {
            painter.drawImage(rect, chart, rect);
        }
        painter.setClipRegion(dirty);
        drawRateMarkers(painter, geometry, shown);
    }
}
BENCHMARK(BM_rateTick);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    initArtwork();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
