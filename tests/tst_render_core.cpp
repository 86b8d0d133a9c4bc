// Tests of the render core: label glyphs against the text engine, the cached static layers
// against the full composition, byte orders, and the desktop canvas's shared pixels.
#include "artwork.h"
#include "canvas.h"
#include "frame.h"
#include "frame_composition.h"
#include "gif_encoder.h"
#include "label_face.h"
#include "label_glyphs.h"
#include "linkage_rates.h"
#include "pixel_buffer.h"
#include "raster.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetrics>
#include <QImageReader>
#include <QPainter>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace cyclar;

Q_DECLARE_METATYPE(cyclar::LinkageDimensions)

namespace {

// A buffer's picture as a QImage, whatever its byte order, for comparisons and diff output.
QImage toImage(const PixelBuffer& buffer)
{
    QImage image(buffer.width(), buffer.height(), QImage::Format_RGB32);
    for (int y = 0; y < buffer.height(); ++y) {
        for (int x = 0; x < buffer.width(); ++x) {
            const Rgb c = buffer.colour(buffer.row(y)[x]);
            image.setPixel(x, y, qRgb(c.r, c.g, c.b));
        }
    }
    return image;
}

// First differing pixel, for a readable failure.
QString firstDifference(const QImage& actual, const QImage& expected)
{
    if (actual.size() != expected.size()) {
        return QStringLiteral("sizes differ");
    }
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            if (actual.pixel(x, y) != expected.pixel(x, y)) {
                return QStringLiteral("(%1, %2): %3 instead of %4")
                    .arg(x)
                    .arg(y)
                    .arg(actual.pixel(x, y), 8, 16)
                    .arg(expected.pixel(x, y), 8, 16);
            }
        }
    }
    return {};
}

// The full picture drawn through the surface interface, every layer anew, on white.
PixelBuffer composeUncached(SceneState& scene, const FramePalette& palette,
                            PixelOrder order = PixelOrder::Rgba)
{
    PixelBuffer buffer(480, 480, order);
    Raster raster(buffer);
    composeFrame(raster, scene, palette);
    return buffer;
}

LinkageDimensions dims(double a, double b, double c, double f, double h = 45.0, double k = -35.0)
{
    return {a, b, c, f, h, k};
}

// Where a colour is on a picture: how many pixels, and their bounding box.
struct ColourSpread {
    long long count = 0;
    int left = std::numeric_limits<int>::max();
    int top = std::numeric_limits<int>::max();
    int right = -1;
    int bottom = -1;
};

ColourSpread spreadOf(const PixelBuffer& buffer, Rgb colour)
{
    ColourSpread spread;
    for (int y = 0; y < buffer.height(); ++y) {
        for (int x = 0; x < buffer.width(); ++x) {
            if (buffer.colour(buffer.row(y)[x]) == colour) {
                ++spread.count;
                spread.left = std::min(spread.left, x);
                spread.top = std::min(spread.top, y);
                spread.right = std::max(spread.right, x);
                spread.bottom = std::max(spread.bottom, y);
            }
        }
    }
    return spread;
}

} // namespace

class TestRenderCore : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void glyphTablesAreCurrent();
    void labelMatchesTheTextEngine_data();
    void labelMatchesTheTextEngine();
    void labelIsClippedToItsCellAndThePicture();
    void cachedFramesMatchTheFullComposition_data();
    void cachedFramesMatchTheFullComposition();
    void byteOrders();
    void keptPictureSurvivesTheNextFrame();
    void gifFramesDecodeToTheirPixels();
    void scaledPictureIsTheSamePictureLarger_data();
    void scaledPictureIsTheSamePictureLarger();
    void rotationAxisDrawsThePoleWhereItProjects_data();
    void rotationAxisDrawsThePoleWhereItProjects();
};

void TestRenderCore::initTestCase()
{
    initArtwork();
}

void TestRenderCore::glyphTablesAreCurrent()
{
    // The WebAssembly build cannot draw glyphs with Qt: it compiles the committed tables, which
    // must be what the generator makes from the bundled face now.
    QFile committed(QStringLiteral(CYCLAR_SOURCE_DIR "/rendercore/label_glyphs.cpp"));
    QVERIFY(committed.open(QIODevice::ReadOnly));
    const QByteArray generated = labelGlyphSource(labelFont());
    QVERIFY2(generated == committed.readAll(), "rendercore/label_glyphs.cpp is out of date: run "
                                               "cyclar-label-glyphs rendercore/label_glyphs.cpp");
}

