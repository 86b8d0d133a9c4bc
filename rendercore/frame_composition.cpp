// Frame composition: the whole picture, layer by layer; the static layers cached per change.
#include "frame_composition.h"

#include "curves.h"
#include "pose_solver.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace cyclar {

SceneState newScene(const LinkageDimensions& dims, int canvasWidth)
{
    SceneState scene;
    scene.animationCopy = dims;
    scene.model = buildLinkageModel(dims);
    scene.schedule = MotionSchedule{};
    scene.view = ViewOrientation{};
    scene.sphereRadius = sphereRadius(canvasWidth);
    return scene;
}

int pictureScale(const FramePalette& palette)
{
    return std::clamp(palette.scale, 1, maxPictureScale);
}

namespace {

// The projection of a picture drawn at the palette's scale: the sphere's radius grows with it,
// the centre is the (larger) surface's.
Projection scaledProjection(const DrawingSurface& surface, const SceneState& scene,
                            const FramePalette& palette)
{
    return projectionFor(surface.width(), surface.height(),
                         scene.sphereRadius * pictureScale(palette));
}

// A pen as wide as the scale makes it.
PenSpec scaledPen(const PenSpec& pen, const FramePalette& palette)
{
    return PenSpec{pen.colour, pen.width * pictureScale(palette)};
}

// The view's cosines and sines are recomputed from its angles on every frame; the paint's
// schedule takes the symmetric entry.
PaintSchedule beginFrame(SceneState& scene)
{
    scene.view.recompute();
    return beginPaint(scene.model, scene.animationCopy, scene.schedule);
}

// Label, outline, reference circles and coupler curve.
void composeStaticLayers(DrawingSurface& surface, const SceneState& scene,
                         const PaintSchedule& paint, const FramePalette& palette)
{
    const Projection projection = scaledProjection(surface, scene, palette);
    const LinkageModel& stored = scene.model;

    if (palette.drawLabel) {
        const int k = pictureScale(palette);
        surface.setTextColor(palette.label);
        surface.setTextScale(k);
        surface.textOut(5 * k, 5 * k, classificationLabel(stored));
        surface.setTextScale(1);
    }

    surface.selectPen(scaledPen(palette.sphere, palette));
    drawSphereOutline(surface, projection);
    drawReferenceCircles(surface, projection, scene.view.withoutSpin());

    surface.selectPen(scaledPen(palette.curve, palette));
    Polyline curve(surface, projection);
    sweepCouplerCurve(paint, scene.schedule.framesPerCycle,
                      [&](int, int j, double, const SphereVector& p) {
                          if (j == paint.startIndex) {
                              curve.restart();
                          }
                          const RotatedPoint r = rotateToView(scene.view, p);
                          curve.vertex(r.x, r.y);
                      });

    if (palette.rotationAxis) {
        surface.selectPen(scaledPen(palette.axisPens.polode, palette));
        drawFixedPolode(surface, projection, scene.view, paint);
    }
}

// The five arcs and the joint rings of a pose with these joints.
void composeLinkage(DrawingSurface& surface, const SceneState& scene, const FramePalette& palette,
                    const SphereVector& A1, const SphereVector& B1, const SphereVector& P)
{
    const Projection projection = scaledProjection(surface, scene, palette);
    const LinkageModel& stored = scene.model;
    const RotatedPoint a0 = rotateToView(scene.view, stored.A0);
    const RotatedPoint b0 = rotateToView(scene.view, stored.B0);
    const RotatedPoint a1 = rotateToView(scene.view, A1);
    const RotatedPoint b1 = rotateToView(scene.view, B1);
    const RotatedPoint p = rotateToView(scene.view, P);

    // Link arcs stop one joint gap short of both joints; the coupler-point arcs run up to P.
    // Lengths are read from the dimensions as held now; cosines and sines from the model.
    const LinkageDimensions& d = scene.animationCopy;
    const double gap = stored.jointGap;
    surface.selectPen(scaledPen(palette.link, palette));
    drawArc(surface, projection, a0, a1, stored.cosA, stored.sinA, gap, d.a - 2.0 * gap);
    drawArc(surface, projection, b0, b1, stored.cosB, stored.sinB, gap, d.b - 2.0 * gap);
    drawArc(surface, projection, a1, b1, stored.cosC, stored.sinC, gap, d.c - 2.0 * gap);
    drawArc(surface, projection, a1, p, stored.cosH, stored.sinH, gap, d.h - gap);
    drawArc(surface, projection, b1, p, stored.cosE, stored.sinE, gap, stored.e - gap);

    // Fixed pivots carry a double ring, moving joints a single one.
    const double factor = degToRad();
    const double cos1 = std::cos(1.0 * gap * factor);
    const double sin1 = std::sin(1.0 * gap * factor);
    const double cos2 = std::cos(2.0 * gap * factor);
    const double sin2 = std::sin(2.0 * gap * factor);
    surface.selectPen(scaledPen(palette.joint, palette));
    drawRing(surface, projection, a0, cos1, sin1);
    drawRing(surface, projection, a0, cos2, sin2);
    drawRing(surface, projection, a1, stored.cosJointGap, stored.sinJointGap);
    drawRing(surface, projection, b0, cos1, sin1);
    drawRing(surface, projection, b0, cos2, sin2);
    drawRing(surface, projection, b1, stored.cosJointGap, stored.sinJointGap);
}

// The five arcs and the joint rings of the frame's pose.
void composeMovingLayers(DrawingSurface& surface, SceneState& scene, const PaintSchedule& paint,
                         const FramePalette& palette)
{
    const LinkagePose pose = paintedPose(paint, scene.schedule);
    composeLinkage(surface, scene, palette, pose.A1, pose.B1, pose.P);
    if (palette.rotationAxis) {
        const Projection projection = scaledProjection(surface, scene, palette);
        drawPoleAndVelocity(surface, projection, scene.view, paint.model, pose, palette.axisPens,
                            pictureScale(palette));
    }
}

// The cache key is the bytes of everything the static layers are drawn from. Bytes, not values:
// a NaN dimension must match itself, or a degenerate linkage would be redrawn on every frame.
class KeyWriter {
public:
    template <typename T> void add(const T& value)
    {
        static_assert(
            (std::is_trivially_copyable_v<T> && std::has_unique_object_representations_v<T>)
                || std::is_floating_point_v<T>,
            "only types without padding make a key");
        const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
        key.insert(key.end(), bytes, bytes + sizeof value);
    }
    void add(const PenSpec& pen)
    {
        add(pen.colour.value());
        add(pen.width);
    }
    std::vector<unsigned char> key;
};

template <typename... Doubles> void addDoubles(KeyWriter& writer, Doubles... values)
{
    (writer.add(values), ...);
}

std::vector<unsigned char> staticKey(const PixelBuffer& target, const SceneState& scene,
                                     const PaintSchedule& paint, const FramePalette& palette)
{
    KeyWriter w;
    w.add(target.width());
    w.add(target.height());
    w.add(static_cast<int>(target.order()));
    w.add(scene.sphereRadius);
    addDoubles(w, scene.view.turn, scene.view.tilt, scene.view.spin);
    const LinkageDimensions& d = scene.animationCopy;
    addDoubles(w, d.a, d.b, d.c, d.f, d.h, d.k);
    // The stored model (its signs classify the label) and the one the curve is solved with.
    static_assert(sizeof(LinkageModel) % sizeof(double) == 0);
    w.key.insert(w.key.end(), reinterpret_cast<const unsigned char*>(&scene.model),
                 reinterpret_cast<const unsigned char*>(&scene.model) + sizeof(LinkageModel));
    w.add(paint.model.lowerSign);
    w.add(paint.startIndex);
    w.add(scene.schedule.framesPerCycle);
    // The fixed polode follows the frames' circuit and pace.
    w.add(paint.motion.circuit);
    w.add(paint.motion.evenInput ? 1 : 0);
    w.add(palette.sphere);
    w.add(palette.curve);
    w.add(palette.label.value());
    w.add(palette.drawLabel ? 1 : 0);
    w.add(pictureScale(palette));
    w.add(palette.rotationAxis ? 1 : 0);
    w.add(palette.axisPens.polode);
    return w.key;
}

} // namespace

