// Tests of the linkage analysis: type against the motion it predicts, toggles, transmission,
// the per-frame angles against the drawn poses, and the Hooke's joint relation.
#include "analysis_text.h"
#include "linkage_analysis.h"
#include "linkage_model.h"
#include "motion_schedule.h"
#include "pose_solver.h"
#include "significant_text.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <numbers>

using namespace cyclar;

Q_DECLARE_METATYPE(cyclar::LinkageDimensions)

namespace {

constexpr double rad = std::numbers::pi / 180.0;

double dot(const SphereVector& u, const SphereVector& v)
{
    return u.x * v.x + u.y * v.y + u.z * v.z;
}

double arcDegrees(const SphereVector& u, const SphereVector& v)
{
    const SphereVector c{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    return std::atan2(std::sqrt(dot(c, c)), dot(u, v)) / rad;
}

double fold(double sum)
{
    return sum <= 180.0 ? sum : 360.0 - sum;
}

// Difference of two angles on the circle, in [0, 180].
double angleGap(double x, double y)
{
    return std::fabs(std::remainder(x - y, 360.0));
}

LinkageDimensions linkage(double a, double b, double c, double f)
{
    return {a, b, c, f, 45.0, -35.0};
}

// Whether |angle| may be reached by a link that moves as described, with the given limits.
bool withinLimits(LinkMotion motion, const std::vector<double>& limits, double magnitude,
                  double slack)
{
    switch (motion) {
    case LinkMotion::Rotates:
        return true;
    case LinkMotion::RocksThrough0:
        return magnitude <= limits.at(0) + slack;
    case LinkMotion::RocksThroughPi:
        return magnitude >= limits.at(0) - slack;
    case LinkMotion::RocksBetween:
        break;
    }
    return magnitude >= limits.at(0) - slack && magnitude <= limits.at(1) + slack;
}

// The published classification of four-bar linkages by the signs of T1, T2, T3 (for the sphere
// with T4 < 0 all three signs count reversed), written out as a table.
QString publishedType(const std::array<double, 4>& T)
{
    const double s = T[3] > 0 ? 1.0 : -1.0;
    const QString signs =
        QString(T[0] * s > 0 ? "+" : "-") + (T[1] * s > 0 ? "+" : "-") + (T[2] * s > 0 ? "+" : "-");
    static const QHash<QString, QString> table{
        {"+++", "crank-rocker"},
        {"+--", "rocker-crank"},
        {"--+", "double-crank"},
        {"-+-", "Grashof double-rocker"},
        {"---", QStringLiteral("non-Grashof double-rocker (0-0)")},
        {"-++", QStringLiteral("non-Grashof double-rocker (\u03c0-\u03c0)")},
        {"+-+", QStringLiteral("non-Grashof double-rocker (\u03c0-0)")},
        {"++-", QStringLiteral("non-Grashof double-rocker (0-\u03c0)")},
    };
    return table.value(signs);
}

// Random links in [5, 175] with a random chance of a sum beyond 360.
LinkageDimensions randomLinkage(QRandomGenerator& random)
{
    const auto link = [&random] { return 5.0 + random.generateDouble() * 170.0; };
    return linkage(link(), link(), link(), link());
}

} // namespace

class TestAnalysis : public QObject {
    Q_OBJECT

private slots:
    void fixedDecimals_data();
    void fixedDecimals();
    void paragraphs_data();
    void paragraphs();
    void types_data();
    void types();
    void noType_data();
    void noType();
    void labelDisagreement();
    void shortLinkTurnsOnItsOwn_data();
    void shortLinkTurnsOnItsOwn();
    void wording_data();
    void wording();
    void typeMatchesThePublishedTableAndTheMotion();
    void antipodalJointsKeepTheMotion();
    void limitsAreRealToggles();
    void transmissionExtremesAreReached();
    void crankRockerSwingAndTimeRatio();
    void frameAnglesMatchTheDrawnPoses_data();
    void frameAnglesMatchTheDrawnPoses();
    void hookesJoint_data();
    void hookesJoint();
};

void TestAnalysis::types_data()
{
    QTest::addColumn<LinkageDimensions>("dims");
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("grashof");
    QTest::addColumn<bool>("inputRotates");
    QTest::addColumn<bool>("outputRotates");

    // Chiang's example: links summing beyond 360 degrees, a crank-rocker on the sphere.
    QTest::newRow("Chiang ground 100 input 160 coupler 120 output 105")
        << linkage(160, 105, 120, 100) << "crank-rocker" << true << true << false;
    QTest::newRow("small crank-rocker")
        << linkage(20, 50, 45, 40) << "crank-rocker" << true << true << false;
    QTest::newRow("rocker-crank") << linkage(50, 20, 45, 40) << "rocker-crank" << true << false
                                  << true;
    QTest::newRow("double-crank (short ground)")
        << linkage(40, 45, 50, 20) << "double-crank" << true << true << true;
    QTest::newRow("Grashof double-rocker (short coupler)")
        << linkage(40, 45, 20, 50) << "Grashof double-rocker" << true << false << false;
    QTest::newRow("Hooke's joint")
        << linkage(90, 90, 90, 30) << "double-crank" << true << true << true;
    QTest::newRow("default, 0-0") << linkage(50, 30, 35, 40) << "non-Grashof double-rocker (0-0)"
                                  << false << false << false;
    QTest::newRow("pi-pi") << linkage(40, 60, 30, 20)
                           << QStringLiteral("non-Grashof double-rocker (\u03c0-\u03c0)") << false
                           << false << false;
    QTest::newRow("change point, T1 = 0")
        << linkage(40, 30, 20, 50) << "change-point" << false << false << false;
    QTest::newRow("change point, equal links")
        << linkage(40, 40, 40, 40) << "change-point" << false << true << true;
    QTest::newRow("change point, decimals summing to 360")
        << linkage(100.1, 80.2, 99.9, 79.8) << "change-point" << false << true << true;
}

void TestAnalysis::types()
{
    QFETCH(LinkageDimensions, dims);
    QFETCH(QString, type);
    QFETCH(bool, grashof);
    QFETCH(bool, inputRotates);
    QFETCH(bool, outputRotates);
    const LinkageAnalysis r = analyseLinkage(dims);
    QCOMPARE(QString::fromStdString(r.type), type);
    QCOMPARE(r.changePoint, type == "change-point");
    // A change point is a class of its own: neither Grashof nor not.
    QCOMPARE(r.grashof.has_value(), !r.changePoint);
    if (r.grashof) {
        QCOMPARE(*r.grashof, grashof);
    }
    QCOMPARE(r.inputRotates, inputRotates);
    QCOMPARE(r.outputRotates, outputRotates);
    QCOMPARE(r.inputLimits.empty(), inputRotates);
    QCOMPARE(r.outputLimits.empty(), outputRotates);
    QVERIFY(!r.reason.empty());
    QCOMPARE(r.swing.has_value(), type == "crank-rocker");
}

void TestAnalysis::noType_data()
{
    QTest::addColumn<LinkageDimensions>("dims");
    QTest::addColumn<QString>("reasonPart");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("a of 0") << linkage(0, 30, 35, 40)
                            << "input a = 0\u00b0 is not strictly between";
    QTest::newRow("f of 180") << linkage(50, 30, 35, 180) << "ground f = 180\u00b0 is not";
    QTest::newRow("two out of range")
        << linkage(200, 30, -35, 40) << "input a = 200\u00b0 and coupler c = -35\u00b0 are";
    QTest::newRow("not a number") << linkage(nan, 30, 35, 40) << "input a = not a number";
    QTest::newRow("a link beyond the other three")
        << linkage(10, 120, 35, 40) << "the linkage cannot be assembled";
    QTest::newRow("closes in one position only")
        << linkage(170, 170, 100, 80)
        << "the two ranges meet only at one diagonal, 90\u00b0, so the linkage is rigid there";
    QTest::newRow("ground within rounding of 180, ranges apart")
        << linkage(50, 30, 35, 179.9999999999) << "the linkage cannot be assembled";
}

void TestAnalysis::noType()
{
    QFETCH(LinkageDimensions, dims);
    QFETCH(QString, reasonPart);
    const LinkageAnalysis r = analyseLinkage(dims);
    QVERIFY(r.type.empty());
    QVERIFY(!r.grashof.has_value());
    QVERIFY(!r.inputRotates && !r.outputRotates);
    QVERIFY(r.inputLimits.empty() && r.outputLimits.empty());
    QVERIFY(std::isnan(r.transmission[0]) && std::isnan(r.transmission[1]));
    QVERIFY2(QString::fromStdString(r.reason).contains(reasonPart), r.reason.c_str());
}

void TestAnalysis::labelDisagreement()
{
    // The frame's label applies the planar rule; Chiang's crank-rocker is "Non-Grashof" there.
    const LinkageAnalysis chiang = analyseLinkage(linkage(160, 105, 120, 100));
    QVERIFY(!chiang.labelNote.empty());
    const QString reason = QString::fromStdString(chiang.reason);
    QVERIFY2(reason.contains("\"Non-Grashof Four-bar Linkage\"") && reason.contains("planar"),
             chiang.reason.c_str());
    QVERIFY(reason.contains("T1\u00b7T2\u00b7T3\u00b7T4 > 0"));
    // Where both agree there is nothing to explain.
    QVERIFY(analyseLinkage(linkage(20, 50, 45, 40)).labelNote.empty());
    QVERIFY(analyseLinkage(linkage(50, 30, 35, 40)).labelNote.empty());
}

void TestAnalysis::shortLinkTurnsOnItsOwn_data()
{
    QTest::addColumn<LinkageDimensions>("dims");
    QTest::addColumn<QString>("type");
    // One triangle's range of the diagonal shrinks to a point that the other's range holds: the
    // linkage closes at every angle of the short (or nearly half-turn) link.
    QTest::newRow("input 1e-10") << linkage(1e-10, 30, 35, 40) << "crank-rocker";
    QTest::newRow("input 5e-10") << linkage(5e-10, 30, 35, 40) << "crank-rocker";
    QTest::newRow("input 180 - 1e-10") << linkage(179.9999999999, 100, 60, 40) << "crank-rocker";
    QTest::newRow("ground 180 - 1e-10") << linkage(50, 100, 60, 179.9999999999) << "double-crank";
    QTest::newRow("output 1e-10") << linkage(50, 1e-10, 35, 40) << "rocker-crank";
}

void TestAnalysis::shortLinkTurnsOnItsOwn()
{
    QFETCH(LinkageDimensions, dims);
    QFETCH(QString, type);
    const LinkageAnalysis r = analyseLinkage(dims);
    QVERIFY2(r.assemblable && !r.rigid, r.reason.c_str());
    QCOMPARE(QString::fromStdString(r.type), type);
    QVERIFY(r.chartNote.empty());
    QVERIFY(std::isfinite(r.transmission[0]) && std::isfinite(r.transmission[1]));
}

void TestAnalysis::wording_data()
{
    QTest::addColumn<LinkageDimensions>("dims");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("says");
    QTest::addColumn<QString>("never");

    QTest::newRow("never closes") << linkage(10, 120, 35, 40) << "chartNote"
                                  << "No chart: the linkage cannot be assembled."
                                  << "move";
    QTest::newRow("one position") << linkage(170, 170, 100, 80) << "chartNote"
                                  << "No chart: the linkage is rigid."
                                  << "assembled";
    QTest::newRow("link out of range") << linkage(200, 30, 35, 40) << "chartNote"
                                       << "No chart: a link is not strictly between"
                                       << "assembled";
    QTest::newRow("label note, opposite signs")
        << linkage(160, 105, 120, 100) << "labelNote"
        << "(|a - f| - |b - c| = 45\u00b0 and (b + c) - (a + f) = -35\u00b0 have opposite signs)"
        << "not both";
    QTest::newRow("label note, both positive") << linkage(100, 140, 110, 50) << "labelNote"
                                               << "labelled \"Grashof Four-bar Linkage\""
                                               << "not both";
    // 0.3 - 0.1 - (0.7 - 0.5) is 2.8e-17 in doubles: the label takes it as positive.
    QTest::newRow("label note, rounding noise") << linkage(0.3, 0.7, 0.5, 0.1) << "labelNote"
                                                << "|a - f| - |b - c| = 0\u00b0 (to rounding; the "
                                                   "label counts it as positive) and (b + c) - "
                                                   "(a + f) = 0.8\u00b0 are both positive"
                                                << "e-";
    QTest::newRow("label note, a zero gap") << linkage(120, 110, 50, 80) << "labelNote"
                                            << ""
                                            << "not both";
    QTest::newRow("two Grashof values 0") << linkage(40, 30, 30, 40) << "decision"
                                          << "T1 = T2 = 0, so the linkage can fold flat"
                                          << " and T";
    QTest::newRow("one Grashof value 0") << linkage(40, 30, 20, 50) << "decision"
                                         << "T1 = 0, so the linkage can fold flat"
                                         << "T2";
}

void TestAnalysis::wording()
{
    QFETCH(LinkageDimensions, dims);
    QFETCH(QString, field);
    QFETCH(QString, says);
    QFETCH(QString, never);
    const LinkageAnalysis r = analyseLinkage(dims);
    const std::string& text = field == "chartNote"   ? r.chartNote
                              : field == "labelNote" ? r.labelNote
                                                     : r.decision;
    const QString words = QString::fromStdString(text);
    QVERIFY2(words.contains(says) && !words.contains(never), text.c_str());
    if (field == "labelNote") {
        QVERIFY2(QString::fromStdString(r.reason).endsWith(words + "."), r.reason.c_str());
    }
}

// Over many random linkages: the type named by the published sign table is the one computed,
// and it agrees with the motion found by sampling the input all the way round: a crank turns
// fully (the linkage closes at every input angle), a rocker does not.
void TestAnalysis::typeMatchesThePublishedTableAndTheMotion()
{
    QRandomGenerator random(1984);
    int checked = 0;
    for (int n = 0; n < 400; ++n) {
        const LinkageDimensions d = randomLinkage(random);
        const LinkageAnalysis r = analyseLinkage(d);
        if (!r.assemblable || r.changePoint) {
            continue;
        }
        ++checked;
        const QByteArray where =
            QStringLiteral("a %1 b %2 c %3 f %4").arg(d.a).arg(d.b).arg(d.c).arg(d.f).toUtf8();
        QVERIFY2(QString::fromStdString(r.type) == publishedType(r.T), where);
        QCOMPARE(*r.grashof, r.T[0] * r.T[1] * r.T[2] * r.T[3] > 0);
        bool inputEverywhere = true;
        bool outputEverywhere = true;
        const LinkageDimensions mirrored{d.b, d.a, d.c, d.f, d.h, d.k};
        for (int i = -1800; i < 1800; ++i) {
            inputEverywhere = inputEverywhere && outputAnglesAt(d, i * 0.1).closes;
            outputEverywhere = outputEverywhere && outputAnglesAt(mirrored, i * 0.1).closes;
        }
        QVERIFY2(inputEverywhere == r.inputRotates, where);
        QVERIFY2(outputEverywhere == r.outputRotates, where);
    }
    QVERIFY(checked > 200);
}

LinkMotion swapped(LinkMotion motion)
{
    if (motion == LinkMotion::RocksThrough0) {
        return LinkMotion::RocksThroughPi;
    }
    return motion == LinkMotion::RocksThroughPi ? LinkMotion::RocksThrough0 : motion;
}

std::vector<double> supplements(const std::vector<double>& limits)
{
    std::vector<double> result;
    for (auto it = limits.rbegin(); it != limits.rend(); ++it) {
        result.push_back(180.0 - *it);
    }
    return result;
}

bool closeTo(const std::vector<double>& x, const std::vector<double>& y)
{
    if (x.size() != y.size()) {
        return false;
    }
    for (size_t i = 0; i < x.size(); ++i) {
        if (std::fabs(x[i] - y[i]) > 1e-6) {
            return false;
        }
    }
    return true;
}

// Putting a moving joint at its antipode gives an equivalent linkage: A1 -> -A1 (links a and c
// become their supplements) turns the input by 180 degrees and leaves the output alone, and
// B1 -> -B1 (b and c) the reverse. The Grashof values permute with changed signs, so these
// catch a wrong sign rule that a table of hand-picked rows would miss; the sums of the links
// cross 360 degrees both ways.
void TestAnalysis::antipodalJointsKeepTheMotion()
{
    QRandomGenerator random(360);
    for (int n = 0; n < 300; ++n) {
        const LinkageDimensions d = randomLinkage(random);
        const LinkageAnalysis r = analyseLinkage(d);
        if (!r.assemblable || r.changePoint) {
            continue;
        }
        const QByteArray where =
            QStringLiteral("a %1 b %2 c %3 f %4").arg(d.a).arg(d.b).arg(d.c).arg(d.f).toUtf8();
        const LinkageAnalysis aFlipped = analyseLinkage(linkage(180 - d.a, d.b, 180 - d.c, d.f));
        QVERIFY2(aFlipped.input == swapped(r.input) && aFlipped.output == r.output, where);
        QVERIFY2(closeTo(aFlipped.inputLimits, supplements(r.inputLimits)), where);
        QVERIFY2(closeTo(aFlipped.outputLimits, r.outputLimits), where);
        QVERIFY2(std::fabs(aFlipped.transmission[0] - (180 - r.transmission[1])) < 1e-6, where);
        QVERIFY2(*aFlipped.grashof == *r.grashof, where);
        const LinkageAnalysis bFlipped = analyseLinkage(linkage(d.a, 180 - d.b, 180 - d.c, d.f));
        QVERIFY2(bFlipped.input == r.input && bFlipped.output == swapped(r.output), where);
        QVERIFY2(closeTo(bFlipped.inputLimits, r.inputLimits), where);
        QVERIFY2(closeTo(bFlipped.outputLimits, supplements(r.outputLimits)), where);
        QVERIFY2(*bFlipped.grashof == *r.grashof, where);
    }
}

// Each limit is a toggle position (two links in line, at the arc distances that make one of the
// triangles flat), the motion sampled finely never passes a limit, and it reaches each one.
void TestAnalysis::limitsAreRealToggles()
{
    QRandomGenerator random(7);
    for (int n = 0; n < 300; ++n) {
        const LinkageDimensions d = randomLinkage(random);
        const LinkageAnalysis r = analyseLinkage(d);
        if (!r.assemblable || r.changePoint) {
            continue;
        }
        const QByteArray where =
            QStringLiteral("a %1 b %2 c %3 f %4").arg(d.a).arg(d.b).arg(d.c).arg(d.f).toUtf8();
        for (const double limit : r.inputLimits) {
            // At an input limit, the arc B0-A1 makes the triangle B0 A1 B1 flat.
            const double cosD = std::cos(d.a * rad) * std::cos(d.f * rad)
                                + std::sin(d.a * rad) * std::sin(d.f * rad) * std::cos(limit * rad);
            const double arc = std::acos(std::clamp(cosD, -1.0, 1.0)) / rad;
            QVERIFY2(std::fabs(arc - std::fabs(d.b - d.c)) < 1e-6
                         || std::fabs(arc - fold(d.b + d.c)) < 1e-6,
                     where);
            // And the two branches meet there.
            const OutputAngles out = outputAnglesAt(d, limit);
            QVERIFY2(out.closes && angleGap(out.psi[0], out.psi[1]) < 1e-3, where);
        }
        for (const double limit : r.outputLimits) {
            const double cosE = std::cos(d.b * rad) * std::cos(d.f * rad)
                                - std::sin(d.b * rad) * std::sin(d.f * rad) * std::cos(limit * rad);
            const double arc = std::acos(std::clamp(cosE, -1.0, 1.0)) / rad;
            QVERIFY2(std::fabs(arc - std::fabs(d.a - d.c)) < 1e-6
                         || std::fabs(arc - fold(d.a + d.c)) < 1e-6,
                     where);
        }
        double closestInput[2] = {360, 360};
        double closestOutput[2] = {360, 360};
        for (int i = -3600; i < 3600; ++i) {
            const double theta = i * 0.05;
            const OutputAngles out = outputAnglesAt(d, theta);
            if (!out.closes) {
                continue;
            }
            QVERIFY2(withinLimits(r.input, r.inputLimits, std::fabs(theta), 1e-9), where);
            for (size_t k = 0; k < r.inputLimits.size(); ++k) {
                closestInput[k] =
                    std::min(closestInput[k], std::fabs(std::fabs(theta) - r.inputLimits[k]));
            }
            for (const double psi : out.psi) {
                QVERIFY2(withinLimits(r.output, r.outputLimits, std::fabs(psi), 1e-6), where);
                for (size_t k = 0; k < r.outputLimits.size(); ++k) {
                    closestOutput[k] =
                        std::min(closestOutput[k], std::fabs(std::fabs(psi) - r.outputLimits[k]));
                }
            }
        }
        for (size_t k = 0; k < r.inputLimits.size(); ++k) {
            QVERIFY2(closestInput[k] <= 0.05, where);
        }
        for (size_t k = 0; k < r.outputLimits.size(); ++k) {
            QVERIFY2(closestOutput[k] < 0.5, where);
        }
    }
}

void TestAnalysis::transmissionExtremesAreReached()
{
    QRandomGenerator random(42);
    for (int n = 0; n < 300; ++n) {
        const LinkageDimensions d = randomLinkage(random);
        const LinkageAnalysis r = analyseLinkage(d);
        if (!r.assemblable) {
            continue;
        }
        const QByteArray where =
            QStringLiteral("a %1 b %2 c %3 f %4").arg(d.a).arg(d.b).arg(d.c).arg(d.f).toUtf8();
        QVERIFY2(r.transmission[0] <= r.transmission[1], where);
        double least = 180;
        double greatest = 0;
        // Near a toggle mu changes with the square root of the input's distance from it, so the
        // limits themselves are sampled too.
        std::vector<double> inputs;
        for (int i = -3600; i <= 3600; ++i) {
            inputs.push_back(i * 0.05);
        }
        for (const double limit : r.inputLimits) {
            inputs.push_back(limit);
            inputs.push_back(-limit);
        }
        for (const double theta : inputs) {
            const OutputAngles out = outputAnglesAt(d, theta);
            if (out.closes) {
                QVERIFY2(out.mu >= r.transmission[0] - 1e-6 && out.mu <= r.transmission[1] + 1e-6,
                         where);
                least = std::min(least, out.mu);
                greatest = std::max(greatest, out.mu);
            }
        }
        QVERIFY2(least - r.transmission[0] < 0.5 && r.transmission[1] - greatest < 0.5, where);
        // Where they are said to occur, they do (to the arc cosine's precision at a flat triangle).
        QVERIFY2(std::fabs(outputAnglesAt(d, r.transmissionAt[0]).mu - r.transmission[0]) < 1e-5,
                 where);
        QVERIFY2(std::fabs(outputAnglesAt(d, r.transmissionAt[1]).mu - r.transmission[1]) < 1e-5,
                 where);
    }
}

// The swing and the time ratio against a crank turned in fine steps on one branch: the output's
// extremes and the input angles between them.
void TestAnalysis::crankRockerSwingAndTimeRatio()
{
    QRandomGenerator random(11);
    int checked = 0;
    for (int n = 0; n < 2000 && checked < 40; ++n) {
        const LinkageDimensions d = randomLinkage(random);
        const LinkageAnalysis r = analyseLinkage(d);
        if (r.type != "crank-rocker") {
            continue;
        }
        ++checked;
        const QByteArray where =
            QStringLiteral("a %1 b %2 c %3 f %4").arg(d.a).arg(d.b).arg(d.c).arg(d.f).toUtf8();
        double lowest = 1e9, highest = -1e9, thetaLowest = 0, thetaHighest = 0;
        // Branch 1 keeps to one side of the ground: unwrap around the middle of that side.
        const double middle = std::copysign((r.outputLimits[0] + r.outputLimits[1]) / 2,
                                            outputAnglesAt(d, 0.0).psi[0]);
        for (int i = -18000; i < 18000; ++i) {
            const double theta = i * 0.01;
            const double psi = outputAnglesAt(d, theta).psi[0];
            const double side = std::remainder(psi - middle, 360.0);
            if (side < lowest) {
                lowest = side;
                thetaLowest = theta;
            }
            if (side > highest) {
                highest = side;
                thetaHighest = theta;
            }
        }
        QVERIFY2(std::fabs((highest - lowest) - *r.swing) < 1e-3, where);
        double stroke = std::fmod(thetaHighest - thetaLowest + 720.0, 360.0);
        stroke = std::max(stroke, 360.0 - stroke);
        QVERIFY2(std::fabs(stroke / (360.0 - stroke) - *r.timeRatio) < 0.01 * *r.timeRatio, where);
        QVERIFY(*r.timeRatio >= 1.0);
    }
    QVERIFY(checked >= 20);
}

void TestAnalysis::frameAnglesMatchTheDrawnPoses_data()
{
    QTest::addColumn<LinkageDimensions>("dims");
    QTest::newRow("default") << defaultDimensions;
    QTest::newRow("Grashof") << linkage(20, 50, 45, 40);
    QTest::newRow("both signs -1") << linkage(40, 45, 20, 50);
    QTest::newRow("symmetric") << linkage(40, 30, 30, 40);
    QTest::newRow("Chiang") << linkage(160, 105, 120, 100);
}

// The table's angles rebuild the very joints the animation draws, and each frame's output lies
// on its branch's curve of the chart.
void TestAnalysis::frameAnglesMatchTheDrawnPoses()
{
    QFETCH(LinkageDimensions, dims);
    const std::vector<FrameAngles> table = frameAngleTable(dims);
    QCOMPARE(table.size(), size_t(360));
    const LinkageModel model = buildLinkageModel(dims);
    const PaintSchedule paint = shownMotion(dims);
    int finite = 0;
    for (const FrameAngles& row : table) {
        QCOMPARE(row.t, shownParameter(paint, row.frame));
        const LinkagePose pose = solvePose(paint.model, row.t);
        const PoseAngles& g = row.angles;
        if (!std::isfinite(pose.B1.x)) {
            QVERIFY(std::isnan(g.psi) && g.branch == 0);
            continue;
        }
        ++finite;
        QVERIFY(g.theta > -180 && g.theta <= 180 && g.psi > -180 && g.psi <= 180);
        QVERIFY(g.mu >= 0 && g.mu <= 180);
        const SphereVector A1{std::cos(dims.a * rad),
                              std::sin(dims.a * rad) * std::cos(g.theta * rad),
                              std::sin(dims.a * rad) * std::sin(g.theta * rad)};
        QVERIFY(arcDegrees(A1, pose.A1) < 1e-6);
        const double sinF = std::sin(dims.f * rad), cosF = std::cos(dims.f * rad);
        const SphereVector B1{
            cosF * std::cos(dims.b * rad) - sinF * std::sin(dims.b * rad) * std::cos(g.psi * rad),
            sinF * std::cos(dims.b * rad) + cosF * std::sin(dims.b * rad) * std::cos(g.psi * rad),
            std::sin(dims.b * rad) * std::sin(g.psi * rad)};
        QVERIFY(arcDegrees(B1, pose.B1) < 1e-6);
        const double cosMu =
            (std::cos(arcDegrees(pose.A1, model.B0) * rad) - model.cosB * model.cosC)
            / (model.sinB * model.sinC);
        QVERIFY(std::fabs(std::acos(std::clamp(cosMu, -1.0, 1.0)) / rad - g.mu) < 1e-5);
        if (g.branch != 0) {
            const OutputAngles out = outputAnglesAt(dims, g.theta);
            QVERIFY(out.closes);
            QVERIFY2(angleGap(out.psi[static_cast<size_t>(g.branch - 1)], g.psi) < 1e-5,
                     qPrintable(QStringLiteral("frame %1").arg(row.frame)));
        }
    }
    QVERIFY(finite > 100);
}

void TestAnalysis::hookesJoint_data()
{
    QTest::addColumn<double>("shaft");
    QTest::newRow("shaft angle 20") << 20.0;
    QTest::newRow("shaft angle 45") << 45.0;
    QTest::newRow("shaft angle 70") << 70.0;
}

// a = b = c = 90 degrees: tan theta tan psi = -cos f, on every drawn frame and on the chart.
void TestAnalysis::hookesJoint()
{
    QFETCH(double, shaft);
    const LinkageDimensions d = linkage(90, 90, 90, shaft);
    const double expected = -std::cos(shaft * rad);
    int checked = 0;
    for (const FrameAngles& row : frameAngleTable(d)) {
        const double tt = std::tan(row.angles.theta * rad);
        const double tp = std::tan(row.angles.psi * rad);
        if (std::isfinite(tt) && std::isfinite(tp) && std::fabs(tt) < 1e3 && std::fabs(tp) < 1e3) {
            QVERIFY2(std::fabs(tt * tp - expected) < 1e-9,
                     qPrintable(QStringLiteral("frame %1: %2").arg(row.frame).arg(tt * tp)));
            ++checked;
        }
    }
    QVERIFY(checked > 300);
    for (const double theta : {-150.0, -60.0, 30.0, 120.0}) {
        const OutputAngles out = outputAnglesAt(d, theta);
        for (const double psi : out.psi) {
            QVERIFY(std::fabs(std::tan(theta * rad) * std::tan(psi * rad) - expected) < 1e-9);
        }
    }
}

// The window's numbers: halves away from zero (printf would give 0.2 for 0.25), the decimal point
// whatever the locale, a carry through every nine, and no limit on the size.
void TestAnalysis::fixedDecimals_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("a half, up") << 0.25 << 1 << "0.3";
    QTest::newRow("a half, down the number line") << -0.25 << 1 << "-0.3";
    QTest::newRow("just under a half") << 0.2499999999999 << 1 << "0.2";
    QTest::newRow("carry into a new digit") << 99.96 << 1 << "100.0";
    QTest::newRow("negative that rounds to zero") << -0.04 << 1 << "-0.0";
    QTest::newRow("minus zero") << -0.0 << 1 << "0.0";
    QTest::newRow("three decimals") << 1.0625 << 3 << "1.063";
    QTest::newRow("no decimals") << 2.5 << 0 << "3";
    QTest::newRow("huge") << 1e20 << 1 << "100000000000000000000.0";
    QTest::newRow("not a number") << std::nan("") << 1 << "nan";
}

