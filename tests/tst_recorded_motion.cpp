// Recorded motion: for linkages whose link pairs a + f and b + c stay within 180 degrees, the
// model, frames, curve, angles, pictures and both clips equal, bit for bit, what was recorded in
// tests/data/recorded_motion.tsv. A linkage with two circuits is recorded on each: its frames,
// angles and pictures on circuit 1 (and on circuit 2 under "circuit 2/"), each lap of 180 frames
// shown twice. Set CYCLAR_UPDATE_REFERENCES=1 to record them anew.
#include "artwork.h"
#include "clips.h"
#include "linkage_analysis.h"
#include "motion_schedule.h"
#include "picture_export.h"

#include <QCryptographicHash>
#include <QFile>
#include <QMap>
#include <QSaveFile>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

using namespace cyclar;

Q_DECLARE_METATYPE(cyclar::LinkageDimensions)

namespace {

const QString tablePath = QStringLiteral(CYCLAR_TEST_DATA "/recorded_motion.tsv");

// Hashes the exact values that make up an output. Every NaN counts as one value: the outputs
// print them all alike, and their payload bits are no part of the result.
class Digest {
public:
    void add(double x)
    {
        if (std::isnan(x)) {
            x = std::numeric_limits<double>::quiet_NaN();
        }
        unsigned char bytes[sizeof x];
        std::memcpy(bytes, &x, sizeof x);
        m_hash.addData(QByteArrayView(reinterpret_cast<const char*>(bytes), sizeof bytes));
    }
    void add(int x) { add(static_cast<double>(x)); }
    void add(const SphereVector& v)
    {
        add(v.x);
        add(v.y);
        add(v.z);
    }
    void add(const QByteArray& bytes)
    {
        add(static_cast<int>(bytes.size()));
        m_hash.addData(bytes);
    }
    void add(const QImage& image)
    {
        add(static_cast<int>(image.format()));
        add(image.width());
        add(image.height());
        for (int y = 0; y < image.height(); ++y) {
            m_hash.addData(QByteArrayView(reinterpret_cast<const char*>(image.constScanLine(y)),
                                          image.width() * image.depth() / 8));
        }
    }
    QByteArray hex() const { return m_hash.result().toHex().left(24); }

private:
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
};

QByteArray modelDigest(const LinkageDimensions& d)
{
    const LinkageModel m = buildLinkageModel(d);
    Digest digest;
    for (const double x :
         {m.pi,          m.degToRad,    m.cosA,        m.sinA,     m.cosB,      m.sinB,
          m.cosC,        m.sinC,        m.cosF,        m.sinF,     m.cosH,      m.sinH,
          m.cosK,        m.sinK,        m.cosE,        m.e,        m.sinE,      m.jointGap,
          m.cosJointGap, m.sinJointGap, m.lowerGap,    m.upperGap, m.lowerSign, m.upperSign,
          m.diagonalMin, m.diagonalMax, m.diagonalHalf}) {
        digest.add(x);
    }
    digest.add(m.A0);
    digest.add(m.B0);
    digest.add(isGrashof(m) ? 1 : 0);
    digest.add(QByteArray(classificationLabel(m)));
    return digest.hex();
}

// The pose drawn at each frame of a new page, as the frames command lists it.
QByteArray framesDigest(const LinkageDimensions& d, const MotionChoice& motion)
{
    Digest digest;
    forEachShownFrame(shownMotion(d, motion), [&](int, double t, const LinkagePose& p) {
        digest.add(t);
        digest.add(p.A1);
        digest.add(p.B1);
        digest.add(p.P);
    });
    return digest.hex();
}

QByteArray curveDigest(const LinkageDimensions& d)
{
    const LinkageModel model = buildLinkageModel(d);
    MotionSchedule schedule;
    const PaintSchedule paint = beginPaint(model, d, schedule);
    Digest digest;
    sweepCouplerCurve(paint, schedule.framesPerCycle,
                      [&](int pass, int j, double t, const SphereVector& p) {
                          digest.add(pass);
                          digest.add(j);
                          digest.add(t);
                          digest.add(p);
                      });
    return digest.hex();
}

QByteArray anglesDigest(const LinkageDimensions& d, const MotionChoice& motion)
{
    Digest digest;
    for (const FrameAngles& row : frameAngleTable(d, motion)) {
        digest.add(row.frame);
        digest.add(row.t);
        digest.add(row.angles.theta);
        digest.add(row.angles.psi);
        digest.add(row.angles.mu);
        digest.add(row.angles.branch);
    }
    return digest.hex();
}

// The pictures of a new page at a few frames and views, as the png command writes them.
QByteArray picturesDigest(const LinkageDimensions& d, const MotionChoice& motion)
{
    struct Shot {
        int frame;
        double turn;
        double tilt;
    };
    Digest digest;
    for (const Shot& shot :
         {Shot{1, -18, -18}, Shot{90, 0, 0}, Shot{181, 45, -60}, Shot{300, -90, 90}}) {
        SceneState scene = newScene(d, exportPictureSize);
        scene.schedule.motion = motion;
        scene.view.turn = shot.turn;
        scene.view.tilt = shot.tilt;
        digest.add(renderFramePicture(scene, shot.frame));
    }
    return digest.hex();
}

QByteArray clipDigest(const QList<QImage>& frames)
{
    Digest digest;
    digest.add(static_cast<int>(frames.size()));
    for (const QImage& frame : frames) {
        digest.add(frame);
    }
    return digest.hex();
}

} // namespace

