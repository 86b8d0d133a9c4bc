// Clip frames: the clip linkage drawn by renderFrame in the clip colours, one view per frame.
#include "clips.h"

#include "frame.h"
#include "linkage_model.h"
#include "motion_schedule.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace cyclar {

// a 30, b 40, c 30, f 60: lowerGap = |a - f| - |b - c| = 20 and upperGap = (b + c) - (a + f) = -20
// have opposite signs, so the linkage is not Grashof and the diagonal B0-A1 swings between 30
// and 70 degrees twice per cycle, once on each assembly branch. With P 25 degrees from A1, on
// the far side of A1 from B1 (k 165), each branch traces one lobe and the lobes cross at one
// point: the whole curve is a figure of eight.
const LinkageDimensions clipLinkage{30.0, 40.0, 30.0, 60.0, 25.0, 165.0};

namespace {

constexpr QRgb clipRed = 0xFFFF0303u;
constexpr QRgb clipTan = 0xFFCF7F33u;
constexpr QRgb clipBlue = 0xFF0303FFu;
constexpr QRgb clipWhite = 0xFFFFFFFFu;

FramePalette clipPalette()
{
    FramePalette palette;
    palette.sphere = {QColor::fromRgb(clipTan), 1};
    palette.curve = {QColor::fromRgb(clipRed), 2};
    palette.link = {QColor::fromRgb(clipBlue), 2};
    palette.joint = {QColor::fromRgb(clipBlue), 1};
    palette.clear = {QColor::fromRgb(clipWhite), 2};
    palette.drawLabel = false;
    return palette;
}

// The animation frame index (1..framesPerCycle) reached `steps` frames after frame 1.
int animationFrameAfter(std::int64_t steps, int framesPerCycle)
{
    const std::int64_t n = framesPerCycle;
    return static_cast<int>(1 + ((steps % n) + n) % n);
}

// A frame kept as the runs of pixels that are not white, row by row: a few thousand runs where
// the picture is hundreds of thousands of pixels, and enough to turn the frame shown into the next
// one by touching only the pixels that change.
struct Run {
    qsizetype start = 0; // offset of the first pixel, y * width + x
    int length = 0;
    QRgb colour = clipWhite;
};
using Runs = std::vector<Run>;

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
            if (colour != clipWhite)
                runs.push_back({static_cast<qsizetype>(y) * width + x, end - x, colour});
            x = end;
        }
    }
    return runs;
}

bool operator==(const Run& one, const Run& other)
{
    return one.start == other.start && one.length == other.length && one.colour == other.colour;
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

// Draws shots of the clip linkage on one canvas of the clip's size.
class ClipPainter {
public:
    explicit ClipPainter(QSize size)
        : m_canvas(size.width(), size.height()), m_scene(newScene(clipLinkage, size.width())),
          m_palette(clipPalette())
    {
    }

    /// Hands the shot's picture to `target` while the canvas holds it.
    void draw(const ClipShot& shot, const FrameTarget& target)
    {
        m_scene.view.turn = shot.turn;
        m_scene.view.tilt = shot.tilt;
        m_scene.view.spin = shot.spin;
        MotionSchedule& schedule = m_scene.schedule;
        schedule.frameIndex =
            animationFrameAfter(std::int64_t{shot.animationFrame} - 1, schedule.framesPerCycle);
        schedule.frameParameter =
            frameParameterFor(m_scene.model, schedule.framesPerCycle, schedule.frameIndex);
        renderFrame(m_canvas, m_scene, target, m_palette);
    }

private:
    Canvas m_canvas;
    SceneState m_scene;
    FramePalette m_palette;
};

using ShotOf = ClipShot (*)(int);

// The frames are kept as runs and shown through one RGB32 picture, the form the screen takes:
// showing the next frame whitens the runs of the one shown and paints its own, a few thousand
// pixels instead of converting or copying the whole picture, and the clip's memory is its runs.
class RenderedClip final : public ClipSource {
public:
    RenderedClip(const ClipSpec& spec, ShotOf shotOf)
        : m_size(spec.frameSize), m_shotOf(shotOf), m_frames(static_cast<std::size_t>(spec.frameCount))
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
            // The canvas is made with the first frame asked for, not when the clip is opened.
            if (!m_painter) {
                m_painter = std::make_unique<ClipPainter>(m_size);
            }
            m_painter->draw(m_shotOf(i), [&next](const QImage& image) { next.runs = runsOf(image); });
            next.drawn = true;
        }
        if (m_shown.isNull()) {
            m_shown = QImage(m_size, QImage::Format_RGB32);
            m_shown.fill(clipWhite);
        }
        if (i != m_current) {
            // Writing detaches the picture first if a copy of it is still held somewhere.
            if (m_current >= 0) {
                paintRuns(m_shown, m_frames[static_cast<std::size_t>(m_current)].runs, clipWhite);
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
    std::unique_ptr<ClipPainter> m_painter;
    std::vector<Frame> m_frames;
    QImage m_shown;
    int m_current = -1;
};

// Animation frames per clip frame: the clip shows one whole cycle.
int cycleStep(const ClipSpec& spec)
{
    return MotionSchedule{}.framesPerCycle / spec.frameCount;
}

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

ClipSpec clip1038Spec()
{
    return {QSize(449, 452), 60, 10, {0, 15, 30, 45}};
}

ClipSpec clip170Spec()
{
    ClipSpec spec{QSize(240, 240), 120, 15, {}};
    for (int i = 0; i < spec.frameCount; i += 15) {
        spec.keyFrames.append(i);
    }
    return spec;
}

QList<QRgb> clipColourTable()
{
    return {clipRed, clipTan, clipBlue, clipWhite};
}

ClipShot clip1038Shot(int i)
{
    const int step = cycleStep(clip1038Spec());
    return {clip1038Turn, clip1038Tilt,
            animationFrameAfter(std::int64_t{i} * step, MotionSchedule{}.framesPerCycle)};
}

ClipShot clip170Shot(int i)
{
    const ClipSpec spec = clip170Spec();
    const int step = cycleStep(spec);
    // The title clip's view, going once round the sphere's polar axis over the clip: the
    // equator and the reference circles keep their place while the linkage and its curve go
    // round.
    const double spinStep = 360.0 / static_cast<double>(spec.frameCount);
    return {clip1038Turn, clip1038Tilt,
            animationFrameAfter(std::int64_t{i} * step, MotionSchedule{}.framesPerCycle),
            static_cast<double>(i) * spinStep};
}

QImage renderClipPicture(QSize size, const ClipShot& shot)
{
    if (size.isEmpty()) {
        return {};
    }
    ClipPainter painter(size);
    QImage picture;
    // A copy of its own: the canvas is whitened once the target returns.
    painter.draw(shot, [&picture](const QImage& image) {
        picture = image.copy().convertToFormat(QImage::Format_RGB32);
    });
    return picture;
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
