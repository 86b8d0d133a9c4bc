// Tests of the sphere rendering: projection, curve vertex sequences, layering, degenerate input.
#include "canvas.h"
#include "curves.h"
#include "frame.h"
#include "view.h"

#include <QDir>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace cyclar;

Q_DECLARE_METATYPE(cyclar::LinkageDimensions)

namespace {

// Records the polylines a drawing function produces.
class RecordingSink final : public LineSink {
public:
    void moveTo(int x, int y) override { polylines.append(QPolygon{QPoint(x, y)}); }
    void lineTo(int x, int y) override
    {
        QVERIFY2(!polylines.isEmpty(), "a line before any move");
        polylines.last().append(QPoint(x, y));
    }
    int vertexCount() const
    {
        int count = 0;
        for (const QPolygon& p : polylines) {
            count += static_cast<int>(p.size());
        }
        return count;
    }
    QList<QPolygon> polylines;
};

LinkageDimensions dims(double a, double b, double c, double f, double h = 45.0, double k = -35.0)
{
    return {a, b, c, f, h, k};
}

// Renders one frame of a new scene and returns the picture handed over.
QImage renderScene(SceneState& scene, const FramePalette& palette = FramePalette())
{
    Canvas canvas(480, 480);
    QImage picture;
    renderFrame(
        canvas, scene, [&picture](const QImage& image) { picture = image.copy(); }, palette);
    return picture;
}

QImage renderNew(const LinkageDimensions& d, double turn = -18, double tilt = -18)
{
    SceneState scene = newScene(d, 480);
    scene.view.turn = turn;
    scene.view.tilt = tilt;
    return renderScene(scene);
}

bool isWhite(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0x00FFFFFFu) != 0x00FFFFFFu) {
                return false;
            }
        }
    }
    return true;
}

// Number of pixels of the given colour within a ring of radii [inner, outer] about a centre.
int countInAnnulus(const QImage& image, QPoint centre, double inner, double outer, QColor colour)
{
    int count = 0;
    for (int y = centre.y() - 10; y <= centre.y() + 10; ++y) {
        for (int x = centre.x() - 10; x <= centre.x() + 10; ++x) {
            const double r = std::hypot(x - centre.x(), y - centre.y());
            if (r >= inner && r <= outer && image.pixelColor(x, y) == colour) {
                ++count;
            }
        }
    }
    return count;
}

const QColor green(0, 150, 0);
const QColor red(255, 0, 0);
const QColor blue(0, 0, 255);

} // namespace

class TestRender : public QObject {
    Q_OBJECT

private slots:
    void projection_data();
    void projection();
    void pixelsAreTruncatedAndGuarded_data();
    void pixelsAreTruncatedAndGuarded();
    void arcVertices_data();
    void arcVertices();
    void ringsAndReferenceCircles();
    void ringAtThePoleIsDrawnEdgeOn();
    void pivotsCarryDoubleRings();
    void outlineBox();
    void layering();
    void labelFollowsTheStoredSigns();
    void canvasIsWhiteAfterEveryFrame();
    void prepareCanvasCreatesOnce();
    void symmetricLinkage();
    void degenerateInputDrawsNoStrayLines_data();
    void degenerateInputDrawsNoStrayLines();
    void referencePictures_data();
    void referencePictures();
};

void TestRender::projection_data()
{
    QTest::addColumn<double>("turn");
    QTest::addColumn<double>("tilt");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("z");
    QTest::addColumn<QPoint>("pixel");

    const double f = 40.0 * std::atan(1.0) / 45.0;
    QTest::newRow("A0, starting view") << -18.0 << -18.0 << 1.0 << 0.0 << 0.0 << QPoint(176, 306);
    QTest::newRow("B0, starting view")
        << -18.0 << -18.0 << std::cos(f) << std::sin(f) << 0.0 << QPoint(323, 291);
    QTest::newRow("A0, straight on") << 0.0 << 0.0 << 1.0 << 0.0 << 0.0 << QPoint(240, 240);
    QTest::newRow("pole, straight on") << 0.0 << 0.0 << 0.0 << 0.0 << 1.0 << QPoint(240, 24);
    QTest::newRow("A0, tilt 90") << 0.0 << 90.0 << 1.0 << 0.0 << 0.0 << QPoint(240, 24);
    QTest::newRow("+Y, straight on") << 0.0 << 0.0 << 0.0 << 1.0 << 0.0 << QPoint(456, 240);
}

