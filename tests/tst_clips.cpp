// Tests of the clips (frames, colours, the figure of eight, the loops) and of the clip player.
#include "clip_frames.h"
#include "clip_player.h"
#include "clips.h"
#include "linkage_model.h"
#include "motion_schedule.h"
#include "pose_solver.h"
#include "view.h"

#include <QApplication>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <set>

using namespace cyclar;

using ShotFunction = ClipShot (*)(int);
Q_DECLARE_METATYPE(ShotFunction)

namespace {

constexpr QRgb curveRed = 0xFFFF0303u;
constexpr QRgb sphereTan = 0xFFCF7F33u;
constexpr QRgb linkBlue = 0xFF0303FFu;
constexpr QRgb background = 0xFFFFFFFFu;

// Both clips' frames, drawn once for the whole run.
const QList<QImage>& framesOf(const QString& clip)
{
    static const QList<QImage> frames1038 = renderClip1038();
    static const QList<QImage> frames170 = renderClip170();
    return clip == QLatin1String("1038") ? frames1038 : frames170;
}

int differingPixels(const QImage& one, const QImage& other)
{
    int count = 0;
    for (int y = 0; y < one.height(); ++y) {
        for (int x = 0; x < one.width(); ++x) {
            count += one.pixel(x, y) != other.pixel(x, y) ? 1 : 0;
        }
    }
    return count;
}

// Where segment p0-p1 properly crosses q0-q1: the parameter along p0-p1.
std::optional<double> crossing(QPointF p0, QPointF p1, QPointF q0, QPointF q1)
{
    const QPointF r = p1 - p0;
    const QPointF s = q1 - q0;
    const double denominator = r.x() * s.y() - r.y() * s.x();
    if (std::fabs(denominator) < 1e-15) {
        return std::nullopt;
    }
    const QPointF q = q0 - p0;
    const double u = (q.x() * s.y() - q.y() * s.x()) / denominator;
    const double v = (q.x() * r.y() - q.y() * r.x()) / denominator;
    if (u > 0.0 && u < 1.0 && v > 0.0 && v < 1.0) {
        return u;
    }
    return std::nullopt;
}

// A clip of solid frames, frame i in the colour (i, 100, 200); counts the frames drawn.
class SolidClip final : public ClipSource {
public:
    SolidClip(int count, QSize size) : m_count(count), m_size(size) {}
    int frameCount() const override { return m_count; }
    QSize frameSize() const override { return m_size; }
    QImage frame(int i) override
    {
        ++drawn;
        QImage image(m_size, QImage::Format_RGB32);
        image.fill(colourOf(i));
        return image;
    }
    static QRgb colourOf(int i) { return qRgb(i % 256, 100, 200); }
    int drawn = 0;

private:
    int m_count;
    QSize m_size;
};

// A player on a clock the test moves by hand.
struct PlayerFixture {
    PlayerFixture()
    {
        player.setClock([this] { return now; });
    }
    QTimer* timer() { return player.findChild<QTimer*>(); }
    void at(qint64 t)
    {
        now = t;
        player.tick();
    }
    qint64 now = 1000000; // any origin: the player counts from its open()
    ClipPlayer player;
};

} // namespace

class TestClips : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void specs();
    void framesHaveTheirSizeCountAndFourColours_data();
    void framesHaveTheirSizeCountAndFourColours();
    void clipLinkageDrawsAFigureOfEight();
    void titleClipMovesTheLinkageOverAStillCurve();
    void circularClipGoesRoundThePolarAxis();
    void frameAfterTheLastIsTheFirst_data();
    void frameAfterTheLastIsTheFirst();
    void sourceDrawsOnDemandAndKeepsFrames();
    void changedAreaHoldsEveryChange_data();
    void changedAreaHoldsEveryChange();

    void playerStartsAtFrameZeroAndShowsIt();
    void playerFollowsTheClock_data();
    void playerFollowsTheClock();
    void playerSkipsAheadAfterAStallWithoutDrift();
    void playerStopsSeeksAndRestarts();
    void playerClosedOrDestroyedLetsGoOfTheClip();
    void playerStaysEmptyForAClipItCannotOpen_data();
    void playerStaysEmptyForAClipItCannotOpen();
};

