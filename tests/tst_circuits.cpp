// Tests of the circuits the animation shows and of the even pace of its input: one circuit per
// cycle without jumps, the circuit map's numbering, the even steps and the time ratio.
#include "circuit_map.h"
#include "linkage_analysis.h"
#include "motion_schedule.h"
#include "sphere_geometry.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <limits>
#include <vector>

using namespace cyclar;

Q_DECLARE_METATYPE(cyclar::LinkageDimensions)

namespace {

LinkageDimensions dims(double a, double b, double c, double f, double h = 45.0, double k = -35.0)
{
    return {a, b, c, f, h, k};
}

double uniform(QRandomGenerator& random, double low, double high)
{
    return low + random.generateDouble() * (high - low);
}

QByteArray describe(const LinkageDimensions& d, const MotionChoice& motion)
{
    return QStringLiteral("a %1 b %2 c %3 f %4 h %5 k %6, circuit %7%8")
        .arg(d.a, 0, 'g', 17)
        .arg(d.b, 0, 'g', 17)
        .arg(d.c, 0, 'g', 17)
        .arg(d.f, 0, 'g', 17)
        .arg(d.h, 0, 'g', 17)
        .arg(d.k, 0, 'g', 17)
        .arg(motion.circuit)
        .arg(motion.evenInput ? QStringLiteral(", even input") : QString())
        .toUtf8();
}

struct Frame {
    double t = 0.0;
    LinkagePose pose;
    PoseAngles angles;
};

// The frames a new page shows with `motion`, with the angles read off each pose.
std::vector<Frame> shownFrames(const LinkageDimensions& d, const MotionChoice& motion)
{
    const PaintSchedule paint = shownMotion(d, motion);
    std::vector<Frame> frames;
    forEachShownFrame(paint, [&](int, double t, const LinkagePose& pose) {
        frames.push_back({t, pose, poseAngles(paint.model, pose)});
    });
    return frames;
}

bool sameBits(const std::vector<Frame>& x, const std::vector<Frame>& y)
{
    const auto same = [](const SphereVector& u, const SphereVector& v) {
        return std::memcmp(&u, &v, sizeof u) == 0;
    };
    if (x.size() != y.size()) {
        return false;
    }
    for (size_t i = 0; i < x.size(); ++i) {
        if (std::memcmp(&x[i].t, &y[i].t, sizeof(double)) != 0 || !same(x[i].pose.A1, y[i].pose.A1)
            || !same(x[i].pose.B1, y[i].pose.B1) || !same(x[i].pose.P, y[i].pose.P)) {
            return false;
        }
    }
    return true;
}

// Where a frame stands on the circuit map: its circuit and the input travelled along it.
CircuitPlace placeOf(const CircuitMap& map, const Frame& frame)
{
    return circuitPlace(map, frame.angles.theta, frame.angles.branch);
}

// The input travelled from one place to the next, forward along the circuit (0 <= s < length).
double travelBetween(const CircuitMap& map, const CircuitPlace& from, const CircuitPlace& to)
{
    const double s = std::fmod(to.s - from.s + 2.0 * map.length, map.length);
    return s >= map.length ? 0.0 : s;
}

} // namespace

class TestCircuits : public QObject {
    Q_OBJECT

private slots:
    void circuitCountIsTheSphericalGrashofCondition_data();
    void circuitCountIsTheSphericalGrashofCondition();
    void randomLinkagesStayOnTheirCircuit();
    void otherCircuitIsTheOtherLoop();
    void eachLapIsShownTwice();
    void oneCircuitShowsTheSameWhateverIsAsked_data();
    void oneCircuitShowsTheSameWhateverIsAsked();
    void turningInputStepsTwoDegrees_data();
    void turningInputStepsTwoDegrees();
    void rockingInputStepsEvenlyAlongItsCircuit_data();
    void rockingInputStepsEvenlyAlongItsCircuit();
    void strokesTakeFramesInTheTimeRatio_data();
    void strokesTakeFramesInTheTimeRatio();
    void inputWithoutTravelKeepsTheSweep_data();
    void inputWithoutTravelKeepsTheSweep();
    void choosingAnotherMotionRetimesTheFrame();
};

