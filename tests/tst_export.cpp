// Tests of cyclar-export as a user runs it: output formats, and one clear line for bad input.
#include "analysis_plot.h"
#include "picture_export.h"
#include "rate_plot.h"
#include "target_in_the_way.h"

#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
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

// The commands --help lists, each with its synopsis ("--dims A,B,C,F,H,K [--frame N] -o FILE.png").
QList<QPair<QString, QString>> helpCommands(const QByteArray& help)
{
    QList<QPair<QString, QString>> commands;
    const QString text = QString::fromUtf8(help);
    const qsizetype start = text.indexOf(QLatin1String("\nCommands:\n"));
    const qsizetype end = text.indexOf(QLatin1String("\n\n"), start + 1);
    static const QRegularExpression heading(QStringLiteral("^  ([a-z]+) +(--[a-z]+ .*)$"));
    for (const QString& line : text.mid(start, end - start).split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = heading.match(line);
        if (match.hasMatch()) {
            commands.append({match.captured(1), match.captured(2)});
        }
    }
    return commands;
}

// A task design answers with candidates.
constexpr const char* functionTask =
    R"({"format": "cyclar-task", "version": 1, "kind": "function", "pairs": [{"input": -30,
       "output": 7.1}, {"input": -10, "output": 66}, {"input": 15, "output": 151},
       {"input": 40, "output": 160.3}]})";

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
    void ratesFollowTheAngles_data();
    void ratesFollowTheAngles();
    void analyseGainsTheRateExtremes();
    void ratePlotPutsTheCurvesWhereTheRateTableDoes();
    void badInput_data();
    void badInput();
    void helpAndVersion();
    void manualPageDescribesEveryCommand();
    void pngOfTheDefaultLinkage();
    void plotPutsTheCurvesWhereTheAngleTableDoes_data();
    void plotPutsTheCurvesWhereTheAngleTableDoes();
    void failedExportsLeaveTheEarlierFileWhole_data();
    void failedExportsLeaveTheEarlierFileWhole();
    void fileGivesTheSameOutputAsDims_data();
    void fileGivesTheSameOutputAsDims();
    void fileViewIsTheDefault();
    void rotationAxisFromTheFileOrTheOption();
    void namesThatAreNotUtf8AndPipes();
    void answerThatCannotBeWritten_data();
    void answerThatCannotBeWritten();
    void targetsInTheWay_data();
    void targetsInTheWay();
    void badLinkageFiles_data();
    void badLinkageFiles();
    void gifFramesAreThePngs();
    void circuitAndPaceFromTheOptionsOrTheFile();
    void svgPointsLieOnThePngsPixels_data();
    void svgPointsLieOnThePngsPixels();
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
                            "sinH", "cosK", "sinK", "sinE", "upperGap", "lowerSign", "diagonalMin",
                            "diagonalMax", "cosJointGap", "sinJointGap"}) {
        QVERIFY2(o[key].isDouble(), key);
    }
    // Shortest round-trip form: the text reads back as the very same double.
    QVERIFY(run.out.contains("\"degToRad\": 0.017453292519943295"));
}

void TestExport::poseAtMinusHalfPi()
{
    const Run run =
        runExport({"pose", "--dims", "50,30,35,40,45,-35", "--t", "-1.5707963267948966"});
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
        << "160,105,120,100,45,-35" << QJsonValue("crank-rocker") << QJsonValue(true)
        << "planar rule";
    QTest::newRow("default") << "50,30,35,40,45,-35"
                             << QJsonValue("non-Grashof double-rocker (0-0)") << QJsonValue(false)
                             << "condition fails";
    QTest::newRow("change point, no Grashof value")
        << "40,30,20,50,45,-35" << QJsonValue("change-point") << QJsonValue() << "T1 = 0, so";
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
        QVERIFY(std::fabs(o["swing"].toDouble() - (limits[1].toDouble() - limits[0].toDouble()))
                < 1e-9);
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
        QVERIFY(
            std::fabs(std::sin(30 * rad) * std::sin(row[3].toDouble() * rad) - pose[7].toDouble())
            < 1e-9);
        QVERIFY(row[5] == "1" || row[5] == "2");
    }
}

void TestExport::ratesFollowTheAngles_data()
{
    QTest::addColumn<QString>("dims");
    QTest::newRow("non-Grashof, both branches") << "50,30,35,40,45,-35";
    QTest::newRow("crank-rocker") << "20,50,45,40,45,-35";
    QTest::newRow("Hooke's joint") << "90,90,90,60,30,10";
}

// The rate table lists the angle table's frames, and its rates agree with the angles of
// neighbouring frames: (psi(i+1) - psi(i-1)) / (theta(i+1) - theta(i-1)) approximates dpsi/dtheta.
void TestExport::ratesFollowTheAngles()
{
    QFETCH(QString, dims);
    const Run rates = runExport({"rates", "--dims", dims});
    const Run angles = runExport({"angles", "--dims", dims});
    QCOMPARE(rates.exitCode, 0);
    QVERIFY(rates.err.isEmpty());
    const QList<QByteArray> rows = csvRows(rates.out);
    const QList<QByteArray> angleRows = csvRows(angles.out);
    QCOMPARE(rows.first(),
             QByteArray("frame,t,input,output,branch,outputRate,outputAcceleration,couplerRate,"
                        "poleX,poleY,poleZ,pointSpeed,pointVx,pointVy,pointVz,pointAcceleration,"
                        "pointAx,pointAy,pointAz,mechanicalAdvantage"));
    QCOMPARE(rows.size(), 361);
    const auto field = [&rows](int i, int column) { return rows[i].split(',')[column].toDouble(); };
    int compared = 0;
    for (int i = 1; i <= 360; ++i) {
        const QList<QByteArray> row = rows[i].split(',');
        const QList<QByteArray> angle = angleRows[i].split(',');
        QCOMPARE(row.size(), 20);
        for (int column : {0, 1, 2, 3}) {
            QCOMPARE(row[column], angle[column]);
        }
        QCOMPARE(row[4], angle[5]);
        const double v[3] = {row[12].toDouble(), row[13].toDouble(), row[14].toDouble()};
        QVERIFY(std::fabs(std::hypot(v[0], v[1], v[2]) - row[11].toDouble()) < 1e-12);
        QVERIFY(std::fabs(row[5].toDouble() * row[19].toDouble() - 1) < 1e-12);
        QVERIFY(std::fabs(std::hypot(row[8].toDouble(), row[9].toDouble(), row[10].toDouble()) - 1)
                < 1e-12);
        if (i == 1 || i == 360 || rows[i - 1].split(',')[4] != row[4]
            || rows[i + 1].split(',')[4] != row[4]) {
            continue;
        }
        const double dTheta = std::remainder(field(i + 1, 2) - field(i - 1, 2), 360.0);
        const double dPsi = std::remainder(field(i + 1, 3) - field(i - 1, 3), 360.0);
        const double rate = row[5].toDouble();
        if (std::fabs(dTheta) < 0.2 || std::fabs(rate) > 5) {
            continue; // near a toggle the frames are too coarse for a difference
        }
        QVERIFY2(std::fabs(dPsi / dTheta - rate) < 0.02 * (1 + std::fabs(rate)),
                 rows[i].constData());
        ++compared;
    }
    QVERIFY(compared > 200);
}