void TestClips::initTestCase()
{
    QApplication::setStyle(QStyleFactory::create("Windows"));
}

void TestClips::specs()
{
    const ClipSpec title = clip1038Spec();
    QCOMPARE(title.frameSize, QSize(449, 452));
    QCOMPARE(title.frameCount, 60);
    QCOMPARE(title.framesPerSecond, 10);
    QCOMPARE(title.keyFrames, (QList<int>{0, 15, 30, 45}));

    const ClipSpec circular = clip170Spec();
    QCOMPARE(circular.frameSize, QSize(240, 240));
    QCOMPARE(circular.frameCount, 120);
    QCOMPARE(circular.framesPerSecond, 15);
    QCOMPARE(circular.keyFrames, (QList<int>{0, 15, 30, 45, 60, 75, 90, 105}));
}

void TestClips::framesHaveTheirSizeCountAndFourColours_data()
{
    QTest::addColumn<QString>("clip");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("count");
    QTest::newRow("1038") << QStringLiteral("1038") << QSize(449, 452) << 60;
    QTest::newRow("170") << QStringLiteral("170") << QSize(240, 240) << 120;
}

// Every frame shows the sphere (tan), the curve (red) and the linkage (blue) on white, and
// nothing else: a fifth colour would be a stray pen or smoothing.
void TestClips::framesHaveTheirSizeCountAndFourColours()
{
    QFETCH(QString, clip);
    QFETCH(QSize, size);
    QFETCH(int, count);
    const QList<QImage>& frames = framesOf(clip);
    QCOMPARE(frames.size(), count);
    const std::set<QRgb> expected{curveRed, sphereTan, linkBlue, background};
    for (int i = 0; i < count; ++i) {
        const QImage& frame = frames[i];
        QCOMPARE(frame.size(), size);
        std::set<QRgb> used;
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x < frame.width(); ++x) {
                used.insert(frame.pixel(x, y));
            }
        }
        QVERIFY2(used == expected,
                 qPrintable(QStringLiteral("frame %1 uses %2 colours").arg(i).arg(used.size())));
        // In the form the screen takes, so showing a frame converts nothing.
        QCOMPARE(frame.format(), QImage::Format_RGB32);
    }
}

