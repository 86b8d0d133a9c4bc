// Clip frames for the desktop: the core's clip pictures as indexed images, made on demand.
#include "clips.h"

#include "clip_frames.h"

#include "frame.h"
#include "linkage_model.h"
#include "motion_schedule.h"

#include <cstdint>

namespace cyclar {

namespace {

constexpr QRgb opaque(Rgb colour) { return 0xFF000000u | colour.value(); }

constexpr QRgb clipWhiteRgb = opaque(clipWhite);

// The canvas picture as an 8-bit indexed image with the clip colour table. A colour outside
// the table is appended to it, so the copy is exact; past 256 colours the picture is kept as is.
QImage toClipImage(const QImage& picture)
{
    QList<QRgb> table = clipColourTable();
    QImage indexed(picture.size(), QImage::Format_Indexed8);
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    QRgb lastColour = clipWhiteRgb;
    uchar lastIndex = 3;
    const int width = source.width();
    const int height = source.height();
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const QRgb colour = in[x];
            if (colour != lastColour) {
                const qsizetype found = table.indexOf(colour);
                if (found >= 0) {
                    lastIndex = static_cast<uchar>(found);
                } else if (table.size() < 256) {
                    lastIndex = static_cast<uchar>(table.size());
                    table.append(colour);
                } else {
                    return source;
                }
                lastColour = colour;
            }
            out[x] = lastIndex;
        }
    }
    indexed.setColorTable(table);
    return indexed;
}

// Draws shots of the clip linkage with the core's clip painter, into an indexed picture.
class IndexedClipPainter {
public:
    explicit IndexedClipPainter(QSize size) : m_painter(size.width(), size.height(), PixelOrder::Argb32) {}

    QImage draw(const ClipShot& shot)
    {
        const PixelBuffer& picture = m_painter.draw(shot);
        // A view of the core's pixels, copied into the indexed image at once.
        const QImage view(picture.bytes(), picture.width(), picture.height(),
                          picture.width() * 4, QImage::Format_RGB32);
        return toClipImage(view);
    }

private:
    ClipPainter m_painter;
};

using ShotOf = ClipShot (*)(int);

class RenderedClip final : public ClipSource {
public:
    RenderedClip(const ClipSpec& spec, ShotOf shotOf)
        : m_size(spec.frameSize), m_shotOf(shotOf), m_frames(spec.frameCount)
    {
    }

    int frameCount() const override { return static_cast<int>(m_frames.size()); }
    QSize frameSize() const override { return m_size; }

    QImage frame(int i) override
    {
        if (i < 0 || i >= frameCount()) {
            return {};
        }
        if (m_frames[i].isNull()) {
            // The canvas is made with the first frame asked for, not when the clip is opened.
            if (!m_painter) {
                m_painter = std::make_unique<IndexedClipPainter>(m_size);
            }
            m_frames[i] = m_painter->draw(m_shotOf(i));
        }
        return m_frames[i];
    }

private:
    QSize m_size;
    ShotOf m_shotOf;
    std::unique_ptr<IndexedClipPainter> m_painter;
    QList<QImage> m_frames;
};

QList<QImage> allFrames(ClipSource& clip)
{
    QList<QImage> frames;
    frames.reserve(clip.frameCount());
    for (int i = 0; i < clip.frameCount(); ++i) {
        frames.append(clip.frame(i));
    }
    return frames;
}

} // namespace

namespace {

// A clip's format from the core, with a key frame every 15 frames from the first.
ClipSpec specOf(Clip clip)
{
    const ClipFormat format = clipFormat(clip);
    ClipSpec spec{QSize(format.width, format.height), format.frameCount, format.framesPerSecond, {}};
    for (int i = 0; i < spec.frameCount; i += 15) {
        spec.keyFrames.append(i);
    }
    return spec;
}

} // namespace

ClipSpec clip1038Spec() { return specOf(Clip::Title); }

ClipSpec clip170Spec() { return specOf(Clip::Circular); }

QList<QRgb> clipColourTable()
{
    return {opaque(clipRed), opaque(clipTan), opaque(clipBlue), clipWhiteRgb};
}

QImage renderClipPicture(QSize size, const ClipShot& shot)
{
    if (size.isEmpty()) {
        return {};
    }
    IndexedClipPainter painter(size);
    return painter.draw(shot);
}

std::shared_ptr<ClipSource> openClip1038()
{
    return std::make_shared<RenderedClip>(clip1038Spec(), &clip1038Shot);
}

std::shared_ptr<ClipSource> openClip170()
{
    return std::make_shared<RenderedClip>(clip170Spec(), &clip170Shot);
}

QList<QImage> renderClip1038()
{
    return allFrames(*openClip1038());
}

QList<QImage> renderClip170()
{
    return allFrames(*openClip170());
}

} // namespace cyclar