// analyse keeps its keys and adds the extremes of the velocity ratio and of P's speed after them;
// an end unbounded at a toggle is null with the toggle's input angle and branch 0.
void TestExport::analyseGainsTheRateExtremes()
{
    const Run crank = runExport({"analyse", "--dims", "20,50,45,40,45,-35"});
    QCOMPARE(crank.exitCode, 0);
    QVERIFY(crank.out.indexOf("\"reason\"") < crank.out.indexOf("\"outputRateRange\""));
    const QJsonObject o = QJsonDocument::fromJson(crank.out).object();
    for (const char* key : {"outputRateRange", "outputRateAt", "outputRateBranch",
                            "pointSpeedRange", "pointSpeedAt", "pointSpeedBranch"}) {
        QCOMPARE(o[key].toArray().size(), 2);
        QVERIFY2(o[key].toArray()[0].isDouble() && o[key].toArray()[1].isDouble(), key);
    }
    const QJsonArray range = o["outputRateRange"].toArray();
    QVERIFY(range[0].toDouble() < 0 && range[1].toDouble() > 0);
    // The rate table's frames never beat the extremes.
    const QList<QByteArray> rows =
        csvRows(runExport({"rates", "--dims", "20,50,45,40,45,-35"}).out).mid(1);
    for (const QByteArray& row : rows) {
        const double rate = row.split(',')[5].toDouble();
        QVERIFY(rate >= range[0].toDouble() - 1e-12 && rate <= range[1].toDouble() + 1e-12);
        QVERIFY(row.split(',')[11].toDouble()
                <= o["pointSpeedRange"].toArray()[1].toDouble() + 1e-12);
    }

    const QJsonObject rocker =
        QJsonDocument::fromJson(runExport({"analyse", "--dims", "50,30,35,40,45,-35"}).out)
            .object();
    QVERIFY(rocker["outputRateRange"].toArray()[0].isNull()
            && rocker["outputRateRange"].toArray()[1].isNull());
    QCOMPARE(rocker["outputRateAt"].toArray()[1].toDouble(),
             rocker["inputLimits"].toArray()[0].toDouble());
    QCOMPARE(rocker["outputRateBranch"].toArray()[0].toDouble(), 0.0);
}

// Each frame's (input, dpsi/dtheta) and (input, speed) lies on the rate chart's curves, and
// --frame puts the markers there.
void TestExport::ratePlotPutsTheCurvesWhereTheRateTableDoes()
{
    const QString dims = QStringLiteral("20,50,45,40,45,-35");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rates.png"));
    const Run plot = runExport({"plot", "--rates", "--dims", dims, "--frame", "100", "-o", path});
    QCOMPARE(plot.exitCode, 0);
    QVERIFY(plot.out.isEmpty() && plot.err.isEmpty());
    const QImage chart(path);
    QCOMPARE(chart.size(), cyclar::analysisChartSize);
    const cyclar::RateChartGeometry geometry(cyclar::LinkageDimensions{20, 50, 45, 40, 45, -35},
                                             chart.size());
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
    const auto green = [](QRgb c) { return qGreen(c) > qRed(c) + 60 && qGreen(c) > qBlue(c) + 20; };
    const auto marker = [](QRgb c) { return qRed(c) > 170 && qGreen(c) < 60 && qBlue(c) < 90; };
    const QList<QByteArray> rows = csvRows(runExport({"rates", "--dims", dims}).out).mid(1);
    int ratioFound = 0, speedFound = 0;
    for (const QByteArray& line : rows) {
        const QList<QByteArray> row = line.split(',');
        const QPointF ratioAt = geometry.point(row[2].toDouble(), row[5].toDouble());
        const QPointF speedAt = geometry.point(row[2].toDouble(), row[11].toDouble());
        if (row[0] == "100") {
            QVERIFY(marker(chart.pixel(ratioAt.toPoint()))
                    && marker(chart.pixel(speedAt.toPoint())));
            continue;
        }
        ratioFound += near(ratioAt, blue);
        speedFound += near(speedAt, green) || near(speedAt, blue);
    }
    QVERIFY2(ratioFound >= 359 * 9 / 10, qPrintable(QString::number(ratioFound)));
    QVERIFY2(speedFound >= 359 * 9 / 10, qPrintable(QString::number(speedFound)));
}