void TestRenderCore::labelMatchesTheTextEngine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("Non-Grashof") << "Non-Grashof Four-bar Linkage" << QColor(0, 180, 60);
    QTest::newRow("Grashof") << "Grashof Four-bar Linkage" << QColor(0, 180, 60);
    QTest::newRow("kerned pairs") << "AVATAR Ty. LT 11 \"WA\" r," << QColor(10, 20, 30);
    QString ascii;
    for (char c = ' '; c <= '~'; ++c) {
        ascii += QLatin1Char(c);
    }
    QTest::newRow("all of ASCII") << ascii << QColor(0, 0, 0);
}

void TestRenderCore::labelMatchesTheTextEngine()
{
    QFETCH(QString, text);
    QFETCH(QColor, colour);
    // The text engine's picture: the label's cell drawn unantialiased with the bundled face.
    const QFont font = labelFont();
    const QFontMetrics metrics(font);
    QImage cell(std::max(1, metrics.horizontalAdvance(text)), metrics.height(),
                QImage::Format_RGB32);
    cell.fill(Qt::white);
    QPainter p(&cell);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(cell.rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    p.end();
    QImage expected(cell.width() + 20, cell.height() + 20, QImage::Format_RGB32);
    expected.fill(qRgb(1, 2, 3));
    QPainter(&expected).drawImage(5, 5, cell);

    PixelBuffer buffer(expected.width(), expected.height());
    buffer.fill(Rgb(1, 2, 3));
    Raster raster(buffer);
    raster.setTextColor(colour);
    raster.textOut(5, 5, text.toStdString());
    const QImage actual = toImage(buffer);
    if (actual != expected) {
        const QString name = QString::fromLatin1(QTest::currentDataTag())
                                 .replace(QLatin1Char(' '), QLatin1Char('-'));
        actual.save(QStringLiteral("label-%1-actual.png").arg(name));
        expected.save(QStringLiteral("label-%1-expected.png").arg(name));
    }
    QVERIFY2(actual == expected, qPrintable(firstDifference(actual, expected)));
}

void TestRenderCore::labelIsClippedToItsCellAndThePicture()
{
    // Corners far off the picture (as a caller might pass) draw nothing and do not overflow.
    PixelBuffer buffer(40, 20);
    Raster raster(buffer);
    raster.setTextColor(Rgb(255, 0, 0));
    for (const auto& [x, y] :
         {std::pair{std::numeric_limits<int>::max(), 0},
          std::pair{0, std::numeric_limits<int>::min()},
          std::pair{std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}}) {
        raster.textOut(x, y, "Non-Grashof");
    }
    QCOMPARE(toImage(buffer), toImage(PixelBuffer(40, 20)));
    // Partly on the picture: the part that is on it is drawn, nothing beyond the cell.
    raster.textOut(-3, -2, "Wg");
    const int cellWidth = labelFace().textWidth("Wg");
    int inked = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 40; ++x) {
            const std::uint32_t c = raster.pixel(x, y);
            if (c != 0xFFFFFFu) {
                ++inked;
                QVERIFY(x < cellWidth - 3 && y < labelFace().height - 2);
            }
        }
    }
    QVERIFY(inked > 10);
}

void TestRenderCore::cachedFramesMatchTheFullComposition_data()
{
    QTest::addColumn<LinkageDimensions>("d");
    QTest::addColumn<double>("turn");
    QTest::addColumn<double>("tilt");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("default") << defaultDimensions << -18.0 << -18.0;
    QTest::newRow("grashof, turned") << dims(20, 50, 45, 40, 30, 60) << 30.0 << 10.0;
    // a = f, b = c: each paint solves with lowerSign negated and moves the start index to 2.
    QTest::newRow("symmetric") << dims(40, 30, 30, 40) << -18.0 << -18.0;
    QTest::newRow("disjoint") << dims(10, 120, 35, 40) << 0.0 << 90.0;
    QTest::newRow("NaN everywhere") << dims(nan, nan, nan, nan, nan, nan) << -18.0 << -18.0;
}

