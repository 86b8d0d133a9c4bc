// Exports: frames rendered on their own canvas, PNG through Qt, animated GIF by the core's encoder.
#include "picture_export.h"

#include "atomic_write.h"
#include "gif_encoder.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace cyclar {

namespace {

// Takes every drawing step and draws nothing: a paint that only records what paints record.
class NoSurface final : public DrawingSurface {
public:
    int width() const override { return exportPictureSize; }
    int height() const override { return exportPictureSize; }
    void selectPen(const PenSpec&) override {}
    void setTextColor(Rgb) override {}
    void moveTo(int, int) override {}
    void lineTo(int, int) override {}
    void ellipse(int, int, int, int) override {}
    void rectangle(int, int, int, int) override {}
    void textOut(int, int, std::string_view) override {}
};

} // namespace

void advanceToFrame(SceneState& scene, int frame, const FramePalette& palette)
{
    NoSurface nowhere;
    composeFrame(nowhere, scene, palette);
    for (int i = 1; i < frame; ++i) {
        advanceFrame(scene.schedule, scene.model);
    }
}

QImage renderFramePicture(SceneState scene, int frame, const QFont& font,
                          const FramePalette& palette)
{
    advanceToFrame(scene, frame, palette);
    return renderCurrentPicture(scene, font, palette);
}

QImage renderCurrentPicture(SceneState scene, const QFont& font, const FramePalette& palette)
{
    std::unique_ptr<Canvas> canvas;
    prepareCanvas(canvas, exportPictureSize, exportPictureSize, font);
    QImage picture;
    renderFrame(
        *canvas, scene, [&picture](const QImage& image) { picture = image.copy(); }, palette);
    return picture;
}

bool renderCycle(SceneState scene, const QFont& font, const FramePalette& palette,
                 const std::function<bool(int frame, const QImage& picture)>& visit)
{
    std::unique_ptr<Canvas> canvas;
    prepareCanvas(canvas, exportPictureSize, exportPictureSize, font);
    scene.schedule.frameIndex = 1; // the first paint derives frame 1's parameter itself
    bool going = true;
    for (int frame = 1; going && frame <= scene.schedule.framesPerCycle; ++frame) {
        if (frame > 1) {
            advanceFrame(scene.schedule, scene.model);
        }
        renderFrame(
            *canvas, scene, [&](const QImage& image) { going = visit(frame, image); }, palette);
    }
    return going;
}

int gifFrameDelay(int speedPos)
{
    return (tickInterval(speedPos) + 5) / 10;
}

namespace {

bool openTarget(QSaveFile& file, const QString& path, const char* suffix, QString& error)
{
    if (!path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive)) {
        error = QStringLiteral("the file name must end in %1").arg(QLatin1String(suffix));
        return false;
    }
    if (QFileInfo(path).isDir()) {
        error = QStringLiteral("it is a folder");
        return false;
    }
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool commitTarget(QSaveFile& file, QString& error)
{
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

// The colours every frame is drawn in: white and the pens' colours.
std::vector<Rgb> frameColours(const FramePalette& palette)
{
    return {white,
            palette.sphere.colour,
            palette.curve.colour,
            palette.link.colour,
            palette.joint.colour,
            palette.label};
}

} // namespace

bool writePng(const QImage& picture, const QString& path, QString& error)
{
    QSaveFile file(path);
    if (!openTarget(file, path, ".png", error)) {
        return false;
    }
    if (!picture.save(&file, "PNG")) {
        error = QStringLiteral("the picture could not be encoded");
        file.cancelWriting();
        return false;
    }
    return commitTarget(file, error);
}

bool writeCycleGif(const QString& path, const SceneState& scene, const QFont& font,
                   const FramePalette& palette, int delay, const ExportProgress& progress,
                   QString& error)
{
    if (!path.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive)) {
        error = QStringLiteral("the file name must end in .gif");
        return false;
    }
    if (QFileInfo(path).isDir()) {
        error = QStringLiteral("it is a folder");
        return false;
    }
    GifEncoder encoder(exportPictureSize, exportPictureSize, frameColours(palette), delay);
    const int total = scene.schedule.framesPerCycle;
    bool cancelled = false;
    std::string reason;
    const bool complete = renderCycle(scene, font, palette, [&](int frame, const QImage& picture) {
        const QImage rgb = picture.format() == QImage::Format_RGB32
                               ? picture
                               : picture.convertToFormat(QImage::Format_RGB32);
        if (rgb.bytesPerLine() != static_cast<qsizetype>(rgb.width()) * 4) {
            reason = "a frame's rows are padded";
            return false;
        }
        if (!encoder.addFrame(reinterpret_cast<const std::uint32_t*>(rgb.constBits()), rgb.width(),
                              rgb.height(), PixelOrder::Argb32, reason)) {
            return false;
        }
        if (progress && !progress(frame, total)) {
            cancelled = true;
            return false;
        }
        return true;
    });
    if (!complete) {
        error = cancelled ? QStringLiteral("cancelled") : QString::fromStdString(reason);
        return false;
    }
    return writeAtomically(path, QByteArray::fromStdString(encoder.finish()), error);
}

} // namespace cyclar