void TestExport::badInput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("mentions");

    QTest::newRow("no command") << QStringList{} << "command";
    QTest::newRow("unknown command")
        << QStringList{"draw", "--dims", "1,2,3,4,5,6"} << "unknown command";
    QTest::newRow("missing dims") << QStringList{"model"} << "--dims";
    QTest::newRow("five dims") << QStringList{"model", "--dims", "50,30,35,40,45"} << "six";
    QTest::newRow("seven dims") << QStringList{"model", "--dims", "50,30,35,40,45,-35,1"} << "six";
    QTest::newRow("letters") << QStringList{"model", "--dims", "50,30,abc,40,45,-35"}
                             << "c = 'abc'";
    QTest::newRow("trailing junk")
        << QStringList{"curve", "--dims", "50,30,35,40,45,-35x"} << "k = ";
    QTest::newRow("empty dim") << QStringList{"model", "--dims", "50,,35,40,45,-35"} << "b = ''";
    QTest::newRow("inf") << QStringList{"model", "--dims", "inf,30,35,40,45,-35"} << "a = 'inf'";
    QTest::newRow("overflow") << QStringList{"model", "--dims", "1e999,30,35,40,45,-35"} << "a = ";
    QTest::newRow("hex") << QStringList{"model", "--dims", "0x10,30,35,40,45,-35"} << "a = ";
    QTest::newRow("unknown option")
        << QStringList{"model", "--dims", "1,2,3,4,5,6", "--bogus"} << "bogus";
    QTest::newRow("t on model") << QStringList{"model", "--dims", "1,2,3,4,5,6", "--t", "1"} << "t";
    QTest::newRow("missing t") << QStringList{"pose", "--dims", "50,30,35,40,45,-35"} << "--t";
    QTest::newRow("t not a number")
        << QStringList{"pose", "--dims", "50,30,35,40,45,-35", "--t", "pi"} << "--t 'pi'";
    QTest::newRow("dims without value") << QStringList{"model", "--dims"} << "dims";
    QTest::newRow("stray argument")
        << QStringList{"frames", "--dims", "1,2,3,4,5,6", "extra"} << "extra";
    QTest::newRow("analyse without dims") << QStringList{"analyse"} << "analyse needs --dims";
    QTest::newRow("analyse with letters")
        << QStringList{"analyse", "--dims", "50,x,35,40,45,-35"} << "b = 'x'";
    QTest::newRow("angles with t")
        << QStringList{"angles", "--dims", "1,2,3,4,5,6", "--t", "1"} << "t";
    QTest::newRow("scale 5") << QStringList{"png", "--dims", "1,2,3,4,5,6", "--scale",
                                            "5",   "-o",     "x.png"}
                             << "--scale '5'";
    QTest::newRow("scale 0") << QStringList{"png", "--dims", "1,2,3,4,5,6", "--scale",
                                            "0",   "-o",     "x.png"}
                             << "from 1 to 4";
    QTest::newRow("scale 1.5") << QStringList{"png", "--dims", "1,2,3,4,5,6", "--scale",
                                              "1.5", "-o",     "x.png"}
                               << "--scale '1.5'";
    QTest::newRow("scale on svg") << QStringList{"svg", "--dims", "1,2,3,4,5,6", "--scale",
                                                 "2",   "-o",     "x.svg"}
                                  << "scale";
    QTest::newRow("rates with frame")
        << QStringList{"rates", "--dims", "1,2,3,4,5,6", "--frame", "1"} << "frame";
    QTest::newRow("rates with letters")
        << QStringList{"rates", "--dims", "50,30,35,40,45,k"} << "k = 'k'";
    QTest::newRow("rates on a chart only")
        << QStringList{"rates", "--dims", "1,2,3,4,5,6", "--rates"} << "rates";
    QTest::newRow("circuit 3") << QStringList{"frames", "--dims", "20,50,45,40,45,-35", "--circuit",
                                              "3"}
                               << "--circuit '3' must be 1 or 2";
    QTest::newRow("circuit as a word")
        << QStringList{"angles", "--dims", "20,50,45,40,45,-35", "--circuit", "two"}
        << "--circuit 'two'";
    QTest::newRow("circuit 2 of one")
        << QStringList{"frames", "--dims", "50,30,35,40,45,-35", "--circuit", "2"}
        << "this linkage has one circuit only";
    QTest::newRow("circuit twice")
        << QStringList{"frames", "--dims", "20,50,45,40,45,-35", "--circuit", "1", "--circuit", "2"}
        << "more than once";
    QTest::newRow("circuit on curve")
        << QStringList{"curve", "--dims", "20,50,45,40,45,-35", "--circuit", "2"} << "circuit";
    QTest::newRow("even input on analyse")
        << QStringList{"analyse", "--dims", "20,50,45,40,45,-35", "--even-input"} << "even-input";
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
    for (const char* command : {"model", "pose", "curve", "frames", "analyse", "angles", "rates",
                                "plot", "png", "svg", "gif", "save"}) {
        QVERIFY2(help.out.contains(QByteArray("cyclar-export ") + command + " --"), command);
    }
    // Kites are drawn on the other branch for half the cycle, which pose does not follow.
    QVERIFY(help.out.contains("A kite (a = f, b = c)\n          draws the second half of its cycle "
                              "on the other assembly"));
    // A command's --help is that command's alone: its usage line, its text and its example.
    for (const auto& [name, synopsis] : helpCommands(help.out)) {
        const Run own = runExport({name, QStringLiteral("--help")});
        QCOMPARE(own.exitCode, 0);
        const QString text = QString::fromUtf8(own.out);
        QVERIFY2(
            text.startsWith(QStringLiteral("Usage: cyclar-export %1 %2\n").arg(name, synopsis)),
            qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Example: cyclar-export %1 ").arg(name)),
                 qPrintable(text));
        QVERIFY2(!text.contains(QLatin1String("Commands:")), qPrintable(name));
        QCOMPARE(text.count(QLatin1String("Example:")), 1);
    }
    const Run version = runExport({"--version"});
    QCOMPARE(version.exitCode, 0);
    QVERIFY(version.out.contains("1.0.0.1"));
    // Negative numbers right after --dims are values, not options.
    const Run negative = runExport({"model", "--dims", "-50,30,35,40,45,-35"});
    QCOMPARE(negative.exitCode, 0);
}