class TestRecordedMotion : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void linkage_data();
    void linkage();
    void clips();
    void cleanupTestCase();

private:
    void check(const QString& key, const QByteArray& digest);

    QMap<QString, QByteArray> m_recorded;
    bool m_updating = false;
};

void TestRecordedMotion::initTestCase()
{
    m_updating = qEnvironmentVariableIsSet("CYCLAR_UPDATE_REFERENCES");
    if (m_updating) {
        return;
    }
    QFile file(tablePath);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(tablePath));
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().trimmed().split('\t');
        if (fields.size() == 2) {
            m_recorded.insert(QString::fromUtf8(fields[0]), fields[1]);
        }
    }
    QVERIFY(!m_recorded.isEmpty());
}

void TestRecordedMotion::check(const QString& key, const QByteArray& digest)
{
    if (m_updating) {
        m_recorded.insert(key, digest);
        return;
    }
    QVERIFY2(m_recorded.contains(key), qPrintable(key + " is not recorded"));
    QVERIFY2(m_recorded.value(key) == digest,
             qPrintable(key + " differs from the recorded output"));
}

void TestRecordedMotion::linkage_data()
{
    QTest::addColumn<LinkageDimensions>("dims");
    // clang-format off
    QTest::newRow("default")                  << LinkageDimensions{50, 30, 35, 40, 45, -35};
    QTest::newRow("grashof a-f")              << LinkageDimensions{20, 50, 45, 40, 45, -35};
    QTest::newRow("grashof b-c")              << LinkageDimensions{40, 45, 20, 50, 30, 60};
    QTest::newRow("grashof both negative")    << LinkageDimensions{70, 70, 20, 80, 25, 140};
    QTest::newRow("small crank")              << LinkageDimensions{5, 60, 70, 30, 10, 90};
    QTest::newRow("non-grashof wide")         << LinkageDimensions{80, 70, 60, 90, 60, 120};
    QTest::newRow("non-grashof long ground")  << LinkageDimensions{120, 80, 70, 45, 30, -10};
    QTest::newRow("lower gap 0")              << LinkageDimensions{40, 30, 20, 50, 45, -35};
    QTest::newRow("upper gap 0")              << LinkageDimensions{70, 60, 50, 40, 45, -35};
    QTest::newRow("both gaps 0")              << LinkageDimensions{40, 40, 40, 40, 45, -35};
    QTest::newRow("change point T1")          << LinkageDimensions{30, 40, 50, 20, 20, 80};
    QTest::newRow("near change point")        << LinkageDimensions{20, 10, 40.0000001, 50, 45, -35};
    QTest::newRow("symmetric")                << LinkageDimensions{40, 30, 30, 40, 45, -35};
    QTest::newRow("kite")                     << LinkageDimensions{60, 45, 45, 60, 30, 20};
    QTest::newRow("kite of 90s")              << LinkageDimensions{90, 90, 90, 90, 45, -35};
    QTest::newRow("a = f only")               << LinkageDimensions{40, 30, 20, 40, 45, -35};
    QTest::newRow("b = c only")               << LinkageDimensions{50, 30, 30, 40, 45, -35};
    QTest::newRow("clip linkage")             << LinkageDimensions{30, 40, 30, 60, 45, -35};
    QTest::newRow("a + f = 180")              << LinkageDimensions{100, 50, 60, 80, 45, -35};
    QTest::newRow("b + c = 180")              << LinkageDimensions{60, 100, 80, 70, 30, 10};
    QTest::newRow("both sums 180")            << LinkageDimensions{100, 110, 70, 80, 20, 40};
    QTest::newRow("cannot be assembled")      << LinkageDimensions{10, 120, 35, 40, 45, -35};
    QTest::newRow("input too long")           << LinkageDimensions{145, 20, 25, 30, 45, -35};
    QTest::newRow("tiny input")               << LinkageDimensions{0.001, 30, 35, 40, 45, -35};
    QTest::newRow("input 0")                  << LinkageDimensions{0, 30, 35, 40, 45, -35};
    QTest::newRow("tiny ground")              << LinkageDimensions{50, 30, 35, 1e-6, 45, -35};
    QTest::newRow("tiny coupler")             << LinkageDimensions{50, 30, 1e-7, 40, 45, -35};
    QTest::newRow("point on B1")              << LinkageDimensions{50, 30, 35, 40, 35, 0};
    QTest::newRow("point on A1")              << LinkageDimensions{50, 30, 35, 40, 0, 0};
    QTest::newRow("far coupler point")        << LinkageDimensions{50, 30, 35, 40, 1000, -1000};
    QTest::newRow("odd decimals")             << LinkageDimensions{33.3, 47.1, 52.9, 61.7, 18.2, -73.4};
    QTest::newRow("odd decimals 2")           << LinkageDimensions{12.5, 88.8, 77.7, 66.6, 120, 45};
    QTest::newRow("negative h")               << LinkageDimensions{25, 35, 45, 55, -30, 200};
    QTest::newRow("crank-rocker past 180")    << LinkageDimensions{160, 105, 120, 100, 45, -35};
    QTest::newRow("double-crank")             << LinkageDimensions{60, 55, 50, 20, 30, 40};
    QTest::newRow("rocker-crank")             << LinkageDimensions{70, 25, 60, 50, 40, -60};
    QTest::newRow("grashof double-rocker")    << LinkageDimensions{60, 70, 20, 50, 35, 150};
    // clang-format on
}