// Over one cycle of the animation the coupler point closes one circuit, and in the title clip's
// view that circuit crosses itself exactly once, on the near side of the sphere, where the two
// strands really meet (equal depth) rather than one passing behind the other.
void TestClips::clipLinkageDrawsAFigureOfEight()
{
    const LinkageModel model = buildLinkageModel(clipLinkage);
    QVERIFY(!isGrashof(model));
    ViewOrientation view{clip1038Turn, clip1038Tilt};
    view.recompute();

    const int n = MotionSchedule{}.framesPerCycle;
    QList<RotatedPoint> curve;
    for (int i = 1; i <= n; ++i) {
        const SphereVector p = solvePose(model, frameParameterFor(model, n, i)).P;
        QVERIFY(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
        curve.append(rotateToView(view, p));
    }
    // One closed circuit: no jump between neighbours, frame 360 leading back to frame 1.
    for (int i = 0; i < n; ++i) {
        const RotatedPoint& p = curve[i];
        const RotatedPoint& q = curve[(i + 1) % n];
        QVERIFY2(std::hypot(p.depth - q.depth, p.x - q.x, p.y - q.y) < 0.05,
                 qPrintable(QStringLiteral("jump after frame %1").arg(i + 1)));
    }

    int crossings = 0;
    QPointF where;
    for (int i = 0; i < n; ++i) {
        for (int j = i + 2; j < n; ++j) {
            if ((j + 1) % n == i) {
                continue; // neighbours share a vertex
            }
            const RotatedPoint& a0 = curve[i];
            const RotatedPoint& a1 = curve[(i + 1) % n];
            const RotatedPoint& b0 = curve[j];
            const RotatedPoint& b1 = curve[(j + 1) % n];
            const std::optional<double> u =
                crossing({a0.x, a0.y}, {a1.x, a1.y}, {b0.x, b0.y}, {b1.x, b1.y});
            const std::optional<double> v =
                crossing({b0.x, b0.y}, {b1.x, b1.y}, {a0.x, a0.y}, {a1.x, a1.y});
            if (!u || !v) {
                continue;
            }
            ++crossings;
            const double depthA = a0.depth + *u * (a1.depth - a0.depth);
            const double depthB = b0.depth + *v * (b1.depth - b0.depth);
            QVERIFY2(std::fabs(depthA - depthB) < 0.01, "the strands pass one behind the other");
            QVERIFY(depthA > 0.0);
            where = QPointF(a0.x + *u * (a1.x - a0.x), a0.y + *u * (a1.y - a0.y));
        }
    }
    QCOMPARE(crossings, 1);

    // The title clip draws that crossing: its pixel is on the curve (or under the linkage).
    const ClipSpec spec = clip1038Spec();
    const Projection projection = projectionFor(spec.frameSize.width(), spec.frameSize.height(),
                                                sphereRadius(spec.frameSize.width()));
    const std::optional<QPoint> pixel = toCanvasPixel(projection, where.x(), where.y());
    QVERIFY(pixel);
    const QImage& first = framesOf(QStringLiteral("1038")).first();
    bool drawn = false;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const QRgb colour = first.pixel(*pixel + QPoint(dx, dy));
            drawn = drawn || colour == curveRed || colour == linkBlue;
        }
    }
    QVERIFY(drawn);
}

// The view is fixed: the curve's pixels are the same in every frame except where the moving
// linkage lies over them, while the linkage itself is somewhere else in every frame.
void TestClips::titleClipMovesTheLinkageOverAStillCurve()
{
    const QList<QImage>& frames = framesOf(QStringLiteral("1038"));
    const QImage& first = frames.first();
    for (int i = 1; i < frames.size(); ++i) {
        const QImage& frame = frames[i];
        for (int y = 0; y < first.height(); ++y) {
            for (int x = 0; x < first.width(); ++x) {
                const QRgb was = first.pixel(x, y);
                const QRgb is = frame.pixel(x, y);
                if ((was == curveRed && is != curveRed && is != linkBlue)
                    || (is == curveRed && was != curveRed && was != linkBlue)) {
                    QFAIL(qPrintable(QStringLiteral("curve pixel (%1, %2) differs in frame %3")
                                         .arg(x)
                                         .arg(y)
                                         .arg(i)));
                }
            }
        }
        QVERIFY2(differingPixels(frames[i - 1], frame) > 0,
                 qPrintable(QStringLiteral("frame %1 repeats frame %2").arg(i).arg(i - 1)));
    }
}

