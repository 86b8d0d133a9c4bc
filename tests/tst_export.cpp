// Tests of cyclar-export as a user runs it: output formats, and one clear line for bad input.
#include "analysis_plot.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <numbers>

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runExport(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(CYCLAR_EXPORT_PATH), args);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    Run run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QList<QByteArray> csvRows(const QByteArray& text)
{
    QList<QByteArray> rows = text.split('\n');
    if (!rows.isEmpty() && rows.last().isEmpty()) {
        rows.removeLast();
    }
    return rows;
}

} // namespace

class TestExport : public QObject {
    Q_OBJECT

private slots:
    void modelOfTheDefaultLinkage();
    void poseAtMinusHalfPi();
    void nonFiniteValuesPrintAsNull();
    void curve_data();
    void curve();
    void framesOfASymmetricLinkage();
    void analyse_data();
    void analyse();
    void anglesFollowTheFrames();
    void badInput_data();
    void badInput();
    void helpAndVersion();
    void pngOfTheDefaultLinkage();
    void plotPutsTheCurvesWhereTheAngleTableDoes_data();
    void plotPutsTheCurvesWhereTheAngleTableDoes();
    void pngBadValuesLeaveNoFile_data();
    void pngBadValuesLeaveNoFile();
};

void TestExport::modelOfTheDefaultLinkage()
{
    const Run run = runExport({"model", "--dims", "50,30,35,40,45,-35"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.isEmpty());
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(run.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(o["a"].toDouble(), 50.0);
    QCOMPARE(o["k"].toDouble(), -35.0);
    QVERIFY(std::fabs(o["cosE"].toDouble() - 0.91145948) < 5e-9);
    QVERIFY(std::fabs(o["e"].toDouble() - 24.292174) < 5e-7);
    QCOMPARE(o["lowerGap"].toDouble(), 5.0);
    QCOMPARE(o["upperSign"].toDouble(), -1.0);
    QCOMPARE(o["diagonalHalf"].toDouble(), 27.5);
    QCOMPARE(o["isGrashof"].toBool(true), false);
    QCOMPARE(o["label"].toString(), QStringLiteral("Non-Grashof Four-bar Linkage"));
    for (const char* key : {"cosA", "sinA", "cosB", "sinB", "cosC", "sinC", "cosF", "sinF", "cosH",
                            "sinH", "cosK", "sinK", "sinE", "upperGap", "lowerSign",
                            "diagonalMin", "diagonalMax", "cosJointGap", "sinJointGap"}) {
        QVERIFY2(o[key].isDouble(), key);
    }
    // Shortest round-trip form: the text reads back as the very same double.
    QVERIFY(run.out.contains("\"degToRad\": 0.017453292519943295"));
}

void TestExport::poseAtMinusHalfPi()
{
    const Run run = runExport({"pose", "--dims", "50,30,35,40,45,-35", "--t", "-1.5707963267948966"});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject o = QJsonDocument::fromJson(run.out).object();
    const QJsonArray p = o["P"].toArray();
    QCOMPARE(p.size(), 3);
    QVERIFY(std::fabs(p[0].toDouble() - 0.923327) < 5e-7);
    QVERIFY(std::fabs(p[1].toDouble() - -0.189726) < 5e-7);
    QVERIFY(std::fabs(p[2].toDouble() - 0.333873) < 5e-7);
    QVERIFY(std::fabs(o["diagonal"].toDouble() - 37.5) < 1e-12);
    QVERIFY(std::fabs(o["sinPsi"].toDouble() - -0.78536522) < 5e-9);
}

void TestExport::nonFiniteValuesPrintAsNull()
{
    const Run run = runExport({"pose", "--dims", "50,30,35,40,45,-35", "--t", "0"});
    QCOMPARE(run.exitCode, 0);
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(run.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QVERIFY(o["sinPhi"].isNull());
    QVERIFY(o["P"].toArray()[0].isNull());
    QVERIFY(o["A1"].toArray()[0].isDouble());
}

void TestExport::curve_data()
{
    QTest::addColumn<QString>("dims");
    QTest::addColumn<int>("rowsPerPass");
    QTest::addColumn<int>("firstJ");
    QTest::addColumn<double>("firstT");

    QTest::newRow("default") << "50,30,35,40,45,-35" << 361 << 0 << -6.283011;
    QTest::newRow("grashof") << "20,50,45,40,45,-35" << 361 << 0 << -6.300813;
    QTest::newRow("symmetric") << "40,30,30,40,45,-35" << 357 << 2 << -6.265809;
}

void TestExport::curve()
{
    QFETCH(QString, dims);
    QFETCH(int, rowsPerPass);
    QFETCH(int, firstJ);
    QFETCH(double, firstT);

    const Run run = runExport({"curve", "--dims", dims});
    QCOMPARE(run.exitCode, 0);
    const QList<QByteArray> rows = csvRows(run.out);
    QCOMPARE(rows.first(), QByteArray("pass,j,t,x,y,z"));
    QCOMPARE(rows.size(), 1 + 2 * rowsPerPass);
    const QList<QByteArray> first = rows[1].split(',');
    QCOMPARE(first.size(), 6);
    QCOMPARE(first[0], QByteArray("1"));
    QCOMPARE(first[1].toInt(), firstJ);
    QVERIFY(std::fabs(first[2].toDouble() - firstT) < 1e-6);
    QCOMPARE(rows[1 + rowsPerPass].split(',')[0], QByteArray("2"));
}

void TestExport::framesOfASymmetricLinkage()
{
    const Run run = runExport({"frames", "--dims", "40,30,30,40,45,-35"});
    QCOMPARE(run.exitCode, 0);
    const QList<QByteArray> rows = csvRows(run.out);
    QCOMPARE(rows.first(), QByteArray("frame,t,A1x,A1y,A1z,B1x,B1y,B1z,Px,Py,Pz"));
    QCOMPARE(rows.size(), 361);
    // Frame 1 is derived inside the paint (sign product +1), the others by the ticks (-1).
    QVERIFY(std::fabs(rows[1].split(',')[1].toDouble() - -6.265844) < 1e-6);
    const double t2 = rows[2].split(',')[1].toDouble();
    QVERIFY(std::fabs(t2 - (-6.248216 + 0.0348823)) < 1e-6);
    QCOMPARE(rows[360].split(',')[0], QByteArray("360"));
    for (const QByteArray& row : rows.mid(1)) {
        QCOMPARE(row.split(',').size(), 11);
    }
}

void TestExport::analyse_data()
{
    QTest::addColumn<QString>("dims");
    QTest::addColumn<QJsonValue>("type");
    QTest::addColumn<QJsonValue>("grashof");
    QTest::addColumn<QString>("reasonPart");

    QTest::newRow("Chiang's crank-rocker, labelled Non-Grashof")
        << "160,105,120,100,45,-35" << QJsonValue("crank-rocker") << QJsonValue(true) << "planar rule";
    QTest::newRow("default") << "50,30,35,40,45,-35" << QJsonValue("non-Grashof double-rocker (0-0)")
                             << QJsonValue(false) << "condition fails";
    QTest::newRow("link out of range") << "200,30,35,40,45,-35" << QJsonValue() << QJsonValue()
                                       << "No type: the input a = 200\u00b0";
}

void TestExport::analyse()
{
    QFETCH(QString, dims);
    QFETCH(QJsonValue, type);
    QFETCH(QJsonValue, grashof);
    QFETCH(QString, reasonPart);
    const Run run = runExport({"analyse", "--dims", dims});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.isEmpty());
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(run.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(o["type"], type);
    QCOMPARE(o["grashof"], grashof);
    QVERIFY2(o["reason"].toString().contains(reasonPart), qPrintable(o["reason"].toString()));
    for (const char* key : {"changePoint", "inputRotates", "outputRotates"}) {
        QVERIFY(o[key].isBool());
    }
    QCOMPARE(o["T"].toArray().size(), 4);
    QVERIFY(o["inputLimits"].isArray() && o["outputLimits"].isArray());
    QCOMPARE(o["transmission"].toArray().size(), 2);
    if (type == QJsonValue("crank-rocker")) {
        // Chiang: T = (-45, -75, -35, -125); the output rocks, the input turns.
        QCOMPARE(o["T"].toArray()[0].toDouble(), -45.0);
        QCOMPARE(o["T"].toArray()[3].toDouble(), -125.0);
        QVERIFY(o["inputRotates"].toBool() && !o["outputRotates"].toBool());
        QCOMPARE(o["outputLimits"].toArray().size(), 2);
        const QJsonArray limits = o["outputLimits"].toArray();
        QVERIFY(std::fabs(o["swing"].toDouble() - (limits[1].toDouble() - limits[0].toDouble())) < 1e-9);
        QVERIFY(o["timeRatio"].toDouble() >= 1.0);
    } else {
        QVERIFY(o["swing"].isNull() && o["timeRatio"].isNull());
    }
}

// The angle table solves the same 360 poses as the frames table: the joints rebuilt from its
// angles are the joints listed there.
void TestExport::anglesFollowTheFrames()
{
    const QString dims = QStringLiteral("50,30,35,40,45,-35");
    const Run angles = runExport({"angles", "--dims", dims});
    const Run frames = runExport({"frames", "--dims", dims});
    QCOMPARE(angles.exitCode, 0);
    QVERIFY(angles.err.isEmpty());
    const QList<QByteArray> rows = csvRows(angles.out);
    const QList<QByteArray> poses = csvRows(frames.out);
    QCOMPARE(rows.first(), QByteArray("frame,t,input,output,transmission,branch"));
    QCOMPARE(rows.size(), 361);
    const double rad = std::numbers::pi / 180.0;
    for (int i = 1; i <= 360; ++i) {
        const QList<QByteArray> row = rows[i].split(',');
        const QList<QByteArray> pose = poses[i].split(',');
        QCOMPARE(row.size(), 6);
        QCOMPARE(row[0].toInt(), i);
        QCOMPARE(row[1], pose[1]); // the same sweep parameter, to the last digit
        const double theta = row[2].toDouble() * rad;
        // A1 = (cos a, sin a cos theta, sin a sin theta) with a = 50.
        QVERIFY(std::fabs(std::sin(50 * rad) * std::cos(theta) - pose[3].toDouble()) < 1e-9);
        QVERIFY(std::fabs(std::sin(50 * rad) * std::sin(theta) - pose[4].toDouble()) < 1e-9);
        // B1.z = sin b sin psi with b = 30.
        QVERIFY(std::fabs(std::sin(30 * rad) * std::sin(row[3].toDouble() * rad) - pose[7].toDouble()) < 1e-9);
        QVERIFY(row[5] == "1" || row[5] == "2");
    }
}

void TestExport::badInput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("mentions");

    QTest::newRow("no command") << QStringList{} << "command";
    QTest::newRow("unknown command") << QStringList{"draw", "--dims", "1,2,3,4,5,6"} << "unknown command";
    QTest::newRow("missing dims") << QStringList{"model"} << "--dims";
    QTest::newRow("five dims") << QStringList{"model", "--dims", "50,30,35,40,45"} << "six";
    QTest::newRow("seven dims") << QStringList{"model", "--dims", "50,30,35,40,45,-35,1"} << "six";
    QTest::newRow("letters") << QStringList{"model", "--dims", "50,30,abc,40,45,-35"} << "c = 'abc'";
    QTest::newRow("trailing junk") << QStringList{"curve", "--dims", "50,30,35,40,45,-35x"} << "k = ";
    QTest::newRow("empty dim") << QStringList{"model", "--dims", "50,,35,40,45,-35"} << "b = ''";
    QTest::newRow("inf") << QStringList{"model", "--dims", "inf,30,35,40,45,-35"} << "a = 'inf'";
    QTest::newRow("overflow") << QStringList{"model", "--dims", "1e999,30,35,40,45,-35"} << "a = ";
    QTest::newRow("hex") << QStringList{"model", "--dims", "0x10,30,35,40,45,-35"} << "a = ";
    QTest::newRow("unknown option") << QStringList{"model", "--dims", "1,2,3,4,5,6", "--bogus"} << "bogus";
    QTest::newRow("t on model") << QStringList{"model", "--dims", "1,2,3,4,5,6", "--t", "1"} << "t";
    QTest::newRow("missing t") << QStringList{"pose", "--dims", "50,30,35,40,45,-35"} << "--t";
    QTest::newRow("t not a number") << QStringList{"pose", "--dims", "50,30,35,40,45,-35", "--t", "pi"} << "--t 'pi'";
    QTest::newRow("dims without value") << QStringList{"model", "--dims"} << "dims";
    QTest::newRow("stray argument") << QStringList{"frames", "--dims", "1,2,3,4,5,6", "extra"} << "extra";
    QTest::newRow("analyse without dims") << QStringList{"analyse"} << "analyse needs --dims";
    QTest::newRow("analyse with letters") << QStringList{"analyse", "--dims", "50,x,35,40,45,-35"} << "b = 'x'";
    QTest::newRow("angles with t") << QStringList{"angles", "--dims", "1,2,3,4,5,6", "--t", "1"} << "t";
}

void TestExport::badInput()
{
    QFETCH(QStringList, args);
    QFETCH(QString, mentions);
    const Run run = runExport(args);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.out.isEmpty(), run.out.constData());
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY(run.err.endsWith('\n'));
    QVERIFY2(QString::fromUtf8(run.err).contains(mentions), run.err.constData());
}

void TestExport::helpAndVersion()
{
    const Run help = runExport({"--help"});
    QCOMPARE(help.exitCode, 0);
    for (const char* command : {"model", "pose", "curve", "frames", "analyse", "angles", "plot"}) {
        QVERIFY(help.out.contains(QByteArray("cyclar-export ") + command + " --dims"));
    }
    const Run version = runExport({"--version"});
    QCOMPARE(version.exitCode, 0);
    QVERIFY(version.out.contains("1.0.0.1"));
    // Negative numbers right after --dims are values, not options.
    const Run negative = runExport({"model", "--dims", "-50,30,35,40,45,-35"});
    QCOMPARE(negative.exitCode, 0);
}

void TestExport::pngOfTheDefaultLinkage()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.png"));
    const Run run = runExport({"png", "--dims", "50,30,35,40,45,-35", "-o", path});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.isEmpty(), run.err.constData());
    const QImage picture(path);
    QCOMPARE(picture.size(), QSize(480, 480));
    QCOMPARE(picture.pixelColor(24, 240), QColor(0, 150, 0)); // the outline's left edge
    bool hasLabel = false;
    bool hasCurve = false;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 480; ++x) {
            const QColor c = picture.pixelColor(x, y);
            hasLabel = hasLabel || (y < 24 && c == QColor(0, 180, 60));
            hasCurve = hasCurve || c == QColor(255, 0, 0);
        }
    }
    QVERIFY(hasLabel && hasCurve);
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).size() == 1); // no temporary left behind

    // Another frame and view give another picture.
    const Run turned = runExport({"png", "--dims", "50,30,35,40,45,-35", "--frame", "90",
                                  "--turn", "0", "--tilt", "0", "-o", path});
    QCOMPARE(turned.exitCode, 0);
    QVERIFY(QImage(path) != picture);
}

