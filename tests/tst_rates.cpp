// Tests of the rates: against central differences of poses built here from the input angle alone,
// the pole's great circles, the three-pole theorem, Hooke's joint, toggles and change points.
#include "linkage_analysis.h"
#include "linkage_model.h"
#include "linkage_rates.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

using namespace cyclar;

Q_DECLARE_METATYPE(cyclar::LinkageDimensions)

namespace {

constexpr double rad = std::numbers::pi / 180.0;
constexpr double inf = std::numeric_limits<double>::infinity();

using V = SphereVector;

double dot(const V& u, const V& v)
{
    return u.x * v.x + u.y * v.y + u.z * v.z;
}
V cross(const V& u, const V& v)
{
    return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}
V add(const V& u, const V& v, double s = 1.0)
{
    return {u.x + s * v.x, u.y + s * v.y, u.z + s * v.z};
}
V times(double s, const V& v)
{
    return {s * v.x, s * v.y, s * v.z};
}
double norm(const V& v)
{
    return std::sqrt(dot(v, v));
}
V unit(const V& v)
{
    return times(1.0 / norm(v), v);
}

// A pose built straight from the input angle: A1 by turning A0's arm about A0, B1 where the
// circles of radius b about B0 and c about A1 meet (branch 1: B0 . (A1 x B1) > 0), P by h and k
// from the arc A1 B1. Nothing here is shared with the code under test.
struct Pose {
    V A0, B0, A1, B1, P;
    double psi = 0.0; // radians, measured as the output angle is
};

std::optional<Pose> poseAt(const LinkageDimensions& d, double theta, int branch)
{
    Pose p;
    const double f = d.f * rad;
    p.A0 = {1, 0, 0};
    p.B0 = {std::cos(f), std::sin(f), 0};
    // At A0 the ground arc heads along +y (B0 in the upper half for 0 < f < 180); A0 x y = z.
    const double side = std::sin(f) > 0 ? 1.0 : -1.0;
    const V arm{0, side * std::cos(theta), side * std::sin(theta)};
    p.A1 = add(times(std::cos(d.a * rad), p.A0), arm, std::sin(d.a * rad));
    const double g = dot(p.B0, p.A1);
    const double cb = std::cos(d.b * rad), cc = std::cos(d.c * rad);
    const double x = (cb - g * cc) / (1 - g * g);
    const double y = (cc - g * cb) / (1 - g * g);
    const double zz = 1 - x * x - y * y - 2 * x * y * g;
    if (!(zz >= 0)) {
        return std::nullopt;
    }
    const V n = unit(cross(p.B0, p.A1));
    const double z = (branch == 1 ? 1.0 : -1.0) * std::sqrt(zz);
    p.B1 = add(add(times(x, p.B0), p.A1, y), n, z);
    const V toB1 = unit(add(p.B1, p.A1, -dot(p.A1, p.B1)));
    const V dir = add(times(std::cos(d.k * rad), toB1), cross(p.A1, toB1), std::sin(d.k * rad));
    p.P = add(times(std::cos(d.h * rad), p.A1), dir, std::sin(d.h * rad));
    // psi: from the ground arc continued beyond B0 (direction -A0 projected) about B0.
    const V beyond = unit(add(times(-1.0, p.A0), p.B0, dot(p.A0, p.B0)));
    p.psi = std::atan2(dot(p.B1, cross(p.B0, beyond)), dot(p.B1, beyond));
    return p;
}

double wrapped(double x)
{
    return std::remainder(x, 2 * std::numbers::pi);
}

// Central differences of psi and P over theta, on five points (errors of order h^4).
struct Differences {
    double rate, acceleration;
    V velocity, pointAcceleration;
};

std::optional<Differences> differencesAt(const LinkageDimensions& d, double theta, int branch,
                                         double h)
{
    std::optional<Pose> p[5];
    for (int i = 0; i < 5; ++i) {
        p[i] = poseAt(d, theta + (i - 2) * h, branch);
        if (!p[i]) {
            return std::nullopt;
        }
    }
    // psi relative to the middle pose, unwrapped.
    double psi[5];
    for (int i = 0; i < 5; ++i) {
        psi[i] = wrapped(p[i]->psi - p[2]->psi);
    }
    Differences r;
    r.rate = (-psi[4] + 8 * psi[3] - 8 * psi[1] + psi[0]) / (12 * h);
    r.acceleration = (-psi[4] + 16 * psi[3] - 30 * psi[2] + 16 * psi[1] - psi[0]) / (12 * h * h);
    const auto first = [&](auto V::*c) {
        return (-(p[4]->P.*c) + 8 * (p[3]->P.*c) - 8 * (p[1]->P.*c) + (p[0]->P.*c)) / (12 * h);
    };
    const auto second = [&](auto V::*c) {
        return (-(p[4]->P.*c) + 16 * (p[3]->P.*c) - 30 * (p[2]->P.*c) + 16 * (p[1]->P.*c)
                - (p[0]->P.*c))
               / (12 * h * h);
    };
    r.velocity = {first(&V::x), first(&V::y), first(&V::z)};
    r.pointAcceleration = {second(&V::x), second(&V::y), second(&V::z)};
    return r;
}

// The differences where they can be trusted: two step sizes agree to about eight digits (near a
// toggle the higher derivatives grow without bound and no step is small enough).
std::optional<Differences> trustedDifferencesAt(const LinkageDimensions& d, double theta,
                                                int branch)
{
    const auto fine = differencesAt(d, theta, branch, 1e-3);
    const auto coarse = differencesAt(d, theta, branch, 2e-3);
    if (!fine || !coarse
        || std::fabs(fine->rate - coarse->rate) > 1e-8 * (1 + std::fabs(fine->rate))
        || std::fabs(fine->acceleration - coarse->acceleration)
               > 1e-6 * (1 + std::fabs(fine->acceleration))) {
        return std::nullopt;
    }
    return fine;
}

double gap(const V& u, const V& v)
{
    return norm(add(u, v, -1));
}

LinkageDimensions randomLinkage(QRandomGenerator& random)
{
    const auto in = [&random](double lo, double hi) {
        return lo + (hi - lo) * random.generateDouble();
    };
    return {in(5, 175), in(5, 175), in(5, 175), in(5, 175), in(0, 180), in(-180, 180)};
}

} // namespace

