// Tests of the linkage model, the pose solver and the motion schedule.
#include "linkage_analysis.h"
#include "linkage_model.h"
#include "motion_schedule.h"
#include "pose_solver.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <limits>
#include <numbers>

using namespace cyclar;

Q_DECLARE_METATYPE(cyclar::LinkageDimensions)

namespace {

double dot(const SphereVector& u, const SphereVector& v)
{
    return u.x * v.x + u.y * v.y + u.z * v.z;
}

bool finite(const SphereVector& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Arc between two unit vectors, in degrees, computed robustly for small arcs.
double arcDegrees(const SphereVector& u, const SphereVector& v)
{
    const SphereVector cross{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    return std::atan2(std::sqrt(dot(cross, cross)), dot(u, v)) * 180.0 / std::numbers::pi;
}

void compareVector(const SphereVector& actual, double x, double y, double z, double tolerance)
{
    QVERIFY2(std::fabs(actual.x - x) < tolerance && std::fabs(actual.y - y) < tolerance
                 && std::fabs(actual.z - z) < tolerance,
             qPrintable(QStringLiteral("(%1, %2, %3) != (%4, %5, %6)")
                            .arg(actual.x, 0, 'g', 10)
                            .arg(actual.y, 0, 'g', 10)
                            .arg(actual.z, 0, 'g', 10)
                            .arg(x)
                            .arg(y)
                            .arg(z)));
}

LinkageDimensions dims(double a, double b, double c, double f, double h = 45.0, double k = -35.0)
{
    return {a, b, c, f, h, k};
}

// Distance of t from the nearest multiple of pi.
double uniform(QRandomGenerator& random, double low, double high)
{
    return low + random.generateDouble() * (high - low);
}

double distanceFromMultipleOfPi(double t)
{
    const double pi = std::numbers::pi;
    return std::fabs(t - std::round(t / pi) * pi);
}

} // namespace

class TestKinematics : public QObject {
    Q_OBJECT

private slots:
    void classification_data();
    void classification();
    void defaultModel();
    void disjointLinkageGivesNaNPoses();
    void coincidentCouplerPointGivesNaNArc();
    void defaultPose_data();
    void defaultPose();
    void zeroParameterIsNaNWithoutError();
    void poseKeepsArcLengths();
    void curveRanges_data();
    void curveRanges();
    void framesRunFromJustAfterMinusTwoPi_data();
    void framesRunFromJustAfterMinusTwoPi();
    void samplesStayOffMultiplesOfPi();
    void advanceWrapsAfterLastFrame();
    void sliderPositionNearestAngle_data();
    void sliderPositionNearestAngle();
    void symmetricPaintNegatesOnlyItsOwnCopy();
    void almostSymmetricIsNotSymmetric_data();
    void almostSymmetricIsNotSymmetric();
    void grashofPassOneClosesOnItself();
    void nonGrashofPassesMeet();
    void everyAssemblableLinkageMovesWhole();
    void specialLinkagesMoveWhole_data();
    void specialLinkagesMoveWhole();
    void crankRockerReachesItsOutputLimits();
    void changePointsPassWithoutAJump_data();
    void changePointsPassWithoutAJump();
    void unassemblableOnTheSphereDrawsNothing_data();
    void unassemblableOnTheSphereDrawsNothing();
};

void TestKinematics::classification_data()
{
    QTest::addColumn<LinkageDimensions>("d");
    QTest::addColumn<double>("lowerGap");
    QTest::addColumn<double>("upperGap");
    QTest::addColumn<double>("lowerSign");
    QTest::addColumn<double>("upperSign");
    QTest::addColumn<bool>("grashof");
    QTest::addColumn<double>("diagonalMin");
    QTest::addColumn<double>("diagonalMax");

    QTest::newRow("default") << dims(50, 30, 35, 40) << 5.0 << -25.0 << 1.0 << -1.0 << false << 10.0
                             << 65.0;
    QTest::newRow("grashof, a-f sets both ends")
        << dims(20, 50, 45, 40) << 15.0 << 35.0 << 1.0 << 1.0 << true << 20.0 << 60.0;
    QTest::newRow("grashof, b-c sets both ends")
        << dims(40, 45, 20, 50) << -15.0 << -25.0 << -1.0 << -1.0 << true << 25.0 << 65.0;
    QTest::newRow("zero lower gap")
        << dims(40, 30, 20, 50) << 0.0 << -40.0 << 1.0 << -1.0 << false << 10.0 << 50.0;
    QTest::newRow("zero upper gap")
        << dims(30, 40, 20, 30) << -20.0 << 0.0 << -1.0 << 1.0 << false << 20.0 << 60.0;
    QTest::newRow("both gaps zero")
        << dims(40, 40, 40, 40) << 0.0 << 0.0 << -1.0 << 1.0 << false << 0.0 << 80.0;
    QTest::newRow("symmetric") << dims(40, 30, 30, 40) << 0.0 << -20.0 << 1.0 << -1.0 << false
                               << 0.0 << 60.0;
    QTest::newRow("disjoint") << dims(10, 120, 35, 40) << -55.0 << 105.0 << -1.0 << 1.0 << false
                              << 85.0 << 50.0;
    // Past 180 degrees a pair's longest diagonal is 360 less its sum; the label keeps the planar
    // rule on (b + c) - (a + f).
    QTest::newRow("both pairs past 180, crank on the sphere")
        << dims(160, 105, 120, 100) << 45.0 << 35.0 << 1.0 << 1.0 << false << 60.0 << 100.0;
    QTest::newRow("a + f past 180, b-c sets the top")
        << dims(120, 30, 40, 80) << 30.0 << -90.0 << 1.0 << -1.0 << false << 40.0 << 70.0;
    QTest::newRow("b + c past 180, labelled Grashof")
        << dims(100, 140, 110, 50) << 20.0 << -40.0 << 1.0 << -1.0 << true << 50.0 << 110.0;
    QTest::newRow("folded tops meet (T4 = 0)")
        << dims(120, 110, 50, 80) << -20.0 << 0.0 << -1.0 << 1.0 << true << 60.0 << 160.0;
    QTest::newRow("never closes on the sphere")
        << dims(100, 178, 1, 90) << -167.0 << 9.0 << -1.0 << 1.0 << true << 177.0 << 170.0;
}

void TestKinematics::classification()
{
    QFETCH(LinkageDimensions, d);
    QFETCH(double, lowerGap);
    QFETCH(double, upperGap);
    QFETCH(double, lowerSign);
    QFETCH(double, upperSign);
    QFETCH(bool, grashof);
    QFETCH(double, diagonalMin);
    QFETCH(double, diagonalMax);

    const LinkageModel m = buildLinkageModel(d);
    QCOMPARE(m.lowerGap, lowerGap);
    QCOMPARE(m.upperGap, upperGap);
    QCOMPARE(m.lowerSign, lowerSign);
    QCOMPARE(m.upperSign, upperSign);
    QCOMPARE(isGrashof(m), grashof);
    QCOMPARE(QString::fromLatin1(classificationLabel(m)),
             grashof ? QStringLiteral("Grashof Four-bar Linkage")
                     : QStringLiteral("Non-Grashof Four-bar Linkage"));
    QCOMPARE(m.diagonalMin, diagonalMin);
    QCOMPARE(m.diagonalMax, diagonalMax);
    QCOMPARE(m.diagonalHalf, (diagonalMax - diagonalMin) / 2.0);
}

void TestKinematics::defaultModel()
{
    const LinkageModel m = buildLinkageModel(defaultDimensions);
    QCOMPARE(m.pi, std::numbers::pi);
    QCOMPARE(m.degToRad, std::numbers::pi / 180.0);
    QCOMPARE(m.diagonalHalf, 27.5);
    QVERIFY(std::fabs(m.cosE - 0.91145948) < 5e-9);
    QVERIFY(std::fabs(m.e - 24.292174) < 5e-7);
    QVERIFY(std::fabs(m.sinE - 0.41138986) < 5e-9);
    QVERIFY(std::fabs(m.cosJointGap - 0.99984770) < 5e-9);
    QVERIFY(std::fabs(m.sinJointGap - 0.01745241) < 5e-9);
    QCOMPARE(m.B0.x, m.cosF);
    QCOMPARE(m.B0.y, m.sinF);
    QCOMPARE(m.A0.x, 1.0);
}

void TestKinematics::disjointLinkageGivesNaNPoses()
{
    // b exceeds a + c + f: the two triangles' ranges for the diagonal do not meet.
    const LinkageModel m = buildLinkageModel(dims(10, 120, 35, 40));
    QCOMPARE(m.diagonalHalf, -17.5);
    for (int i = 1; i <= 360; ++i) {
        const LinkagePose p = solvePose(m, frameParameterFor(m, 360, i));
        QVERIFY(std::isnan(p.B1.x) && std::isnan(p.P.x) && std::isnan(p.A1.z));
    }
}

void TestKinematics::coincidentCouplerPointGivesNaNArc()
{
    // h = c and k = 0 put P on B1; rounding may push cos e past 1. Whatever it gives, the model
    // must be built without raising anything, and e is either NaN or (near) zero.
    const LinkageModel m = buildLinkageModel(dims(50, 30, 35, 40, 35, 0));
    QVERIFY(std::isnan(m.e) || std::fabs(m.e) < 1e-5);
}

void TestKinematics::defaultPose_data()
{
    QTest::addColumn<double>("t");
    QTest::addColumn<double>("sinPhi");
    QTest::addColumn<double>("sinPsi");
    QTest::addColumn<QList<double>>("a1");
    QTest::addColumn<QList<double>>("b1");
    QTest::addColumn<QList<double>>("p");

    QTest::newRow("t = -pi/2") << -std::numbers::pi / 2 << 0.99598178 << -0.78536522
                               << QList<double>{0.642788, 0.468194, 0.606315}
                               << QList<double>{0.964296, 0.198094, 0.175764}
                               << QList<double>{0.923327, -0.189726, 0.333873};
    QTest::newRow("t = +pi/2") << std::numbers::pi / 2 << -0.99598178 << -0.78536522
                               << QList<double>{0.642788, 0.468194, -0.606315}
                               << QList<double>{0.387513, 0.885476, -0.256448}
                               << QList<double>{0.019393, 0.887541, -0.460321};
}

void TestKinematics::defaultPose()
{
    QFETCH(double, t);
    QFETCH(double, sinPhi);
    QFETCH(double, sinPsi);
    QFETCH(QList<double>, a1);
    QFETCH(QList<double>, b1);
    QFETCH(QList<double>, p);

    const LinkagePose pose = solvePose(buildLinkageModel(defaultDimensions), t);
    QVERIFY(std::fabs(pose.diagonal - 37.5) < 1e-12);
    QVERIFY(std::fabs(pose.cosPhi - 0.08955611) < 5e-9);
    QVERIFY(std::fabs(pose.cosPsi - 0.61903269) < 5e-9);
    QVERIFY(std::fabs(pose.sinPhi - sinPhi) < 5e-9);
    QVERIFY(std::fabs(pose.sinPsi - sinPsi) < 5e-9);
    compareVector(pose.A1, a1[0], a1[1], a1[2], 5e-7);
    compareVector(pose.B1, b1[0], b1[1], b1[2], 5e-7);
    compareVector(pose.P, p[0], p[1], p[2], 5e-7);
    if (t < 0) {
        QCOMPARE(pose.sinSign, -1.0);
        QCOMPARE(pose.paramSign, 1.0);
        QCOMPARE(pose.phiFactor, 1.0);
        QCOMPARE(pose.psiFactor, -1.0);
        compareVector(pose.T1, 0.420668, 0.445731, -0.790165, 5e-7);
        compareVector(pose.N1, -0.640205, 0.762966, 0.089556, 5e-7);
    }
}

void TestKinematics::zeroParameterIsNaNWithoutError()
{
    const LinkagePose p = solvePose(buildLinkageModel(defaultDimensions), 0.0);
    QVERIFY(std::isnan(p.sinSign) && std::isnan(p.paramSign));
    QVERIFY(std::isnan(p.B1.x) && std::isnan(p.B1.y) && std::isnan(p.B1.z));
    QVERIFY(std::isnan(p.P.x) && std::isnan(p.P.y) && std::isnan(p.P.z));
    QVERIFY(std::isnan(p.A1.z) && std::isnan(p.T1.z));
    QVERIFY(std::isfinite(p.A1.x) && std::isfinite(p.A1.y));
}

void TestKinematics::poseKeepsArcLengths()
{
    // Over many random closable linkages and parameters, every finite pose keeps its links'
    // lengths, its coupler point's distances, and its joints on the unit sphere.
    QRandomGenerator random(20261210);
    int finitePoses = 0;
    for (int linkage = 0; linkage < 400; ++linkage) {
        const LinkageDimensions d{uniform(random, 5.0, 170.0), uniform(random, 5.0, 170.0),
                                  uniform(random, 5.0, 170.0), uniform(random, 5.0, 170.0),
                                  uniform(random, 1.0, 170.0), uniform(random, -180.0, 180.0)};
        const LinkageModel m = buildLinkageModel(d);
        if (m.diagonalHalf < 0) {
            continue; // one link exceeds the other three: nothing closes
        }
        for (int sample = 0; sample < 40; ++sample) {
            const double t = uniform(random, -2.0 * std::numbers::pi, 2.0 * std::numbers::pi);
            const LinkagePose p = solvePose(m, t);
            if (!finite(p.A1) || !finite(p.B1) || !finite(p.P)) {
                continue;
            }
            ++finitePoses;
            const QString where = QStringLiteral("a=%1 b=%2 c=%3 f=%4 h=%5 k=%6 t=%7")
                                      .arg(d.a)
                                      .arg(d.b)
                                      .arg(d.c)
                                      .arg(d.f)
                                      .arg(d.h)
                                      .arg(d.k)
                                      .arg(t);
            QVERIFY2(std::fabs(p.A1.x - m.cosA) < 1e-9, qPrintable(where));
            QVERIFY2(std::fabs(arcDegrees(m.A0, p.A1) - d.a) < 1e-6, qPrintable(where));
            QVERIFY2(std::fabs(arcDegrees(m.B0, p.B1) - d.b) < 1e-6, qPrintable(where));
            QVERIFY2(std::fabs(arcDegrees(p.A1, p.B1) - d.c) < 1e-6, qPrintable(where));
            QVERIFY2(std::fabs(arcDegrees(p.A1, p.P) - d.h) < 1e-6, qPrintable(where));
            QVERIFY2(std::fabs(arcDegrees(p.B1, p.P) - m.e) < 1e-6, qPrintable(where));
            QVERIFY2(std::fabs(dot(p.P, p.P) - 1.0) < 1e-12, qPrintable(where));
        }
    }
    QVERIFY(finitePoses > 4000);
}

void TestKinematics::curveRanges_data()
{
    QTest::addColumn<LinkageDimensions>("d");
    QTest::addColumn<int>("startIndex");
    QTest::addColumn<double>("pass1First");
    QTest::addColumn<double>("pass1Last");
    QTest::addColumn<double>("pass2First");
    QTest::addColumn<double>("pass2Last");
    QTest::addColumn<double>("step");

    QTest::newRow("g=+1") << dims(20, 50, 45, 40) << 0 << -6.300813 << -0.017628 << 0.000175
                          << 6.300988 << 0.0175023;
    QTest::newRow("g=+1, symmetric")
        << dims(40, 30, 30, 40) << 2 << -6.265809 << -0.035005 << 0.035179 << 6.265983 << 0.0175023;
    QTest::newRow("g=-1") << defaultDimensions << 0 << -6.283011 << 0.017453 << -0.017628
                          << 6.282836 << 0.0175013;
}

void TestKinematics::curveRanges()
{
    QFETCH(LinkageDimensions, d);
    QFETCH(int, startIndex);
    QFETCH(double, pass1First);
    QFETCH(double, pass1Last);
    QFETCH(double, pass2First);
    QFETCH(double, pass2Last);
    QFETCH(double, step);

    MotionSchedule schedule;
    const PaintSchedule paint = beginPaint(buildLinkageModel(d), d, schedule);
    QCOMPARE(paint.startIndex, startIndex);

    QList<double> pass1;
    QList<double> pass2;
    sweepCouplerCurve(paint, 360, [&](int pass, int, double t, const SphereVector&) {
        (pass == 1 ? pass1 : pass2).append(t);
    });
    QCOMPARE(pass1.size(), 361 - 2 * startIndex);
    QCOMPARE(pass2.size(), 361 - 2 * startIndex);
    QVERIFY(std::fabs(pass1.first() - pass1First) < 1e-6);
    QVERIFY(std::fabs(pass1.last() - pass1Last) < 1e-6);
    QVERIFY(std::fabs(pass2.first() - pass2First) < 1e-6);
    QVERIFY(std::fabs(pass2.last() - pass2Last) < 1e-6);
    QVERIFY(std::fabs((pass2[1] - pass2[0]) - step) < 1e-7);
}

void TestKinematics::framesRunFromJustAfterMinusTwoPi_data()
{
    QTest::addColumn<LinkageDimensions>("d");
    QTest::addColumn<QList<double>>("expected"); // frames 1, 180, 181, 360

    QTest::newRow("g=+1") << dims(20, 50, 45, 40)
                          << QList<double>{-6.265844, -0.021904, 0.012978, 6.256918};
    QTest::newRow("g=-1") << defaultDimensions
                          << QList<double>{-6.248216, -0.004276, 0.030606, 6.274546};
}

void TestKinematics::framesRunFromJustAfterMinusTwoPi()
{
    QFETCH(LinkageDimensions, d);
    QFETCH(QList<double>, expected);
    const LinkageModel m = buildLinkageModel(d);
    const int frames[] = {1, 180, 181, 360};
    for (int i = 0; i < 4; ++i) {
        QVERIFY(std::fabs(frameParameterFor(m, 360, frames[i]) - expected[i]) < 1e-6);
    }
    const double step = frameParameterFor(m, 360, 2) - frameParameterFor(m, 360, 1);
    QVERIFY(std::fabs(step - 0.0348823) < 1e-7);
}

void TestKinematics::samplesStayOffMultiplesOfPi()
{
    for (const LinkageDimensions& d :
         {dims(20, 50, 45, 40), defaultDimensions, dims(40, 30, 30, 40)}) {
        const LinkageModel m = buildLinkageModel(d);
        for (int startIndex : {0, 2}) {
            PaintSchedule paint;
            paint.model = m;
            paint.startIndex = startIndex;
            sweepCouplerCurve(paint, 360, [](int, int, double t, const SphereVector&) {
                QVERIFY(distanceFromMultipleOfPi(t) >= 0.00004);
            });
        }
        for (int i = 1; i <= 360; ++i) {
            QVERIFY(distanceFromMultipleOfPi(frameParameterFor(m, 360, i)) >= 0.00004);
        }
    }
}

// The view slider position a file's (or a designed linkage's) view angle is shown at; the
// browser asks the same function, so ties and NaN cannot come out differently there.
void TestKinematics::sliderPositionNearestAngle_data()
{
    QTest::addColumn<double>("angle");
    QTest::addColumn<int>("position");

    QTest::newRow("the starting view") << -18.0 << 40;
    QTest::newRow("each end") << 90.0 << 100;
    QTest::newRow("below the lowest end") << -500.0 << 0;
    QTest::newRow("plus infinity") << std::numeric_limits<double>::infinity() << 100;
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << 0;
    QTest::newRow("NaN: the middle") << std::numeric_limits<double>::quiet_NaN() << 50;
    // Halfway between two positions' angles: the lower position, on either side of the middle
    // (49 shows -1, 50 shows 0, 51 shows 1).
    QTest::newRow("tie below the middle") << -0.5 << 49;
    QTest::newRow("tie above the middle") << 0.5 << 50;
    QTest::newRow("tie between 30 and 31") << -35.0 << 30; // 30 shows -36, 31 shows -34
}

void TestKinematics::sliderPositionNearestAngle()
{
    QFETCH(double, angle);
    QFETCH(int, position);
    QCOMPARE(sliderPosition(angle), position);
}

void TestKinematics::advanceWrapsAfterLastFrame()
{
    const LinkageModel m = buildLinkageModel(defaultDimensions);
    MotionSchedule schedule;
    schedule.frameIndex = 359;
    advanceFrame(schedule, m);
    QCOMPARE(schedule.frameIndex, 360);
    QCOMPARE(schedule.frameParameter, frameParameterFor(m, 360, 360));
    advanceFrame(schedule, m);
    QCOMPARE(schedule.frameIndex, 1);
    QCOMPARE(schedule.frameParameter, frameParameterFor(m, 360, 1));

    schedule.frameIndex = 0; // after an Animate that restored a saved 0
    advanceFrame(schedule, m);
    QCOMPARE(schedule.frameIndex, 1);

    // An index past the last (the browser's page may set any) goes to 1, never counting past
    // the largest int.
    schedule.frameIndex = std::numeric_limits<int>::max();
    advanceFrame(schedule, m);
    QCOMPARE(schedule.frameIndex, 1);
}

void TestKinematics::symmetricPaintNegatesOnlyItsOwnCopy()
{
    const LinkageDimensions d = dims(40, 30, 30, 40);
    const LinkageModel m = buildLinkageModel(d);
    MotionSchedule schedule;
    QCOMPARE(m.lowerSign, 1.0);
    QVERIFY(!isGrashof(m));

    const PaintSchedule paint = beginPaint(m, d, schedule);
    QCOMPARE(paint.model.lowerSign, -1.0);
    QCOMPARE(m.lowerSign, 1.0);
    QCOMPARE(schedule.startIndex, 2);

    // Frame 1 inside the paint takes the paint's sign product (+1); a tick takes the stored -1.
    recomputeFirstFrame(schedule, paint);
    QVERIFY(std::fabs(schedule.frameParameter - -6.265844) < 1e-6);
    advanceFrame(schedule, m);
    schedule.frameIndex = 360;
    advanceFrame(schedule, m);
    QVERIFY(std::fabs(schedule.frameParameter - -6.248216) < 1e-6);

    // Once 2, the start index stays 2 even after the copy stops being symmetric.
    const PaintSchedule later = beginPaint(m, dims(41, 30, 30, 40), schedule);
    QCOMPARE(later.startIndex, 2);
    QCOMPARE(later.model.lowerSign, 1.0);
}

void TestKinematics::almostSymmetricIsNotSymmetric_data()
{
    QTest::addColumn<LinkageDimensions>("d");
    QTest::newRow("a = f, b != c") << dims(40, 30, 31, 40);
    QTest::newRow("b = c, a != f") << dims(40, 30, 30, 41);
    QTest::newRow("off by one ulp") << dims(40, 30, std::nextafter(30.0, 31.0), 40);
}

void TestKinematics::almostSymmetricIsNotSymmetric()
{
    QFETCH(LinkageDimensions, d);
    const LinkageModel m = buildLinkageModel(d);
    MotionSchedule schedule;
    const PaintSchedule paint = beginPaint(m, d, schedule);
    QCOMPARE(paint.model.lowerSign, m.lowerSign);
    QCOMPARE(schedule.startIndex, 0);
}

void TestKinematics::grashofPassOneClosesOnItself()
{
    const LinkageDimensions d = dims(20, 50, 45, 40);
    MotionSchedule schedule;
    const PaintSchedule paint = beginPaint(buildLinkageModel(d), d, schedule);
    QList<SphereVector> pass1;
    sweepCouplerCurve(paint, 360, [&](int pass, int, double, const SphereVector& p) {
        if (pass == 1) {
            pass1.append(p);
        }
    });
    QCOMPARE(pass1.size(), 361);
    QVERIFY(arcDegrees(pass1.first(), pass1.last()) < 1e-9);
}

void TestKinematics::nonGrashofPassesMeet()
{
    MotionSchedule schedule;
    const PaintSchedule paint =
        beginPaint(buildLinkageModel(defaultDimensions), defaultDimensions, schedule);
    QList<SphereVector> pass1;
    QList<SphereVector> pass2;
    sweepCouplerCurve(paint, 360, [&](int pass, int, double, const SphereVector& p) {
        QVERIFY(finite(p));
        (pass == 1 ? pass1 : pass2).append(p);
    });
    QVERIFY(arcDegrees(pass2.last(), pass1.first()) < 0.05);
}

namespace {

// The poses a new page draws for its 360 frames.
QList<LinkagePose> framePoses(const LinkageDimensions& d)
{
    QList<LinkagePose> poses;
    forEachShownFrame(shownMotion(d),
                      [&poses](int, double, const LinkagePose& pose) { poses.append(pose); });
    return poses;
}

QByteArray describe(const LinkageDimensions& d)
{
    return QStringLiteral("a %1 b %2 c %3 f %4")
        .arg(d.a, 0, 'g', 17)
        .arg(d.b, 0, 'g', 17)
        .arg(d.c, 0, 'g', 17)
        .arg(d.f, 0, 'g', 17)
        .toUtf8();
}

} // namespace

// What keeps a linkage from being drawn whole, in words; empty when every one of the 360 frames
// is drawn on branch 1 or 2 with its links at their lengths and every point of the coupler
// curve exists.
QByteArray wholeMotionFault(const LinkageDimensions& d)
{
    const QByteArray where = describe(d);
    for (const FrameAngles& row : frameAngleTable(d)) {
        if (row.angles.branch != 1 && row.angles.branch != 2) {
            return where + ": frame " + QByteArray::number(row.frame) + " on no branch";
        }
    }
    const LinkageModel m = buildLinkageModel(d);
    for (const LinkagePose& p : framePoses(d)) {
        if (!finite(p.A1) || !finite(p.B1) || !finite(p.P)
            || std::fabs(arcDegrees(m.A0, p.A1) - d.a) > 1e-6
            || std::fabs(arcDegrees(m.B0, p.B1) - d.b) > 1e-6
            || std::fabs(arcDegrees(p.A1, p.B1) - d.c) > 1e-6) {
            return where + ": a frame's pose is missing or its links have the wrong lengths";
        }
    }
    MotionSchedule schedule;
    const PaintSchedule paint = beginPaint(m, d, schedule);
    int points = 0;
    sweepCouplerCurve(paint, schedule.framesPerCycle, [&](int, int, double, const SphereVector& p) {
        points += finite(p) ? 1 : 0;
    });
    if (points != 2 * (schedule.framesPerCycle + 1 - 2 * paint.startIndex)) {
        return where + ": the coupler curve has gaps";
    }
    return {};
}

void TestKinematics::everyAssemblableLinkageMovesWhole()
{
    // Random linkages that the analysis gives a type (they close and move), many with a link
    // pair summing past 180 degrees.
    QRandomGenerator random(16);
    int checked = 0;
    int pastHalfTurn = 0;
    while (checked < 600) {
        const auto link = [&random] { return uniform(random, 0.5, 179.5); };
        const LinkageDimensions d{link(),
                                  link(),
                                  link(),
                                  link(),
                                  uniform(random, 0.0, 180.0),
                                  uniform(random, -180.0, 180.0)};
        if (analyseLinkage(d).type.empty()) {
            continue;
        }
        ++checked;
        pastHalfTurn += (d.a + d.f > 180.0 || d.b + d.c > 180.0) ? 1 : 0;
        const QByteArray fault = wholeMotionFault(d);
        QVERIFY2(fault.isEmpty(), fault);
    }
    QVERIFY(pastHalfTurn > 300);
}

void TestKinematics::specialLinkagesMoveWhole_data()
{
    QTest::addColumn<LinkageDimensions>("d");
    QTest::newRow("kite of 100s") << dims(100, 100, 100, 100);
    QTest::newRow("kite, a + f past 180") << dims(150, 60, 60, 150);
    QTest::newRow("kite, both past 180") << dims(100, 130, 130, 100);
    QTest::newRow("a + f just past 180") << dims(100, 50, 60, 80.0000001);
    QTest::newRow("a + f near 360") << dims(170, 40, 30, 175);
    QTest::newRow("b + c near 360, tiny ground") << dims(5, 175, 178, 1);
    QTest::newRow("Hooke's joint") << dims(90, 90, 90, 30);
    QTest::newRow("both past 180, b-c sets both ends") << dims(140, 150, 125, 130);
}

void TestKinematics::specialLinkagesMoveWhole()
{
    QFETCH(LinkageDimensions, d);
    QVERIFY2(!analyseLinkage(d).type.empty(), describe(d));
    const QByteArray fault = wholeMotionFault(d);
    QVERIFY2(fault.isEmpty(), fault);
}

void TestKinematics::crankRockerReachesItsOutputLimits()
{
    // Both link pairs sum past 180 degrees; on the sphere the input turns fully. The output's
    // |psi| over the frames reaches each of its limits to within one frame's travel.
    const LinkageDimensions d = dims(160, 105, 120, 100);
    const LinkageAnalysis r = analyseLinkage(d);
    QCOMPARE(QString::fromStdString(r.type), QStringLiteral("crank-rocker"));
    QCOMPARE(r.outputLimits.size(), size_t(2));
    const std::vector<FrameAngles> table = frameAngleTable(d);
    double least = 180.0;
    double greatest = 0.0;
    double travel = 0.0;
    for (size_t i = 0; i < table.size(); ++i) {
        const PoseAngles& angles = table[i].angles;
        QVERIFY(angles.branch == 1 || angles.branch == 2);
        least = std::min(least, std::fabs(angles.psi));
        greatest = std::max(greatest, std::fabs(angles.psi));
        if (i > 0 && table[i - 1].angles.branch == angles.branch) {
            travel = std::max(travel, std::fabs(angles.psi - table[i - 1].angles.psi));
        }
    }
    QVERIFY(travel > 0.0 && travel < 5.0);
    QVERIFY2(std::fabs(least - r.outputLimits[0]) <= travel, qPrintable(QString::number(least)));
    QVERIFY2(std::fabs(greatest - r.outputLimits[1]) <= travel,
             qPrintable(QString::number(greatest)));
    QVERIFY(least >= r.outputLimits[0] - 1e-9 && greatest <= r.outputLimits[1] + 1e-9);
}

void TestKinematics::changePointsPassWithoutAJump_data()
{
    QTest::addColumn<LinkageDimensions>("d");
    QTest::newRow("T1 = 0, lower ends meet") << dims(30, 40, 50, 20);
    QTest::newRow("T3 = 0, sums equal") << dims(70, 60, 50, 40);
    QTest::newRow("T4 = 0, folded tops meet") << dims(120, 110, 50, 80);
    QTest::newRow("T4 = 0, coupler side past 180") << dims(60, 150, 70, 80);
    QTest::newRow("T2 = T4 = 0") << dims(130, 110, 50, 70);
    QTest::newRow("a = f, b + c past 180") << dims(70, 120, 100, 70);
}

void TestKinematics::changePointsPassWithoutAJump()
{
    // A change-point linkage folds flat with all four joints on one great circle; it passes
    // that position with every frame drawn and no joint leaping between consecutive frames
    // (the last frame leads back to the first).
    QFETCH(LinkageDimensions, d);
    QVERIFY(analyseLinkage(d).changePoint);
    const QList<LinkagePose> poses = framePoses(d);
    for (qsizetype i = 0; i < poses.size(); ++i) {
        const LinkagePose& p = poses[i];
        const LinkagePose& next = poses[(i + 1) % poses.size()];
        const QByteArray where = "frame " + QByteArray::number(i + 1);
        QVERIFY2(finite(p.A1) && finite(p.B1) && finite(p.P), where);
        QVERIFY2(arcDegrees(p.A1, next.A1) < 10.0 && arcDegrees(p.B1, next.B1) < 10.0, where);
    }
}

void TestKinematics::unassemblableOnTheSphereDrawsNothing_data()
{
    QTest::addColumn<LinkageDimensions>("d");
    // The planar rule would admit a diagonal from 177 to 190; on the sphere b-c needs 177 to 179
    // and a-f reaches 170 at most.
    QTest::newRow("ranges apart past 180") << dims(100, 178, 1, 90);
}

void TestKinematics::unassemblableOnTheSphereDrawsNothing()
{
    QFETCH(LinkageDimensions, d);
    const LinkageModel m = buildLinkageModel(d);
    QVERIFY(m.diagonalHalf < 0.0);
    for (const LinkagePose& p : framePoses(d)) {
        QVERIFY(std::isnan(p.B1.x) && std::isnan(p.P.x));
    }
}

QTEST_APPLESS_MAIN(TestKinematics)
#include "tst_kinematics.moc"