// The manual page's COMMANDS section must hold exactly the commands of --help, in its order, and
// each entry must name every option the command takes.
void TestExport::manualPageDescribesEveryCommand()
{
    QFile page(QStringLiteral(CYCLAR_EXPORT_MAN_PAGE));
    QVERIFY(page.open(QIODevice::ReadOnly | QIODevice::Text));
    QString roff = QString::fromUtf8(page.readAll());
    roff.replace(QLatin1String("\\-"), QLatin1String("-"));
    roff.replace(QLatin1String("\\fB"), QString()).replace(QLatin1String("\\fI"), QString());
    roff.replace(QLatin1String("\\fP"), QString()).replace(QLatin1String("\\fR"), QString());
    roff.replace(QLatin1String("\\ "), QLatin1String(" "));
    const qsizetype start = roff.indexOf(QLatin1String("\n.SH COMMANDS\n"));
    QVERIFY(start >= 0);
    const qsizetype end = roff.indexOf(QLatin1String("\n.SH "), start + 1);
    const QStringList lines = roff.mid(start, end - start).split(QLatin1Char('\n'));

    // Each entry starts with a tagged paragraph whose tag begins with the command's name.
    QStringList names;
    QStringList entries;
    static const QRegularExpression tag(QStringLiteral("^(?:\\.(?:B|BR|BI) \"?)?([a-z]+)\\b"));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch match = i > 0 && lines[i - 1] == QLatin1String(".TP")
                                                  ? tag.match(lines[i])
                                                  : QRegularExpressionMatch();
        if (match.hasMatch()) {
            names.append(match.captured(1));
            entries.append(QString());
        }
        if (!entries.isEmpty()) {
            entries.last() += lines[i] + QLatin1Char('\n');
        }
    }

    const Run help = runExport({"--help"});
    const QList<QPair<QString, QString>> commands = helpCommands(help.out);
    QStringList helpNames;
    for (const auto& [name, synopsis] : commands) {
        helpNames.append(name);
    }
    QVERIFY(helpNames.size() >= 11);
    QCOMPARE(names, helpNames);
    static const QRegularExpression optionWord(
        QStringLiteral("(?<![\\w-])(--?[a-z]+(?:-[a-z]+)*)"));
    for (qsizetype i = 0; i < commands.size(); ++i) {
        for (const QRegularExpressionMatch& option : optionWord.globalMatch(commands[i].second)) {
            if (option.captured(1) == QLatin1String("--dims")) {
                continue; // every command's, described once above the commands
            }
            const QRegularExpression named(QStringLiteral("(?<![\\w-])")
                                           + QRegularExpression::escape(option.captured(1))
                                           + QStringLiteral("(?![\\w-])"));
            QVERIFY2(
                entries[i].contains(named),
                qPrintable(commands[i].first + QLatin1String(" leaves out ") + option.captured(1)));
        }
    }
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
    const Run turned = runExport({"png", "--dims", "50,30,35,40,45,-35", "--frame", "90", "--turn",
                                  "0", "--tilt", "0", "-o", path});
    QCOMPARE(turned.exitCode, 0);
    QVERIFY(QImage(path) != picture);

    // --scale 3: the same picture at three times the pixels, the label's pixels as 3 x 3 blocks.
    const Run scaled =
        runExport({"png", "--dims", "50,30,35,40,45,-35", "--scale", "3", "-o", path});
    QCOMPARE(scaled.exitCode, 0);
    const QImage large(path);
    QCOMPARE(large.size(), QSize(1440, 1440));
    QCOMPARE(large.pixelColor(72, 720), QColor(0, 150, 0));
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 480; ++x) {
            const bool label = picture.pixelColor(x, y) == QColor(0, 180, 60);
            QCOMPARE(large.pixelColor(3 * x + 1, 3 * y + 1) == QColor(0, 180, 60), label);
        }
    }
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

void TestExport::failedExportsLeaveTheEarlierFileWhole_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("mentions");

    QTest::newRow("png frame 0") << "png" << QStringList{"--frame", "0"}
                                 << "--frame '0' must be a whole number from 1 to 360";
    QTest::newRow("png frame 361") << "png" << QStringList{"--frame", "361"} << "--frame";
    QTest::newRow("png frame 1.5") << "png" << QStringList{"--frame", "1.5"} << "--frame";
    QTest::newRow("png turn 91") << "png" << QStringList{"--turn", "91"} << "--turn";
    QTest::newRow("png tilt -91") << "png" << QStringList{"--tilt", "-91"} << "--tilt";
    QTest::newRow("png tilt letters") << "png" << QStringList{"--tilt", "up"} << "--tilt";
    QTest::newRow("png bad dims") << "png" << QStringList{"--dims", "1,2,3"} << "six";
    QTest::newRow("png unwritable folder")
        << "png" << QStringList{"-o", "/nonexistent/folder/f.png"} << "could not write";
    QTest::newRow("svg frame 0") << "svg" << QStringList{"--frame", "0"} << "--frame";
    QTest::newRow("svg speed") << "svg" << QStringList{"--speed", "50"} << "speed";
    QTest::newRow("gif speed 101") << "gif" << QStringList{"--speed", "101"} << "--speed";
    QTest::newRow("gif frame") << "gif" << QStringList{"--frame", "2"} << "frame";
    QTest::newRow("gif bad dims") << "gif" << QStringList{"--dims", "1,2,x,4,5,6"} << "c = 'x'";
    QTest::newRow("save turn -91") << "save" << QStringList{"--turn", "-91"} << "--turn";
    QTest::newRow("save speed 1.5") << "save" << QStringList{"--speed", "1.5"} << "--speed";
    QTest::newRow("save both sources") << "save" << QStringList{"--file", "x.cyclar"} << "not both";
    QTest::newRow("plot frame 0") << QStringLiteral("plot") << QStringList{"--frame", "0"}
                                  << "--frame '0' must be a whole number from 1 to 360";
    QTest::newRow("plot has no view")
        << QStringLiteral("plot") << QStringList{"--turn", "10"} << "turn";
    QTest::newRow("plot bad dims")
        << QStringLiteral("plot") << QStringList{"--dims", "1,2,x,4,5,6"} << "c = 'x'";
    QTest::newRow("plot to a jpg")
        << QStringLiteral("plot") << QStringList{"-o", "chart.jpg"} << "must end in .png";
    QTest::newRow("plot without a file")
        << QStringLiteral("plot") << QStringList{"-o", ""} << "plot needs -o";
}

void TestExport::failedExportsLeaveTheEarlierFileWhole()
{
    QFETCH(QString, command);
    QFETCH(QStringList, options);
    QFETCH(QString, mentions);
    QTemporaryDir dir;
    const QString suffix = command == QLatin1String("save")   ? QStringLiteral("cyclar")
                           : command == QLatin1String("plot") ? QStringLiteral("png")
                                                              : command;
    const QString path = dir.filePath(QStringLiteral("old.") + suffix);
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an earlier file, which must survive any failed run");
    }

    QStringList args{command};
    if (!options.contains(QStringLiteral("--dims"))) {
        args << "--dims"
             << "50,30,35,40,45,-35";
    }
    if (!options.contains(QStringLiteral("-o"))) {
        args << "-o" << path;
    }
    const Run run = runExport(args + options);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY2(QString::fromUtf8(run.err).contains(mentions), run.err.constData());
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("an earlier file, which must survive any failed run"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no temporary left behind
}