class TestRates : public QObject {
    Q_OBJECT

private slots:
    void againstDifferences_data();
    void againstDifferences();
    void randomLinkagesAgainstDifferences();
    void frameTableIsTheAngleTablesPoses();
    void polesOnTheirGreatCircles();
    void hookesJoint_data();
    void hookesJoint();
    void togglesAndChangePoints();
    void extremes_data();
    void extremes();
    void polodes();
};

void TestRates::againstDifferences_data()
{
    QTest::addColumn<LinkageDimensions>("dims");
    QTest::newRow("default") << defaultDimensions;
    QTest::newRow("crank-rocker") << LinkageDimensions{20, 50, 45, 40, 45, -35};
    QTest::newRow("double-crank") << LinkageDimensions{160, 105, 120, 100, 45, -35};
    QTest::newRow("past the planar rule, a + f > 180")
        << LinkageDimensions{120, 80, 70, 110, 60, 20};
    QTest::newRow("obtuse coupler, P behind A1") << LinkageDimensions{40, 70, 130, 60, 150, 170};
    QTest::newRow("Hooke's joint, P at B1") << LinkageDimensions{90, 90, 90, 30, 90, 0};
}

// Every value of the rates at many input angles, both branches, against differences.
void TestRates::againstDifferences()
{
    QFETCH(LinkageDimensions, dims);
    int checked = 0;
    for (double theta = -179.5; theta < 180; theta += 7.25) {
        const OutputRates rates = outputRatesAt(dims, theta);
        for (int branch = 1; branch <= 2; ++branch) {
            const auto pose = poseAt(dims, theta * rad, branch);
            const auto diff = trustedDifferencesAt(dims, theta * rad, branch);
            QCOMPARE(rates.closes, pose.has_value());
            if (!pose || !diff) {
                continue;
            }
            const LinkageRates& r = rates.branch[static_cast<size_t>(branch - 1)];
            const QByteArray where =
                QByteArray::number(theta) + " branch " + QByteArray::number(branch);
            const double scale = 1 + std::fabs(diff->rate);
            QVERIFY2(std::fabs(r.outputRate - diff->rate) < 1e-6 * scale, where);
            QVERIFY2(std::fabs(r.mechanicalAdvantage * r.outputRate - 1) < 1e-12, where);
            QVERIFY2(std::fabs(r.outputAcceleration - diff->acceleration)
                         < 1e-4 * (1 + std::fabs(diff->acceleration)),
                     where);
            QVERIFY2(gap(r.pointVelocity, diff->velocity) < 1e-6, where);
            QVERIFY2(gap(r.pointAcceleration, diff->pointAcceleration)
                         < 1e-4 * (1 + norm(diff->pointAcceleration)),
                     where);
            QVERIFY2(std::fabs(r.pointSpeed - norm(diff->velocity)) < 1e-6, where);
            QVERIFY2(std::fabs(r.pointAccelerationMagnitude - norm(r.pointAcceleration)) < 1e-12,
                     where);
            ++checked;
        }
    }
    QVERIFY(checked > 10);
}