// The viewpoint goes round the sphere's polar axis at the title clip's height: the outline and the
// reference circles keep their pixels from frame to frame (but where the linkage or the curve
// lies over them), while the fixed pivot A0 goes round on the equator.
void TestClips::circularClipGoesRoundThePolarAxis()
{
    const QList<QImage>& frames = framesOf(QStringLiteral("170"));
    const QSize size = frames.first().size();
    int ever = 0;
    int mostly = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            int tan = 0;
            for (const QImage& frame : frames)
                tan += frame.pixel(x, y) == sphereTan ? 1 : 0;
            ever += tan > 0 ? 1 : 0;
            mostly += 4 * tan >= 3 * frames.size() ? 1 : 0;
        }
    }
    QVERIFY2(10 * mostly >= 9 * ever, qPrintable(QStringLiteral("%1 of %2").arg(mostly).arg(ever)));

    ViewOrientation view{clip1038Turn, clip1038Tilt};
    view.recompute();
    const Projection projection =
        projectionFor(size.width(), size.height(), sphereRadius(size.width()));
    const double rad = std::atan(1.0) / 45.0;
    for (int i : {0, 20, 30, 45, 60, 90, 105}) {
        // A0 = (1, 0, 0), carried round the polar axis by the frame's share of a whole turn.
        const double angle = i * 3.0 * rad;
        const RotatedPoint a0 = rotateToView(view, {std::cos(angle), std::sin(angle), 0.0});
        const std::optional<QPoint> centre = toCanvasPixel(projection, a0.x, a0.y);
        QVERIFY(centre);
        int blue = 0;
        for (int dy = -5; dy <= 5; ++dy) {
            for (int dx = -5; dx <= 5; ++dx) {
                const QPoint at = *centre + QPoint(dx, dy);
                blue += frames[i].valid(at) && frames[i].pixel(at) == linkBlue ? 1 : 0;
            }
        }
        QVERIFY2(blue >= 8, qPrintable(QStringLiteral("frame %1: %2 blue").arg(i).arg(blue)));
    }
}

void TestClips::frameAfterTheLastIsTheFirst_data()
{
    QTest::addColumn<QString>("clip");
    QTest::addColumn<ShotFunction>("shotOf");
    QTest::addColumn<int>("tolerance");
    QTest::newRow("1038") << QStringLiteral("1038") << &clip1038Shot << 0;
    // A whole spin later the cosines and sines agree only to the last bit, and a few sums on
    // the edge of a pixel truncate the other way: a handful of pixels, far below one step.
    QTest::newRow("170") << QStringLiteral("170") << &clip170Shot << 30;
}

// The loop is seamless: one step past the last frame (for the circular clip a whole spin of
// 360 degrees on, and the animation index wrapped from 361 to 1) draws frame 0 again, while
// every real step of the clip, the last one included, changes the picture.
void TestClips::frameAfterTheLastIsTheFirst()
{
    QFETCH(QString, clip);
    QFETCH(ShotFunction, shotOf);
    QFETCH(int, tolerance);
    const QList<QImage>& frames = framesOf(clip);
    const int count = static_cast<int>(frames.size());

    const ClipShot next = shotOf(count);
    QCOMPARE(next.animationFrame, 1);
    QCOMPARE(next.tilt, shotOf(0).tilt);
    QCOMPARE(next.turn, shotOf(0).turn);
    const double turns = (next.spin - shotOf(0).spin) / 360.0;
    QVERIFY(turns == 0.0 || turns == 1.0);

    const QImage wrapped = renderClipPicture(frames.first().size(), next);
    QVERIFY(differingPixels(wrapped, frames.first()) <= tolerance);
    int smallestStep = std::numeric_limits<int>::max();
    for (int i = 0; i < count; ++i) {
        smallestStep = std::min(smallestStep, differingPixels(frames[i], frames[(i + 1) % count]));
    }
    QVERIFY2(smallestStep > 10 * tolerance, qPrintable(QString::number(smallestStep)));
    QVERIFY(differingPixels(frames[count / 2], frames.first()) > 10 * tolerance);
}

void TestClips::sourceDrawsOnDemandAndKeepsFrames()
{
    const std::shared_ptr<ClipSource> clip = openClip170();
    QCOMPARE(clip->frameCount(), 120);
    QCOMPARE(clip->frameSize(), QSize(240, 240));
    QVERIFY(clip->frame(-1).isNull());
    QVERIFY(clip->frame(120).isNull());
    QVERIFY(clip->frame(std::numeric_limits<int>::min()).isNull());

    const QImage once = clip->frame(7);
    QCOMPARE(clip->frame(7).cacheKey(), once.cacheKey());
    QCOMPARE(differingPixels(once, framesOf(QStringLiteral("170"))[7]), 0);
}

