// Benchmarks of linkage design: all the dyads and linkages of five positions, the sampled
// family of four positions with each candidate's defect checks, the four-position solution map
// and its colours for a pick, and function fits in degrees (exact and from noisy data).
#include "design_view.h"
#include "four_position_map.h"
#include "linkage_analysis.h"
#include "linkage_design.h"
#include "pose_solver.h"
#include "raster.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using namespace cyclar;

constexpr double rad = std::numbers::pi / 180.0;

// Positions of a crank-rocker's coupler, the heading along the arc toward A1.
DesignTask motionTask(std::size_t count)
{
    const LinkageDimensions dims{20.0, 60.0, 70.0, 75.0, 30.0, 110.0};
    const LinkageModel model = buildLinkageModel(dims);
    const double ts[] = {-2.5, -1.2, 0.3, 1.4, 2.6};
    DesignTask task;
    for (std::size_t i = 0; i < count; ++i) {
        const LinkagePose pose = solvePose(model, ts[i]);
        TaskPosition p;
        p.latitude = std::asin(pose.P.z) / rad;
        p.longitude = std::atan2(pose.P.y, pose.P.x) / rad;
        const double lat = p.latitude * rad, lon = p.longitude * rad;
        const SphereVector north{-std::sin(lat) * std::cos(lon), -std::sin(lat) * std::sin(lon),
                                 std::cos(lat)};
        const SphereVector east{-std::sin(lon), std::cos(lon), 0.0};
        const SphereVector toA = pose.A1;
        p.heading = std::atan2(toA.x * east.x + toA.y * east.y + toA.z * east.z,
                               toA.x * north.x + toA.y * north.y + toA.z * north.z)
                    / rad;
        task.positions.push_back(p);
    }
    return task;
}

void BM_fivePositions(benchmark::State& state)
{
    const DesignTask task = motionTask(5);
    for (auto _ : state) {
        DesignResult result = designLinkages(task);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_fivePositions)->Unit(benchmark::kMillisecond);

void BM_fourPositionFamily(benchmark::State& state)
{
    const DesignTask task = motionTask(4);
    for (auto _ : state) {
        DesignResult result = designLinkages(task);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_fourPositionFamily)->Unit(benchmark::kMillisecond);

void BM_functionSixPairs(benchmark::State& state)
{
    DesignTask task;
    task.kind = TaskKind::Function;
    task.pairs = {{-40, -31}, {-25, -12}, {-5, 7}, {10, 20}, {30, 41}, {45, 52}};
    for (auto _ : state) {
        DesignResult result = designLinkages(task);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_functionSixPairs)->Unit(benchmark::kMillisecond);

// The solution map of four positions: every piece of the centre-point curve traced, each point
// with its circle point.
void BM_fourPositionMap(benchmark::State& state)
{
    const DesignTask task = motionTask(4);
    for (auto _ : state) {
        SolutionMap map = fourPositionMap(task);
        benchmark::DoNotOptimize(map);
    }
}
BENCHMARK(BM_fourPositionMap)->Unit(benchmark::kMillisecond);

// A pick on the map: what pairing the picked pivot with each point of the curve gives.
void BM_mapColoursForAPick(benchmark::State& state)
{
    const DesignTask task = motionTask(4);
    const SolutionMap map = fourPositionMap(task);
    for (auto _ : state) {
        std::vector<MapClass> classes = mapClasses(task, map, map.centrePoints.size() / 3);
        benchmark::DoNotOptimize(classes);
    }
}
BENCHMARK(BM_mapColoursForAPick)->Unit(benchmark::kMillisecond);

// A function fit from twelve pairs measured off a crank-rocker with a few tenths of a degree of
// error: the linear start, the grid, the descents and the check of its conditioning.
void BM_functionFitNoisy(benchmark::State& state)
{
    const LinkageDimensions dims{20.0, 60.0, 70.0, 75.0, 45.0, -35.0};
    DesignTask task;
    task.kind = TaskKind::Function;
    for (int i = 0; i < 12; ++i) {
        const double theta = -165.0 + 30.0 * i;
        const double error = 0.3 * std::sin(1.7 * i + 0.4);
        task.pairs.push_back({theta, outputAnglesAt(dims, theta).psi[0] + error});
    }
    for (auto _ : state) {
        DesignResult result = designLinkages(task);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_functionFitNoisy)->Unit(benchmark::kMillisecond);

} // namespace

// One tick of a Design window: the whole view (sphere, task arrows, the candidate's path over
// its tour and the candidate at one step) drawn on a 360 x 360 picture.
void BM_designViewFrame(benchmark::State& state)
{
    const DesignTask task = motionTask(5);
    const DesignResult result = designLinkages(task);
    const DesignCandidate& candidate = result.candidates.front();
    const std::vector<DesignStep> tour = designTour(candidate);
    const ViewOrientation view = viewFacingTask(task);
    PixelBuffer pixels(360, 360, PixelOrder::Argb32);
    Raster raster(pixels);
    std::size_t step = 0;
    for (auto _ : state) {
        pixels.fill(white);
        composeDesignView(raster, task, &candidate, tour[step], view);
        step = (step + 1) % tour.size();
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_designViewFrame)->Unit(benchmark::kMicrosecond);

// The tour of one candidate, found when it is chosen.
void BM_designTour(benchmark::State& state)
{
    const DesignResult result = designLinkages(motionTask(5));
    for (auto _ : state) {
        std::vector<DesignStep> tour = designTour(result.candidates.front());
        benchmark::DoNotOptimize(tour);
    }
}
BENCHMARK(BM_designTour)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
