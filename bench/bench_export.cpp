// Benchmarks of the exports: a whole cycle as an animated GIF (rendering and encoding 360 frames
// and writing the file), one frame as PNG and one as SVG, each with its file written.
#include "artwork.h"
#include "picture_export.h"
#include "svg_export.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace cyclar;

SceneState exportScene()
{
    SceneState scene = newScene(defaultDimensions, exportPictureSize);
    scene.view.turn = -18;
    scene.view.tilt = -18;
    return scene;
}

void BM_wholeCycleGif(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cycle.gif"));
    const SceneState scene = exportScene();
    for (auto _ : state) {
        QString error;
        if (!writeCycleGif(path, scene, FramePalette(), gifFrameDelay(50), {}, error)) {
            state.SkipWithError(qPrintable(error));
        }
    }
}
BENCHMARK(BM_wholeCycleGif)->Unit(benchmark::kMillisecond);

void BM_framePng(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frame.png"));
    const SceneState scene = exportScene();
    for (auto _ : state) {
        QString error;
        if (!writePng(renderFramePicture(scene, 90), path, error)) {
            state.SkipWithError(qPrintable(error));
        }
    }
}
BENCHMARK(BM_framePng)->Unit(benchmark::kMillisecond);

void BM_frameSvg(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frame.svg"));
    SceneState scene = exportScene();
    advanceToFrame(scene, 90);
    for (auto _ : state) {
        QString error;
        if (!writeSvg(path, scene, FramePalette(), error)) {
            state.SkipWithError(qPrintable(error));
        }
    }
}
BENCHMARK(BM_frameSvg)->Unit(benchmark::kMillisecond);

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