void TestCircuits::circuitCountIsTheSphericalGrashofCondition_data()
{
    QTest::addColumn<LinkageDimensions>("d");
    QTest::addColumn<int>("circuits");
    QTest::newRow("crank-rocker") << dims(20, 50, 45, 40) << 2;
    QTest::newRow("b-c sets both ends") << dims(40, 45, 20, 50) << 2;
    QTest::newRow("non-Grashof") << defaultDimensions << 1;
    QTest::newRow("change point") << dims(30, 40, 50, 20) << 1;
    QTest::newRow("kite") << dims(60, 45, 45, 60) << 1;
    // The label's planar rule calls it Grashof; on the sphere a + f folds past 180 and the
    // input's triangle sets the upper end while the coupler's sets the lower: one circuit.
    QTest::newRow("label says Grashof") << dims(120, 60, 75, 110) << 1;
    QTest::newRow("both sums past 180") << dims(160, 105, 120, 100) << 2;
}

// The count goes with the spherical Grashof condition of the analysis, whatever the label says,
// here and over many random linkages that move.
void TestCircuits::circuitCountIsTheSphericalGrashofCondition()
{
    QFETCH(LinkageDimensions, d);
    QFETCH(int, circuits);
    QCOMPARE(circuitCount(buildLinkageModel(d)), circuits);

    QRandomGenerator random(26);
    for (int checked = 0; checked < 2000;) {
        const LinkageDimensions r{uniform(random, 1, 179),
                                  uniform(random, 1, 179),
                                  uniform(random, 1, 179),
                                  uniform(random, 1, 179),
                                  45,
                                  -35};
        const LinkageAnalysis analysis = analyseLinkage(r);
        if (!analysis.assemblable || analysis.changePoint) {
            continue;
        }
        ++checked;
        QCOMPARE(circuitCount(buildLinkageModel(r)) == 2, *analysis.grashof);
    }
}

// Random linkages with two circuits, clear of the change points (where one nearly folds flat
// and can move arbitrarily fast), on each circuit at either pace: every pose keeps its arcs and
// lies on the chosen circuit of the map, and no joint moves more than 20 degrees from one frame
// to the next, frame 360 to frame 1 included. At the even pace a rocking input's output passes
// its toggle (where its speed is unbounded) between two frames at the same input angle; there
// the input stands still and the coupler goes over to the other branch.
void TestCircuits::randomLinkagesStayOnTheirCircuit()
{
    QRandomGenerator random(261);
    int checked = 0;
    int rocking = 0;
    while (checked < 600) {
        const LinkageDimensions d{uniform(random, 10, 170), uniform(random, 10, 170),
                                  uniform(random, 10, 170), uniform(random, 10, 170),
                                  uniform(random, 0, 180),  uniform(random, -180, 180)};
        const LinkageModel model = buildLinkageModel(d);
        if (circuitCount(model) != 2 || std::fabs(model.lowerGap) < 5.0
            || std::fabs(model.upperGap) < 5.0) {
            continue;
        }
        ++checked;
        rocking += model.lowerSign < 0.0 ? 1 : 0;
        const CircuitMap map = circuitMap(analyseLinkage(d));
        for (const int circuit : {1, 2}) {
            for (const bool even : {false, true}) {
                const MotionChoice motion{circuit, even};
                const std::vector<Frame> frames = shownFrames(d, motion);
                QCOMPARE(frames.size(), size_t(360));
                for (size_t i = 0; i < frames.size(); ++i) {
                    const Frame& now = frames[i];
                    const Frame& next = frames[(i + 1) % frames.size()];
                    const QByteArray where =
                        describe(d, motion) + ", frame " + QByteArray::number(qsizetype(i + 1));
                    QVERIFY2(std::fabs(arcDegrees(model.A0, now.pose.A1) - d.a) < 1e-6
                                 && std::fabs(arcDegrees(model.B0, now.pose.B1) - d.b) < 1e-6
                                 && std::fabs(arcDegrees(now.pose.A1, now.pose.B1) - d.c) < 1e-6
                                 && std::fabs(arcDegrees(now.pose.A1, now.pose.P) - d.h) < 1e-6,
                             where);
                    QVERIFY2(placeOf(map, now).circuit == circuit, where);
                    const double moved = std::max(arcDegrees(now.pose.A1, next.pose.A1),
                                                  arcDegrees(now.pose.B1, next.pose.B1));
                    const bool throughToggle =
                        even && model.lowerSign < 0.0 && now.angles.branch != next.angles.branch;
                    if (throughToggle) {
                        QVERIFY2(arcDegrees(now.pose.A1, next.pose.A1) < 1e-9, where);
                    } else {
                        QVERIFY2(moved <= 20.0, where + ": moved " + QByteArray::number(moved));
                    }
                }
            }
        }
    }
    QVERIFY(rocking > 100 && rocking < 500); // both kinds of input are well represented
}

