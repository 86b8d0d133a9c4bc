// A whole animation cycle natively, as the browser runs it: 360 ticks, each composing its frame
// and copying the picture out, the yardstick for the web edition's frame.
#include "frame_composition.h"
#include "motion_schedule.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

using namespace cyclar;

// Each iteration is one cycle of 360 frames: advance, compose (static layers cached), and one
// copy of the 480 x 480 picture to where it is shown, as putImageData does in the page.
void BM_FrameCycle360(benchmark::State& state)
{
    SceneState scene = newScene(LinkageDimensions{50, 30, 35, 40, 45, -35}, 480);
    FrameRenderer renderer(480, 480, PixelOrder::Rgba);
    std::vector<std::uint8_t> shown(480 * 480 * 4);
    for (auto _ : state) {
        for (int i = 0; i < scene.schedule.framesPerCycle; ++i) {
            advanceFrame(scene.schedule, scene.model);
            const PixelBuffer& picture = renderer.render(scene);
            std::copy_n(picture.bytes(), picture.byteCount(), shown.data());
            benchmark::DoNotOptimize(shown.data());
        }
    }
}
BENCHMARK(BM_FrameCycle360)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
