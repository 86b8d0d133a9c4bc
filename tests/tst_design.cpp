// Tests of linkage design: tasks taken from known linkages in randomly turned frames must give
// candidates that reach every position (checked here by solving the poses afresh), must give the
// linkage they came from back, and bad tasks must be refused.
#include "candidate_order.h"
#include "design_test_support.h"
#include "function_fit.h"
#include "linkage_analysis.h"
#include "linkage_design.h"
#include "pose_solver.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

using namespace cyclar;
using namespace cyclar::test;

Q_DECLARE_METATYPE(cyclar::LinkageDimensions)
Q_DECLARE_METATYPE(cyclar::DesignTask)
Q_DECLARE_METATYPE(std::vector<double>)
Q_DECLARE_METATYPE(std::optional<std::vector<double>>)

namespace {

constexpr double rad = std::numbers::pi / 180.0;

double angleGap(double x, double y)
{
    return std::fabs(std::remainder(x - y, 360.0));
}

// A rotation drawn from a seeded generator (a unit quaternion with normal components).
Rotation randomTurn(unsigned seed)
{
    std::mt19937 generator(seed);
    std::normal_distribution<double> normal;
    double q[4];
    double n = 0.0;
    for (double& x : q) {
        x = normal(generator);
        n += x * x;
    }
    n = std::sqrt(n);
    const double w = q[0] / n, x = q[1] / n, y = q[2] / n, z = q[3] / n;
    return {{{1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y)},
             {2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x)},
             {2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)}}};
}

// Poses the candidate afresh at each of its input angles and branches, without the design's own
// code: A1 from theta; B1 where the circle about B0 meets the coupler's arc, on the branch
// listed; P from h and k as the pose solver places it. Fails the test on any miss.
void checkReaches(const DesignTask& task, const DesignCandidate& candidate)
{
    const LinkageDimensions& d = candidate.dims;
    QVERIFY(d.f > 0.0 && d.f < 180.0);
    const SphereVector B0{std::cos(d.f * rad), std::sin(d.f * rad), 0.0};
    const SphereVector v0{-std::sin(d.f * rad), std::cos(d.f * rad), 0.0};
    const SphereVector up{0.0, 0.0, 1.0};
    QCOMPARE(candidate.positions.size(), task.positions.size());
    // The placement is a rotation: orthonormal columns, right-handed.
    const Rotation& M = candidate.placement;
    const SphereVector c0{M[0][0], M[1][0], M[2][0]}, c1{M[0][1], M[1][1], M[2][1]},
        c2{M[0][2], M[1][2], M[2][2]};
    QVERIFY(std::fabs(dot(c0, c0) - 1.0) < 1e-12 && std::fabs(dot(c1, c1) - 1.0) < 1e-12);
    QVERIFY(std::fabs(dot(c0, c1)) < 1e-12 && norm(cross(c0, c1) + (-1.0 * c2)) < 1e-12);
    double firstAngle = 0.0;
    for (std::size_t i = 0; i < task.positions.size(); ++i) {
        const double theta = candidate.positions[i].input * rad;
        const SphereVector A1{std::cos(d.a * rad), std::sin(d.a * rad) * std::cos(theta),
                              std::sin(d.a * rad) * std::sin(theta)};
        const double along = dot(A1, v0), across = dot(A1, up);
        const double delta = std::atan2(across, along);
        const double cosGap = (std::cos(d.c * rad) - std::cos(d.b * rad) * dot(A1, B0))
                              / (std::sin(d.b * rad) * std::hypot(along, across));
        QVERIFY2(std::fabs(cosGap) <= 1.0 + 1e-12,
                 "the candidate does not close at its input angle");
        const double gap = std::acos(std::clamp(cosGap, -1.0, 1.0));
        SphereVector B1;
        bool found = false;
        for (const double psi : {delta + gap, delta - gap}) {
            const SphereVector b1 =
                (std::cos(d.b * rad) * B0)
                + (std::sin(d.b * rad) * ((std::cos(psi) * v0) + (std::sin(psi) * up)));
            const int branch = dot(B0, cross(A1, b1)) >= 0.0 ? 1 : 2;
            if (branch == candidate.positions[i].branch) {
                B1 = b1;
                found = true;
                break;
            }
        }
        if (!found) { // at a toggle both closures coincide
            B1 = (std::cos(d.b * rad) * B0)
                 + (std::sin(d.b * rad) * ((std::cos(delta) * v0) + (std::sin(delta) * up)));
        }
        const SphereVector T1 = tangentToward(A1, B0);
        const SphereVector N1 = cross(A1, T1);
        const SphereVector toB = tangentToward(A1, B1);
        const double coupler = std::atan2(dot(toB, N1), dot(toB, T1)) + d.k * rad;
        const SphereVector P =
            (std::cos(d.h * rad) * A1)
            + (std::sin(d.h * rad) * ((std::cos(coupler) * T1) + (std::sin(coupler) * N1)));
        const SphereVector point = applied(candidate.placement, P);
        const SphereVector wanted = taskPoint(task.positions[i]);
        const SphereVector miss = point + (-1.0 * wanted);
        QVERIFY2(norm(miss) <= 1e-7,
                 qPrintable(QStringLiteral("position %1 missed by %2").arg(i + 1).arg(norm(miss))));
        const SphereVector heading = taskHeading(task.positions[i]);
        const SphereVector toA = tangentToward(wanted, applied(candidate.placement, A1));
        const double angle = std::atan2(dot(wanted, cross(heading, toA)), dot(heading, toA)) / rad;
        if (i == 0) {
            firstAngle = angle;
        } else {
            QVERIFY2(angleGap(angle, firstAngle) <= 1e-6,
                     qPrintable(QStringLiteral("heading at %1 off by %2")
                                    .arg(i + 1)
                                    .arg(angleGap(angle, firstAngle))));
        }
    }
}