void TestExport::plotPutsTheCurvesWhereTheAngleTableDoes_data()
{
    QTest::addColumn<QString>("dims");
    QTest::newRow("default") << "50,30,35,40,45,-35";
    QTest::newRow("crank-rocker") << "20,50,45,40,45,-35";
    QTest::newRow("double-crank") << "40,45,50,20,45,-35";
}

// Each frame's (input, output) and (input, transmission) from the angle table lies on a curve of
// the exported chart: a pixel of the curve's colour within two pixels. Dashes leave gaps on
// branch 2, and where two curves cross the output is drawn over the transmission.
void TestExport::plotPutsTheCurvesWhereTheAngleTableDoes()
{
    QFETCH(QString, dims);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.png"));
    const Run plot = runExport({"plot", "--dims", dims, "--frame", "90", "-o", path});
    QCOMPARE(plot.exitCode, 0);
    QVERIFY(plot.out.isEmpty() && plot.err.isEmpty());
    const QImage chart(path);
    QCOMPARE(chart.size(), cyclar::analysisChartSize);
    const cyclar::AnalysisChartGeometry geometry(chart.size());
    const auto near = [&chart](QPointF at, auto isColour) {
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx) {
                const QPoint p = at.toPoint() + QPoint(dx, dy);
                if (chart.rect().contains(p) && isColour(chart.pixel(p))) {
                    return true;
                }
            }
        }
        return false;
    };
    const auto blue = [](QRgb c) { return qBlue(c) > qRed(c) + 80 && qBlue(c) > qGreen(c) + 40; };
    const auto orange = [](QRgb c) { return qRed(c) > qBlue(c) + 80 && qRed(c) > qGreen(c) + 30; };
    const auto marker = [](QRgb c) { return qRed(c) > 170 && qGreen(c) < 60 && qBlue(c) < 90; };

    const Run angles = runExport({"angles", "--dims", dims});
    const QList<QByteArray> rows = csvRows(angles.out).mid(1);
    QCOMPARE(rows.size(), 360);
    int psiFound = 0, muFound = 0;
    for (const QByteArray& line : rows) {
        const QList<QByteArray> row = line.split(',');
        const double theta = row[2].toDouble(), psi = row[3].toDouble(), mu = row[4].toDouble();
        const QPointF psiAt = geometry.point(theta, psi), muAt = geometry.point(theta, mu);
        if (row[0] == "90") {
            QVERIFY(marker(chart.pixel(psiAt.toPoint())) && marker(chart.pixel(muAt.toPoint())));
            continue;
        }
        psiFound += near(psiAt, blue);
        muFound += near(muAt, orange) || near(muAt, blue);
    }
    QCOMPARE(muFound, 359);
    QVERIFY2(psiFound >= 359 * 9 / 10, qPrintable(QString::number(psiFound)));
}

