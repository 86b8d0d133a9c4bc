// Tests of the working: five worked examples against values derived by hand from the relations,
// fifty random positions against a derivation of their own here, the special positions said in
// words (never as NaN), and the four written forms of one working.
#include "working.h"
#include "working_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

#include <cmath>
#include <limits>
#include <numbers>

using namespace cyclar;

Q_DECLARE_METATYPE(cyclar::LinkageDimensions)

namespace {

constexpr double rad = std::numbers::pi / 180.0;
constexpr double notDefined = std::numeric_limits<double>::quiet_NaN();

LinkageDimensions linkage(double a, double b, double c, double f, double h = 45, double k = -35)
{
    return {a, b, c, f, h, k};
}

// Whether x matches the expected value: NaN expects "not defined" (NaN), else within tolerance.
bool matches(double x, double expected, double tolerance)
{
    if (std::isnan(expected)) {
        return std::isnan(x);
    }
    return std::fabs(x - expected) <= tolerance;
}

bool sameAngle(double x, double expected, double tolerance)
{
    return std::fabs(std::remainder(x - expected, 360.0)) <= tolerance;
}

// Relative to the size of the value, for rates that may be large.
bool near(double x, double y, double tolerance = 1e-9)
{
    return std::fabs(x - y) <= tolerance * std::max(1.0, std::fabs(y));
}

// Words a person reads never include these.
const QRegularExpression notANumber(QStringLiteral("\\b(nan|inf)\\b"),
                                    QRegularExpression::CaseInsensitiveOption);

// ---------------------------------------------------------------------------------------------
// A derivation of our own, in coordinates: A1(theta) and B1(psi) written out, the loop equation
// A1 . B1 = cos c differentiated by the chain rule, and P, its velocity and acceleration from
// the coupler's frame. Nothing here comes from the code under test.

using Vec = std::array<double, 3>;

double dot(const Vec& u, const Vec& v)
{
    return u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
}
Vec cross(const Vec& u, const Vec& v)
{
    return {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
}
Vec combine(double s, const Vec& u, double t, const Vec& v)
{
    return {s * u[0] + t * v[0], s * u[1] + t * v[1], s * u[2] + t * v[2]};
}
double length(const Vec& v)
{
    return std::sqrt(dot(v, v));
}

struct Derived {
    bool closes = false;
    double d = notDefined, psi = notDefined, other = notDefined, mu = notDefined,
           coupler = notDefined;
    double rate = notDefined, acceleration = notDefined, couplerRate = notDefined,
           speed = notDefined, pointAcceleration = notDefined;
    Vec P{};
};

Derived derive(const LinkageDimensions& l, double theta, int branch)
{
    Derived out;
    const double ca = std::cos(l.a * rad), sa = std::sin(l.a * rad);
    const double cb = std::cos(l.b * rad), sb = std::sin(l.b * rad);
    const double cc = std::cos(l.c * rad), sc = std::sin(l.c * rad);
    const double cf = std::cos(l.f * rad), sf = std::sin(l.f * rad);
    const double th = theta * rad;
    // Triangle A0 B0 A1: the diagonal, the angle at B0, and the sine rule for the side.
    const double cd = ca * cf + sa * sf * std::cos(th);
    out.d = std::acos(cd) / rad;
    const double sd = std::sin(out.d * rad);
    const double cosB0 = (ca - cf * cd) / (sf * sd);
    const double delta = std::atan2(sa * std::sin(th) / sd, -cosB0) / rad;
    // Triangle B0 A1 B1: the angle at B0 and at B1.
    const double cg = (cc - cb * cd) / (sb * sd);
    if (std::fabs(cg) > 1.0) {
        return out;
    }
    out.closes = true;
    const double gamma = std::acos(cg) / rad;
    const auto wrap = [](double x) {
        const double r = std::remainder(x, 360.0);
        return r <= -180.0 ? r + 360.0 : r;
    };
    out.psi = wrap(branch == 1 ? delta + gamma : delta - gamma);
    out.other = wrap(branch == 1 ? delta - gamma : delta + gamma);
    out.mu = std::acos((cd - cb * cc) / (sb * sc)) / rad;

    const double ps = out.psi * rad;
    const Vec A0{1, 0, 0};
    const Vec A1{ca, sa * std::cos(th), sa * std::sin(th)};
    const Vec A1t{0, -sa * std::sin(th), sa * std::cos(th)};
    const Vec A1tt{0, -sa * std::cos(th), -sa * std::sin(th)};
    const Vec B1{cb * cf - sb * sf * std::cos(ps), cb * sf + sb * cf * std::cos(ps),
                 sb * std::sin(ps)};
    const Vec B1p{sb * sf * std::sin(ps), -sb * cf * std::sin(ps), sb * std::cos(ps)};
    const Vec B1pp{sb * sf * std::cos(ps), -sb * cf * std::cos(ps), -sb * std::sin(ps)};
    const double D = dot(A1, B1p);
    out.rate = -dot(A1t, B1) / D;
    const double r = out.rate;
    out.acceleration = -(dot(A1tt, B1) + 2.0 * r * dot(A1t, B1p) + r * r * dot(A1, B1pp)) / D;

    // The coupler's frame: A1, u toward B1, w = A1 x u; P = cos h A1 + sin h (cos k u + sin k w).
    const Vec u = combine(1.0 / sc, B1, -cc / sc, A1);
    const Vec w = cross(A1, u);
    const Vec B1t = combine(r, B1p, 0.0, B1p);
    const Vec B1tt = combine(r * r, B1pp, out.acceleration, B1p);
    const Vec ut = combine(1.0 / sc, B1t, -cc / sc, A1t);
    const Vec utt = combine(1.0 / sc, B1tt, -cc / sc, A1tt);
    const Vec wt = combine(1.0, cross(A1t, u), 1.0, cross(A1, ut));
    const Vec wtt =
        combine(1.0, combine(1.0, cross(A1tt, u), 2.0, cross(A1t, ut)), 1.0, cross(A1, utt));
    const double ch = std::cos(l.h * rad), sh = std::sin(l.h * rad);
    const double ck = std::cos(l.k * rad), sk = std::sin(l.k * rad);
    const auto onCoupler = [&](const Vec& a, const Vec& uu, const Vec& ww) {
        return combine(ch, a, sh, combine(ck, uu, sk, ww));
    };
    out.P = onCoupler(A1, u, w);
    out.speed = length(onCoupler(A1t, ut, wt));
    out.pointAcceleration = length(onCoupler(A1tt, utt, wtt));
    // The angular velocity of a turning frame e1, e2, e3: half the sum of ei x ei'.
    const Vec omega =
        combine(0.5, combine(1.0, cross(A1, A1t), 1.0, cross(u, ut)), 0.5, cross(w, wt));
    out.couplerRate = length(omega);

    // The coupler's angle at A1, from the input link continued beyond A1 to the arc toward B1.
    const Vec away = combine(-1.0, A0, dot(A0, A1), A1); // -(A0 - (A0.A1) A1)
    const Vec across = cross(A1, away);
    out.coupler = std::atan2(dot(u, across) / length(away), dot(u, away) / length(away)) / rad;
    return out;
}

} // namespace

class TestWorking : public QObject {
    Q_OBJECT

private slots:
    void workedExamples_data();
    void workedExamples();
    void hookesJointRelation();
    void independentDerivation();
    void specialPositionsInWords_data();
    void specialPositionsInWords();
    void writtenForms();
};

void TestWorking::workedExamples_data()
{
    QTest::addColumn<LinkageDimensions>("dims");
    QTest::addColumn<double>("theta");
    QTest::addColumn<int>("branch");
    QTest::addColumn<double>("diagonal");
    QTest::addColumn<double>("output");
    QTest::addColumn<double>("outputOther");
    QTest::addColumn<double>("transmission");
    QTest::addColumn<double>("outputRate");
    QTest::addColumn<double>("mechanicalAdvantage");
    QTest::addColumn<double>("tolerance");
    QTest::addColumn<QString>("words");

    // Each value below was worked out from the relations on a calculator: cos d = cos a cos f +
    // sin a sin f cos theta; the angle at B0 and gamma by the law of cosines, sin delta = sin a
    // sin theta / sin d; psi = delta +- gamma; cos d = cos b cos c + sin b sin c cos mu; the loop
    // equation A1 . B1 = cos c differentiated with A1 and B1 written out in coordinates.
    QTest::newRow("README's crank-rocker at 90")
        << linkage(160, 105, 120, 100) << 90.0 << 1 << 80.6087141979565 << 138.9920462920573
        << -98.42492738299784 << 87.6865993914612 << 0.052505530559562454 << 19.0456127067528
        << 1e-9 << QString();
    QTest::newRow("Hooke's joint at 30, branch 2")
        << linkage(90, 90, 90, 30, 45, 0) << 30.0 << 2 << 64.34109372674472 << -56.309932474020215
        << 123.69006752597979 << 64.34109372674472 << 1.0658774200423862 << 0.9381941874331418
        << 1e-9 << QString();
    QTest::newRow("double-rocker (the default) at 30")
        << linkage(50, 30, 35, 40) << 30.0 << 1 << 23.243186982488734 << 159.2510169910482
        << -7.11873373013637 << 43.09130813340561 << 0.21176195598766565 << 4.722283543972583
        << 1e-9 << QString();
    // T1 = 50 - 40 + 20 - 30 = 0. At theta = 0 the diagonal is |a - f| = |b - c| = 10: A1 at 40
    // and B1 at 20 degrees along the equator, B1 toward A0 from B0 (psi = 180) and mu = 0. The
    // branches cross here, so no rate is defined.
    QTest::newRow("change point, flat")
        << linkage(40, 30, 20, 50) << 0.0 << 1 << 10.0 << 180.0 << 180.0 << 0.0 << notDefined
        << notDefined << 1e-5 << QStringLiteral("change point");
    // Folded: the output's toggle with the arc A0-B1 e = a - c = 40 and A1 beyond B1, so the
    // input lies along B1's direction from A0, lambda: cos b = cos f cos e + sin f sin e cos
    // lambda. There psi stands at its limit, cos |psi| = (cos b cos f - cos e) / (sin b sin f).
    QTest::newRow("folded position")
        << linkage(160, 105, 120, 100) << 101.46236261781208 << 1 << 84.47725920589923
        << 139.29305067677703 << -99.93361929924858 << 92.2724303401943 << 0.0 << notDefined << 1e-9
        << QStringLiteral("folded over the coupler");
}

void TestWorking::workedExamples()
{
    QFETCH(LinkageDimensions, dims);
    QFETCH(double, theta);
    QFETCH(int, branch);
    QFETCH(double, diagonal);
    QFETCH(double, output);
    QFETCH(double, outputOther);
    QFETCH(double, transmission);
    QFETCH(double, outputRate);
    QFETCH(double, mechanicalAdvantage);
    QFETCH(double, tolerance);
    QFETCH(QString, words);
    const Working w = explainLinkage(dims, theta, branch);
    const WorkingResults& r = w.results;
    QVERIFY2(matches(r.diagonal, diagonal, tolerance),
             qPrintable(QString::number(r.diagonal, 'g', 17)));
    QVERIFY2(sameAngle(r.output, output, tolerance),
             qPrintable(QString::number(r.output, 'g', 17)));
    QVERIFY2(sameAngle(r.outputOther, outputOther, tolerance),
             qPrintable(QString::number(r.outputOther, 'g', 17)));
    QVERIFY2(matches(r.transmission, transmission, tolerance),
             qPrintable(QString::number(r.transmission, 'g', 17)));
    QVERIFY2(matches(r.outputRate, outputRate, tolerance),
             qPrintable(QString::number(r.outputRate, 'g', 17)));
    QVERIFY2(matches(r.mechanicalAdvantage, mechanicalAdvantage, tolerance),
             qPrintable(QString::number(r.mechanicalAdvantage, 'g', 17)));
    QVERIFY2(QString::fromStdString(w.situation).contains(words),
             qPrintable(QString::fromStdString(w.situation)));
    QCOMPARE(w.situation.empty(), words.isEmpty());
}

// The README's crank-rocker's limits and strokes, and the Hooke's joint relation
// tan theta tan psi = -cos f, worked by hand.
void TestWorking::hookesJointRelation()
{
    for (const double theta : {-150.0, -60.0, 10.0, 45.0, 120.0}) {
        const Working w = explainLinkage(linkage(90, 90, 90, 30, 45, 0), theta, 1);
        QVERIFY(std::fabs(std::tan(theta * rad) * std::tan(w.results.output * rad)
                          + std::cos(30.0 * rad))
                < 1e-12);
    }
    const Working w = explainLinkage(linkage(160, 105, 120, 100), 90, 1);
    // cos |psi| = (cos b cos f - cos e) / (sin b sin f) at e = 360 - (a + c) = 80 and a - c = 40.
    QCOMPARE(w.results.outputLimits.size(), size_t(2));
    QVERIFY(std::fabs(w.results.outputLimits[0] - 97.77599386746431) < 1e-9);
    QVERIFY(std::fabs(w.results.outputLimits[1] - 139.29305067677703) < 1e-9);
    QVERIFY(w.results.inputLimits.empty());
    // The input at the toggles: lambda = 101.46236261781208 (A1 along B1) and 180 less
    // 103.63730113826243 the other side (A1 opposite B1): strokes 177.825... and the rest.
    const double stroke = 101.46236261781208 + (180.0 - 103.63730113826243);
    QVERIFY(std::fabs(*w.analysis.timeRatio - (360.0 - stroke) / stroke) < 1e-9);
    QVERIFY(std::fabs(*w.analysis.swing - (139.29305067677703 - 97.77599386746431)) < 1e-9);
    const std::array<double, 4> T{-45, -75, -35, -125}; // f - a + c - b, f - a - c + b, ...
    QCOMPARE(w.results.T, T);
}

void TestWorking::independentDerivation()
{
    QRandomGenerator random(2028);
    int checked = 0;
    int drawn = 0;
    while (checked < 50) {
        QVERIFY(++drawn < 100000);
        const auto pick = [&](double low, double high) {
            return low + random.generateDouble() * (high - low);
        };
        const LinkageDimensions dims{pick(5, 175), pick(5, 175), pick(5, 175),
                                     pick(5, 175), pick(0, 120), pick(-180, 180)};
        const double theta = pick(-180, 180);
        const int branch = random.bounded(2) + 1;
        const Derived expected = derive(dims, theta, branch);
        // Well inside the motion: away from the toggles, where a rate is large and ill-posed.
        if (!expected.closes || !(std::fabs(expected.rate) < 20.0) || expected.mu < 2.0
            || expected.mu > 178.0) {
            continue;
        }
        const Working w = explainLinkage(dims, theta, branch);
        const WorkingResults& r = w.results;
        const QString row = QStringLiteral("%1,%2,%3,%4,%5,%6 at %7 on %8")
                                .arg(dims.a, 0, 'g', 17)
                                .arg(dims.b, 0, 'g', 17)
                                .arg(dims.c, 0, 'g', 17)
                                .arg(dims.f, 0, 'g', 17)
                                .arg(dims.h, 0, 'g', 17)
                                .arg(dims.k, 0, 'g', 17)
                                .arg(theta, 0, 'g', 17)
                                .arg(branch);
        QVERIFY2(near(r.diagonal, expected.d), qPrintable(row));
        QVERIFY2(sameAngle(r.output, expected.psi, 1e-9), qPrintable(row));
        QVERIFY2(sameAngle(r.outputOther, expected.other, 1e-9), qPrintable(row));
        QVERIFY2(near(r.transmission, expected.mu), qPrintable(row));
        QVERIFY2(sameAngle(r.coupler, expected.coupler, 1e-9), qPrintable(row));
        QVERIFY2(near(r.outputRate, expected.rate), qPrintable(row));
        QVERIFY2(near(r.outputAcceleration, expected.acceleration, 1e-8), qPrintable(row));
        QVERIFY2(near(r.couplerRate, expected.couplerRate), qPrintable(row));
        QVERIFY2(near(r.pointSpeed, expected.speed), qPrintable(row));
        QVERIFY2(near(r.pointAcceleration, expected.pointAcceleration, 1e-8), qPrintable(row));
        QVERIFY2(near(r.mechanicalAdvantage, 1.0 / expected.rate), qPrintable(row));
        QVERIFY2(near(r.P.x, expected.P[0]) && near(r.P.y, expected.P[1])
                     && near(r.P.z, expected.P[2]),
                 qPrintable(row));
        ++checked;
    }
}

void TestWorking::specialPositionsInWords_data()
{
    QTest::addColumn<LinkageDimensions>("dims");
    QTest::addColumn<double>("theta");
    QTest::addColumn<QString>("words");
    QTest::addColumn<QStringList>("defined"); // the results that keep a value there

    const QStringList position{"diagonal", "output", "outputOther", "transmission", "coupler", "P"};
    QTest::newRow("input toggle, stretched")
        << linkage(50, 30, 35, 40) << 98.14763871533212
        << QStringLiteral("stretched out in line, a toggle of the input")
        << position + QStringList{"mechanicalAdvantage"};
    // This pi-pi rocker stops where the diagonal is |b - c| = 30: folded.
    QTest::newRow("input toggle, folded")
        << linkage(40, 60, 30, 20) << analyseLinkage(linkage(40, 60, 30, 20)).inputLimits.front()
        << QStringLiteral("the coupler is folded over the output link")
        << position + QStringList{"mechanicalAdvantage"};
    QTest::newRow("flat change point")
        << linkage(40, 30, 20, 50) << 0.0 << QStringLiteral("change point") << position;
    QTest::newRow("beyond the input's limit")
        << linkage(50, 30, 35, 40) << 120.0 << QStringLiteral("cannot reach")
        << QStringList{"diagonal"};
    QTest::newRow("kite with A1 on B0")
        << linkage(40, 30, 30, 40) << 0.0 << QStringLiteral("A1 stands on B0")
        << QStringList{"diagonal"};
    QTest::newRow("link past 180") << linkage(200, 100, 100, 100) << 30.0
                                   << QStringLiteral("strictly between") << QStringList{};
    QTest::newRow("cannot be assembled") << linkage(20, 100, 20, 30) << 10.0
                                         << QStringLiteral("cannot be assembled") << QStringList{};
    QTest::newRow("rigid") << linkage(20, 70, 20, 30) << 10.0 << QStringLiteral("rigid")
                           << QStringList{};
}

void TestWorking::specialPositionsInWords()
{
    QFETCH(LinkageDimensions, dims);
    QFETCH(double, theta);
    QFETCH(QString, words);
    QFETCH(QStringList, defined);
    const Working w = explainLinkage(dims, theta, 1);
    QVERIFY2(QString::fromStdString(w.situation).contains(words),
             qPrintable(QString::fromStdString(w.situation)));
    for (const std::string& written :
         {workingText(w), workingMarkdown(w), workingHtml(w), workingJson(w)}) {
        QVERIFY2(!QString::fromStdString(written).contains(notANumber),
                 qPrintable(QString::fromStdString(written).left(300)));
    }
    QJsonParseError error;
    const QJsonDocument json =
        QJsonDocument::fromJson(QByteArray::fromStdString(workingJson(w)), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject results = json.object().value("results").toObject();
    for (const char* key : {"diagonal", "output", "outputOther", "transmission", "coupler",
                            "outputRate", "outputAcceleration", "couplerRate", "pointSpeed",
                            "pointAcceleration", "mechanicalAdvantage", "P"}) {
        QVERIFY2(results.value(key).isNull() != defined.contains(key), key);
    }
}

void TestWorking::writtenForms()
{
    const Working w = explainLinkage(linkage(160, 105, 120, 100), -40, 2);
    const QString text = QString::fromStdString(workingText(w));
    const QString markdown = QString::fromStdString(workingMarkdown(w));
    const QString html = QString::fromStdString(
        workingHtml(w, {{"<svg id=\"picture\"></svg>", "The picture <here>"}}));
    int steps = 0;
    for (const WorkingSection& section : w.sections) {
        QVERIFY(markdown.contains(QStringLiteral("## ")
                                  + QString::number(&section - &w.sections[0] + 1)
                                  + QLatin1Char(' ') + QString::fromStdString(section.title)));
        for (const WorkingStep& s : section.steps) {
            ++steps;
            for (const std::string* line : {&s.name, &s.symbols, &s.numbers, &s.result}) {
                QVERIFY(text.contains(QString::fromStdString(*line)));
                QVERIFY(markdown.contains(QString::fromStdString(*line)));
            }
            QVERIFY(html.contains(QString::fromStdString(s.result).toHtmlEscaped()));
        }
    }
    QCOMPARE(w.sections.size(), size_t(5));
    // A handout with nothing from outside: no web font, no script, no style sheet to fetch; the
    // caller's figure as it was given, its caption escaped.
    QVERIFY(!html.contains("@font-face") && !html.contains("<script") && !html.contains("<link"));
    QVERIFY(html.contains("<svg id=\"picture\"></svg>"));
    QVERIFY(html.contains("The picture &lt;here&gt;"));
    QVERIFY(html.contains("@page") && html.contains("break-inside: avoid"));

    QJsonParseError error;
    const QJsonObject json =
        QJsonDocument::fromJson(QByteArray::fromStdString(workingJson(w)), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QStringList keys = json.value("results").toObject().keys();
    keys.sort();
    QStringList named{"diagonal",
                      "output",
                      "outputOther",
                      "transmission",
                      "coupler",
                      "T",
                      "inputLimits",
                      "outputLimits",
                      "outputRate",
                      "outputAcceleration",
                      "couplerRate",
                      "pointSpeed",
                      "pointAcceleration",
                      "mechanicalAdvantage",
                      "P"};
    named.sort();
    QCOMPARE(keys, named);
    QCOMPARE(json.value("steps").toArray().size(), steps);
    QCOMPARE(json.value("results").toObject().value("P").toArray().size(), 3);
    QCOMPARE(json.value("classification").toObject().value("type").toString(),
             QStringLiteral("crank-rocker"));
    const QJsonObject first = json.value("steps").toArray().first().toObject();
    QCOMPARE(first.value("name").toString(), QStringLiteral("Grashof value T1"));
    QCOMPARE(first.value("value").toArray().first().toDouble(), -45.0);
    QCOMPARE(first.value("unit").toString(), QStringLiteral("deg"));
}

QTEST_GUILESS_MAIN(TestWorking)
#include "tst_working.moc"