// The crank-rocker with both link pairs past 180 degrees: on circuit 2 its output rocks through
// the mirror image of circuit 1's range, so B1 is on the other loop in every frame.
void TestCircuits::otherCircuitIsTheOtherLoop()
{
    const LinkageDimensions d = dims(160, 105, 120, 100);
    const std::vector<Frame> first = shownFrames(d, {1, false});
    double least = 180.0;
    double greatest = -180.0;
    for (const Frame& frame : first) {
        least = std::min(least, frame.angles.psi);
        greatest = std::max(greatest, frame.angles.psi);
    }
    for (const bool even : {false, true}) {
        for (const Frame& frame : shownFrames(d, {2, even})) {
            QVERIFY(frame.angles.psi > greatest || frame.angles.psi < least);
            double nearest = 180.0;
            for (const Frame& other : first) {
                nearest = std::min(nearest, arcDegrees(frame.pose.B1, other.pose.B1));
            }
            QVERIFY2(nearest > 30.0, QByteArray::number(nearest));
        }
    }
}

// With two circuits a lap takes 180 frames: frames 181 to 360 repeat 1 to 180 bit for bit, on
// either circuit and at either pace, and the frame after 360 (frame 1) follows on smoothly.
void TestCircuits::eachLapIsShownTwice()
{
    for (const LinkageDimensions& d : {dims(20, 50, 45, 40), dims(70, 25, 60, 50, 40, -60)}) {
        for (const int circuit : {1, 2}) {
            for (const bool even : {false, true}) {
                const std::vector<Frame> frames = shownFrames(d, {circuit, even});
                const std::vector<Frame> first(frames.begin(), frames.begin() + 180);
                const std::vector<Frame> second(frames.begin() + 180, frames.end());
                QVERIFY(sameBits(first, second));
                // So does any frame index a caller may hold, however far out: 181 frames on is
                // one frame on, with nothing counted past the range of int.
                const PaintSchedule paint = shownMotion(d, {circuit, even});
                for (const int i : {std::numeric_limits<int>::min(), -179, 0}) {
                    QCOMPARE(shownParameter(paint, i + 181), shownParameter(paint, i + 1));
                }
                QCOMPARE(shownParameter(paint, std::numeric_limits<int>::max()),
                         shownParameter(paint, std::numeric_limits<int>::max() - 180));
            }
        }
    }
}

void TestCircuits::oneCircuitShowsTheSameWhateverIsAsked_data()
{
    QTest::addColumn<LinkageDimensions>("d");
    QTest::newRow("non-Grashof") << defaultDimensions;
    QTest::newRow("change point") << dims(30, 40, 50, 20, 20, 80);
    QTest::newRow("kite") << dims(60, 45, 45, 60, 30, 20);
    QTest::newRow("cannot be assembled") << dims(10, 120, 35, 40);
}

void TestCircuits::oneCircuitShowsTheSameWhateverIsAsked()
{
    QFETCH(LinkageDimensions, d);
    for (const bool even : {false, true}) {
        QVERIFY(sameBits(shownFrames(d, {1, even}), shownFrames(d, {2, even})));
    }
}

