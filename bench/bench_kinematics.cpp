// Benchmarks of the kinematics: one pose, one whole coupler curve (both passes), the analysis of
// a linkage and the angle table of its 360 frames.
#include "linkage_analysis.h"
#include "linkage_model.h"
#include "motion_schedule.h"
#include "pose_solver.h"

#include <benchmark/benchmark.h>

namespace {

using namespace cyclar;

void BM_solvePose(benchmark::State& state)
{
    const LinkageModel model = buildLinkageModel(defaultDimensions);
    double t = -1.5707963267948966;
    for (auto _ : state) {
        benchmark::DoNotOptimize(t);
        LinkagePose pose = solvePose(model, t);
        benchmark::DoNotOptimize(pose);
    }
}
BENCHMARK(BM_solvePose);

void BM_couplerCurve(benchmark::State& state)
{
    const LinkageModel model = buildLinkageModel(defaultDimensions);
    MotionSchedule schedule;
    const PaintSchedule paint = beginPaint(model, defaultDimensions, schedule);
    for (auto _ : state) {
        double sum = 0.0;
        sweepCouplerCurve(paint, 360,
                          [&sum](int, int, double, const SphereVector& p) { sum += p.x; });
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 722);
}
BENCHMARK(BM_couplerCurve);

// Type, limits, transmission extremes (and for a crank-rocker its swing and time ratio).
void BM_analyseLinkage(benchmark::State& state)
{
    const LinkageDimensions chiang{160.0, 105.0, 120.0, 100.0, 45.0, -35.0};
    for (auto _ : state) {
        LinkageAnalysis analysis = analyseLinkage(chiang);
        benchmark::DoNotOptimize(analysis);
    }
}
BENCHMARK(BM_analyseLinkage);

void BM_frameAngleTable(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<FrameAngles> table = frameAngleTable(defaultDimensions);
        benchmark::DoNotOptimize(table);
    }
    state.SetItemsProcessed(state.iterations() * 360);
}
BENCHMARK(BM_frameAngleTable);

} // namespace

BENCHMARK_MAIN();