void TestRenderCore::cachedFramesMatchTheFullComposition()
{
    QFETCH(LinkageDimensions, d);
    QFETCH(double, turn);
    QFETCH(double, tilt);

    // Two scenes walk in step: one drawn with the cache, one drawn whole every time. Between
    // frames the things the static layers depend on change, as the page changes them: the view,
    // the arc lengths on the page (not the model), the palette; and things they do not.
    SceneState cachedScene = newScene(d, 480);
    cachedScene.view.turn = turn;
    cachedScene.view.tilt = tilt;
    SceneState fullScene = cachedScene;
    FramePalette palette;
    FrameRenderer renderer(480, 480);
    for (int step = 0; step < 14; ++step) {
        switch (step) {
        case 3: // the turn slider
            cachedScene.view.turn = fullScene.view.turn = turn + 7;
            break;
        case 5: // a field on the animation page: arc lengths change, the model does not
            cachedScene.animationCopy.a = fullScene.animationCopy.a = 25;
            cachedScene.animationCopy.f = fullScene.animationCopy.f = 25;
            break;
        case 7: // back again, which may make the linkage symmetric again
            cachedScene.animationCopy = fullScene.animationCopy = d;
            break;
        case 9:
            palette.curve.colour = Rgb(200, 0, 200);
            palette.drawLabel = false;
            break;
        case 11: // the rotation axis on, then off: no trace of it may stay behind
            palette.rotationAxis = true;
            break;
        case 13:
            palette.rotationAxis = false;
            break;
        default:
            break;
        }
        const QImage cached = toImage(renderer.render(cachedScene, palette));
        const QImage full = toImage(composeUncached(fullScene, palette));
        QVERIFY2(
            cached == full,
            qPrintable(QStringLiteral("step %1: %2").arg(step).arg(firstDifference(cached, full))));
        QCOMPARE(cachedScene.schedule.startIndex, fullScene.schedule.startIndex);
        QCOMPARE(cachedScene.schedule.frameParameter, fullScene.schedule.frameParameter);
        for (int i = 0; i < 37; ++i) {
            advanceFrame(cachedScene.schedule, cachedScene.model);
            advanceFrame(fullScene.schedule, fullScene.model);
        }
    }
}

void TestRenderCore::byteOrders()
{
    // A browser reads bytes R, G, B, A; the desktop's QImage reads words 0xAARRGGBB.
    PixelBuffer rgba(2, 1, PixelOrder::Rgba);
    PixelBuffer argb(2, 1, PixelOrder::Argb32);
    Raster(rgba).setPixel(1, 0, Rgb(0x12, 0x34, 0x56));
    Raster(argb).setPixel(1, 0, Rgb(0x12, 0x34, 0x56));
    const std::uint8_t* bytes = rgba.bytes();
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(bytes), 8),
             QByteArray("\xff\xff\xff\xff\x12\x34\x56\xff", 8));
    QCOMPARE(argb.data()[1], 0xFF123456u);
    QCOMPARE(Raster(rgba).pixel(1, 0), 0x123456u);
    QCOMPARE(Raster(argb).pixel(1, 0), 0x123456u);
    QCOMPARE(Raster(argb).pixel(2, 0), Raster::notAColour);

    // The same frame in both orders is the same picture.
    SceneState one = newScene(defaultDimensions, 480);
    SceneState two = one;
    QCOMPARE(toImage(composeUncached(one, FramePalette(), PixelOrder::Rgba)),
             toImage(composeUncached(two, FramePalette(), PixelOrder::Argb32)));
}

void TestRenderCore::keptPictureSurvivesTheNextFrame()
{
    // The canvas's image shares its pixels; one kept by the target must not change when the
    // canvas clears and draws the next frame.
    Canvas canvas(480, 480);
    SceneState scene = newScene(defaultDimensions, 480);
    QImage kept;
    renderFrame(canvas, scene, [&kept](const QImage& image) { kept = image; });
    const QImage copy = kept.copy();
    for (int i = 0; i < 90; ++i) {
        advanceFrame(scene.schedule, scene.model);
    }
    QImage next;
    renderFrame(canvas, scene, [&next](const QImage& image) { next = image.copy(); });
    QCOMPARE(kept, copy);
    QVERIFY(next != copy);
    QCOMPARE(canvas.pixel(240, 240), 0xFFFFFFu); // cleared after the frame, as ever
}

void TestRenderCore::scaledPictureIsTheSamePictureLarger_data()
{
    QTest::addColumn<LinkageDimensions>("d");
    QTest::addColumn<int>("k");
    for (const int k : {2, 3, 4}) {
        QTest::addRow("default, k = %d", k) << defaultDimensions << k;
        QTest::addRow("grashof, k = %d", k) << dims(20, 50, 45, 40, 30, 60) << k;
    }
}