void TestClips::changedAreaHoldsEveryChange_data()
{
    QTest::addColumn<QString>("clip");
    QTest::addColumn<int>("largestShare"); // percent of the picture
    // The title clip's curve stands still: only the linkage's corner of the picture changes.
    QTest::newRow("1038") << QStringLiteral("1038") << 40;
    QTest::newRow("170") << QStringLiteral("170") << 100;
}

// The player repaints only the area the source names, so every pixel that changes from one frame
// to the next (and from the last back to the first) must lie in it.
void TestClips::changedAreaHoldsEveryChange()
{
    QFETCH(QString, clip);
    QFETCH(int, largestShare);
    const std::shared_ptr<ClipSource> source =
        clip == QLatin1String("1038") ? openClip1038() : openClip170();
    const QList<QImage>& frames = framesOf(clip);
    const int count = source->frameCount();
    const QRect whole(QPoint(0, 0), source->frameSize());
    QCOMPARE(source->changedArea(0, 1), whole); // nothing drawn yet: all of it
    for (int i = 0; i < count; ++i)
        source->frame(i);
    for (int i = 0; i < count; ++i) {
        const int next = (i + 1) % count;
        const QRect area = source->changedArea(i, next);
        QVERIFY(whole.contains(area));
        QVERIFY2(
            100 * area.width() * area.height() <= largestShare * whole.width() * whole.height(),
            qPrintable(
                QStringLiteral("frame %1: %2 x %3").arg(i).arg(area.width()).arg(area.height())));
        for (int y = 0; y < whole.height(); ++y) {
            for (int x = 0; x < whole.width(); ++x) {
                if (frames[i].pixel(x, y) != frames[next].pixel(x, y) && !area.contains(x, y))
                    QFAIL(qPrintable(
                        QStringLiteral("frame %1: %2,%3 changes outside").arg(i).arg(x).arg(y)));
            }
        }
    }
    QVERIFY(source->changedArea(5, 5).isEmpty());
}

void TestClips::playerStartsAtFrameZeroAndShowsIt()
{
    PlayerFixture f;
    QSignalSpy shown(&f.player, &ClipPlayer::frameShown);
    const std::shared_ptr<ClipSource> clip = openClip1038();
    QVERIFY(f.player.open(clip, 10));
    QVERIFY(f.player.isPlaying());
    QCOMPARE(f.player.currentFrame(), 0);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().first().toInt(), 0);

    // The control takes the clip's size inside a sunken border, the frame at its top-left.
    const int border = f.player.frameWidth();
    QVERIFY(border > 0);
    QCOMPARE(f.player.size(), QSize(449, 452) + QSize(2 * border, 2 * border));
    const QImage seen = f.player.grab().toImage();
    const QImage inner = seen.copy(QRect(QPoint(border, border), QSize(449, 452)));
    QCOMPARE(differingPixels(inner.convertToFormat(QImage::Format_RGB32),
                             clip->frame(0).convertToFormat(QImage::Format_RGB32)),
             0);
    const QRgb topLeft = seen.pixel(0, 0);
    const QRgb bottomRight = seen.pixel(seen.width() - 1, seen.height() - 1);
    QVERIFY2(qGray(topLeft) < qGray(bottomRight), "the border is not sunken");
}