void TestRender::projection()
{
    QFETCH(double, turn);
    QFETCH(double, tilt);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, z);
    QFETCH(QPoint, pixel);

    ViewOrientation view;
    view.turn = turn;
    view.tilt = tilt;
    view.recompute();
    const RotatedPoint r = rotateToView(view, {x, y, z});
    QCOMPARE(toCanvasPixel(projectionFor(480, 480, sphereRadius(480)), r.x, r.y), pixel);
}

void TestRender::pixelsAreTruncatedAndGuarded_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("drawn");
    QTest::addColumn<QPoint>("pixel");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    // Projection with centre (0, 0) and radius 1: the pixel is (trunc x, trunc -y).
    QTest::newRow("toward zero, not down") << -0.5 << 0.5 << true << QPoint(0, 0);
    QTest::newRow("positive fraction") << 2.9 << -2.9 << true << QPoint(2, 2);
    QTest::newRow("negative fraction") << -2.9 << 2.9 << true << QPoint(-2, -2);
    QTest::newRow("NaN") << nan << 0.0 << false << QPoint();
    QTest::newRow("infinity") << 0.0 << -inf << false << QPoint();
    QTest::newRow("beyond int") << 3e9 << 0.0 << false << QPoint();
    QTest::newRow("beyond the pixel limit") << pixelLimit + 1 << 0.0 << false << QPoint();
}

void TestRender::pixelsAreTruncatedAndGuarded()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(bool, drawn);
    QFETCH(QPoint, pixel);
    const std::optional<QPoint> result = toCanvasPixel(Projection{0, 0, 1.0}, x, y);
    QCOMPARE(result.has_value(), drawn);
    if (drawn) {
        QCOMPARE(*result, pixel);
    }
}

void TestRender::arcVertices_data()
{
    QTest::addColumn<double>("length");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("span");
    QTest::addColumn<int>("vertices");

    QTest::newRow("a = 50") << 50.0 << 1.0 << 48.0 << 49;
    QTest::newRow("b = 30") << 30.0 << 1.0 << 28.0 << 29;
    QTest::newRow("c = 35") << 35.0 << 1.0 << 33.0 << 34;
    QTest::newRow("h = 45") << 45.0 << 1.0 << 44.0 << 45;
    QTest::newRow("e = 24.29") << 24.292173878343785 << 1.0 << 23.292173878343785 << 24;
    QTest::newRow("link of 50.7") << 50.7 << 1.0 << 48.7 << 49;
    QTest::newRow("link of 3: one segment") << 3.0 << 1.0 << 1.0 << 2;
    QTest::newRow("link of 2.9: nothing") << 2.9 << 1.0 << 0.9 << 0;
    QTest::newRow("link below 1: nothing") << 0.5 << 1.0 << -1.5 << 0;
    QTest::newRow("h of 1.5: nothing") << 1.5 << 1.0 << 0.5 << 0;
    QTest::newRow("negative h: nothing") << -20.0 << 1.0 << -21.0 << 0;
    QTest::newRow("L of 180: nothing") << 180.0 << 1.0 << 178.0 << 0;
    QTest::newRow("L of 0: nothing") << 0.0 << 1.0 << -2.0 << 0;
    QTest::newRow("h of 360: nothing") << 360.0 << 1.0 << 359.0 << 0;
    QTest::newRow("link of 900: nothing") << 900.0 << 1.0 << 898.0 << 0;
    // Near a multiple of 180 but not on it the great circle is well defined.
    QTest::newRow("h of 179.99999999") << 179.99999999 << 1.0 << 178.99999999 << 179;
    QTest::newRow("link of 180.0000001") << 180.0000001 << 1.0 << 178.0000001 << 179;
    QTest::newRow("h of 359.9999999") << 359.9999999 << 1.0 << 358.9999999 << 359;
    QTest::newRow("span NaN: nothing")
        << 50.0 << 1.0 << std::numeric_limits<double>::quiet_NaN() << 0;
    QTest::newRow("span infinite: nothing")
        << 50.0 << 1.0 << std::numeric_limits<double>::infinity() << 0;
    QTest::newRow("long link: whole circle once") << 1e9 << 1.0 << 1e9 << 361;
}