// The candidates are in the one order, each mechanism's variants together: mechanisms numbered
// 1, 2, ... in turn, ordered by their first variants, each's variants in order after it, all of
// one mechanism on the same joint axes and no two mechanisms on the same.
void checkOrder(const DesignResult& result)
{
    const std::vector<DesignCandidate>& c = result.candidates;
    std::vector<std::size_t> firsts;
    for (std::size_t i = 0; i < c.size(); ++i) {
        const bool starts = i == 0 || c[i].mechanism != c[i - 1].mechanism;
        if (starts) {
            QCOMPARE(c[i].mechanism, static_cast<int>(firsts.size()) + 1);
            QCOMPARE(c[i].drivenPivot, 1);
            firsts.push_back(i);
        } else {
            QVERIFY(!candidateBefore(c[i], c[i - 1]));
        }
        const auto axes = jointAxes(c[i]);
        QVERIFY(axes);
        QVERIFY(sameMechanism(*axes, *jointAxes(c[firsts.back()])));
        QVERIFY(c[i].drivenPivot == 1 || c[i].drivenPivot == 2);
    }
    for (std::size_t m = 1; m < firsts.size(); ++m) {
        QVERIFY(!candidateBefore(c[firsts[m]], c[firsts[m - 1]]));
        for (std::size_t n = 0; n < m; ++n) {
            QVERIFY(!sameMechanism(*jointAxes(c[firsts[m]]), *jointAxes(c[firsts[n]])));
        }
    }
}

bool sameLinkage(const LinkageDimensions& x, const LinkageDimensions& y, double tolerance)
{
    return std::fabs(x.a - y.a) <= tolerance && std::fabs(x.b - y.b) <= tolerance
           && std::fabs(x.c - y.c) <= tolerance && std::fabs(x.f - y.f) <= tolerance
           && std::fabs(x.h - y.h) <= tolerance && angleGap(x.k, y.k) <= tolerance;
}

// Pairs (theta, psi) on a branch of a linkage, at the inputs given.
std::vector<TaskPair> pairsOf(const LinkageDimensions& dims, const std::vector<double>& inputs,
                              int branch)
{
    std::vector<TaskPair> pairs;
    for (const double theta : inputs) {
        const OutputAngles out = outputAnglesAt(dims, theta);
        pairs.push_back({theta, out.psi[branch == 1 ? 0 : 1]});
    }
    return pairs;
}

QStringList defectWords(const DesignCandidate& candidate)
{
    QStringList words;
    for (const DesignDefect& d : candidate.defects) {
        words << QString::fromStdString(defectText(d));
    }
    return words;
}

} // namespace

class TestDesign : public QObject {
    Q_OBJECT

private slots:
    void couplerPoseAgreesWithPoseSolver();
    void functionRecoversLinkage_data();
    void functionRecoversLinkage();
    void functionLeastSquaresReportsItsError();
    void hookesJointFromItsRelation();
    void functionDefects_data();
    void functionDefects();
    void motionCandidatesReachEveryPosition_data();
    void motionCandidatesReachEveryPosition();
    void fivePositionsOfManyLinkages();
    void givenPivotsGiveTheirLinkage();
    void badTasksRefused_data();
    void badTasksRefused();
    void orderIsOneWhateverTheInputOrder_data();
    void orderIsOneWhateverTheInputOrder();
    void fivePositionsListMechanisms();
    void noisyFunctionTasksFitInDegrees();
    void chebyshevSpacing_data();
    void chebyshevSpacing();
    void specialTasksSaidPlainly_data();
    void specialTasksSaidPlainly();
};

