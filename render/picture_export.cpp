// Exports: frames rendered on their own canvas, PNG through Qt, animated GIF through giflib,
// each encoded in memory and then written by the one atomic writer.
#include "picture_export.h"

#include "atomic_write.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>

#include <gif_lib.h>

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

// giflib writes through this into the buffer.
int writeToDevice(GifFileType* gif, const GifByteType* bytes, int count)
{
    auto* device = static_cast<QIODevice*>(gif->UserData);
    return static_cast<int>(device->write(reinterpret_cast<const char*>(bytes), count));
}

struct GifCloser {
    void operator()(GifFileType* gif) const
    {
        int ignored = 0;
        EGifCloseFile(gif, &ignored);
    }
};

struct MapFreer {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColourMap = std::unique_ptr<ColorMapObject, MapFreer>;

ColourMap makeMap(const std::vector<QRgb>& colours)
{
    int size = 2;
    while (size < static_cast<int>(colours.size())) {
        size *= 2;
    }
    std::vector<GifColorType> entries(static_cast<size_t>(size), GifColorType{0, 0, 0});
    for (size_t i = 0; i < colours.size(); ++i) {
        entries[i] = {static_cast<GifByteType>(qRed(colours[i])),
                      static_cast<GifByteType>(qGreen(colours[i])),
                      static_cast<GifByteType>(qBlue(colours[i]))};
    }
    return ColourMap(GifMakeMapObject(size, entries.data()));
}

// Frames after the first carry only the rectangle where they differ from the frame before;
// they are laid over it (no disposal), so every shown frame is the whole picture.
class CycleGifWriter {
public:
    CycleGifWriter(QIODevice& device, const FramePalette& palette, int delay)
        : m_device(device), m_delay(delay)
    {
        // White and the pens' colours: every pixel of a frame is one of these.
        m_colours = {qRgb(255, 255, 255)};
        for (const Rgb& colour : {palette.sphere.colour, palette.curve.colour, palette.link.colour,
                                  palette.joint.colour, palette.label}) {
            addColour(m_colours, qRgb(colour.r, colour.g, colour.b));
        }
    }

    bool start(QString& error)
    {
        int code = 0;
        m_gif.reset(EGifOpen(&m_device, writeToDevice, &code));
        if (!m_gif) {
            return fail(error, code);
        }
        EGifSetGifVersion(m_gif.get(), true);
        const ColourMap map = makeMap(m_colours);
        if (EGifPutScreenDesc(m_gif.get(), exportPictureSize, exportPictureSize, 8, 0, map.get())
            == GIF_ERROR) {
            return fail(error, m_gif->Error);
        }
        // Loop forever (the application extension every browser and viewer honours).
        static const char netscape[] = "NETSCAPE2.0";
        GifByteType loop[3] = {1, 0, 0};
        if (EGifPutExtensionLeader(m_gif.get(), APPLICATION_EXT_FUNC_CODE) == GIF_ERROR
            || EGifPutExtensionBlock(m_gif.get(), 11, netscape) == GIF_ERROR
            || EGifPutExtensionBlock(m_gif.get(), 3, loop) == GIF_ERROR
            || EGifPutExtensionTrailer(m_gif.get()) == GIF_ERROR) {
            return fail(error, m_gif->Error);
        }
        return true;
    }