void TestRender::arcVertices()
{
    QFETCH(double, length);
    QFETCH(double, first);
    QFETCH(double, span);
    QFETCH(int, vertices);

    // S on the equator, E at the arc's length along the meridian-free great circle z = 0,
    // viewed straight on: vertex i lies at angle first + i * span / n from S.
    const double rad = std::atan(1.0) / 45.0;
    ViewOrientation view;
    view.turn = 0;
    view.tilt = 0;
    view.recompute();
    const SphereVector s{0.0, 0.0, 1.0};
    const SphereVector e{0.0, std::sin(length * rad), std::cos(length * rad)};
    RecordingSink sink;
    const Projection projection = projectionFor(480, 480, 216.0);
    drawArc(sink, projection, rotateToView(view, s), rotateToView(view, e), std::cos(length * rad),
            std::sin(length * rad), first, span);
    QCOMPARE(sink.vertexCount(), vertices);
    if (vertices > 1 && length < 1000) {
        QCOMPARE(sink.polylines.size(), 1);
        const int n = vertices - 1;
        for (int i = 0; i <= n; ++i) {
            const double theta = (first + i * span / n) * rad;
            const QPoint expected = *toCanvasPixel(projection, std::sin(theta), std::cos(theta));
            QCOMPARE(sink.polylines.first()[i], expected);
        }
    }
}

void TestRender::ringsAndReferenceCircles()
{
    ViewOrientation view;
    view.recompute();
    const Projection projection = projectionFor(480, 480, 216.0);

    RecordingSink circles;
    drawReferenceCircles(circles, projection, view);
    QCOMPARE(circles.polylines.size(), 1);
    QCOMPARE(circles.polylines.first().size(), 361);
    // Both circles start and end on A0.
    QCOMPARE(circles.polylines.first().first(), QPoint(176, 306));
    QCOMPARE(circles.polylines.first()[180], circles.polylines.first().first());

    RecordingSink ring;
    const RotatedPoint a0 = rotateToView(view, {1.0, 0.0, 0.0});
    const double rad = std::atan(1.0) / 45.0;
    drawRing(ring, projection, a0, std::cos(2 * rad), std::sin(2 * rad));
    QCOMPARE(ring.polylines.size(), 1);
    QCOMPARE(ring.polylines.first().size(), 31);
    QCOMPARE(ring.polylines.first().first(), ring.polylines.first().last());
    for (const QPoint& p : ring.polylines.first()) {
        const double r = std::hypot(p.x() - 176.5, p.y() - 306.5);
        QVERIFY2(r > 4.0 && r < 9.0, qPrintable(QStringLiteral("radius %1").arg(r)));
    }
}

void TestRender::ringAtThePoleIsDrawnEdgeOn()
{
    // At tilt 90 A0 sits on top of the outline: s = 0. The ring is a short horizontal stroke
    // on row 24 instead of a division by zero.
    ViewOrientation view;
    view.turn = 0;
    view.tilt = 90;
    view.recompute();
    const RotatedPoint a0 = rotateToView(view, {1.0, 0.0, 0.0});
    QCOMPARE(a0.y, 1.0);
    RecordingSink ring;
    const double rad = std::atan(1.0) / 45.0;
    drawRing(ring, projectionFor(480, 480, 216.0), a0, std::cos(rad), std::sin(rad));
    QCOMPARE(ring.vertexCount(), 31);
    for (const QPoint& p : ring.polylines.first()) {
        QCOMPARE(p.y(), 24);
        QVERIFY(std::abs(p.x() - 240) <= 4);
    }
}