void TestExport::fileGivesTheSameOutputAsDims_data()
{
    QTest::addColumn<QStringList>("args");

    QTest::newRow("model") << QStringList{"model"};
    QTest::newRow("pose") << QStringList{"pose", "--t", "-2.5"};
    QTest::newRow("curve") << QStringList{"curve"};
    QTest::newRow("frames") << QStringList{"frames"};
    QTest::newRow("rates") << QStringList{"rates"};
    QTest::newRow("png") << QStringList{"png", "--frame", "77",  "--turn",
                                        "30",  "--tilt",  "-60", "-o"};
    QTest::newRow("svg") << QStringList{"svg", "--frame", "300", "--turn", "-5", "-o"};
}

void TestExport::fileGivesTheSameOutputAsDims()
{
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    const QString linkage = dir.filePath(QStringLiteral("l.cyclar"));
    // Seventeen-digit values: the file must carry every bit of them.
    const QString dims = QStringLiteral("50.000000000000007,30.1,35,40.333333333333336,45,-35");
    const Run saved = runExport({"save", "--dims", dims, "--speed", "70", "-o", linkage});
    QCOMPARE(saved.exitCode, 0);
    QVERIFY(saved.out.isEmpty() && saved.err.isEmpty());

    const QString picture = args.last() == QLatin1String("-o") ? args.first() : QString();
    QStringList withDims = args;
    QStringList withFile = args;
    if (!picture.isEmpty()) {
        withDims << dir.filePath(QStringLiteral("dims.") + picture);
        withFile << dir.filePath(QStringLiteral("file.") + picture);
    }
    const Run fromDims = runExport(withDims << "--dims" << dims);
    const Run fromFile = runExport(withFile << "--file" << linkage);
    QCOMPARE(fromDims.exitCode, 0);
    QCOMPARE(fromFile.exitCode, 0);
    QCOMPARE(fromFile.out, fromDims.out);
    if (!picture.isEmpty()) {
        QFile a(dir.filePath(QStringLiteral("dims.") + picture));
        QFile b(dir.filePath(QStringLiteral("file.") + picture));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        const QByteArray bytes = a.readAll();
        QVERIFY(bytes.size() > 1000);
        QCOMPARE(b.readAll(), bytes);
    }
}

void TestExport::fileViewIsTheDefault()
{
    QTemporaryDir dir;
    const QString linkage = dir.filePath(QStringLiteral("view.cyclar"));
    QCOMPARE(runExport({"save", "--dims", "50,30,35,40,45,-35", "--turn", "30", "--tilt", "10",
                        "-o", linkage})
                 .exitCode,
             0);
    const auto picture = [&](QStringList args) {
        const QString path = dir.filePath(QStringLiteral("p.png"));
        QFile::remove(path);
        const Run run = runExport(QStringList{"png", "-o", path} + args);
        return run.exitCode == 0 ? QImage(path) : QImage();
    };
    const QImage fromFile = picture({"--file", linkage});
    QVERIFY(!fromFile.isNull());
    QCOMPARE(fromFile, picture({"--dims", "50,30,35,40,45,-35", "--turn", "30", "--tilt", "10"}));
    // An angle given on the command line wins over the file's; the other stays the file's.
    QCOMPARE(picture({"--file", linkage, "--tilt", "-40"}),
             picture({"--dims", "50,30,35,40,45,-35", "--turn", "30", "--tilt", "-40"}));

    // save --file keeps what the file holds and takes the options given.
    const QString copy = dir.filePath(QStringLiteral("copy.cyclar"));
    QCOMPARE(runExport({"save", "--file", linkage, "--speed", "90", "-o", copy}).exitCode, 0);
    QFile file(copy);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(o["view"].toObject()["turn"].toInt(), 30);
    QCOMPARE(o["view"].toObject()["tilt"].toInt(), 10);
    QCOMPARE(o["speed"].toInt(), 90);
    QCOMPARE(o["dimensions"].toObject()["k"].toDouble(), -35.0);
}

void TestExport::rotationAxisFromTheFileOrTheOption()
{
    QTemporaryDir dir;
    const QString linkage = dir.filePath(QStringLiteral("axis.cyclar"));
    {
        QFile file(linkage);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"format": "cyclar-linkage", "version": 1, "dimensions": {"a": 50, "b": 30,)"
                   R"( "c": 35, "f": 40, "h": 45, "k": -35},)"
                   R"( "view": {"turn": 0, "tilt": 0, "rotationAxis": true}})");
    }
    const auto output = [&](const QString& command, QStringList args) {
        const QString path = dir.filePath(QStringLiteral("p.") + command);
        QFile::remove(path);
        const Run run = runExport(QStringList{command, "--frame", "90", "-o", path} + args);
        QFile file(path);
        return run.exitCode == 0 && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QStringList dims{"--dims", "50,30,35,40,45,-35", "--turn", "0", "--tilt", "0"};
    for (const QString& command : {QStringLiteral("png"), QStringLiteral("svg")}) {
        const QByteArray plain = output(command, dims);
        const QByteArray option = output(command, dims + QStringList{"--rotation-axis"});
        QVERIFY(!plain.isEmpty() && !option.isEmpty());
        QVERIFY2(option != plain, qPrintable(command));
        // The file's setting draws it as the option does.
        QCOMPARE(output(command, {"--file", linkage}), option);
    }
    // The picture is the core's, with the overlay on.
    cyclar::FramePalette on;
    on.rotationAxis = true;
    cyclar::SceneState scene = cyclar::newScene({50, 30, 35, 40, 45, -35}, 480);
    scene.view.turn = 0;
    scene.view.tilt = 0;
    QImage expected =
        cyclar::renderFramePicture(scene, 90, on).convertToFormat(QImage::Format_RGB32);
    QImage actual;
    QVERIFY(actual.loadFromData(output("png", dims + QStringList{"--rotation-axis"}), "PNG"));
    QCOMPARE(actual.convertToFormat(QImage::Format_RGB32), expected);
}

void TestExport::badLinkageFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("mentions");

    QTest::newRow("not JSON") << QByteArray("50,30,35,40,45,-35") << "is not JSON";
    QTest::newRow("newer") << QByteArray(R"({"format": "cyclar-linkage", "version": 7})")
                           << "made by a newer cyclar";
    QTest::newRow("folder") << QByteArray() << "is a folder";
}