// The design poses candidates with couplerPoseAt; it must put A1, B1 and P where the pose solver
// does, for the pose solver's own angles and branch.
void TestDesign::couplerPoseAgreesWithPoseSolver()
{
    const std::vector<LinkageDimensions> linkages{defaultDimensions,
                                                  {20.0, 60.0, 70.0, 75.0, 30.0, 110.0},
                                                  {70.0, 80.0, 60.0, 120.0, 100.0, -150.0}};
    for (const LinkageDimensions& dims : linkages) {
        const LinkageModel model = buildLinkageModel(dims);
        for (double t = -3.1; t < 3.15; t += 0.2) {
            const LinkagePose pose = solvePose(model, t);
            const PoseAngles angles = poseAngles(model, pose);
            if (!std::isfinite(pose.P.x) || angles.branch == 0) {
                continue;
            }
            const std::optional<CouplerPose> mine =
                couplerPoseAt(dims, angles.theta, angles.branch);
            QVERIFY(mine);
            for (const auto& [x, y] : {std::pair{mine->A1, pose.A1}, std::pair{mine->B1, pose.B1},
                                       std::pair{mine->P, pose.P}}) {
                QVERIFY2(norm(x + (-1.0 * y)) < 1e-9, qPrintable(QStringLiteral("t = %1").arg(t)));
            }
        }
    }
}

void TestDesign::functionRecoversLinkage_data()
{
    QTest::addColumn<LinkageDimensions>("dims");
    QTest::addColumn<std::vector<double>>("inputs");
    QTest::addColumn<bool>("withGround");
    const LinkageDimensions crankRocker{20.0, 60.0, 70.0, 75.0, 45.0, -35.0};
    const LinkageDimensions wide{70.0, 80.0, 60.0, 120.0, 45.0, -35.0};
    QTest::newRow("four pairs") << defaultDimensions << std::vector<double>{-30, -10, 15, 40}
                                << false;
    QTest::newRow("six pairs") << defaultDimensions << std::vector<double>{-40, -25, -5, 10, 30, 45}
                               << false;
    QTest::newRow("three pairs and ground")
        << defaultDimensions << std::vector<double>{-20, 5, 35} << true;
    QTest::newRow("crank, four pairs")
        << crankRocker << std::vector<double>{0, 90, 180, 270} << false;
    QTest::newRow("crank, six pairs")
        << crankRocker << std::vector<double>{10, 60, 120, 170, 230, 300} << false;
    QTest::newRow("crank, three and ground")
        << crankRocker << std::vector<double>{30, 150, 260} << true;
    QTest::newRow("wide ground, four pairs")
        << wide << std::vector<double>{-100, -40, 30, 110} << false;
    QTest::newRow("wide ground, three and ground")
        << wide << std::vector<double>{-60, 20, 120} << true;
    QTest::newRow("ground and five pairs")
        << defaultDimensions << std::vector<double>{-40, -20, 0, 20, 40} << true;
}

void TestDesign::functionRecoversLinkage()
{
    QFETCH(LinkageDimensions, dims);
    QFETCH(std::vector<double>, inputs);
    QFETCH(bool, withGround);
    DesignTask task;
    task.kind = TaskKind::Function;
    task.pairs = pairsOf(dims, inputs, 1);
    for (const TaskPair& p : task.pairs) {
        QVERIFY(std::isfinite(p.output));
    }
    if (withGround) {
        task.ground = dims.f;
    }
    const DesignResult result = designLinkages(task);
    QCOMPARE(result.candidates.size(), std::size_t{1});
    const DesignCandidate& c = result.candidates[0];
    QVERIFY2(sameLinkage(c.dims, {dims.a, dims.b, dims.c, dims.f, c.dims.h, c.dims.k}, 1e-6),
             qPrintable(QStringLiteral("%1 %2 %3 %4")
                            .arg(c.dims.a, 0, 'g', 12)
                            .arg(c.dims.b, 0, 'g', 12)
                            .arg(c.dims.c, 0, 'g', 12)
                            .arg(c.dims.f, 0, 'g', 12)));
    QCOMPARE(c.placement, identityRotation());
    QCOMPARE(c.mechanism, 1);
    QVERIFY(c.maxError < 1e-8 && c.rmsError <= c.maxError);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        QCOMPARE(c.positions[i].branch, 1);
        QVERIFY(angleGap(c.positions[i].input, inputs[i]) < 1e-12);
    }
}

// Pairs that no linkage meets exactly: the fit says how far off it is, in degrees, and its
// errors are those of the linkage it gives.
void TestDesign::functionLeastSquaresReportsItsError()
{
    DesignTask task;
    task.kind = TaskKind::Function;
    task.pairs = pairsOf(defaultDimensions, {-40, -25, -5, 10, 30, 45}, 1);
    task.pairs[2].output += 0.5;
    const DesignResult result = designLinkages(task);
    QCOMPARE(result.candidates.size(), std::size_t{1});
    const DesignCandidate& c = result.candidates[0];
    QVERIFY(c.maxError > 0.01 && c.maxError < 0.5);
    QVERIFY(c.rmsError > 0.0 && c.rmsError < c.maxError);
    QVERIFY2(result.reason.find("RMS error") != std::string::npos
                 && result.reason.find("degrees") != std::string::npos,
             result.reason.c_str());
    double greatest = 0.0;
    double squares = 0.0;
    for (std::size_t i = 0; i < task.pairs.size(); ++i) {
        const OutputAngles out = outputAnglesAt(c.dims, c.positions[i].input);
        const double miss = angleGap(out.psi[c.positions[i].branch - 1], task.pairs[i].output);
        greatest = std::max(greatest, miss);
        squares += miss * miss;
    }
    QVERIFY(std::fabs(greatest - c.maxError) < 1e-9);
    QVERIFY(std::fabs(std::sqrt(squares / 6.0) - c.rmsError) < 1e-9);
}