void TestAnalysis::fixedDecimals()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(fixedText(value, decimals)), text);
}

void TestAnalysis::paragraphs_data()
{
    QTest::addColumn<LinkageDimensions>("dims");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("parts"); // each in the paragraph of the same place in names

    const QStringList all{"type", "decision", "values", "labelNote", "motion"};
    QTest::newRow("Chiang's crank-rocker")
        << LinkageDimensions{160, 105, 120, 100, 45, -35} << all
        << QStringList{"Crank-rocker", "", "T1 = -45.0\u00b0", "Frame label: ", "Rocker swing "};
    QTest::newRow("a crank-rocker the label agrees with")
        << LinkageDimensions{20, 50, 45, 40, 45, -35}
        << QStringList{"type", "decision", "values", "motion"}
        << QStringList{"Crank-rocker", "", "T1 = +15.0\u00b0    T2 = +25.0\u00b0",
                       "Input a turns fully.\nOutput b rocks"};
    QTest::newRow("no type: a link out of range")
        << LinkageDimensions{200, 30, 35, 40, 45, -35} << QStringList{"type", "decision", "values"}
        << QStringList{"No type", "a = 200", "T4 = "};
    // Links of 1e308 make infinite and NaN Grashof values: a dash, not "nan" or "inf".
    QTest::newRow("links of 1e308") << LinkageDimensions{1e308, 1e308, 1e308, 1e308, 45, -35}
                                    << QStringList{"type", "decision", "values"}
                                    << QStringList{"No type", "", "T3 = \u2013    T4 = \u2013"};
}

// The paragraphs both front ends show: which there are, in order, and the words that matter.
void TestAnalysis::paragraphs()
{
    QFETCH(LinkageDimensions, dims);
    QFETCH(QStringList, names);
    QFETCH(QStringList, parts);
    const std::vector<AnalysisParagraph> shown = analysisParagraphs(analyseLinkage(dims));
    QStringList shownNames;
    for (const AnalysisParagraph& p : shown) {
        shownNames << QString::fromStdString(p.name);
    }
    QCOMPARE(shownNames, names);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString text = QString::fromStdString(shown[std::size_t(i)].text);
        QVERIFY2(text.contains(parts[i]), qPrintable(text));
        QVERIFY2(!text.contains("nan") && !text.contains("inf"), qPrintable(text));
    }
}

QTEST_APPLESS_MAIN(TestAnalysis)
#include "tst_analysis.moc"