// The same comparison over random linkages, many of them past the planar rule.
void TestRates::randomLinkagesAgainstDifferences()
{
    QRandomGenerator random(18);
    int checked = 0;
    for (int i = 0; i < 400; ++i) {
        const LinkageDimensions dims = randomLinkage(random);
        const double theta = 360 * random.generateDouble() - 180;
        const int branch = 1 + static_cast<int>(random.bounded(2));
        const auto pose = poseAt(dims, theta * rad, branch);
        const auto diff = trustedDifferencesAt(dims, theta * rad, branch);
        if (!pose || !diff) {
            continue;
        }
        const LinkageRates r = rigidRates(pose->A0, pose->B0, pose->A1, pose->B1, pose->P);
        const QByteArray where = QByteArray::number(i);
        QVERIFY2(std::fabs(r.outputRate - diff->rate) < 1e-6 * (1 + std::fabs(diff->rate)), where);
        QVERIFY2(std::fabs(r.outputAcceleration - diff->acceleration)
                     < 1e-4 * (1 + std::fabs(diff->acceleration)),
                 where);
        QVERIFY2(gap(r.pointVelocity, diff->velocity) < 1e-6, where);
        QVERIFY2(gap(r.pointAcceleration, diff->pointAcceleration)
                     < 1e-4 * (1 + norm(diff->pointAcceleration)),
                 where);
        ++checked;
    }
    QVERIFY(checked > 150);
}

// The rate table's rows are the angle table's frames and poses, and each row's rates agree with
// the differences at that row's input angle and branch.
void TestRates::frameTableIsTheAngleTablesPoses()
{
    const LinkageDimensions linkages[] = {defaultDimensions,
                                          {90, 90, 90, 60, 30, 10},
                                          {20, 50, 45, 40, 45, -35},
                                          {40, 40, 40, 40, 45, -35}};
    for (const LinkageDimensions& dims : linkages) {
        const std::vector<FrameAngles> angles = frameAngleTable(dims);
        const std::vector<FrameRates> rates = frameRateTable(dims);
        QCOMPARE(rates.size(), angles.size());
        int checked = 0;
        for (size_t i = 0; i < rates.size(); ++i) {
            const FrameRates& row = rates[i];
            QCOMPARE(row.frame, angles[i].frame);
            QCOMPARE(row.t, angles[i].t);
            QCOMPARE(row.angles.branch, angles[i].angles.branch);
            if (row.angles.branch == 0) {
                continue;
            }
            QCOMPARE(row.angles.theta, angles[i].angles.theta);
            const auto pose = poseAt(dims, row.angles.theta * rad, row.angles.branch);
            const auto diff = trustedDifferencesAt(dims, row.angles.theta * rad, row.angles.branch);
            if (!pose || !diff) {
                continue;
            }
            QVERIFY(gap(pose->P, row.P) < 1e-9);
            QVERIFY2(std::fabs(row.rates.outputRate - diff->rate)
                         < 1e-6 * (1 + std::fabs(diff->rate)),
                     QByteArray::number(row.frame));
            QVERIFY(gap(row.rates.pointVelocity, diff->velocity) < 1e-6);
            ++checked;
        }
        QVERIFY(checked > 30);
    }
}