void TestCircuits::turningInputStepsTwoDegrees_data()
{
    QTest::addColumn<LinkageDimensions>("d");
    QTest::newRow("crank-rocker") << dims(20, 50, 45, 40);
    QTest::newRow("crank-rocker past 180") << dims(160, 105, 120, 100);
    QTest::newRow("double-crank") << dims(60, 55, 50, 20, 30, 40);
    // One circuit through the flat position: the input turns once on each branch, and turns
    // back where it passes the flat position from one branch to the other.
    QTest::newRow("change point that turns") << dims(20, 30, 50, 40);
}

// A turning input turns 2 degrees every frame, one turn per 180 frames, on every circuit.
void TestCircuits::turningInputStepsTwoDegrees()
{
    QFETCH(LinkageDimensions, d);
    const LinkageAnalysis analysis = analyseLinkage(d);
    QVERIFY(analysis.inputRotates);
    for (const int circuit : {1, 2}) {
        const std::vector<Frame> frames = shownFrames(d, {circuit, true});
        int turnsBack = 0;
        for (size_t i = 0; i < frames.size(); ++i) {
            const Frame& next = frames[(i + 1) % frames.size()];
            const double step = wrapDegrees(next.angles.theta - frames[i].angles.theta);
            if (analysis.changePoint && next.angles.branch != frames[i].angles.branch) {
                QVERIFY(std::fabs(step) < 1e-9);
                ++turnsBack;
                continue;
            }
            QVERIFY2(std::fabs(std::fabs(step) - 2.0) < 1e-9,
                     qPrintable(QStringLiteral("frame %1: %2").arg(i + 1).arg(step, 0, 'g', 17)));
        }
        QCOMPARE(turnsBack, analysis.changePoint ? 2 : 0);
    }
}

void TestCircuits::rockingInputStepsEvenlyAlongItsCircuit_data()
{
    QTest::addColumn<LinkageDimensions>("d");
    QTest::addColumn<int>("lap"); // frames per lap
    QTest::newRow("rocker-crank") << dims(70, 25, 60, 50, 40, -60) << 180;
    QTest::newRow("Grashof double-rocker") << dims(60, 70, 20, 50, 35, 150) << 180;
    QTest::newRow("rocks through 0") << defaultDimensions << 360;
    QTest::newRow("rocks through 180") << dims(120, 80, 70, 45, 30, -10) << 360;
}

// A rocking input travels its circuit in equal steps of input angle, as many frames to a lap as
// the sweep takes, and reverses at its limits between two frames at the same input angle.
void TestCircuits::rockingInputStepsEvenlyAlongItsCircuit()
{
    QFETCH(LinkageDimensions, d);
    QFETCH(int, lap);
    const CircuitMap map = circuitMap(analyseLinkage(d));
    QVERIFY(map.rocks);
    const double step = map.length / lap;
    for (const int circuit : {1, 2}) {
        const std::vector<Frame> frames = shownFrames(d, {circuit, true});
        double direction = 0.0;
        int reversals = 0;
        for (size_t i = 0; i < frames.size(); ++i) {
            const Frame& next = frames[(i + 1) % frames.size()];
            const double travel = travelBetween(map, placeOf(map, frames[i]), placeOf(map, next));
            // Every step goes the same way round: forward by `step`, or back by it.
            const double way = std::fabs(travel - step) < 1e-9 ? 1.0 : -1.0;
            QVERIFY2(std::fabs(travel - step) < 1e-9
                         || std::fabs(travel - (map.length - step)) < 1e-9,
                     qPrintable(QStringLiteral("frame %1: %2").arg(i + 1).arg(travel, 0, 'g', 17)));
            QVERIFY(direction == 0.0 || way == direction);
            direction = way;
            if (frames[i].angles.branch != next.angles.branch) {
                ++reversals;
                QVERIFY(std::fabs(next.angles.theta - frames[i].angles.theta) < 1e-9);
            }
        }
        QCOMPARE(reversals, 2 * 360 / lap);
    }
}