void TestExport::badLinkageFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, mentions);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.cyclar"));
    if (bytes.isEmpty()) {
        QVERIFY(QDir().mkdir(path));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    for (const QString command : {"model", "frames", "png", "gif", "save"}) {
        QStringList args{command, "--file", path};
        if (command == QLatin1String("png") || command == QLatin1String("gif")) {
            args << "-o" << dir.filePath(QStringLiteral("out.") + command);
        }
        if (command == QLatin1String("save")) {
            args << "-o" << dir.filePath(QStringLiteral("out.cyclar"));
        }
        const Run run = runExport(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY2(run.err.contains(path.toUtf8()), run.err.constData()); // names the file
        QVERIFY2(QString::fromUtf8(run.err).contains(mentions), run.err.constData());
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), bytes.isEmpty() ? 0 : 1);
}

void TestExport::gifFramesAreThePngs()
{
    QTemporaryDir dir;
    // A symmetric linkage (its curve starts at index 2 from the first paint on), turned and
    // tilted, at the fastest steps but one: 100 ms a frame.
    const QStringList linkage{"--dims", "40,30,30,40,45,-35", "--turn", "10", "--tilt", "24"};
    const QString gif = dir.filePath(QStringLiteral("cycle.gif"));
    const Run run = runExport(QStringList{"gif", "--speed", "95", "-o", gif} + linkage);
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.isEmpty(), run.err.constData()); // no progress into a pipe

    QImageReader reader(gif);
    QVERIFY(reader.supportsAnimation());
    QCOMPARE(reader.imageCount(), 360);
    QCOMPARE(reader.loopCount(), -1); // forever
    const QList<int> probed{1, 2, 3, 137, 359, 360};
    for (int frame = 1; frame <= 360; ++frame) {
        const QImage image = reader.read().convertToFormat(QImage::Format_RGB32);
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.size(), QSize(480, 480));
        QCOMPARE(reader.nextImageDelay(), 100);
        if (!probed.contains(frame)) {
            continue;
        }
        const QString png = dir.filePath(QStringLiteral("f.png"));
        QCOMPARE(
            runExport(QStringList{"png", "--frame", QString::number(frame), "-o", png} + linkage)
                .exitCode,
            0);
        QVERIFY2(image == QImage(png).convertToFormat(QImage::Format_RGB32),
                 qPrintable(QStringLiteral("frame %1 differs from its png").arg(frame)));
    }

    // The default speed, 50, ticks every 166 ms: 17 hundredths of a second.
    const Run slow = runExport({"gif", "--dims", "50,30,35,40,45,-35", "-o", gif});
    QCOMPARE(slow.exitCode, 0);
    QImageReader slowReader(gif);
    QVERIFY(slowReader.read().isNull() == false);
    QCOMPARE(slowReader.nextImageDelay(), 170);
}

void TestExport::svgPointsLieOnThePngsPixels_data()
{
    QTest::addColumn<QStringList>("linkage");

    QTest::newRow("default, frame 90")
        << QStringList{"--dims", "50,30,35,40,45,-35", "--frame", "90"};
    QTest::newRow("grashof, turned") << QStringList{
        "--dims", "20,50,45,40,45,-35", "--frame", "200", "--turn", "40", "--tilt", "70"};
    QTest::newRow("symmetric, face on") << QStringList{
        "--dims", "40,30,30,40,45,-35", "--frame", "1", "--turn", "0", "--tilt", "0"};
}

void TestExport::svgPointsLieOnThePngsPixels()
{
    QFETCH(QStringList, linkage);
    QTemporaryDir dir;
    const QString svg = dir.filePath(QStringLiteral("f.svg"));
    const QString png = dir.filePath(QStringLiteral("f.png"));
    const Run run = runExport(QStringList{"svg", "-o", svg} + linkage);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.isEmpty(), run.err.constData());
    QCOMPARE(runExport(QStringList{"png", "-o", png} + linkage).exitCode, 0);
    const QImage picture = QImage(png).convertToFormat(QImage::Format_RGB32);

    // Layers in drawing order; a point may be covered by its own colour or a later layer's.
    const QList<QRgb> layers{qRgb(0, 150, 0), qRgb(255, 0, 0), qRgb(0, 0, 255)};
    const auto coveredAt = [&](QPointF point, int layer) {
        const int px = static_cast<int>(std::floor(point.x()));
        const int py = static_cast<int>(std::floor(point.y()));
        for (int y = py - 1; y <= py + 1; ++y) {
            for (int x = px - 1; x <= px + 1; ++x) {
                if (!picture.rect().contains(x, y)) {
                    continue;
                }
                const qsizetype found = layers.indexOf(picture.pixel(x, y) | 0xFF000000u);
                if (found >= layer) {
                    return true;
                }
            }
        }
        return false;
    };

    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QList<QPair<QString, QString>> groups; // stroke and width of the open groups
    QMap<QString, int> polylinesByPen;
    int points = 0;
    bool sawOutline = false;
    QString label;
    QString labelText;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("g")) {
            groups.removeLast();
        }
        if (!xml.isStartElement()) {
            continue;
        }
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == QLatin1String("g")) {
            groups.append({a.value("stroke").toString(), a.value("stroke-width").toString()});
        } else if (xml.name() == QLatin1String("polyline")) {
            const QString pen = groups.last().first + QLatin1Char('/') + groups.last().second;
            ++polylinesByPen[pen];
            const int layer = static_cast<int>(layers.indexOf(QColor(groups.last().first).rgb()));
            QVERIFY2(layer >= 0, qPrintable(pen));
            for (const QString& pair :
                 a.value("points").toString().split(' ', Qt::SkipEmptyParts)) {
                const QStringList xy = pair.split(',');
                QCOMPARE(xy.size(), 2);
                const QPointF point(xy[0].toDouble(), xy[1].toDouble());
                QVERIFY2(coveredAt(point, layer),
                         qPrintable(QStringLiteral("%1 at %2,%3 has no pixel of its own")
                                        .arg(pen, xy[0], xy[1])));
                ++points;
            }
        } else if (xml.name() == QLatin1String("ellipse")
                   || xml.name() == QLatin1String("circle")) {
            // The outline: a circle of 216 pixels about the centre pixel (240, 240).
            QCOMPARE(groups.last().first, QStringLiteral("#009600"));
            QCOMPARE(a.value("cx").toDouble(), 240.5);
            QCOMPARE(a.value("cy").toDouble(), 240.5);
            QCOMPARE(a.value(xml.name() == QLatin1String("circle") ? "r" : "rx").toDouble(), 216.0);
            sawOutline = true;
        } else if (xml.name() == QLatin1String("text")) {
            QFAIL("the label is text, which needs a font the machine may not have");
        } else if (xml.name() == QLatin1String("path")
                   && a.value("fill") == QLatin1String("#00b43c")) {
            // The label's pixels as rectangles "Mx yhWv1h-Wz", one per run of a row.
            label = a.value("d").toString();
        }
        if (xml.name() == QLatin1String("g") && a.hasAttribute("aria-label")) {
            labelText = a.value("aria-label").toString();
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(sawOutline);
    QVERIFY(labelText.endsWith(QLatin1String("Four-bar Linkage")));
    // The outlined label covers exactly the png's label pixels, so it looks the same anywhere.
    QImage outlined(picture.size(), QImage::Format_RGB32);
    outlined.fill(Qt::white);
    static const QRegularExpression pixelRun(
        QStringLiteral("M(-?\\d+) (-?\\d+)h(\\d+)v1h-(\\d+)z"));
    qsizetype matched = 0;
    for (auto it = pixelRun.globalMatch(label); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        matched += m.capturedLength();
        QCOMPARE(m.captured(3), m.captured(4));
        for (int i = 0; i < m.captured(3).toInt(); ++i) {
            outlined.setPixel(m.captured(1).toInt() + i, m.captured(2).toInt(), qRgb(0, 180, 60));
        }
    }
    QVERIFY(!label.isEmpty());
    QCOMPARE(matched, label.size());
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const bool ink = (picture.pixel(x, y) | 0xFF000000u) == qRgb(0, 180, 60);
            QVERIFY2(ink == (outlined.pixel(x, y) == qRgb(0, 180, 60)),
                     qPrintable(QStringLiteral("label pixel (%1, %2)").arg(x).arg(y)));
        }
    }
    // Pens: reference circles (green, 1), two curve passes (red, 2), five arcs (blue, 2; an arc
    // shorter than its gaps draws nothing) and six rings (blue, 1).
    QCOMPARE(polylinesByPen.value(QStringLiteral("#009600/1")), 1);
    QCOMPARE(polylinesByPen.value(QStringLiteral("#ff0000/2")), 2);
    QVERIFY(polylinesByPen.value(QStringLiteral("#0000ff/2")) >= 4);
    QCOMPARE(polylinesByPen.value(QStringLiteral("#0000ff/1")), 6);
    QVERIFY2(points > 1000, qPrintable(QString::number(points)));
}