void TestRenderCore::scaledPictureIsTheSamePictureLarger()
{
    QFETCH(LinkageDimensions, d);
    QFETCH(int, k);

    FramePalette palette;
    SceneState scene = newScene(d, 480);
    FrameRenderer renderer(480, 480);
    const PixelBuffer one = renderer.render(scene, palette);

    // The same renderer at scale k (its cache drawn at scale 1) and a fresh one agree.
    palette.scale = k;
    SceneState again = newScene(d, 480);
    const PixelBuffer large = renderer.render(again, palette);
    QCOMPARE(large.width(), 480 * k);
    QCOMPARE(large.height(), 480 * k);
    SceneState fresh = newScene(d, 480);
    FrameRenderer freshRenderer(480, 480);
    const QImage freshImage = toImage(freshRenderer.render(fresh, palette));
    QVERIFY2(toImage(large) == freshImage, qPrintable(firstDifference(toImage(large), freshImage)));

    // The label is its scale-1 picture with each pixel a k x k block.
    const ColourSpread label1 = spreadOf(one, palette.label);
    const ColourSpread labelK = spreadOf(large, palette.label);
    QVERIFY(label1.count > 0);
    QCOMPARE(labelK.count, label1.count * k * k);
    for (int y = label1.top; y <= label1.bottom; ++y) {
        for (int x = label1.left; x <= label1.right; ++x) {
            const bool ink = one.colour(one.row(y)[x]) == palette.label;
            const Rgb block = large.colour(large.row(y * k + k / 2)[x * k + k / 2]);
            QVERIFY2((block == palette.label) == ink,
                     qPrintable(QStringLiteral("label pixel (%1, %2)").arg(x).arg(y)));
        }
    }

    // Outline, curve and linkage (rings included) land where the scale-1 ones do, k times
    // farther out, and cover about k^2 times the pixels: the pens are k times as wide.
    for (const Rgb colour : {palette.sphere.colour, palette.curve.colour, palette.link.colour}) {
        const ColourSpread at1 = spreadOf(one, colour);
        const ColourSpread atK = spreadOf(large, colour);
        QVERIFY(at1.count > 0);
        const int slack = 2 * k;
        QVERIFY2(
            std::abs(atK.left - at1.left * k) <= slack && std::abs(atK.top - at1.top * k) <= slack
                && std::abs(atK.right - (at1.right * k + k - 1)) <= slack
                && std::abs(atK.bottom - (at1.bottom * k + k - 1)) <= slack,
            qPrintable(
                QStringLiteral(
                    "colour %1: box (%2, %3)-(%4, %5) at scale 1, (%6, %7)-(%8, %9) at scale k")
                    .arg(colour.value(), 6, 16)
                    .arg(at1.left)
                    .arg(at1.top)
                    .arg(at1.right)
                    .arg(at1.bottom)
                    .arg(atK.left)
                    .arg(atK.top)
                    .arg(atK.right)
                    .arg(atK.bottom)));
        const double ratio =
            static_cast<double>(atK.count) / static_cast<double>(at1.count * k * k);
        QVERIFY2(ratio > 0.75 && ratio < 1.25,
                 qPrintable(QStringLiteral("colour %1: %2 of k^2 times the pixels")
                                .arg(colour.value(), 6, 16)
                                .arg(ratio)));
    }

    // Back at scale 1 the renderer draws the scale-1 picture again.
    palette.scale = 1;
    SceneState third = newScene(d, 480);
    QVERIFY(toImage(renderer.render(third, palette)) == toImage(one));
}

void TestRenderCore::rotationAxisDrawsThePoleWhereItProjects_data()
{
    QTest::addColumn<LinkageDimensions>("d");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("scale");
    QTest::newRow("default, frame 90") << defaultDimensions << 89 << 1;
    QTest::newRow("grashof crank, frame 200") << dims(20, 50, 45, 40, 30, 60) << 199 << 1;
    QTest::newRow("symmetric, frame 1") << dims(40, 30, 30, 40) << 0 << 1;
    QTest::newRow("default at scale 2") << defaultDimensions << 40 << 2;
}

