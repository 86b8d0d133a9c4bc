// Benchmarks of the rates: the rate table of 360 frames beside the angle table of the same
// frames, the extremes over the motion, and the rate chart, drawn once per linkage.
#include "artwork.h"
#include "linkage_analysis.h"
#include "linkage_rates.h"
#include "rate_plot.h"

#include <QGuiApplication>

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
