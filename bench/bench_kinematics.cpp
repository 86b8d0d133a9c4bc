// Benchmarks of the pose solver: one solution, and one whole coupler curve (both passes).
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
        sweepCouplerCurve(paint, 360, [&sum](int, int, double, const SphereVector& p) { sum += p.x; });
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 722);
}
BENCHMARK(BM_couplerCurve);

} // namespace

BENCHMARK_MAIN();
