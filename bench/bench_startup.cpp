// Start-up to the title page's first painted clip frame, from a cold process: the application
// object, fonts, pictures, the page and its first paint. One measurement per process (a process
// can build its application only once); run it several times for a median.
#include "clip_player.h"
#include "cyclar_app.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

int appArgc = 1;
char appName[] = "bench_startup";
char* appArgv[] = {appName, nullptr};

// Notes the first paint of the title page's clip.
class FirstPaint : public QObject {
public:
    bool seen = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<cyclar::ClipPlayer*>(watched)) {
            seen = true;
        }
        return false;
    }
};

void BM_coldStartToTitlePaint(benchmark::State& state)
{
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        QApplication app(appArgc, appArgv);
        FirstPaint watcher;
        app.installEventFilter(&watcher);
        auto cyclar = std::make_unique<cyclar::CCyclarApp>(app);
        cyclar->InitInstance();
        while (!watcher.seen) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        cyclar.reset();
    }
}
BENCHMARK(BM_coldStartToTitlePaint)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