void TestExport::pngBadValuesLeaveNoFile_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("mentions");

    QTest::newRow("frame 0") << QStringLiteral("png") << QStringList{"--frame", "0"} << "--frame";
    QTest::newRow("frame 361") << QStringLiteral("png") << QStringList{"--frame", "361"} << "--frame";
    QTest::newRow("frame 1.5") << QStringLiteral("png") << QStringList{"--frame", "1.5"} << "--frame";
    QTest::newRow("turn 91") << QStringLiteral("png") << QStringList{"--turn", "91"} << "--turn";
    QTest::newRow("tilt -91") << QStringLiteral("png") << QStringList{"--tilt", "-91"} << "--tilt";
    QTest::newRow("tilt letters") << QStringLiteral("png") << QStringList{"--tilt", "up"} << "--tilt";
    QTest::newRow("bad dims") << QStringLiteral("png") << QStringList{"--dims", "1,2,3"} << "six";
    QTest::newRow("unwritable folder") << QStringLiteral("png") << QStringList{"-o", "/nonexistent/folder/f.png"} << "could not write";
    QTest::newRow("plot frame 0") << QStringLiteral("plot") << QStringList{"--frame", "0"} << "--frame";
    QTest::newRow("plot has no view") << QStringLiteral("plot") << QStringList{"--turn", "10"} << "turn";
    QTest::newRow("plot bad dims") << QStringLiteral("plot") << QStringList{"--dims", "1,2,x,4,5,6"} << "c = 'x'";
    QTest::newRow("plot to a jpg") << QStringLiteral("plot") << QStringList{"-o", "chart.jpg"} << "must end in .png";
    QTest::newRow("plot without a file") << QStringLiteral("plot") << QStringList{"-o", ""} << "plot needs -o";
}

void TestExport::pngBadValuesLeaveNoFile()
{
    QFETCH(QString, command);
    QFETCH(QStringList, options);
    QFETCH(QString, mentions);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.png"));
    QImage(8, 8, QImage::Format_RGB32).save(path); // a stale picture from an earlier run

    QStringList args{command};
    if (!options.contains(QStringLiteral("--dims"))) {
        args << "--dims" << "50,30,35,40,45,-35";
    }
    if (!options.contains(QStringLiteral("-o"))) {
        args << "-o" << path;
    }
    const Run run = runExport(args + options);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY2(QString::fromUtf8(run.err).contains(mentions), run.err.constData());
    if (!options.contains(QStringLiteral("-o"))) {
        QVERIFY2(!QFile::exists(path), "a stale picture was left in place");
    }
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