// The Hooke's joint is the spherical four-bar with a = b = c = 90 degrees; its shafts keep
// tan theta tan psi = -cos f. Pairs taken from that relation alone give the joint back.
void TestDesign::hookesJointFromItsRelation()
{
    for (const double ground : {150.0, 120.0, 100.0}) {
        DesignTask task;
        task.kind = TaskKind::Function;
        for (const double theta : {10.0, 35.0, 60.0, 80.0, 110.0, 140.0}) {
            const double psi = std::atan(-std::cos(ground * rad) / std::tan(theta * rad)) / rad;
            task.pairs.push_back({theta, psi});
        }
        const DesignResult result = designLinkages(task);
        QCOMPARE(result.candidates.size(), std::size_t{1});
        const LinkageDimensions& d = result.candidates[0].dims;
        QVERIFY(std::fabs(d.a - 90.0) < 1e-9 && std::fabs(d.b - 90.0) < 1e-9);
        QVERIFY(std::fabs(d.c - 90.0) < 1e-9 && std::fabs(d.f - ground) < 1e-9);
        QVERIFY(result.candidates[0].rmsError < 1e-9);
        QCOMPARE(QString::fromStdString(result.candidates[0].type), QStringLiteral("double-crank"));
    }
}

void TestDesign::functionDefects_data()
{
    QTest::addColumn<LinkageDimensions>("dims");
    QTest::addColumn<std::vector<double>>("inputs");
    QTest::addColumn<std::vector<double>>("branches");
    QTest::addColumn<QStringList>("defects");
    const LinkageDimensions crankRocker{20.0, 60.0, 70.0, 75.0, 45.0, -35.0};
    // Not Grashof: the input rocks through 0 and the branches meet at its limits.
    const LinkageDimensions rocker = defaultDimensions;
    QTest::newRow("crank in order") << crankRocker << std::vector<double>{10, 80, 150, 250}
                                    << std::vector<double>{1, 1, 1, 1} << QStringList{};
    QTest::newRow("crank, backwards in order")
        << crankRocker << std::vector<double>{250, 150, 80, 10} << std::vector<double>{2, 2, 2, 2}
        << QStringList{};
    QTest::newRow("crank out of order") << crankRocker << std::vector<double>{10, 150, 80, 250}
                                        << std::vector<double>{1, 1, 1, 1} << QStringList{"order"};
    QTest::newRow("crank across circuits")
        << crankRocker << std::vector<double>{10, 80, 150, 250} << std::vector<double>{1, 1, 2, 1}
        << QStringList{"circuit"};
    QTest::newRow("rocker in order") << rocker << std::vector<double>{-30, -10, 15, 40}
                                     << std::vector<double>{1, 1, 1, 1} << QStringList{};
    QTest::newRow("rocker through a toggle")
        << rocker << std::vector<double>{-30, 15, 40, 10} << std::vector<double>{1, 1, 1, 2}
        << QStringList{"branch", "toggle between positions 3 and 4"};
    // Back from 40 to 10 on one branch the input must go all round the circuit, through both
    // toggles: named once.
    QTest::newRow("rocker out of order")
        << rocker << std::vector<double>{-30, 15, 40, 10} << std::vector<double>{1, 1, 1, 1}
        << QStringList{"order", "toggle between positions 3 and 4"};
}

void TestDesign::functionDefects()
{
    QFETCH(LinkageDimensions, dims);
    QFETCH(std::vector<double>, inputs);
    QFETCH(std::vector<double>, branches);
    QFETCH(QStringList, defects);
    DesignTask task;
    task.kind = TaskKind::Function;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        task.pairs.push_back(pairsOf(dims, {inputs[i]}, branches[i] == 1.0 ? 1 : 2)[0]);
    }
    const DesignResult result = designLinkages(task);
    QCOMPARE(result.candidates.size(), std::size_t{1});
    const DesignCandidate& c = result.candidates[0];
    QCOMPARE(defectWords(c), defects);
    QCOMPARE(c.usable(), defects.isEmpty());
    // The transmission range holds the angle at every position.
    for (const PositionReach& reach : c.positions) {
        const double mu = outputAnglesAt(c.dims, reach.input).mu;
        QVERIFY(mu >= c.transmission[0] - 1e-9 && mu <= c.transmission[1] + 1e-9);
    }
}