void composeFrame(DrawingSurface& surface, SceneState& scene, const FramePalette& palette)
{
    const PaintSchedule paint = beginFrame(scene);
    composeStaticLayers(surface, scene, paint, palette);
    composeMovingLayers(surface, scene, paint, palette);
}

void composePose(DrawingSurface& surface, SceneState& scene, const SphereVector& A1,
                 const SphereVector& B1, const SphereVector& P, const FramePalette& palette)
{
    const PaintSchedule paint = beginFrame(scene);
    composeStaticLayers(surface, scene, paint, palette);
    composeLinkage(surface, scene, palette, A1, B1, P);
}

FrameRenderer::FrameRenderer(int width, int height, PixelOrder order)
    : m_width(width), m_height(height),
      m_buffer(std::make_shared<PixelBuffer>(width, height, order)), m_raster(*m_buffer)
{
}

const PixelBuffer& FrameRenderer::render(SceneState& scene, const FramePalette& palette)
{
    const int k = pictureScale(palette);
    if (m_buffer->width() != m_width * k || m_buffer->height() != m_height * k) {
        // Another scale: a picture of its own size, drawn from scratch.
        m_buffer = std::make_shared<PixelBuffer>(m_width * k, m_height * k, m_buffer->order());
        m_raster.setBuffer(*m_buffer);
        m_journal.clear();
        m_key.clear();
    } else if (m_buffer.use_count() > 1) {
        // Someone kept the last picture: it is theirs now.
        m_buffer = std::make_shared<PixelBuffer>(*m_buffer);
        m_raster.setBuffer(*m_buffer);
    }
    m_raster.undo(m_journal);

    const PaintSchedule paint = beginFrame(scene);
    std::vector<unsigned char> key = staticKey(*m_buffer, scene, paint, palette);
    if (key != m_key) {
        m_buffer->fill(white);
        composeStaticLayers(m_raster, scene, paint, palette);
        m_key = std::move(key);
    }
    m_raster.setJournal(&m_journal);
    composeMovingLayers(m_raster, scene, paint, palette);
    m_raster.setJournal(nullptr);
    return *m_buffer;
}

} // namespace cyclar
