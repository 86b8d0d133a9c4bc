// Benchmarks of the clips: one frame of each, the first frame after opening, whole clips.
#include "clips.h"

#include <QGuiApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace cyclar;

// One frame drawn and indexed, as the player asks for it the first time round the loop. A new
// source is opened (untimed) once every frame of the last one is kept.
void frameOfClip(benchmark::State& state, std::shared_ptr<ClipSource> (*openClip)())
{
    std::shared_ptr<ClipSource> clip = openClip();
    clip->frame(0); // the canvas is made with the first frame; that cost is measured below
    int i = 1;
    for (auto _ : state) {
        if (i == clip->frameCount()) {
            state.PauseTiming();
            clip = openClip();
            clip->frame(0);
            i = 1;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(clip->frame(i));
        ++i;
    }
}

void BM_clip1038Frame(benchmark::State& state)
{
    frameOfClip(state, &openClip1038);
}
BENCHMARK(BM_clip1038Frame);

void BM_clip170Frame(benchmark::State& state)
{
    frameOfClip(state, &openClip170);
}
BENCHMARK(BM_clip170Frame);

// What a page waits for before its clip shows: opening the source and drawing frame 0.
void firstFrame(benchmark::State& state, std::shared_ptr<ClipSource> (*openClip)())
{
    for (auto _ : state) {
        const std::shared_ptr<ClipSource> clip = openClip();
        benchmark::DoNotOptimize(clip->frame(0));
    }
}

void BM_clip1038FirstFrame(benchmark::State& state)
{
    firstFrame(state, &openClip1038);
}
BENCHMARK(BM_clip1038FirstFrame);

void BM_clip170FirstFrame(benchmark::State& state)
{
    firstFrame(state, &openClip170);
}
BENCHMARK(BM_clip170FirstFrame);

// Every frame at once: what drawing the clips up front would cost.
void BM_renderClip1038(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(renderClip1038());
    }
}
BENCHMARK(BM_renderClip1038)->Unit(benchmark::kMillisecond);

void BM_renderClip170(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(renderClip170());
    }
}
BENCHMARK(BM_renderClip170)->Unit(benchmark::kMillisecond);

// What the title page pays per tick once every frame has been drawn: the next frame handed out
// and painted onto a screen-sized RGB32 picture, as the backing store takes it.
void showFrames(benchmark::State& state, std::shared_ptr<ClipSource> (*openClip)())
{
    const std::shared_ptr<ClipSource> clip = openClip();
    for (int i = 0; i < clip->frameCount(); ++i) {
        clip->frame(i);
    }
    QImage screen(clip->frameSize(), QImage::Format_RGB32);
    int i = 0;
    for (auto _ : state) {
        QPainter painter(&screen);
        painter.drawImage(0, 0, clip->frame(i));
        i = (i + 1) % clip->frameCount();
    }
}

void BM_clip1038Show(benchmark::State& state)
{
    showFrames(state, &openClip1038);
}
BENCHMARK(BM_clip1038Show);

void BM_clip170Show(benchmark::State& state)
{
    showFrames(state, &openClip170);
}
BENCHMARK(BM_clip170Show);

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
