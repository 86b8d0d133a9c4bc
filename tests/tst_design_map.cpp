// Tests of the four-position solution map: tasks from known linkages in turned frames give
// curves whose every dyad keeps its arc through the four positions, on which the generating
// linkage's pivots lie; five positions mark their dyads on the curves of the first four; two
// points of the curve make the linkages of their dyads.
#include "design_test_support.h"
#include "four_position_map.h"
#include "linkage_design.h"

#include <QtTest>

#include <cmath>
#include <random>

using namespace cyclar;
using namespace cyclar::test;

Q_DECLARE_METATYPE(cyclar::LinkageDimensions)
Q_DECLARE_METATYPE(std::vector<double>)

namespace {

Rotation turnOfSeed(unsigned seed)
{
    std::mt19937 generator(seed);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    SphereVector axis{unit(generator), unit(generator), unit(generator)};
    return rotationAbout(normalized(axis), 180.0 * unit(generator));
}

// The arc (degrees) from p to the nearest point of the polyline through the map's points, taken
// stretch by stretch, either end of p's axis.
double arcToCurve(const std::vector<SphereVector>& points, const SolutionMap& map,
                  const SphereVector& p)
{
    double best = 180.0;
    for (const SphereVector& q : {p, -p}) {
        for (std::size_t i = 0; i < points.size(); ++i) {
            best = std::min(best, arcDegrees(points[i], q));
            if (i + 1 < points.size() && !map.startsStretch(i + 1)) {
                // The nearest point of the great-circle arc from points[i] to points[i + 1].
                const SphereVector n = normalized(cross(points[i], points[i + 1]));
                const SphereVector foot = q - (dot(q, n) * n);
                if (norm(foot) > 0.0) {
                    const SphereVector f = normalized(foot);
                    const double whole = arcDegrees(points[i], points[i + 1]);
                    if (arcDegrees(points[i], f) <= whole
                        && arcDegrees(points[i + 1], f) <= whole) {
                        best = std::min(best, arcDegrees(f, q));
                    }
                }
            }
        }
    }
    return best;
}

} // namespace

class TestDesignMap : public QObject {
    Q_OBJECT

private slots:
    void curvesKeepTheirArcs_data();
    void curvesKeepTheirArcs();
    void fivePositionsMarkedOnTheCurves();
    void twoPointsMakeTheirLinkage();
    void noMapSaysWhy();
};

void TestDesignMap::curvesKeepTheirArcs_data()
{
    QTest::addColumn<LinkageDimensions>("dims");
    QTest::addColumn<std::vector<double>>("ts");
    QTest::addColumn<unsigned>("seed");
    const LinkageDimensions crankRocker{20.0, 60.0, 70.0, 75.0, 30.0, 110.0};
    const LinkageDimensions wide{70.0, 80.0, 60.0, 120.0, 40.0, -150.0};
    for (const unsigned seed : {1u, 2u, 3u}) {
        const QByteArray s = QByteArray::number(seed);
        QTest::newRow("default " + s)
            << defaultDimensions << std::vector<double>{0.5, 1.1, 1.8, 2.6} << seed;
        QTest::newRow("crank-rocker " + s)
            << crankRocker << std::vector<double>{-2.5, -1.0, 0.7, 2.0} << seed;
        QTest::newRow("wide ground " + s)
            << wide << std::vector<double>{0.3, 0.9, 1.6, 2.5} << seed;
        QTest::newRow("close positions " + s)
            << defaultDimensions << std::vector<double>{0.5, 0.6, 0.7, 0.8} << seed;
    }
}

// Every dyad of the map keeps one arc between its centre point and its circle point carried
// through the four positions (to 1e-9 degrees); the parameter runs on along each stretch in
// steps of at most half a degree; the generating linkage's fixed pivots lie on the centre-point
// curve and its moving pivots (at the first position) on the circle-point curve, within 0.02
// degrees of the polyline through the traced points.
void TestDesignMap::curvesKeepTheirArcs()
{
    QFETCH(LinkageDimensions, dims);
    QFETCH(std::vector<double>, ts);
    QFETCH(unsigned, seed);
    const Rotation turn = turnOfSeed(seed);
    const DesignTask task = motionTask(dims, ts, turn);
    const SolutionMap map = fourPositionMap(task);
    QVERIFY2(!map.empty(), map.reason.c_str());
    QCOMPARE(map.circlePoints.size(), map.centrePoints.size());
    QCOMPARE(map.parameter.size(), map.centrePoints.size());
    const std::vector<Rotation> moves = taskDisplacements(task);
    for (std::size_t i = 0; i < map.centrePoints.size(); ++i) {
        const SphereVector& G = map.centrePoints[i];
        const SphereVector& W = map.circlePoints[i];
        QVERIFY(std::fabs(norm(G) - 1.0) < 1e-12 && std::fabs(norm(W) - 1.0) < 1e-12);
        const double arc = arcDegrees(G, W);
        for (const Rotation& D : moves) {
            QVERIFY2(std::fabs(arcDegrees(G, applied(D, W)) - arc) < 1e-9,
                     qPrintable(QStringLiteral("point %1").arg(i)));
        }
        if (!map.startsStretch(i)) {
            const double step = map.parameter[i] - map.parameter[i - 1];
            QVERIFY(step > 0.0 && step <= 0.5 + 1e-9);
            QVERIFY(std::fabs(step - arcDegrees(map.centrePoints[i - 1], G)) < 1e-9);
        } else {
            QCOMPARE(map.parameter[i], 0.0);
        }
    }
    const LinkageModel model = buildLinkageModel(dims);
    const LinkagePose pose = solvePose(model, ts.front());
    for (const SphereVector& pivot : {model.A0, model.B0}) {
        QVERIFY2(
            arcToCurve(map.centrePoints, map, applied(turn, pivot)) < 0.02,
            qPrintable(QString::number(arcToCurve(map.centrePoints, map, applied(turn, pivot)))));
    }
    for (const SphereVector& moving : {pose.A1, pose.B1}) {
        QVERIFY(arcToCurve(map.circlePoints, map, applied(turn, moving)) < 0.02);
    }
}