void TestRender::pivotsCarryDoubleRings()
{
    const QImage picture = renderNew(defaultDimensions);
    for (const QPoint pivot : {QPoint(176, 306), QPoint(323, 291)}) {
        const QPoint centre = pivot;
        QVERIFY2(countInAnnulus(picture, centre, 6.0, 9.0, blue) >= 20, "outer ring");
        QVERIFY2(countInAnnulus(picture, centre, 2.5, 5.0, blue) >= 10, "inner ring");
    }
}

void TestRender::outlineBox()
{
    FramePalette palette;
    palette.drawLabel = false;
    SceneState scene = newScene(defaultDimensions, 480);
    const QImage picture = renderScene(scene, palette);
    int left = 480, top = 480, right = -1, bottom = -1;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 480; ++x) {
            if (picture.pixelColor(x, y) != Qt::white) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    QCOMPARE(QRect(QPoint(left, top), QPoint(right, bottom)),
             QRect(QPoint(24, 24), QPoint(456, 456)));
    for (const QPoint p : {QPoint(24, 240), QPoint(456, 240), QPoint(240, 24), QPoint(240, 456)}) {
        QCOMPARE(picture.pixelColor(p), green);
    }
}

void TestRender::layering()
{
    // Each layer in its own colour; a render in which only one layer is coloured (and the
    // layers drawn after it are white) gives that layer's pixels as they survive in the full
    // picture. In the full picture those pixels must show that layer's colour.
    const QColor sphere(0, 150, 0), curve(255, 0, 0), link(0, 0, 255), joint(255, 0, 255);
    const QColor white(255, 255, 255);
    FramePalette full;
    full.drawLabel = false;
    full.sphere.colour = sphere;
    full.curve.colour = curve;
    full.link.colour = link;
    full.joint.colour = joint;

    for (const LinkageDimensions& d : {defaultDimensions, dims(20, 50, 45, 40)}) {
        SceneState scene = newScene(d, 480);
        const QImage picture = renderScene(scene, full);
        const QList<QPair<QColor, FramePalette>> layers = [&] {
            QList<QPair<QColor, FramePalette>> list;
            FramePalette p = full;
            list.append({joint, p}); // rings are last: nothing drawn after them
            p.joint.colour = white;
            list.append({link, p});
            p.link.colour = white;
            list.append({curve, p});
            p.curve.colour = white;
            list.append({sphere, p});
            return list;
        }();
        for (const auto& [colour, palette] : layers) {
            SceneState again = newScene(d, 480);
            const QImage mask = renderScene(again, palette);
            int pixels = 0;
            for (int y = 0; y < 480; ++y) {
                for (int x = 0; x < 480; ++x) {
                    if (mask.pixelColor(x, y) == colour) {
                        ++pixels;
                        QVERIFY2(
                            picture.pixelColor(x, y) == colour,
                            qPrintable(
                                QStringLiteral("%1 at (%2, %3)").arg(colour.name()).arg(x).arg(y)));
                    }
                }
            }
            QVERIFY(pixels > 50);
        }
    }
}

void TestRender::labelFollowsTheStoredSigns()
{
    const auto labelPixels = [](const QImage& picture) {
        int count = 0;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 240; ++x) {
                count += picture.pixelColor(x, y) == QColor(0, 180, 60) ? 1 : 0;
            }
        }
        return count;
    };
    const QImage nonGrashof = renderNew(defaultDimensions);
    const QImage grashof = renderNew(dims(20, 50, 45, 40));
    const QImage symmetric = renderNew(dims(40, 30, 30, 40));
    QVERIFY(labelPixels(nonGrashof) > 100);
    QVERIFY(labelPixels(grashof) < labelPixels(nonGrashof)); // "Non-" is four letters more
    QCOMPARE(symmetric.copy(0, 0, 240, 24), nonGrashof.copy(0, 0, 240, 24));
}