// The coupler's pole lies on the great circles A0 A1 and B0 B1, its velocity about the pole moves
// P as the differences do, and the three poles of input, coupler and output (A1, B1 and the
// relative pole of output and input, along psi' B0 - A0) lie on one great circle.
void TestRates::polesOnTheirGreatCircles()
{
    QRandomGenerator random(7);
    int checked = 0;
    for (int i = 0; i < 300; ++i) {
        const LinkageDimensions dims = randomLinkage(random);
        const double theta = (360 * random.generateDouble() - 180) * rad;
        const auto pose = poseAt(dims, theta, 1);
        const auto diff = trustedDifferencesAt(dims, theta, 1);
        if (!pose || !diff) {
            continue;
        }
        const LinkageRates r = rigidRates(pose->A0, pose->B0, pose->A1, pose->B1, pose->P);
        QVERIFY(std::fabs(norm(r.pole) - 1) < 1e-12);
        QVERIFY(std::fabs(dot(r.pole, unit(cross(pose->A0, pose->A1)))) < 1e-9);
        QVERIFY(std::fabs(dot(r.pole, unit(cross(pose->B0, pose->B1)))) < 1e-9);
        // Points of the coupler move about the pole: A1 and B1 as the links let them.
        QVERIFY(gap(cross(r.couplerVelocity, pose->A1), cross(pose->A0, pose->A1)) < 1e-9);
        QVERIFY(
            gap(cross(r.couplerVelocity, pose->B1), times(diff->rate, cross(pose->B0, pose->B1)))
            < 1e-6);
        QVERIFY(std::fabs(dot(r.pointVelocity, pose->P)) < 1e-12);
        const V relative = add(times(diff->rate, pose->B0), pose->A0, -1);
        QVERIFY(std::fabs(dot(unit(relative), unit(cross(pose->A1, pose->B1)))) < 1e-6);
        ++checked;
    }
    QVERIFY(checked > 100);
}

void TestRates::hookesJoint_data()
{
    QTest::addColumn<double>("f");
    QTest::newRow("shafts 150 degrees apart") << 30.0;
    QTest::newRow("shafts 120 degrees apart") << 60.0;
    QTest::newRow("shafts 45 degrees apart") << 135.0;
}

// With a = b = c = 90 the output turns as a universal joint's: the speed ratio runs between
// cos(180 - f) and its inverse, in size, over the whole turn.
void TestRates::hookesJoint()
{
    QFETCH(double, f);
    const LinkageDimensions dims{90, 90, 90, f, 30, 10};
    const double low = std::fabs(std::cos((180 - f) * rad));
    for (double theta = -180; theta < 180; theta += 1.5) {
        const OutputRates rates = outputRatesAt(dims, theta);
        QVERIFY(rates.closes);
        for (const LinkageRates& r : rates.branch) {
            const double ratio = std::fabs(r.outputRate);
            QVERIFY(ratio >= low * (1 - 1e-12) && ratio <= (1 + 1e-12) / low);
        }
    }
    const RateExtremes e = rateExtremes(dims);
    const double lo =
        std::min(std::fabs(e.leastOutputRate.value), std::fabs(e.greatestOutputRate.value));
    const double hi =
        std::max(std::fabs(e.leastOutputRate.value), std::fabs(e.greatestOutputRate.value));
    QCOMPARE_LE(std::fabs(lo - low), 1e-12);
    QCOMPARE_LE(std::fabs(hi - 1 / low), 1e-11);
}