void TestDesign::motionCandidatesReachEveryPosition_data()
{
    QTest::addColumn<LinkageDimensions>("dims");
    QTest::addColumn<std::vector<double>>("ts");
    QTest::addColumn<unsigned>("seed");
    QTest::addColumn<bool>("wellConditioned");
    const LinkageDimensions crankRocker{20.0, 60.0, 70.0, 75.0, 30.0, 110.0};
    const LinkageDimensions wide{70.0, 80.0, 60.0, 120.0, 40.0, -150.0};
    for (unsigned seed : {1u, 2u}) {
        const QByteArray s = QByteArray::number(seed);
        QTest::newRow("three, default " + s)
            << defaultDimensions << std::vector<double>{0.5, 1.3, 2.2} << seed << true;
        QTest::newRow("four, default " + s)
            << defaultDimensions << std::vector<double>{0.5, 1.1, 1.8, 2.6} << seed << true;
        QTest::newRow("five, default " + s)
            << defaultDimensions << std::vector<double>{0.4, 0.9, 1.5, 2.1, 2.7} << seed << true;
        QTest::newRow("four, crank " + s)
            << crankRocker << std::vector<double>{-2.5, -1.0, 0.7, 2.0} << seed << true;
        QTest::newRow("five, crank " + s)
            << crankRocker << std::vector<double>{-2.5, -1.2, 0.3, 1.4, 2.6} << seed << true;
        // Two of its dyads lie a couple of degrees apart, the near double root of an
        // ill-conditioned task: a change of 0.01 degrees does away with them.
        QTest::newRow("five, wide " + s)
            << wide << std::vector<double>{0.3, 0.8, 1.4, 2.0, 2.8} << seed << false;
        // Chiang's crank-rocker, whose links sum beyond 360 degrees: its input link is longer
        // than a quarter circle, so it comes back only with its joints at their far ends.
        QTest::newRow("five, Chiang's crank-rocker " + s)
            << LinkageDimensions{160.0, 105.0, 120.0, 100.0, 130.0, 60.0}
            << std::vector<double>{-1.0, -0.6, -0.2, 0.3, 0.8} << seed << true;
    }
}

// Every candidate reaches every position; five positions give their linkage back.
void TestDesign::motionCandidatesReachEveryPosition()
{
    QFETCH(LinkageDimensions, dims);
    QFETCH(std::vector<double>, ts);
    QFETCH(unsigned, seed);
    QFETCH(bool, wellConditioned);
    const DesignTask task = motionTask(dims, ts, randomTurn(seed));
    const DesignResult result = designLinkages(task);
    QVERIFY2(!result.candidates.empty(), result.reason.c_str());
    QCOMPARE(result.kind, TaskKind::Motion);
    bool original = false;
    for (const DesignCandidate& c : result.candidates) {
        checkReaches(task, c);
        if (QTest::currentTestFailed()) {
            return;
        }
        original = original || sameLinkage(c.dims, dims, 1e-6);
    }
    if (ts.size() == 5) {
        QVERIFY(original);
    }
    checkOrder(result);
    QCOMPARE(result.reason.find("ill-conditioned") == std::string::npos, wellConditioned);
}

// Seeded random linkages, five poses each, turned at random: the linkage is always among the
// candidates, and every candidate reaches every position. Dyads that lie close together (their
// lines of the resultant a fraction of a degree apart) are the hard case this catches.
void TestDesign::fivePositionsOfManyLinkages()
{
    std::mt19937 generator(42);
    std::uniform_real_distribution<double> arc(10.0, 170.0), turn(-180.0, 180.0), t(-3.1, 3.1);
    int designed = 0;
    while (designed < 60) {
        const LinkageDimensions dims{arc(generator), arc(generator), arc(generator),
                                     arc(generator), arc(generator), turn(generator)};
        const LinkageModel model = buildLinkageModel(dims);
        std::vector<double> ts;
        for (int i = 0; i < 40 && ts.size() < 5; ++i) {
            const double candidate = t(generator);
            if (std::isfinite(solvePose(model, candidate).P.x)) {
                ts.push_back(candidate);
            }
        }
        if (ts.size() < 5) {
            continue;
        }
        std::sort(ts.begin(), ts.end());
        const DesignTask task = motionTask(dims, ts, randomTurn(static_cast<unsigned>(designed)));
        if (taskProblem(task)) {
            continue;
        }
        ++designed;
        const DesignResult result = designLinkages(task);
        bool original = false;
        for (const DesignCandidate& c : result.candidates) {
            checkReaches(task, c);
            if (QTest::currentTestFailed()) {
                return;
            }
            original = original || sameLinkage(c.dims, dims, 1e-6);
        }
        QVERIFY2(original, qPrintable(QStringLiteral("%1 %2 %3 %4 %5 %6")
                                          .arg(dims.a)
                                          .arg(dims.b)
                                          .arg(dims.c)
                                          .arg(dims.f)
                                          .arg(dims.h)
                                          .arg(dims.k)));
    }
}

// With the linkage's own fixed pivots given, three positions give the linkage back.
void TestDesign::givenPivotsGiveTheirLinkage()
{
    const Rotation turn = randomTurn(7);
    DesignTask task = motionTask(defaultDimensions, {0.5, 1.3, 2.2}, turn);
    const LinkageModel model = buildLinkageModel(defaultDimensions);
    for (const SphereVector& pivot : {model.A0, model.B0}) {
        const TaskPosition p = positionOf(applied(turn, pivot), {0.0, 0.0, 1.0});
        task.fixedPivots.push_back({p.longitude, p.latitude});
    }
    const DesignResult result = designLinkages(task);
    // Either pivot driven, each moving pivot at either end of its axis.
    QCOMPARE(result.candidates.size(), std::size_t{8});
    bool original = false;
    for (const DesignCandidate& c : result.candidates) {
        checkReaches(task, c);
        original = original || sameLinkage(c.dims, defaultDimensions, 1e-7);
    }
    QVERIFY(original);
}