void TestRender::canvasIsWhiteAfterEveryFrame()
{
    Canvas canvas(480, 480);
    for (const LinkageDimensions& d :
         {defaultDimensions, dims(40, 30, 30, 40), dims(10, 120, 35, 40)}) {
        SceneState scene = newScene(d, 480);
        for (int tick = 0; tick < 40; ++tick) {
            bool drewSomething = false;
            renderFrame(canvas, scene,
                        [&](const QImage& image) { drewSomething = !isWhite(image); });
            QVERIFY(drewSomething);
            QVERIFY(isWhite(canvas.image()));
            advanceFrame(scene.schedule, scene.model);
        }
    }
}

void TestRender::prepareCanvasCreatesOnce()
{
    std::unique_ptr<Canvas> canvas;
    QCOMPARE(canvas.get(), nullptr);
    prepareCanvas(canvas, 480, 480);
    Canvas* const first = canvas.get();
    QVERIFY(first != nullptr);
    QVERIFY(isWhite(canvas->image()));

    SceneState scene = newScene(defaultDimensions, 480);
    renderFrame(*canvas, scene, [](const QImage&) {});
    canvas->setPixel(100, 100, qRgb(1, 2, 3));
    prepareCanvas(canvas, 480, 480); // second submit: same canvas, whitened again
    QCOMPARE(canvas.get(), first);
    QVERIFY(isWhite(canvas->image()));
    QCOMPARE(canvas->pixel(-1, 0), 0xFFFFFFFFu);
}

void TestRender::symmetricLinkage()
{
    const LinkageDimensions d = dims(40, 30, 30, 40);
    SceneState scene = newScene(d, 480);
    QCOMPARE(scene.model.lowerSign, 1.0);
    renderScene(scene);
    QCOMPARE(scene.model.lowerSign, 1.0);
    QCOMPARE(scene.schedule.startIndex, 2);
    QVERIFY(std::fabs(scene.schedule.frameParameter - -6.265844) < 1e-6);
}

void TestRender::degenerateInputDrawsNoStrayLines_data()
{
    QTest::addColumn<LinkageDimensions>("d");
    QTest::addColumn<double>("turn");
    QTest::addColumn<double>("tilt");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("link of 0") << dims(0, 30, 35, 40) << -18.0 << -18.0;
    QTest::newRow("ground of 0") << dims(50, 30, 35, 0) << -18.0 << -18.0;
    QTest::newRow("coupler of 0") << dims(50, 30, 0, 40) << -18.0 << -18.0;
    QTest::newRow("link of 180") << dims(180, 30, 35, 40) << -18.0 << -18.0;
    QTest::newRow("ground of 180") << dims(50, 30, 35, 180) << -18.0 << -18.0;
    QTest::newRow("links under 3") << dims(2, 2.5, 1, 2) << -18.0 << -18.0;
    QTest::newRow("disjoint") << dims(10, 120, 35, 40) << -18.0 << -18.0;
    QTest::newRow("P on B1") << dims(50, 30, 35, 40, 35, 0) << -18.0 << -18.0;
    QTest::newRow("negative h") << dims(50, 30, 35, 40, -45, -35) << -18.0 << -18.0;
    QTest::newRow("tilt 90") << defaultDimensions << 0.0 << 90.0;
    QTest::newRow("tilt -90") << defaultDimensions << 30.0 << -90.0;
    QTest::newRow("a + f above 180") << dims(120, 100, 90, 100) << -18.0 << -18.0;
    QTest::newRow("huge links") << dims(1e9, 1e12, 1e15, 40) << -18.0 << -18.0;
    QTest::newRow("links of 360") << dims(360, 360, 360, 360, 360, 360) << -18.0 << -18.0;
    QTest::newRow("NaN everywhere") << dims(nan, nan, nan, nan, nan, nan) << -18.0 << -18.0;
}

