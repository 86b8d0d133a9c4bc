// Exports: frames rendered on their own canvas, PNG through Qt, animated GIF by the core's encoder,
// each encoded in memory and then written by the one atomic writer.
#include "picture_export.h"

#include "atomic_write.h"
#include "gif_encoder.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
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

QImage renderFramePicture(SceneState scene, int frame, const FramePalette& palette)
{
    advanceToFrame(scene, frame, palette);
    return renderCurrentPicture(scene, palette);
}

QImage renderCurrentPicture(SceneState scene, const FramePalette& palette)
{
    std::unique_ptr<Canvas> canvas;
    prepareCanvas(canvas, exportPictureSize, exportPictureSize);
    QImage picture;
    renderFrame(
        *canvas, scene, [&picture](const QImage& image) { picture = image.copy(); }, palette);
    return picture;
}

bool renderCycle(SceneState scene, const FramePalette& palette,
                 const std::function<bool(int frame, const QImage& picture)>& visit)
{
    std::unique_ptr<Canvas> canvas;
    prepareCanvas(canvas, exportPictureSize, exportPictureSize);
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

bool nameEndsIn(const QString& path, const char* suffix, QString& error)
{
    if (!path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive)) {
        error = writeFailure(
            path, QStringLiteral("the file name must end in %1").arg(QLatin1String(suffix)));
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

QString writeFailure(const QString& path, const QString& reason)
{
    return QStringLiteral("could not write '%1': %2").arg(path, reason);
}

bool writeFileBytes(const QString& path, const QByteArray& bytes, QString& error)
{
    std::string failure;
    if (writeFileAtomically(QFile::encodeName(path).toStdString(),
                            std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                            failure)) {
        return true;
    }
    error = QString::fromStdString(failure);
    return false;
}

bool writePng(const QImage& picture, const QString& path, QString& error)
{
    if (!nameEndsIn(path, ".png", error)) {
        return false;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter encoder(&buffer, "png");
    if (!encoder.write(picture)) {
        error = writeFailure(
            path,
            QStringLiteral("the picture could not be encoded (%1)").arg(encoder.errorString()));
        return false;
    }
    return writeFileBytes(path, bytes, error);
}

bool writeCycleGif(const QString& path, const SceneState& scene, const FramePalette& palette,
                   int delay, const ExportProgress& progress, QString& error)
{
    if (!nameEndsIn(path, ".gif", error)) {
        return false;
    }
    GifEncoder encoder(exportPictureSize, exportPictureSize, frameColours(palette), delay);
    const int total = scene.schedule.framesPerCycle;
    bool cancelled = false;
    std::string reason;
    const bool complete = renderCycle(scene, palette, [&](int frame, const QImage& picture) {
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
    if (cancelled) {
        error = QStringLiteral("cancelled");
        return false;
    }
    if (!complete) {
        error = writeFailure(path, QString::fromStdString(reason));
        return false;
    }
    const std::string bytes = encoder.finish();
    return writeFileBytes(path, QByteArray::fromStdString(bytes), error);
}

} // namespace cyclar
