// Fuzzes the picture: any six dimensions (NaN, infinities, huge, tiny, negative, 0 and 180
// included), any frame index, either circuit at either pace and any view in range, through the
// model, the schedule and a whole frame. Nothing may crash or trip a sanitizer, and the canvas must
// be white afterwards.
#include "frame.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct Fixture {
    std::unique_ptr<QGuiApplication> app;
    std::unique_ptr<cyclar::Canvas> canvas;
};

// Made once and never destroyed: tearing Qt down among the static destructors at exit would
// crash, and the fixture stays reachable, so it is no leak.
Fixture& fixture()
{
    static Fixture* const f = [] {
        auto* made = new Fixture;
        static int argc = 1;
        static char name[] = "fuzz_frame";
        static char* argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "offscreen");
        made->app = std::make_unique<QGuiApplication>(argc, argv);
        cyclar::prepareCanvas(made->canvas, 480, 480);
        return made;
    }();
    return *f;
}

template <typename T> T take(const uint8_t*& data, size_t& size)
{
    T value{};
    const size_t n = size < sizeof(T) ? size : sizeof(T);
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

bool isWhite(const QImage& image)
{
    static const QImage white = [&image] {
        QImage blank(image.size(), image.format());
        blank.fill(Qt::white);
        return blank;
    }();
    return image == white;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fixture& f = fixture();
    cyclar::LinkageDimensions dims;
    dims.a = take<double>(data, size);
    dims.b = take<double>(data, size);
    dims.c = take<double>(data, size);
    dims.f = take<double>(data, size);
    dims.h = take<double>(data, size);
    dims.k = take<double>(data, size);
    const int frame = static_cast<int>(take<uint16_t>(data, size) % 1000) - 300;
    const int turn = static_cast<int>(take<uint8_t>(data, size) % 181) - 90;
    const int tilt = static_cast<int>(take<uint8_t>(data, size) % 181) - 90;
    const auto motion = take<uint8_t>(data, size);

    cyclar::SceneState scene = cyclar::newScene(dims, 480);
    scene.view.turn = turn;
    scene.view.tilt = tilt;
    scene.schedule.frameIndex = frame;
    scene.schedule.motion = {1 + (motion & 1), (motion & 2) != 0};
    const double lowerSign = scene.model.lowerSign;
    for (int paint = 0; paint < 2; ++paint) {
        bool handedOver = false;
        cyclar::renderFrame(*f.canvas, scene, [&handedOver](const QImage&) { handedOver = true; });
        if (!handedOver || !isWhite(f.canvas->image()))
            std::abort();
        // The stored sign is never left negated by the symmetric case (NaN compares unequal).
        if (std::memcmp(&lowerSign, &scene.model.lowerSign, sizeof lowerSign) != 0)
            std::abort();
        cyclar::advanceFrame(scene.schedule, scene.model);
    }
    return 0;
}