void TestRender::degenerateInputDrawsNoStrayLines()
{
    QFETCH(LinkageDimensions, d);
    QFETCH(double, turn);
    QFETCH(double, tilt);

    // Every point of the picture lies on the sphere: nothing may be drawn outside its outline
    // (the label's corner aside), and the canvas is white again afterwards.
    Canvas canvas(480, 480);
    SceneState scene = newScene(d, 480);
    scene.view.turn = turn;
    scene.view.tilt = tilt;
    for (int frame = 0; frame < 3; ++frame) {
        QImage picture;
        renderFrame(canvas, scene, [&picture](const QImage& image) { picture = image.copy(); });
        QVERIFY(isWhite(canvas.image()));
        for (int y = 24; y < 480; ++y) {
            for (int x = 0; x < 480; ++x) {
                if (picture.pixelColor(x, y) != Qt::white) {
                    const double r = std::hypot(x - 240.0, y - 240.0);
                    QVERIFY2(r <= 218.5,
                             qPrintable(QStringLiteral("stray pixel at (%1, %2)").arg(x).arg(y)));
                }
            }
        }
        for (int i = 0; i < 97; ++i) {
            advanceFrame(scene.schedule, scene.model);
        }
    }
}

void TestRender::referencePictures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<LinkageDimensions>("d");
    QTest::addColumn<int>("frame");
    QTest::addColumn<double>("turn");
    QTest::addColumn<double>("tilt");

    QTest::newRow("default, frame 1")
        << "default-frame1" << defaultDimensions << 1 << -18.0 << -18.0;
    QTest::newRow("grashof, frame 100, turned")
        << "grashof-frame100" << dims(20, 50, 45, 40, 30, 60) << 100 << 30.0 << 10.0;
}

void TestRender::referencePictures()
{
    QFETCH(QString, name);
    QFETCH(LinkageDimensions, d);
    QFETCH(int, frame);
    QFETCH(double, turn);
    QFETCH(double, tilt);

    // The label's pixels depend on the font; the references leave it out.
    FramePalette palette;
    palette.drawLabel = false;
    SceneState scene = newScene(d, 480);
    scene.view.turn = turn;
    scene.view.tilt = tilt;
    Canvas canvas(480, 480);
    QImage picture;
    const FrameTarget keep = [&picture](const QImage& image) {
        picture = image.convertToFormat(QImage::Format_RGB32);
    };
    renderFrame(canvas, scene, keep, palette);
    for (int i = 1; i < frame; ++i) {
        advanceFrame(scene.schedule, scene.model);
    }
    renderFrame(canvas, scene, keep, palette);

    const QString referencePath = QStringLiteral(CYCLAR_TEST_DATA "/%1.png").arg(name);
    const QString outputDir = QDir::currentPath();
    if (qEnvironmentVariableIsSet("CYCLAR_UPDATE_REFERENCES")) {
        QVERIFY(picture.save(referencePath));
    }
    const QImage reference = QImage(referencePath).convertToFormat(QImage::Format_RGB32);
    QVERIFY2(!reference.isNull(), qPrintable(referencePath));
    QCOMPARE(reference.size(), picture.size());
    if (reference != picture) {
        QImage diff(picture.size(), QImage::Format_RGB32);
        int differing = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const bool same = picture.pixel(x, y) == reference.pixel(x, y);
                differing += same ? 0 : 1;
                diff.setPixel(x, y, same ? qRgb(255, 255, 255) : qRgb(255, 0, 255));
            }
        }
        picture.save(outputDir + QStringLiteral("/%1-actual.png").arg(name));
        diff.save(outputDir + QStringLiteral("/%1-diff.png").arg(name));
        QFAIL(qPrintable(QStringLiteral("%1 pixels differ; see %2/%3-diff.png")
                             .arg(differing)
                             .arg(outputDir, name)));
    }
}

QTEST_MAIN(TestRender)
#include "tst_render.moc"