void TestRenderCore::rotationAxisDrawsThePoleWhereItProjects()
{
    QFETCH(LinkageDimensions, d);
    QFETCH(int, frames);
    QFETCH(int, scale);
    SceneState scene = newScene(d, 480);
    for (int i = 0; i < frames; ++i) {
        advanceFrame(scene.schedule, scene.model);
    }
    FramePalette off;
    off.scale = scale;
    FramePalette on = off;
    on.rotationAxis = true;
    SceneState offScene = scene;
    SceneState onScene = scene;
    FrameRenderer offRenderer(480, 480);
    FrameRenderer onRenderer(480, 480);
    const PixelBuffer& without = offRenderer.render(offScene, off);
    const PixelBuffer& with = onRenderer.render(onScene, on);

    // The pose the picture shows, and its pole from the rates; the pole must lie where the
    // great circles A0 A1 and B0 B1 cross.
    MotionSchedule schedule = scene.schedule;
    const PaintSchedule paint = beginPaint(scene.model, scene.animationCopy, schedule);
    const LinkagePose pose = paintedPose(paint, schedule);
    const LinkageRates rates = poseRates(paint.model, pose);
    const auto cross = [](const SphereVector& u, const SphereVector& v) {
        return SphereVector{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    };
    const SphereVector meet = cross(cross(paint.model.A0, pose.A1), cross(paint.model.B0, pose.B1));
    const double meetLength = std::sqrt(meet.x * meet.x + meet.y * meet.y + meet.z * meet.z);
    QVERIFY(
        std::fabs(std::fabs(meet.x * rates.pole.x + meet.y * rates.pole.y + meet.z * rates.pole.z)
                  - meetLength)
        < 1e-9 * meetLength);

    // The ring's right edge lies `4 * scale` pixels right of the pole's pixel.
    const Projection projection =
        projectionFor(480 * scale, 480 * scale, scene.sphereRadius * scale);
    const RotatedPoint r = rotateToView(onScene.view, rates.pole);
    const std::optional<Pixel> at = toCanvasPixel(projection, r.x, r.y);
    QVERIFY(at);
    const Rgb poleColour = on.axisPens.pole.colour;
    QCOMPARE(with.colour(with.row(at->y())[at->x() + 4 * scale]), poleColour);
    QCOMPARE(with.colour(with.row(at->y())[at->x() - 4 * scale]), poleColour);
    const ColourSpread ring = spreadOf(with, poleColour);
    QVERIFY(ring.right - ring.left <= 10 * scale && ring.bottom - ring.top <= 10 * scale);
    QCOMPARE(spreadOf(without, poleColour).count, 0LL);
    // The polode and the velocity arrow are there too; off, nothing of them is.
    QVERIFY(spreadOf(with, on.axisPens.polode.colour).count > 50 * scale);
    QCOMPARE(spreadOf(without, on.axisPens.polode.colour).count, 0LL);
    QVERIFY(spreadOf(with, on.axisPens.velocity.colour).count
            > spreadOf(without, Rgb(0, 0, 0)).count);
}

void TestRenderCore::gifFramesDecodeToTheirPixels()
{
    // Noise in 40 colours (the table holds 3: a frame's own table, codes up to 12 bits and
    // several table clears), the same frame again (a one-pixel frame), a frame with a small
    // change, then a frame of too many colours, which is refused.
    const int w = 211;
    const int h = 97;
    std::uint32_t seed = 12345;
    const auto random = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    std::vector<PixelBuffer> frames(3, PixelBuffer(w, h, PixelOrder::Argb32));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int c = static_cast<int>(random() % 40);
            frames[0].row(y)[x] = frames[0].word(Rgb(c * 6, 255 - c * 6, (c * 37) % 256));
        }
    }
    frames[1].copyPixels(frames[0]);
    frames[2].copyPixels(frames[0]);
    for (int x = 50; x < 60; ++x) {
        frames[2].row(40)[x] = frames[2].word(Rgb(1, 2, 3));
    }
    GifEncoder encoder(w, h, {white, Rgb(0, 0, 255), Rgb(255, 0, 0)}, 7);
    std::string error;
    for (const PixelBuffer& frame : frames) {
        QVERIFY2(encoder.addFrame(frame, error), error.c_str());
    }
    PixelBuffer tooMany(w, h, PixelOrder::Rgba);
    for (int i = 0; i < w * h; ++i) {
        tooMany.data()[i] = tooMany.word(Rgb(i % 256, i / 256 % 256, 0));
    }
    QVERIFY(!encoder.addFrame(tooMany, error));
    QVERIFY(!error.empty());
    QVERIFY(!encoder.addFrame(PixelBuffer(w + 1, h), error));

    QByteArray bytes = QByteArray::fromStdString(encoder.finish());
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device, "gif");
    QCOMPARE(reader.imageCount(), 3);
    QCOMPARE(reader.loopCount(), -1); // forever
    for (const PixelBuffer& frame : frames) {
        const QImage decoded = reader.read().convertToFormat(QImage::Format_RGB32);
        QVERIFY2(!decoded.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(reader.nextImageDelay(), 70);
        const QImage expected = toImage(frame);
        QVERIFY2(decoded == expected, qPrintable(firstDifference(decoded, expected)));
    }
}

QTEST_MAIN(TestRenderCore)
#include "tst_render_core.moc"
