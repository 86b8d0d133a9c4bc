// renderFrame: the whole picture, layer by layer, then handed over and the canvas cleared.
#include "frame.h"

#include "curves.h"
#include "pose_solver.h"

#include <cmath>

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

void renderFrame(Canvas& canvas, SceneState& scene, const FrameTarget& target,
                 const FramePalette& palette)
{
    const Projection projection = projectionFor(canvas.width(), canvas.height(), scene.sphereRadius);
    const LinkageModel& stored = scene.model;

    if (palette.drawLabel) {
        canvas.setTextColor(palette.label);
        canvas.textOut(5, 5, QString::fromLatin1(classificationLabel(stored)));
    }

    canvas.selectPen(palette.sphere);
    drawSphereOutline(canvas, projection);
    scene.view.recompute();
    drawReferenceCircles(canvas, projection, scene.view.withoutSpin());

    canvas.selectPen(palette.curve);
    const PaintSchedule paint = beginPaint(stored, scene.animationCopy, scene.schedule);
    Polyline curve(canvas, projection);
    sweepCouplerCurve(paint, scene.schedule.framesPerCycle,
                      [&](int, int j, double, const SphereVector& p) {
                          if (j == paint.startIndex) {
                              curve.restart();
                          }
                          const RotatedPoint r = rotateToView(scene.view, p);
                          curve.vertex(r.x, r.y);
                      });

    recomputeFirstFrame(scene.schedule, paint.model);
    const LinkagePose pose = solvePose(paint.model, scene.schedule.frameParameter);
    const RotatedPoint a0 = rotateToView(scene.view, stored.A0);
    const RotatedPoint b0 = rotateToView(scene.view, stored.B0);
    const RotatedPoint a1 = rotateToView(scene.view, pose.A1);
    const RotatedPoint b1 = rotateToView(scene.view, pose.B1);
    const RotatedPoint p = rotateToView(scene.view, pose.P);

    // Link arcs stop one joint gap short of both joints; the coupler-point arcs run up to P.
    // Lengths are read from the dimensions as held now; cosines and sines from the model.
    const LinkageDimensions& d = scene.animationCopy;
    const double gap = stored.jointGap;
    canvas.selectPen(palette.link);
    drawArc(canvas, projection, a0, a1, stored.cosA, stored.sinA, gap, d.a - 2.0 * gap);
    drawArc(canvas, projection, b0, b1, stored.cosB, stored.sinB, gap, d.b - 2.0 * gap);
    drawArc(canvas, projection, a1, b1, stored.cosC, stored.sinC, gap, d.c - 2.0 * gap);
    drawArc(canvas, projection, a1, p, stored.cosH, stored.sinH, gap, d.h - gap);
    drawArc(canvas, projection, b1, p, stored.cosE, stored.sinE, gap, stored.e - gap);

    // Fixed pivots carry a double ring, moving joints a single one.
    const double factor = degToRad();
    const double cos1 = std::cos(1.0 * gap * factor);
    const double sin1 = std::sin(1.0 * gap * factor);
    const double cos2 = std::cos(2.0 * gap * factor);
    const double sin2 = std::sin(2.0 * gap * factor);
    canvas.selectPen(palette.joint);
    drawRing(canvas, projection, a0, cos1, sin1);
    drawRing(canvas, projection, a0, cos2, sin2);
    drawRing(canvas, projection, a1, stored.cosJointGap, stored.sinJointGap);
    drawRing(canvas, projection, b0, cos1, sin1);
    drawRing(canvas, projection, b0, cos2, sin2);
    drawRing(canvas, projection, b1, stored.cosJointGap, stored.sinJointGap);

    target(canvas.image());

    canvas.selectPen(palette.clear);
    canvas.rectangle(0, 0, canvas.width(), canvas.height());
}

void prepareCanvas(std::unique_ptr<Canvas>& canvas, int canvasWidth, int canvasHeight,
                   const QFont& font)
{
    const bool usable = canvas && canvas->width() == canvasWidth
                        && canvas->height() == canvasHeight && canvas->pixel(0, 0) == 0x00FFFFFFu;
    if (!usable) {
        canvas = std::make_unique<Canvas>(canvasWidth, canvasHeight, font);
    }
    for (int x = 0; x < canvasWidth; ++x) {
        for (int y = 0; y < canvasHeight; ++y) {
            canvas->setPixel(x, y, 0xFFFFFFFFu);
        }
    }
}

} // namespace cyclar
