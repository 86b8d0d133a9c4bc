// Clip frames: the clip linkage drawn by renderFrame in the clip colours, one view per frame.
#include "clips.h"

#include "frame.h"
#include "linkage_model.h"
#include "motion_schedule.h"

#include <cstdint>

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

// The canvas picture as an 8-bit indexed image with the clip colour table. A colour outside
// the table is appended to it, so the copy is exact; past 256 colours the picture is kept as is.
QImage toClipImage(const QImage& picture)
{
    QList<QRgb> table = clipColourTable();
    QImage indexed(picture.size(), QImage::Format_Indexed8);
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    QRgb lastColour = clipWhite;
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

// Draws shots of the clip linkage on one canvas of the clip's size.
class ClipPainter {
public:
    explicit ClipPainter(QSize size)
        : m_canvas(size.width(), size.height()), m_scene(newScene(clipLinkage, size.width())),
          m_palette(clipPalette())
    {
    }

    QImage draw(const ClipShot& shot)
    {
        m_scene.view.turn = shot.turn;
        m_scene.view.tilt = shot.tilt;
        m_scene.view.spin = shot.spin;
        MotionSchedule& schedule = m_scene.schedule;
        schedule.frameIndex =
            animationFrameAfter(std::int64_t{shot.animationFrame} - 1, schedule.framesPerCycle);
        schedule.frameParameter =
            frameParameterFor(m_scene.model, schedule.framesPerCycle, schedule.frameIndex);
        QImage picture;
        renderFrame(
            m_canvas, m_scene, [&picture](const QImage& image) { picture = toClipImage(image); },
            m_palette);
        return picture;
    }

private:
    Canvas m_canvas;
    SceneState m_scene;
    FramePalette m_palette;
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
                m_painter = std::make_unique<ClipPainter>(m_size);
            }
            m_frames[i] = m_painter->draw(m_shotOf(i));
        }
        return m_frames[i];
    }

private:
    QSize m_size;
    ShotOf m_shotOf;
    std::unique_ptr<ClipPainter> m_painter;
    QList<QImage> m_frames;
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
