// Clip frames for the desktop: the core's clip pictures kept as runs, shown as RGB32.
#include "clips.h"

#include "clip_frames.h"

#include "frame.h"
#include "linkage_model.h"
#include "motion_schedule.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace cyclar {

namespace {

constexpr QRgb opaque(Rgb colour)
{
    return 0xFF000000u | colour.value();
}

constexpr QRgb clipWhiteRgb = opaque(clipWhite);

// A frame kept as the runs of pixels that are not white, row by row: a few thousand runs where
// the picture is hundreds of thousands of pixels, and enough to turn the frame shown into the next
// one by touching only the pixels that change.
struct Run {
    qsizetype start = 0; // offset of the first pixel, y * width + x
    int length = 0;
    QRgb colour = clipWhiteRgb;
};
using Runs = std::vector<Run>;

bool operator==(const Run& one, const Run& other)
{
    return one.start == other.start && one.length == other.length && one.colour == other.colour;
}

Runs runsOf(const QImage& picture)
{
    const QImage source = picture.format() == QImage::Format_RGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_RGB32);
    Runs runs;
    const int width = source.width();
    for (int y = 0; y < source.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        int x = 0;
        while (x < width) {
            const QRgb colour = row[x] | 0xFF000000u;
            int end = x + 1;
            while (end < width && (row[end] | 0xFF000000u) == colour)
                ++end;
            if (colour != clipWhiteRgb)
                runs.push_back({static_cast<qsizetype>(y) * width + x, end - x, colour});
            x = end;
        }
    }
    return runs;
}

// The bounding box of the runs that one of the two frames has and the other has not: the
// linkage moves, the curve and the circles stay, so that is a small part of the picture.
QRect changedBetween(const Runs& one, const Runs& other, int width)
{
    QRect box;
    const auto add = [&box, width](const Run& run) {
        const int y = static_cast<int>(run.start / width);
        const int x = static_cast<int>(run.start % width);
        box |= QRect(x, y, run.length, 1);
    };
    // Both lists are in picture order, so one walk finds every run that is in just one of them.
    auto a = one.begin();
    auto b = other.begin();
    while (a != one.end() || b != other.end()) {
        if (b == other.end() || (a != one.end() && a->start < b->start)) {
            add(*a++);
        } else if (a == one.end() || b->start < a->start) {
            add(*b++);
        } else {
            if (!(*a == *b)) {
                add(*a);
                add(*b);
            }
            ++a;
            ++b;
        }
    }
    return box;
}

// Paints the runs into an RGB32 image of the frame size, each in its colour or all in `paint`.
void paintRuns(QImage& image, const Runs& runs, std::optional<QRgb> paint = std::nullopt)
{
    const int width = image.width();
    for (const Run& run : runs) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(run.start / width)));
        const int x = static_cast<int>(run.start % width);
        std::fill_n(row + x, run.length, paint.value_or(run.colour));
    }
}

// Draws shots of the clip linkage with the core's clip painter; the picture is lent out while
// the painter holds it.
class DesktopClipPainter {
public:
    explicit DesktopClipPainter(QSize size)
        : m_painter(size.width(), size.height(), PixelOrder::Argb32)
    {
    }

    QImage draw(const ClipShot& shot)
    {
        const PixelBuffer& picture = m_painter.draw(shot);
        return QImage(picture.bytes(), picture.width(), picture.height(), picture.width() * 4,
                      QImage::Format_RGB32);
    }

private:
    ClipPainter m_painter;
};

using ShotOf = ClipShot (*)(int);

// The frames are kept as runs and shown through one RGB32 picture, the form the screen takes:
// showing the next frame whitens the runs of the one shown and paints its own, a few thousand
// pixels instead of converting or copying the whole picture, and the clip's memory is its runs.
class RenderedClip final : public ClipSource {
public:
    RenderedClip(const ClipSpec& spec, ShotOf shotOf)
        : m_size(spec.frameSize), m_shotOf(shotOf),
          m_frames(static_cast<std::size_t>(spec.frameCount))
    {
    }

    int frameCount() const override { return static_cast<int>(m_frames.size()); }
    QSize frameSize() const override { return m_size; }

    QImage frame(int i) override
    {
        if (i < 0 || i >= frameCount()) {
            return {};
        }
        Frame& next = m_frames[static_cast<std::size_t>(i)];
        if (!next.drawn) {
            // The painter is made with the first frame asked for, not when the clip is opened.
            if (!m_painter) {
                m_painter = std::make_unique<DesktopClipPainter>(m_size);
            }
            next.runs = runsOf(m_painter->draw(m_shotOf(i)));
            next.drawn = true;
        }
        if (m_shown.isNull()) {
            m_shown = QImage(m_size, QImage::Format_RGB32);
            m_shown.fill(clipWhiteRgb);
        }
        if (i != m_current) {
            // Writing detaches the picture first if a copy of it is still held somewhere.
            if (m_current >= 0) {
                paintRuns(m_shown, m_frames[static_cast<std::size_t>(m_current)].runs,
                          clipWhiteRgb);
            }
            paintRuns(m_shown, next.runs);
            m_current = i;
        }
        return m_shown;
    }

    QRect changedArea(int from, int to) const override
    {
        if (from < 0 || from >= frameCount() || to < 0 || to >= frameCount()) {
            return ClipSource::changedArea(from, to);
        }
        const Frame& one = m_frames[static_cast<std::size_t>(from)];
        const Frame& other = m_frames[static_cast<std::size_t>(to)];
        if (!one.drawn || !other.drawn) {
            return ClipSource::changedArea(from, to);
        }
        return changedBetween(one.runs, other.runs, m_size.width());
    }

private:
    struct Frame {
        bool drawn = false;
        Runs runs;
    };

    QSize m_size;
    ShotOf m_shotOf;
    std::unique_ptr<DesktopClipPainter> m_painter;
    std::vector<Frame> m_frames;
    QImage m_shown;
    int m_current = -1;
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
    ClipSpec spec{
        QSize(format.width, format.height), format.frameCount, format.framesPerSecond, {}};
    for (int i = 0; i < spec.frameCount; i += 15) {
        spec.keyFrames.append(i);
    }
    return spec;
}

} // namespace

ClipSpec clip1038Spec()
{
    return specOf(Clip::Title);
}

ClipSpec clip170Spec()
{
    return specOf(Clip::Circular);
}

QImage renderClipPicture(QSize size, const ClipShot& shot)
{
    if (size.isEmpty()) {
        return {};
    }
    DesktopClipPainter painter(size);
    // A copy of its own: the painter's picture goes with it.
    return painter.draw(shot).copy();
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