void TestClips::playerFollowsTheClock_data()
{
    QTest::addColumn<int>("fps");
    QTest::addColumn<int>("count");
    QTest::addColumn<qint64>("time");
    QTest::addColumn<int>("frame");
    QTest::addColumn<qint64>("nextTick");
    // Frame k is due at ceil(k * 1000 / fps) ms; the timer is set for the next one.
    QTest::newRow("10 fps, before frame 1") << 10 << 60 << qint64(99) << 0 << qint64(1);
    QTest::newRow("10 fps, frame 1 due") << 10 << 60 << qint64(100) << 1 << qint64(100);
    QTest::newRow("10 fps, last frame") << 10 << 60 << qint64(5999) << 59 << qint64(1);
    QTest::newRow("10 fps, loops to 0") << 10 << 60 << qint64(6000) << 0 << qint64(100);
    QTest::newRow("10 fps, third loop") << 10 << 60 << qint64(12150) << 1 << qint64(50);
    QTest::newRow("15 fps, 66 ms") << 15 << 120 << qint64(66) << 0 << qint64(1);
    QTest::newRow("15 fps, 67 ms") << 15 << 120 << qint64(67) << 1 << qint64(67);
    QTest::newRow("15 fps, one second") << 15 << 120 << qint64(1000) << 15 << qint64(67);
    QTest::newRow("15 fps, last frame") << 15 << 120 << qint64(7999) << 119 << qint64(1);
    QTest::newRow("15 fps, loops to 0") << 15 << 120 << qint64(8000) << 0 << qint64(67);
    QTest::newRow("15 fps, an hour on") << 15 << 120 << qint64(3600000 + 1000) << 15 << qint64(67);
    QTest::newRow("7 fps, 5 frames, 1 s") << 7 << 5 << qint64(1000) << 2 << qint64(143);
}

// Ticks every 10 ms from the open to the given time: the frame shown is always the one due,
// and each frame is shown once per loop, in order.
void TestClips::playerFollowsTheClock()
{
    QFETCH(int, fps);
    QFETCH(int, count);
    QFETCH(qint64, time);
    QFETCH(int, frame);
    QFETCH(qint64, nextTick);
    PlayerFixture f;
    const qint64 start = f.now;
    QVERIFY(f.player.open(std::make_shared<SolidClip>(count, QSize(4, 3)), fps));
    QSignalSpy shown(&f.player, &ClipPlayer::frameShown);
    const qint64 from = std::max<qint64>(0, time - 20000);
    for (qint64 t = from; t <= time; t += 10) {
        f.at(start + t);
        QCOMPARE(f.player.currentFrame(), static_cast<int>(t * fps / 1000 % count));
    }
    f.at(start + time);
    QCOMPARE(f.player.currentFrame(), frame);
    QVERIFY(f.timer()->isActive());
    QCOMPARE(f.timer()->interval(), static_cast<int>(nextTick));
    for (int i = 1; i < shown.size(); ++i) {
        QCOMPARE(shown[i].first().toInt(), (shown[i - 1].first().toInt() + 1) % count);
    }
}

// A stall (a modal loop, a slow machine) shows the frame due by then, not the next one, and
// the rest of the loop keeps its original times.
void TestClips::playerSkipsAheadAfterAStallWithoutDrift()
{
    PlayerFixture f;
    const qint64 start = f.now;
    QVERIFY(f.player.open(std::make_shared<SolidClip>(60, QSize(4, 3)), 10));
    QSignalSpy shown(&f.player, &ClipPlayer::frameShown);
    f.at(start + 100);
    f.at(start + 2351);
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[1].first().toInt(), 23);
    QCOMPARE(f.timer()->interval(), 49);

    // Ticks that always come 7 ms late do not add up: frame k still starts k * 100 ms in.
    for (int k = 24; k < 200; ++k) {
        f.at(start + k * 100 + 7);
        QCOMPARE(f.player.currentFrame(), k % 60);
        QCOMPARE(f.timer()->interval(), 93);
    }
    // A clock reading from before the open keeps the frame shown and plays on from it.
    f.at(start - 500);
    QCOMPARE(f.player.currentFrame(), 199 % 60);
    f.at(start - 400);
    QCOMPARE(f.player.currentFrame(), 200 % 60);
    // Readings at the ends of the clock's range overflow nothing.
    f.at(std::numeric_limits<qint64>::max());
    QVERIFY(f.player.currentFrame() >= 0 && f.player.currentFrame() < 60);
    f.at(std::numeric_limits<qint64>::min());
    QVERIFY(f.player.currentFrame() >= 0 && f.player.currentFrame() < 60);
    QVERIFY(f.timer()->isActive());
}