void TestDesign::badTasksRefused_data()
{
    QTest::addColumn<DesignTask>("task");
    const DesignTask good = motionTask(defaultDimensions, {0.4, 0.9, 1.5, 2.1, 2.7}, randomTurn(3));
    const auto with = [&](auto change) {
        DesignTask t = good;
        change(t);
        return t;
    };
    QTest::newRow("two positions") << with([](DesignTask& t) { t.positions.resize(2); });
    QTest::newRow("six positions") << with([](DesignTask& t) {
        t.positions.push_back({10.0, 20.0, 30.0});
    });
    QTest::newRow("pole") << with([](DesignTask& t) { t.positions[1].latitude = 90.0; });
    QTest::newRow("not a number") << with(
        [](DesignTask& t) { t.positions[2].heading = std::nan(""); });
    QTest::newRow("infinite") << with([](DesignTask& t) { t.positions[0].longitude = HUGE_VAL; });
    QTest::newRow("coincident") << with([](DesignTask& t) {
        t.positions[3] = t.positions[1];
        t.positions[3].heading += 360.0;
    });
    QTest::newRow("one pivot") << with([](DesignTask& t) {
        t.positions.resize(3);
        t.fixedPivots = {{0.0, 0.0}};
    });
    QTest::newRow("opposite pivots") << with([](DesignTask& t) {
        t.positions.resize(3);
        t.fixedPivots = {{0.0, 10.0}, {180.0, -10.0}};
    });
    DesignTask function;
    function.kind = TaskKind::Function;
    function.pairs = pairsOf(defaultDimensions, {-30, -10, 15, 40}, 1);
    const auto withPairs = [&](auto change) {
        DesignTask t = function;
        change(t);
        return t;
    };
    QTest::newRow("two pairs") << withPairs([](DesignTask& t) {
        t.pairs.resize(2);
        t.ground = 40.0;
    });
    QTest::newRow("three pairs, no ground") << withPairs([](DesignTask& t) { t.pairs.resize(3); });
    QTest::newRow("ground of 180") << withPairs([](DesignTask& t) {
        t.pairs.resize(3);
        t.ground = 180.0;
    });
    QTest::newRow("pair not a number")
        << withPairs([](DesignTask& t) { t.pairs[1].output = std::nan(""); });
    QTest::newRow("repeated pair") << withPairs([](DesignTask& t) { t.pairs[2] = t.pairs[0]; });
    QTest::newRow("one input, four outputs") << withPairs([](DesignTask& t) {
        for (std::size_t i = 0; i < 4; ++i) {
            t.pairs[i] = {20.0, 10.0 * double(i)};
        }
    });
}

void TestDesign::badTasksRefused()
{
    QFETCH(DesignTask, task);
    const DesignResult result = designLinkages(task);
    QVERIFY(result.candidates.empty());
    QVERIFY(!result.reason.empty());
    QVERIFY(result.reason.find('\n') == std::string::npos);
}

void TestDesign::orderIsOneWhateverTheInputOrder_data()
{
    QTest::addColumn<DesignTask>("task");
    QTest::newRow("five positions, ties between every joint's two ends")
        << motionTask(defaultDimensions, {0.4, 0.9, 1.5, 2.1, 2.7}, randomTurn(5));
    DesignTask pivots = motionTask(defaultDimensions, {0.5, 1.3, 2.2}, identityRotation());
    pivots.fixedPivots = {{0.0, 0.0}, {40.0, 0.0}};
    QTest::newRow("three positions and their pivots") << pivots;
    QTest::newRow("four positions")
        << motionTask({20.0, 60.0, 70.0, 75.0, 30.0, 110.0}, {-2.5, -1.0, 0.7, 2.0}, randomTurn(9));
}

// The candidates come out in one order however the design happens to find them: shuffled and
// put in order again, they are the same list, variant for variant.
void TestDesign::orderIsOneWhateverTheInputOrder()
{
    QFETCH(DesignTask, task);
    const DesignResult result = designLinkages(task);
    QVERIFY(result.candidates.size() > 4);
    checkOrder(result);
    std::mt19937 generator(3);
    for (int round = 0; round < 5; ++round) {
        std::vector<DesignCandidate> shuffled = result.candidates;
        std::shuffle(shuffled.begin(), shuffled.end(), generator);
        orderCandidates(shuffled);
        QCOMPARE(shuffled.size(), result.candidates.size());
        for (std::size_t i = 0; i < shuffled.size(); ++i) {
            const DesignCandidate& x = shuffled[i];
            const DesignCandidate& y = result.candidates[i];
            QVERIFY(x.dims.a == y.dims.a && x.dims.b == y.dims.b && x.dims.c == y.dims.c
                    && x.dims.f == y.dims.f && x.dims.h == y.dims.h && x.dims.k == y.dims.k);
            QCOMPARE(x.placement, y.placement);
            QCOMPARE(x.mechanism, y.mechanism);
            QCOMPARE(x.drivenPivot, y.drivenPivot);
        }
    }
}