void TestExport::namesThatAreNotUtf8AndPipes()
{
    // The name's byte 0xE9 (Latin-1 e acute) is made by the shell, so that it reaches the
    // program as the byte itself, as a file manager or a terminal would pass it.
    QTemporaryDir dir;
    const auto runInDir = [&](const QString& script) {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(QStringLiteral("/bin/sh"),
                      {QStringLiteral("-c"), script, QStringLiteral(CYCLAR_EXPORT_PATH)});
        if (!process.waitForFinished(20000)) { // a blocking read would end here
            process.kill();
            process.waitForFinished();
            return Run{};
        }
        return Run{process.exitCode(), process.readAllStandardOutput(),
                   process.readAllStandardError()};
    };
    const Run saved =
        runInDir(QStringLiteral("\"$0\" save --dims 20,50,45,40,45,-35 -o plain.cyclar && "
                                "mv plain.cyclar \"$(printf 'lin\\351aire.cyclar')\""));
    QCOMPARE(saved.exitCode, 0);
    const Run model =
        runInDir(QStringLiteral("exec \"$0\" model --file \"$(printf 'lin\\351aire.cyclar')\""));
    QCOMPARE(model.exitCode, 0);
    QCOMPARE(model.out, runExport({QStringLiteral("model"), QStringLiteral("--dims"),
                                   QStringLiteral("20,50,45,40,45,-35")})
                            .out);
    // save -o writes the very bytes it was given as the name.
    const Run named = runInDir(QStringLiteral(
        "\"$0\" save --dims 20,50,45,40,45,-35 -o \"$(printf 'lin\\351aire2.cyclar')\" && "
        "cmp \"$(printf 'lin\\351aire2.cyclar')\" \"$(printf 'lin\\351aire.cyclar')\""));
    QCOMPARE(named.exitCode, 0);
    // A missing one is named readably, its odd byte shown as \xE9.
    const Run missing =
        runInDir(QStringLiteral("exec \"$0\" model --file \"$(printf 'caf\\351.cyclar')\""));
    QCOMPARE(missing.exitCode, 2);
    QCOMPARE(missing.err, QByteArray("cyclar-export: 'caf\\xE9.cyclar' does not exist\n"));
    // A named pipe with nothing writing to it is refused at once.
    const Run pipe =
        runInDir(QStringLiteral("mkfifo p.cyclar && exec \"$0\" analyse --file p.cyclar"));
    QCOMPARE(pipe.exitCode, 2);
    QCOMPARE(pipe.err,
             QByteArray("cyclar-export: 'p.cyclar' is a named pipe, not a linkage file\n"));
}