// Exactly at an input toggle the ratio is infinite and the directions undefined; where the
// output stands still the advantage is infinite; where all four joints share a great circle
// (a change point's flat position) nothing is defined. Nothing crashes near them either.
void TestRates::togglesAndChangePoints()
{
    const V A0{1, 0, 0}, B0{0, 1, 0}, A1{0, 0, 1};
    const V B1 = unit({0, 1, 1}); // on the great circle A1 B0
    const LinkageRates toggle = rigidRates(A0, B0, A1, B1, unit({1, 1, 1}));
    QCOMPARE(toggle.outputRate, inf);
    QCOMPARE(toggle.couplerRate, inf);
    QCOMPARE(toggle.pointSpeed, inf);
    QCOMPARE(toggle.mechanicalAdvantage, 0.0);
    QVERIFY(std::isnan(toggle.pole.x) && std::isnan(toggle.pointVelocity.y));

    const LinkageRates still = rigidRates(A0, B0, unit({1, 0, 1}), A1, unit({1, 1, 1}));
    QCOMPARE(still.outputRate, 0.0);
    QVERIFY(std::isinf(still.mechanicalAdvantage));
    QVERIFY(std::isfinite(still.couplerRate) && std::isfinite(still.pointAcceleration.z));

    const V flat = unit({1, 1, 0});
    const LinkageRates changePoint = rigidRates(A0, B0, flat, unit({-1, 1, 0}), A1);
    QVERIFY(std::isnan(changePoint.outputRate) && std::isnan(changePoint.pointSpeed));

    const double nan = std::numeric_limits<double>::quiet_NaN();
    QVERIFY(std::isnan(rigidRates(A0, B0, {nan, 0, 0}, B1, A1).outputRate));

    // Just beside a real toggle the two branches run off to opposite infinities.
    const LinkageDimensions rocker = defaultDimensions;
    const double limit = analyseLinkage(rocker).inputLimits.at(0);
    const OutputRates near = outputRatesAt(rocker, limit - 1e-9);
    QVERIFY(near.closes);
    QVERIFY(std::fabs(near.branch[0].outputRate) > 1e3);
    QVERIFY(near.branch[0].outputRate * near.branch[1].outputRate < 0);
    QVERIFY(!outputRatesAt(rocker, limit + 1e-3).closes);

    // Whole tables of a change-point linkage and of one that does not close: finite or flagged.
    for (const LinkageDimensions& dims :
         {LinkageDimensions{40, 40, 40, 40, 45, -35}, LinkageDimensions{40, 30, 20, 50, 45, -35},
          LinkageDimensions{10, 20, 10, 170, 45, -35}}) {
        for (const FrameRates& row : frameRateTable(dims)) {
            if (row.angles.branch != 0 && std::isfinite(row.rates.outputRate)) {
                QVERIFY(std::isfinite(row.rates.pointSpeed));
            }
        }
        rateExtremes(dims);
    }
    const RateExtremes none = rateExtremes({10, 20, 10, 170, 45, -35});
    QVERIFY(std::isnan(none.greatestOutputRate.value) && none.greatestPointSpeed.branch == 0);
}

void TestRates::extremes_data()
{
    QTest::addColumn<LinkageDimensions>("dims");
    QTest::addColumn<bool>("bounded");
    QTest::newRow("double-crank") << LinkageDimensions{160, 105, 120, 100, 45, -35} << true;
    QTest::newRow("crank-rocker") << LinkageDimensions{20, 50, 45, 40, 45, -35} << true;
    QTest::newRow("past the planar rule") << LinkageDimensions{120, 60, 75, 110, 60, 20} << false;
    QTest::newRow("non-Grashof rocker") << defaultDimensions << false;
}