    bool addFrame(const QImage& frame, QString& error)
    {
        const QImage picture = frame.format() == QImage::Format_RGB32
                                   ? frame
                                   : frame.convertToFormat(QImage::Format_RGB32);
        if (picture.width() != exportPictureSize || picture.height() != exportPictureSize) {
            error = QStringLiteral("a frame is not %1 pixels square").arg(exportPictureSize);
            return false;
        }
        const QRect changed = changedArea(picture);
        m_previous = picture;

        // Colours outside the file's map get a map of their own for this frame.
        std::vector<QRgb> colours = m_colours;
        m_indices.resize(static_cast<size_t>(changed.width())
                         * static_cast<size_t>(changed.height()));
        QRgb lastColour = colours.front();
        GifPixelType lastIndex = 0;
        size_t at = 0;
        for (int y = changed.top(); y <= changed.bottom(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            for (int x = changed.left(); x <= changed.right(); ++x) {
                const QRgb colour = line[x] | 0xFF000000u;
                if (colour != lastColour) {
                    const auto found = std::find(colours.begin(), colours.end(), colour);
                    if (found == colours.end()) {
                        if (colours.size() == 256) {
                            error = QStringLiteral("a frame has more than 256 colours");
                            return false;
                        }
                        colours.push_back(colour);
                    }
                    lastColour = colour;
                    lastIndex = static_cast<GifPixelType>(
                        std::find(colours.begin(), colours.end(), colour) - colours.begin());
                }
                m_indices[at++] = lastIndex;
            }
        }

        GraphicsControlBlock control;
        control.DisposalMode = DISPOSE_DO_NOT;
        control.UserInputFlag = false;
        control.DelayTime = m_delay;
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        if (EGifPutExtension(m_gif.get(), GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_ERROR) {
            return fail(error, m_gif->Error);
        }
        const ColourMap local = colours.size() > m_colours.size() ? makeMap(colours) : nullptr;
        if (EGifPutImageDesc(m_gif.get(), changed.left(), changed.top(), changed.width(),
                             changed.height(), false, local.get())
            == GIF_ERROR) {
            return fail(error, m_gif->Error);
        }
        for (int row = 0; row < changed.height(); ++row) {
            GifPixelType* line = m_indices.data() + static_cast<size_t>(row) * changed.width();
            if (EGifPutLine(m_gif.get(), line, changed.width()) == GIF_ERROR) {
                return fail(error, m_gif->Error);
            }
        }
        return true;
    }

    bool finish(QString& error)
    {
        int code = 0;
        const int result = EGifCloseFile(m_gif.release(), &code);
        if (result == GIF_ERROR) {
            return fail(error, code);
        }
        return true;
    }

private:
    static void addColour(std::vector<QRgb>& colours, QRgb colour)
    {
        colour |= 0xFF000000u;
        if (std::find(colours.begin(), colours.end(), colour) == colours.end()) {
            colours.push_back(colour);
        }
    }

    // The smallest rectangle holding every pixel that differs from the previous frame (the whole
    // picture for the first frame; one pixel when nothing changed, as a frame needs an image).
    QRect changedArea(const QImage& picture) const
    {
        if (m_previous.isNull()) {
            return picture.rect();
        }
        int top = -1;
        int bottom = -1;
        int left = picture.width();
        int right = -1;
        const size_t rowBytes = static_cast<size_t>(picture.width()) * sizeof(QRgb);
        for (int y = 0; y < picture.height(); ++y) {
            const auto* now = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            const auto* before = reinterpret_cast<const QRgb*>(m_previous.constScanLine(y));
            if (std::memcmp(now, before, rowBytes) == 0) {
                continue;
            }
            if (top < 0) {
                top = y;
            }
            bottom = y;
            int first = 0;
            while (now[first] == before[first]) {
                ++first;
            }
            int last = picture.width() - 1;
            while (now[last] == before[last]) {
                --last;
            }
            left = std::min(left, first);
            right = std::max(right, last);
        }
        if (top < 0) {
            return QRect(0, 0, 1, 1);
        }
        return QRect(QPoint(left, top), QPoint(right, bottom));
    }

    bool fail(QString& error, int code)
    {
        const char* text = GifErrorString(code);
        error = QStringLiteral("the GIF could not be encoded (%1)")
                    .arg(QString::fromLatin1(text != nullptr ? text : "unknown error"));
        return false;
    }

    QIODevice& m_device;
    int m_delay;
    std::unique_ptr<GifFileType, GifCloser> m_gif;
    std::vector<QRgb> m_colours;
    std::vector<GifPixelType> m_indices;
    QImage m_previous;
};

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
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CycleGifWriter writer(buffer, palette, delay);
    QString reason;
    if (!writer.start(reason)) {
        error = writeFailure(path, reason);
        return false;
    }
    const int total = scene.schedule.framesPerCycle;
    bool cancelled = false;
    const bool complete = renderCycle(scene, palette, [&](int frame, const QImage& picture) {
        if (!writer.addFrame(picture, reason)) {
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
    if (!complete || !writer.finish(reason)) {
        error = writeFailure(path, reason);
        return false;
    }
    return writeFileBytes(path, bytes, error);
}

} // namespace cyclar