// --circuit and --even-input reach every command that shows frames, and a file saved with them
// gives the same output as the options.
void TestExport::circuitAndPaceFromTheOptionsOrTheFile()
{
    const QStringList crankRocker{"--dims", "20,50,45,40,45,-35"};
    const auto branches = [](const QByteArray& angles) {
        QSet<QByteArray> seen;
        for (const QByteArray& row : csvRows(angles).mid(1)) {
            seen.insert(row.split(',').last());
        }
        return seen;
    };
    const Run first = runExport(QStringList{"angles"} + crankRocker);
    const Run second = runExport(QStringList{"angles", "--circuit", "2"} + crankRocker);
    QCOMPARE(first.exitCode, 0);
    QCOMPARE(second.exitCode, 0);
    // A crank-rocker's circuits are its two branches.
    QCOMPARE(branches(first.out), QSet<QByteArray>{"2"});
    QCOMPARE(branches(second.out), QSet<QByteArray>{"1"});

    const Run even = runExport(QStringList{"angles", "--even-input"} + crankRocker);
    QCOMPARE(even.exitCode, 0);
    const QList<QByteArray> rows = csvRows(even.out);
    QCOMPARE(rows.size(), 361);
    for (qsizetype i = 1; i + 1 < rows.size(); ++i) {
        const double step = std::remainder(
            rows[i + 1].split(',')[2].toDouble() - rows[i].split(',')[2].toDouble(), 360.0);
        QVERIFY2(std::fabs(std::fabs(step) - 2.0) < 1e-9, rows[i]);
    }

    QTemporaryDir dir;
    const QString linkage = dir.filePath(QStringLiteral("l.cyclar"));
    QCOMPARE(runExport(QStringList{"save", "--circuit", "2", "--even-input", "-o", linkage}
                       + crankRocker)
                 .exitCode,
             0);
    QFile saved(linkage);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();
    QVERIFY(text.contains("\"circuit\": 2") && text.contains("\"evenInput\": true"));
    for (const char* command : {"frames", "angles", "rates"}) {
        const Run fromFile = runExport({command, "--file", linkage});
        const Run fromOptions =
            runExport(QStringList{command, "--circuit", "2", "--even-input"} + crankRocker);
        QCOMPARE(fromFile.exitCode, 0);
        QCOMPARE(fromFile.out, fromOptions.out);
    }

    // The pictures: circuit 2's frame 181 is its frame 1 again, and not circuit 1's.
    const auto picture = [&](const QStringList& args) {
        const QString path = dir.filePath(QStringLiteral("p.png"));
        const Run run = runExport(QStringList{"png", "-o", path} + args + crankRocker);
        return run.exitCode == 0 ? QImage(path) : QImage();
    };
    const QImage circuit2 = picture({"--circuit", "2"});
    QVERIFY(!circuit2.isNull());
    QCOMPARE(picture({"--circuit", "2", "--frame", "181"}), circuit2);
    QVERIFY(picture({}) != circuit2);
    QCOMPARE(picture({"--frame", "1", "--circuit", "2", "--even-input"}),
             picture({"--frame", "181", "--circuit", "2", "--even-input"}));
}

// What every command prints, and its --help, written where nothing can be written: exit 1 and
// one line saying why, whatever the size of the answer (one that does not fit the stream's
// buffer fails in the write, a smaller one only in the flush).
void TestExport::answerThatCannotBeWritten_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("reason");

    const QString full = QStringLiteral(">/dev/full");
    const QString noSpace = QStringLiteral("No space left on device");
    const QString dims = QStringLiteral("--dims 50,30,35,40,45,-35");
    // The commands that print their answer, and what they need to print it.
    const QMap<QString, QString> printed{
        {QStringLiteral("model"), dims},
        {QStringLiteral("pose"), dims + QStringLiteral(" --t 1")},
        {QStringLiteral("curve"), dims},
        {QStringLiteral("frames"), dims},
        {QStringLiteral("analyse"), dims},
        {QStringLiteral("angles"), dims},
        {QStringLiteral("rates"), dims},
        {QStringLiteral("design"), QStringLiteral("--task task.cyclar-task")}};
    const QList<QPair<QString, QString>> commands = helpCommands(runExport({"--help"}).out);
    QVERIFY(commands.size() >= 13);
    for (const auto& [name, synopsis] : commands) {
        QTest::addRow("%s --help", qPrintable(name))
            << name + QStringLiteral(" --help") << full << noSpace;
        if (printed.contains(name)) {
            QTest::addRow("%s", qPrintable(name))
                << name + QLatin1Char(' ') + printed[name] << full << noSpace;
        }
    }
    QTest::newRow("--help") << QStringLiteral("--help") << full << noSpace;
    QTest::newRow("--version") << QStringLiteral("--version") << full << noSpace;
    QTest::newRow("model, closed") << QStringLiteral("model ") + dims << QStringLiteral(">&-")
                                   << QStringLiteral("Bad file descriptor");
    QTest::newRow("rates, closed") << QStringLiteral("rates ") + dims << QStringLiteral(">&-")
                                   << QStringLiteral("Bad file descriptor");
}

void TestExport::answerThatCannotBeWritten()
{
    QFETCH(QString, arguments);
    QFETCH(QString, output);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QFile task(dir.filePath(QStringLiteral("task.cyclar-task")));
    QVERIFY(task.open(QIODevice::WriteOnly));
    task.write(functionTask);
    task.close();
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), QStringLiteral("exec \"$0\" %1 %2").arg(arguments, output),
                   QStringLiteral(CYCLAR_EXPORT_PATH)});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(err,
             QStringLiteral("cyclar-export: could not write to standard output: %1\n").arg(reason));
    QCOMPARE(process.exitCode(), 1);
}

// A named pipe or a device at the path a command writes, or a file its user may not write, is
// refused with one line naming it and the reason, and is left as it was. (Root may write any
// file: tests/write_permissions.sh runs the read-only rows as another user.)
void TestExport::targetsInTheWay_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("target");
    const QList<QPair<QString, QString>> writers{{"save", "cyclar"}, {"png", "png"},
                                                 {"svg", "svg"},     {"gif", "gif"},
                                                 {"plot", "png"},    {"design", "cyclar"}};
    for (const auto& [command, suffix] : writers) {
        for (const QString& target : cyclar::test::targetsInTheWay) {
            QTest::addRow("%s, %s", qPrintable(command), qPrintable(target))
                << command << suffix << target;
        }
    }
}

void TestExport::targetsInTheWay()
{
    QFETCH(QString, command);
    QFETCH(QString, suffix);
    QFETCH(QString, target);
    if (cyclar::test::rootMayWrite(target)) {
        QSKIP("root may write any file; tests/write_permissions.sh runs this as another user");
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("target.") + suffix);
    const QString why = cyclar::test::placeTargetInTheWay(target, path);
    QVERIFY(!why.isEmpty());
    const QString task = dir.filePath(QStringLiteral("task.cyclar-task"));
    QFile file(task);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(functionTask) > 0);
    file.close();
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);

    const QStringList args = command == QLatin1String("design")
                                 ? QStringList{command, "--task", task, "--write", "1", path}
                                 : QStringList{command, "--dims", "50,30,35,40,45,-35", "-o", path};
    const Run run = runExport(args);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.err,
             QStringLiteral("cyclar-export: could not write '%1': %2\n").arg(path, why).toUtf8());
    QVERIFY(run.out.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
    QVERIFY(cyclar::test::targetLeftAsItWas(target, path));
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