void TestCircuits::strokesTakeFramesInTheTimeRatio_data()
{
    QTest::addColumn<LinkageDimensions>("d");
    QTest::newRow("20 50 45 40") << dims(20, 50, 45, 40);
    QTest::newRow("160 105 120 100") << dims(160, 105, 120, 100);
    QTest::newRow("15 60 40 50") << dims(15, 60, 40, 50, 30, 60);
}

// Driven evenly, a crank-rocker's output takes frames for its two strokes in the ratio the
// analysis gives, to within a frame.
void TestCircuits::strokesTakeFramesInTheTimeRatio()
{
    QFETCH(LinkageDimensions, d);
    const LinkageAnalysis analysis = analyseLinkage(d);
    QCOMPARE(QString::fromStdString(analysis.type), QStringLiteral("crank-rocker"));
    const double ratio = *analysis.timeRatio;
    for (const int circuit : {1, 2}) {
        const std::vector<Frame> frames = shownFrames(d, {circuit, true});
        int rising = 0;
        for (size_t i = 0; i < 180; ++i) {
            rising += frames[i + 1].angles.psi > frames[i].angles.psi ? 1 : 0;
        }
        const int longer = std::max(rising, 180 - rising);
        QVERIFY2(
            std::fabs(longer - 180.0 * ratio / (1.0 + ratio)) <= 1.0,
            qPrintable(QStringLiteral("%1 of 180 frames, time ratio %2").arg(longer).arg(ratio)));
    }
}

void TestCircuits::inputWithoutTravelKeepsTheSweep_data()
{
    QTest::addColumn<LinkageDimensions>("d");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("rigid") << dims(10, 80, 50, 20);
    QTest::newRow("cannot be assembled") << dims(10, 120, 35, 40);
    QTest::newRow("input 0") << dims(0, 30, 35, 40);
    QTest::newRow("ground 0") << dims(50, 30, 35, 0);
    QTest::newRow("not a number") << dims(nan, 30, 35, 40);
    QTest::newRow("infinite") << dims(50, inf, 35, 40, -inf, nan);
}

// An input that cannot travel has no pace to even out: the frames are the sweep's, bit for bit.
void TestCircuits::inputWithoutTravelKeepsTheSweep()
{
    QFETCH(LinkageDimensions, d);
    for (const int circuit : {1, 2}) {
        QVERIFY(sameBits(shownFrames(d, {circuit, false}), shownFrames(d, {circuit, true})));
    }
}

// Another circuit or pace chosen while the clock stands on a frame shows that frame of the new
// motion at once; the clock goes on from there.
void TestCircuits::choosingAnotherMotionRetimesTheFrame()
{
    const LinkageDimensions d = dims(20, 50, 45, 40);
    const LinkageModel model = buildLinkageModel(d);
    MotionSchedule schedule;
    schedule.frameIndex = 56;
    advanceFrame(schedule, model);
    for (const MotionChoice motion : {MotionChoice{2, false}, MotionChoice{2, true},
                                      MotionChoice{1, true}, MotionChoice{1, false}}) {
        setMotionChoice(schedule, model, motion);
        QCOMPARE(schedule.frameIndex, 57);
        QCOMPARE(schedule.frameParameter, shownParameter(shownMotion(d, motion), 57));
    }
    setMotionChoice(schedule, model, {2, false});
    advanceFrame(schedule, model);
    QCOMPARE(schedule.frameParameter, shownParameter(shownMotion(d, {2, false}), 58));

    // Between Animate's restore of a saved 0 and the next tick the parameter stays.
    schedule.frameIndex = 0;
    const double before = schedule.frameParameter;
    setMotionChoice(schedule, model, {1, true});
    QCOMPARE(schedule.frameParameter, before);
    QCOMPARE(schedule.motion, (MotionChoice{1, true}));
}

QTEST_APPLESS_MAIN(TestCircuits)
#include "tst_circuits.moc"
