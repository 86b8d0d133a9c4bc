// The design view and the candidate's tour: the tour passes every task position on its branch
// without a jump, and the picture puts the task's arrows and the placed candidate where the
// task's points project.
#include "design_test_support.h"
#include "design_view.h"
#include "raster.h"

#include <QtTest>

#include <algorithm>
#include <cmath>

using namespace cyclar;
using namespace cyclar::test;

Q_DECLARE_METATYPE(cyclar::DesignTask)

namespace {

// A rotation about an axis (unit), by `angle` degrees: a turned frame for the tasks.
Rotation turnAbout(const SphereVector& axis, double angle)
{
    const double c = std::cos(angle * degree), s = std::sin(angle * degree), t = 1.0 - c;
    const double x = axis.x, y = axis.y, z = axis.z;
    return {{{t * x * x + c, t * x * y - s * z, t * x * z + s * y},
             {t * x * y + s * z, t * y * y + c, t * y * z - s * x},
             {t * x * z - s * y, t * y * z + s * x, t * z * z + c}}};
}

// Five poses of a crank-rocker spread over its cycle, in a turned frame.
DesignTask fivePositions()
{
    return motionTask({40, 80, 70, 90, 45, -35}, {-2.4, -1.2, -0.3, 1.2, 2.4},
                      turnAbout(normalized({1.0, 2.0, 2.0}), 70.0));
}

DesignTask threePositionsWithPivots()
{
    DesignTask task;
    task.positions = {{84.0, 19.7, -127.5}, {90.5, -19.3, -113.6}, {76.8, -39.5, -123.4}};
    task.fixedPivots = {{0.0, 0.0}, {40.0, 0.0}};
    return task;
}

double wrapped(double degrees)
{
    return std::remainder(degrees, 360.0);
}

// Whether a pixel of the colour lies within `reach` pixels of (x, y).
bool colourNear(const Raster& raster, Pixel at, Rgb colour, int reach)
{
    const std::uint32_t wanted =
        (std::uint32_t(colour.r) << 16) | (std::uint32_t(colour.g) << 8) | std::uint32_t(colour.b);
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            if (raster.pixel(at.x() + dx, at.y() + dy) == wanted) {
                return true;
            }
        }
    }
    return false;
}

Pixel projected(const Projection& projection, const ViewOrientation& view, const SphereVector& v)
{
    const RotatedPoint r = rotateToView(view, v);
    return *toCanvasPixel(projection, r.x, r.y);
}

} // namespace

class TestDesignView : public QObject {
    Q_OBJECT
private slots:
    void tourPassesEveryPosition_data();
    void tourPassesEveryPosition();
    void pictureShowsTaskAndPlacedCandidate();
    void viewFacesTheTask();
};

void TestDesignView::tourPassesEveryPosition_data()
{
    QTest::addColumn<DesignTask>("task");
    QTest::newRow("five positions, turned frame") << fivePositions();
    QTest::newRow("three positions, pivots given") << threePositionsWithPivots();
    DesignTask function;
    function.kind = TaskKind::Function;
    function.pairs = {{-30.0, 7.1}, {-10.0, 66.0}, {15.0, 151.0}, {40.0, 160.3}};
    QTest::newRow("function, four pairs") << function;
}

void TestDesignView::tourPassesEveryPosition()
{
    QFETCH(DesignTask, task);
    const DesignResult result = designLinkages(task);
    QVERIFY(!result.candidates.empty());
    for (const DesignCandidate& c : result.candidates) {
        const std::vector<DesignStep> tour = designTour(c);
        QVERIFY(!tour.empty());
        for (const DesignStep& step : tour) {
            QVERIFY(couplerPoseAt(c.dims, step.input, step.branch).has_value());
        }
        if (!c.usable()) {
            continue;
        }
        // Out from the first position and back, a degree at most a step, on one branch.
        QCOMPARE(tour.front().input, c.positions.front().input);
        for (std::size_t i = 1; i < tour.size(); ++i) {
            QCOMPARE(tour[i].branch, c.positions.front().branch);
            QVERIFY2(std::fabs(wrapped(tour[i].input - tour[i - 1].input)) <= 1.0 + 1e-9,
                     qPrintable(QStringLiteral("step %1: %2 -> %3")
                                    .arg(i)
                                    .arg(tour[i - 1].input)
                                    .arg(tour[i].input)));
        }
        for (const PositionReach& reach : c.positions) {
            QVERIFY(std::any_of(tour.begin(), tour.end(), [&](const DesignStep& step) {
                return std::fabs(wrapped(step.input - reach.input)) < 1e-9;
            }));
        }
    }
}

// At each position's own step, the candidate's links end on the task's point (through its
// placement), and every task point carries its arrow.
void TestDesignView::pictureShowsTaskAndPlacedCandidate()
{
    const DesignTask task = fivePositions();
    const DesignResult result = designLinkages(task);
    QVERIFY(!result.candidates.empty());
    const DesignCandidate& c = result.candidates.front();
    QVERIFY(c.placement != identityRotation());
    const DesignViewPalette palette;
    ViewOrientation view = viewFacingTask(task);
    PixelBuffer pixels(360, 360, PixelOrder::Argb32);
    const Projection projection = projectionFor(360, 360, 360 * 0.9 / 2.0);
    for (std::size_t i = 0; i < task.positions.size(); ++i) {
        pixels.fill(white);
        Raster raster(pixels);
        composeDesignView(raster, task, &c, {c.positions[i].input, c.positions[i].branch}, view,
                          palette);
        for (const TaskPosition& position : task.positions) {
            QVERIFY(colourNear(raster, projected(projection, view, taskPoint(position)),
                               palette.task.colour, 4));
        }
        QVERIFY2(colourNear(raster, projected(projection, view, taskPoint(task.positions[i])),
                            palette.link.colour, 2),
                 qPrintable(QStringLiteral("position %1").arg(i + 1)));
    }

    // Without a candidate a function task has nothing to show but the sphere.
    DesignTask function;
    function.kind = TaskKind::Function;
    function.pairs = {{-30.0, 7.1}, {-10.0, 66.0}, {15.0, 151.0}, {40.0, 160.3}};
    pixels.fill(white);
    Raster raster(pixels);
    composeDesignView(raster, function, nullptr, {}, view, palette);
    for (int y = 0; y < 360; ++y) {
        for (int x = 0; x < 360; ++x) {
            const std::uint32_t p = raster.pixel(x, y);
            QVERIFY(p == 0xFFFFFFu || p == 0x009600u);
        }
    }
}

void TestDesignView::viewFacesTheTask()
{
    const DesignTask task = fivePositions();
    const ViewOrientation view = viewFacingTask(task);
    SphereVector middle{0.0, 0.0, 0.0};
    for (const TaskPosition& position : task.positions) {
        middle = middle + taskPoint(position);
    }
    const RotatedPoint r = rotateToView(view, normalized(middle));
    // Whole degrees of turn and tilt put it within a degree of the centre.
    QVERIFY2(r.depth > std::cos(1.0 * degree), qPrintable(QString::number(r.depth)));
    QCOMPARE(view.turn, std::round(view.turn));
    QCOMPARE(view.tilt, std::round(view.tilt));
}

QTEST_APPLESS_MAIN(TestDesignView)
#include "tst_design_view.moc"