void TestRecordedMotion::linkage()
{
    QFETCH(LinkageDimensions, dims);
    const QString row = QString::fromUtf8(QTest::currentDataTag());
    check(row + "/model", modelDigest(dims));
    check(row + "/curve", curveDigest(dims));
    const int circuits = circuitCount(buildLinkageModel(dims));
    for (int circuit = 1; circuit <= circuits; ++circuit) {
        const MotionChoice motion{circuit, false};
        const QString key =
            row + (circuit == 1 ? QStringLiteral("/") : QStringLiteral("/circuit 2/"));
        check(key + "frames", framesDigest(dims, motion));
        check(key + "angles", anglesDigest(dims, motion));
        check(key + "pictures", picturesDigest(dims, motion));
    }
}

void TestRecordedMotion::clips()
{
    check(QStringLiteral("title clip"), clipDigest(renderClip1038()));
    check(QStringLiteral("circular view clip"), clipDigest(renderClip170()));
}

void TestRecordedMotion::cleanupTestCase()
{
    if (!m_updating) {
        return;
    }
    QSaveFile file(tablePath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (auto it = m_recorded.cbegin(); it != m_recorded.cend(); ++it) {
        file.write(it.key().toUtf8() + '\t' + it.value() + '\n');
    }
    QVERIFY(file.commit());
}

QTEST_MAIN(TestRecordedMotion)
#include "tst_recorded_motion.moc"