// Five positions: the map is the first four's, and each dyad of all five is marked on it.
void TestDesignMap::fivePositionsMarkedOnTheCurves()
{
    const Rotation turn = turnOfSeed(7);
    const DesignTask task = motionTask(defaultDimensions, {0.4, 0.9, 1.5, 2.1, 2.7}, turn);
    const SolutionMap map = fourPositionMap(task);
    QVERIFY(!map.empty());
    QCOMPARE(map.marks.size(), taskDyads(task).size());
    QVERIFY(map.marks.size() >= 2);
    for (const Dyad& mark : map.marks) {
        QVERIFY(arcToCurve(map.centrePoints, map, mark.fixed) < 0.02);
        QVERIFY(arcToCurve(map.circlePoints, map, mark.moving) < 0.02);
    }
    const LinkageModel model = buildLinkageModel(defaultDimensions);
    for (const SphereVector& pivot : {model.A0, model.B0}) {
        const SphereVector p = applied(turn, pivot);
        QVERIFY(std::any_of(map.marks.begin(), map.marks.end(),
                            [&](const Dyad& d) { return norm(cross(d.fixed, p)) < 1e-7; }));
    }
}

// The map's points nearest the generating linkage's pivots make a linkage of the family close
// to it, reaching every position; the classes say what pairing with a point gives.
void TestDesignMap::twoPointsMakeTheirLinkage()
{
    const Rotation turn = turnOfSeed(4);
    const DesignTask task = motionTask(defaultDimensions, {0.5, 1.1, 1.8, 2.6}, turn);
    const SolutionMap map = fourPositionMap(task);
    const LinkageModel model = buildLinkageModel(defaultDimensions);
    const auto nearest = [&](const SphereVector& p) {
        std::size_t best = 0;
        for (std::size_t i = 1; i < map.centrePoints.size(); ++i) {
            if (arcDegrees(map.centrePoints[i], p) < arcDegrees(map.centrePoints[best], p)) {
                best = i;
            }
        }
        return best;
    };
    const std::size_t a = nearest(applied(turn, model.A0));
    const std::size_t b = nearest(applied(turn, model.B0));
    const std::vector<DesignCandidate> linkages =
        linkagesFromDyads(task, mapDyad(map, a), mapDyad(map, b));
    QCOMPARE(linkages.size(), std::size_t{2});
    const auto close = [](const LinkageDimensions& x, const LinkageDimensions& y) {
        return std::fabs(x.a - y.a) < 2.0 && std::fabs(x.b - y.b) < 2.0
               && std::fabs(x.c - y.c) < 2.0 && std::fabs(x.f - y.f) < 2.0;
    };
    QVERIFY(std::any_of(linkages.begin(), linkages.end(), [&](const DesignCandidate& c) {
        return close(c.dims, defaultDimensions);
    }));
    for (const DesignCandidate& c : linkages) {
        QCOMPARE(c.mechanism, 1);
        QCOMPARE(c.positions.size(), std::size_t{4});
    }
    const std::vector<MapClass> classes = mapClasses(task, map, a);
    QCOMPARE(classes.size(), map.centrePoints.size());
    QCOMPARE(classes[a], MapClass::None);
    const MapClass expected = std::any_of(linkages.begin(), linkages.end(),
                                          [](const DesignCandidate& c) { return c.usable(); })
                                  ? MapClass::Usable
                                  : MapClass::Defective;
    QCOMPARE(classes[b], expected);
}

void TestDesignMap::noMapSaysWhy()
{
    DesignTask three = motionTask(defaultDimensions, {0.5, 1.3, 2.2}, identityRotation());
    QVERIFY(fourPositionMap(three).empty());
    QVERIFY(!fourPositionMap(three).reason.empty());
    DesignTask function;
    function.kind = TaskKind::Function;
    function.pairs = {{0.0, 10.0}, {30.0, 40.0}, {60.0, 50.0}, {90.0, 55.0}};
    QVERIFY(!fourPositionMap(function).reason.empty());
    // A pure rotation's cone is the whole sphere: no curve, and the same sentence the design
    // gives.
    const TaskPosition first{84.0, 19.7, -127.5};
    const SphereVector axis = normalized({0.2, -0.4, 0.9});
    DesignTask rotation;
    for (const double angle : {0.0, 20.0, 45.0, -30.0}) {
        const Rotation r = rotationAbout(axis, angle);
        rotation.positions.push_back(
            positionOf(applied(r, taskPoint(first)), applied(r, taskHeading(first))));
    }
    const SolutionMap none = fourPositionMap(rotation);
    QVERIFY(none.empty());
    QCOMPARE(none.reason, designLinkages(rotation).reason);
}

QTEST_APPLESS_MAIN(TestDesignMap)
#include "tst_design_map.moc"