// The extremes against a dense scan of both branches over theta: never beaten by the scan, and
// where they are finite, matched by it at the angle and branch reported.
void TestRates::extremes()
{
    QFETCH(LinkageDimensions, dims);
    QFETCH(bool, bounded);
    const RateExtremes e = rateExtremes(dims);
    // The scan covers the branches the animation shows on either circuit, or both when it shows
    // none.
    bool shown[2] = {false, false};
    for (const int circuit : {1, 2}) {
        for (const FrameAngles& row : frameAngleTable(dims, MotionChoice{circuit, false})) {
            if (row.angles.branch != 0) {
                shown[row.angles.branch - 1] = true;
            }
        }
    }
    if (!shown[0] && !shown[1]) {
        shown[0] = shown[1] = true;
    }
    double leastRate = inf, greatestRate = -inf, leastSpeed = inf, greatestSpeed = 0;
    for (double theta = -180; theta <= 180; theta += 0.01) {
        const OutputRates r = outputRatesAt(dims, theta);
        for (const LinkageRates& b : r.branch) {
            if (std::isfinite(b.outputRate) && shown[&b - r.branch.data()]) {
                leastRate = std::min(leastRate, b.outputRate);
                greatestRate = std::max(greatestRate, b.outputRate);
                leastSpeed = std::min(leastSpeed, b.pointSpeed);
                greatestSpeed = std::max(greatestSpeed, b.pointSpeed);
            }
        }
    }
    const auto check = [&dims](const RateExtreme& x, double scanned, double sign) {
        QVERIFY(sign * x.value >= sign * scanned - 1e-12 * (1 + std::fabs(scanned)));
        if (!std::isfinite(x.value)) {
            return;
        }
        QVERIFY(std::fabs(x.value - scanned) < 1e-6 * (1 + std::fabs(scanned)));
        const LinkageRates at =
            outputRatesAt(dims, x.theta).branch.at(static_cast<size_t>(x.branch - 1));
        QVERIFY(std::fabs(at.outputRate - x.value) < 1e-9
                || std::fabs(at.pointSpeed - x.value) < 1e-9);
    };
    check(e.leastOutputRate, leastRate, -1);
    check(e.greatestOutputRate, greatestRate, 1);
    check(e.leastPointSpeed, leastSpeed, -1);
    check(e.greatestPointSpeed, greatestSpeed, 1);
    QCOMPARE(std::isfinite(e.greatestOutputRate.value), bounded);
    if (!bounded) {
        QCOMPARE(e.leastOutputRate.value, -inf);
        QCOMPARE(e.greatestOutputRate.theta, analyseLinkage(dims).inputLimits.at(0));
    }
}

// The fixed polode is the pole of each frame; the moving one is that pole in the coupler's frame,
// the frame in which P has the coordinates h and k give it. Over a cycle the moving polode is a
// closed path of its own, not the fixed one.
void TestRates::polodes()
{
    const LinkageDimensions dims{20, 50, 45, 40, 45, -35};
    const Polodes polodes = framePolodes(dims);
    const std::vector<FrameRates> rows = frameRateTable(dims);
    QCOMPARE(polodes.fixed.size(), rows.size());
    QCOMPARE(polodes.moving.size(), rows.size());
    const V inFrame{std::cos(dims.h * rad), std::sin(dims.h * rad) * std::cos(dims.k * rad),
                    std::sin(dims.h * rad) * std::sin(dims.k * rad)};
    double apart = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        QVERIFY(gap(polodes.fixed[i], rows[i].rates.pole) < 1e-15);
        const auto pose = poseAt(dims, rows[i].angles.theta * rad, rows[i].angles.branch);
        QVERIFY(pose);
        QVERIFY(gap(inCouplerFrame(pose->A1, pose->B1, pose->P), inFrame) < 1e-9);
        QVERIFY(std::fabs(norm(polodes.moving[i]) - 1) < 1e-12);
        QVERIFY(std::fabs(dot(polodes.moving[i], inCouplerFrame(pose->A1, pose->B1, pose->P))
                          - dot(polodes.fixed[i], pose->P))
                < 1e-9);
        apart = std::max(apart, gap(polodes.moving[i], polodes.fixed[i]));
    }
    QVERIFY(apart > 0.1);
}

QTEST_APPLESS_MAIN(TestRates)
#include "tst_rates.moc"