// The README's five-position task (off the starting linkage at five inputs, to a tenth of a
// degree): 192 candidates, which are 6 mechanisms, the starting linkage's among them.
void TestDesign::fivePositionsListMechanisms()
{
    DesignTask task;
    task.positions = {{75.4, -39.9, -123.7},
                      {89.2, -25.9, -115.9},
                      {88.9, 4.9, -117.3},
                      {16.0, 41.4, 129.2},
                      {-8.4, 25.0, 72.4}};
    const DesignResult result = designLinkages(task);
    checkOrder(result);
    QCOMPARE(result.candidates.size(), std::size_t{192});
    QCOMPARE(result.candidates.back().mechanism, 6);
    bool starting = false;
    for (const DesignCandidate& c : result.candidates) {
        checkReaches(task, c);
        starting = starting || sameLinkage(c.dims, defaultDimensions, 0.5);
    }
    QVERIFY(starting);
    QVERIFY(result.candidates.front().usable());
}

// Pairs measured off known linkages with 0.3 degrees of noise in both angles: every task gets a
// linkage whose RMS output error is no greater than the generating linkage's own on the same
// data (plus 0.01 degrees), and whose stated errors are its true ones.
void TestDesign::noisyFunctionTasksFitInDegrees()
{
    std::mt19937 generator(11);
    std::uniform_real_distribution<double> arc(15.0, 165.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::normal_distribution<double> noise(0.0, 0.3);
    int tasks = 0;
    while (tasks < 40) {
        const LinkageDimensions dims{arc(generator), arc(generator), arc(generator),
                                     arc(generator), 45.0,           -35.0};
        const LinkageAnalysis analysis = analyseLinkage(dims);
        double low = -170.0;
        double high = 170.0;
        if (!analysis.assemblable) {
            continue;
        }
        if (!analysis.inputRotates) {
            if (analysis.input != LinkMotion::RocksThrough0 || analysis.inputLimits.size() != 1) {
                continue;
            }
            high = 0.9 * analysis.inputLimits[0];
            low = -high;
        }
        const int count = 6 + static_cast<int>(unit(generator) * 7.0);
        const int branch = unit(generator) < 0.5 ? 1 : 2;
        DesignTask task;
        task.kind = TaskKind::Function;
        double generating = 0.0;
        bool closes = true;
        for (int i = 0; i < count && closes; ++i) {
            const double theta = low + (high - low) * i / (count - 1);
            const double psi = outputAnglesAt(dims, theta).psi[branch - 1];
            const TaskPair pair{theta + noise(generator), psi + noise(generator)};
            const OutputAngles measured = outputAnglesAt(dims, pair.input);
            closes = std::isfinite(psi) && measured.closes;
            const double miss = angleGap(measured.psi[branch - 1], pair.output);
            generating += miss * miss;
            task.pairs.push_back(pair);
        }
        if (!closes) {
            continue;
        }
        ++tasks;
        generating = std::sqrt(generating / count);
        const DesignResult result = designLinkages(task);
        QVERIFY2(result.candidates.size() == 1, result.reason.c_str());
        const DesignCandidate& c = result.candidates[0];
        QVERIFY2(c.rmsError <= generating + 0.01,
                 qPrintable(QStringLiteral("task %1: %2 against %3")
                                .arg(tasks)
                                .arg(c.rmsError)
                                .arg(generating)));
        double greatest = 0.0;
        for (std::size_t i = 0; i < task.pairs.size(); ++i) {
            const OutputAngles out = outputAnglesAt(c.dims, c.positions[i].input);
            QVERIFY(out.closes);
            greatest = std::max(greatest,
                                angleGap(out.psi[c.positions[i].branch - 1], task.pairs[i].output));
        }
        QVERIFY(std::fabs(greatest - c.maxError) < 1e-9);
        for (const double arcOf : {c.dims.a, c.dims.b, c.dims.c, c.dims.f}) {
            QVERIFY(arcOf > 0.0 && arcOf < 180.0);
        }
    }
}

void TestDesign::chebyshevSpacing_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("count");
    QTest::addColumn<std::optional<std::vector<double>>>("inputs");
    // theta_j = 30 - 30 cos((2j - 1) pi / 6): 30 (1 - cos 30), 30, 30 (1 + cos 30).
    const double c30 = std::cos(30.0 * rad);
    QTest::newRow("three over 0..60")
        << 0.0 << 60.0 << 3
        << std::optional<std::vector<double>>({30.0 * (1.0 - c30), 30.0, 30.0 * (1.0 + c30)});
    const double c22 = std::cos(22.5 * rad);
    const double c67 = std::cos(67.5 * rad);
    QTest::newRow("four, falling range")
        << 40.0 << -40.0 << 4
        << std::optional<std::vector<double>>({40.0 * c22, 40.0 * c67, -40.0 * c67, -40.0 * c22});
    QTest::newRow("two points") << 0.0 << 60.0 << 2 << std::optional<std::vector<double>>();
    QTest::newRow("fifty-one points") << 0.0 << 60.0 << 51 << std::optional<std::vector<double>>();
    QTest::newRow("empty range") << 10.0 << 10.0 << 4 << std::optional<std::vector<double>>();
    QTest::newRow("not a number") << std::nan("") << 10.0 << 4
                                  << std::optional<std::vector<double>>();
}