void TestClips::playerStopsSeeksAndRestarts()
{
    PlayerFixture f;
    const qint64 start = f.now;
    const auto clip = std::make_shared<SolidClip>(60, QSize(8, 6));
    QVERIFY(f.player.open(clip, 10));
    f.at(start + 3750);
    QCOMPARE(f.player.currentFrame(), 37);

    f.player.stop();
    QVERIFY(!f.player.isPlaying());
    QVERIFY(!f.timer()->isActive());
    f.at(start + 9000);
    QCOMPARE(f.player.currentFrame(), 37);
    const int border = f.player.frameWidth();
    QCOMPARE(f.player.grab().toImage().pixel(border, border), SolidClip::colourOf(37));

    f.player.seek(12);
    QCOMPARE(f.player.currentFrame(), 12);
    f.player.seek(60);
    QCOMPARE(f.player.currentFrame(), 12);

    // Opening again starts the clip over from frame 0, on a new timeline.
    QVERIFY(f.player.open(clip, 10));
    QVERIFY(f.player.isPlaying());
    QCOMPARE(f.player.currentFrame(), 0);
    f.at(f.now + 250);
    QCOMPARE(f.player.currentFrame(), 2);

    // A seek while playing moves the timeline: playing on from frame 40.
    f.player.seek(40);
    f.at(f.now + 100);
    QCOMPARE(f.player.currentFrame(), 41);
}

void TestClips::playerClosedOrDestroyedLetsGoOfTheClip()
{
    const auto clip = std::make_shared<SolidClip>(60, QSize(8, 6));
    {
        PlayerFixture f;
        QVERIFY(f.player.open(clip, 10));
        f.player.show();
        QVERIFY(f.player.close());
        QVERIFY(!f.player.isPlaying());
        QVERIFY(!f.player.hasClip());
        QCOMPARE(f.player.currentFrame(), -1);
        QVERIFY(!f.timer()->isActive());
        QCOMPARE(clip.use_count(), 1);

        QVERIFY(f.player.open(clip, 10));
        QCOMPARE(f.player.currentFrame(), 0);
    }
    // Destroyed while playing: its timer went with it, and so did its hold on the clip.
    QCOMPARE(clip.use_count(), 1);
}

void TestClips::playerStaysEmptyForAClipItCannotOpen_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("fps");
    QTest::newRow("no clip") << -1 << QSize(8, 6) << 10;
    QTest::newRow("no frames") << 0 << QSize(8, 6) << 10;
    QTest::newRow("no size") << 5 << QSize(0, 6) << 10;
    QTest::newRow("rate 0") << 5 << QSize(8, 6) << 0;
    QTest::newRow("negative rate") << 5 << QSize(8, 6) << -15;
    QTest::newRow("rate too high") << 5 << QSize(8, 6) << 1001;
}

// Nothing is shown and nothing is reported, and a clip that was playing is gone.
void TestClips::playerStaysEmptyForAClipItCannotOpen()
{
    QFETCH(int, count);
    QFETCH(QSize, size);
    QFETCH(int, fps);
    PlayerFixture f;
    QVERIFY(f.player.open(std::make_shared<SolidClip>(3, QSize(8, 6)), 10));
    const QSize before = f.player.size();
    const auto clip = count < 0 ? nullptr : std::make_shared<SolidClip>(count, size);
    QSignalSpy shown(&f.player, &ClipPlayer::frameShown);

    QVERIFY(!f.player.open(clip, fps));
    QCOMPARE(f.player.currentFrame(), -1);
    QVERIFY(!f.player.isPlaying());
    f.at(f.now + 1000);
    f.player.seek(0);
    QCOMPARE(shown.size(), 0);
    QCOMPARE(f.player.size(), before);
    const QImage seen = f.player.grab().toImage();
    const int border = f.player.frameWidth();
    QVERIFY(seen.pixel(border, border) != SolidClip::colourOf(0));
    if (clip) {
        QCOMPARE(clip->drawn, 0);
    }
}

QTEST_MAIN(TestClips)
#include "tst_clips.moc"