void TestDesign::chebyshevSpacing()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, count);
    QFETCH(std::optional<std::vector<double>>, inputs);
    std::string error;
    const std::optional<std::vector<double>> got = chebyshevInputs(from, to, count, error);
    QCOMPARE(got.has_value(), inputs.has_value());
    QCOMPARE(error.empty(), inputs.has_value());
    if (!inputs) {
        return;
    }
    QCOMPARE(got->size(), inputs->size());
    for (std::size_t i = 0; i < got->size(); ++i) {
        QVERIFY(std::fabs((*got)[i] - (*inputs)[i]) < 1e-12);
    }
}

namespace {

// The body of position `from` turned by `angle` degrees about the unit axis n.
TaskPosition turnedPosition(const TaskPosition& from, const SphereVector& n, double angle)
{
    const Rotation turn = rotationAbout(n, angle);
    return positionOf(applied(turn, taskPoint(from)), applied(turn, taskHeading(from)));
}

TaskPivot pivotAt(const SphereVector& p)
{
    const TaskPosition at = positionOf(p, {0.0, 0.0, 1.0});
    return {at.longitude, at.latitude};
}

} // namespace

void TestDesign::specialTasksSaidPlainly_data()
{
    QTest::addColumn<DesignTask>("task");
    QTest::addColumn<QString>("words");
    QTest::addColumn<bool>("family");
    const TaskPosition first{84.0, 19.7, -127.5};
    const SphereVector axis = normalized({0.2, -0.4, 0.9});
    // The body turns about `axis` from position 1 to 2; fixed pivot 1 sits on that axis.
    DesignTask pole;
    pole.positions = {first, turnedPosition(first, axis, 25.0), {76.8, -39.5, -123.4}};
    pole.fixedPivots = {pivotAt(axis), {40.0, 0.0}};
    QTest::newRow("pivot at a pole")
        << pole << "fixed pivot 1 lies at the pole of the turn between positions 1 and 2" << true;
    DesignTask near = pole;
    near.fixedPivots[0] = pivotAt(normalized(axis + SphereVector{0.0, 1e-5, 0.0}));
    QTest::newRow("pivot near a pole")
        << near << "ill-conditioned: a change of 0.01 degrees in its numbers" << false;
    DesignTask rotation;
    rotation.positions = {first, turnedPosition(first, axis, 20.0),
                          turnedPosition(first, axis, 45.0), turnedPosition(first, axis, -30.0)};
    QTest::newRow("pure rotation")
        << rotation << "every position is the first turned about one axis" << false;
    DesignTask rotationPivots = rotation;
    rotationPivots.positions.resize(3);
    rotationPivots.fixedPivots = {{0.0, 0.0}, {40.0, 0.0}};
    QTest::newRow("pure rotation, pivots given")
        << rotationPivots << "every position is the first turned about one axis" << false;
    DesignTask close = motionTask(defaultDimensions, {0.4, 0.9, 1.5, 2.1, 2.7}, randomTurn(4));
    close.positions[3] = close.positions[1];
    close.positions[3].heading += 0.004;
    QTest::newRow("positions too close")
        << close
        << "positions 2 and 4 differ by a turn of only 0.004 degrees: too close to tell apart"
        << false;
    DesignTask oneInput;
    oneInput.kind = TaskKind::Function;
    oneInput.pairs = {{20.0, 0.0}, {20.0, 10.0}, {20.0, 20.0}, {50.0, 30.0}};
    QTest::newRow("two inputs for four arcs")
        << oneInput << "these pairs hold only 2 different input angles" << false;
}

// A pole, a pure rotation, positions too close to tell apart and too few inputs each get their
// own sentence; where a family does the task a few of it are offered, each reaching every
// position.
void TestDesign::specialTasksSaidPlainly()
{
    QFETCH(DesignTask, task);
    QFETCH(QString, words);
    QFETCH(bool, family);
    QVERIFY(!taskProblem(task));
    const DesignResult result = designLinkages(task);
    QVERIFY2(QString::fromStdString(result.reason).contains(words), result.reason.c_str());
    QVERIFY(result.reason.find("no two dyads fit") == std::string::npos);
    if (family) {
        QVERIFY(result.candidates.size() > 1 && result.candidates.back().mechanism >= 3);
        checkOrder(result);
        for (const DesignCandidate& c : result.candidates) {
            checkReaches(task, c);
        }
    }
}

QTEST_APPLESS_MAIN(TestDesign)
#include "tst_design.moc"
