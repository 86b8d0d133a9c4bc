// Tests of cyclar-export design as a user runs it: the candidates as JSON, one saved as a
// linkage file, and one line with exit code 2 for a task that cannot be designed for.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

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
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

} // namespace

class TestDesignCommand : public QObject {
    Q_OBJECT

private slots:
    void designPrintsCandidatesAndWritesOne();
    void functionCandidatesGiveTheirErrors();
    void mapPrintsTheCurves();
    void designRefusesBadTasks_data();
    void designRefusesBadTasks();
};

// A motion task taken off the starting linkage (its pivots given): the JSON the issue's shape
// asks for, the first candidate usable, and --write saving it as a linkage file.
void TestDesignCommand::designPrintsCandidatesAndWritesOne()
{
    QTemporaryDir dir;
    const QString task = dir.filePath(QStringLiteral("task.cyclar-task"));
    QFile file(task);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"format": "cyclar-task", "version": 1, "kind": "motion",
 "positions": [{"longitude": 84, "latitude": 19.7, "heading": -127.5},
               {"longitude": 90.5, "latitude": -19.3, "heading": -113.6},
               {"longitude": 76.8, "latitude": -39.5, "heading": -123.4}],
 "fixedPivots": [{"longitude": 0, "latitude": 0}, {"longitude": 40, "latitude": 0}]})");
    file.close();
    const QString saved = dir.filePath(QStringLiteral("design.cyclar"));
    const Run run = runExport({QStringLiteral("design"), QStringLiteral("--task"), task,
                               QStringLiteral("--write"), QStringLiteral("2"), saved});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.isEmpty());
    const QJsonObject json = QJsonDocument::fromJson(run.out).object();
    QCOMPARE(json.value(QStringLiteral("kind")).toString(), QStringLiteral("motion"));
    QVERIFY(json.value(QStringLiteral("reason")).isNull());
    const QJsonArray candidates = json.value(QStringLiteral("candidates")).toArray();
    QCOMPARE(candidates.size(), 8);
    const QJsonObject second = candidates.at(1).toObject();
    QCOMPARE(second.keys(), (QStringList{"defects", "dims", "mechanism", "placement", "positions",
                                         "transmission", "type"}));
    // One physical mechanism: its eight variants (either pivot driving, each moving joint at
    // either end of its axis) share its number.
    for (const QJsonValue& c : candidates) {
        QCOMPARE(c.toObject().value(QStringLiteral("mechanism")).toInt(), 1);
    }
    QVERIFY(second.value(QStringLiteral("defects")).toArray().isEmpty());
    const QJsonObject dims = second.value(QStringLiteral("dims")).toObject();
    QVERIFY(dims.value(QStringLiteral("a")).toDouble() > 0.0);
    QCOMPARE(second.value(QStringLiteral("placement")).toArray().size(), 3);
    QCOMPARE(second.value(QStringLiteral("positions")).toArray().size(), 3);
    QVERIFY(second.value(QStringLiteral("positions"))
                .toArray()
                .at(0)
                .toObject()
                .contains(QStringLiteral("branch")));
    QFile written(saved);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QJsonObject linkage = QJsonDocument::fromJson(written.readAll()).object();
    QCOMPARE(linkage.value(QStringLiteral("format")).toString(), QStringLiteral("cyclar-linkage"));
}

// A function task's candidate says how far it misses, in degrees, beside the motion keys.
void TestDesignCommand::functionCandidatesGiveTheirErrors()
{
    QTemporaryDir dir;
    const QString task = dir.filePath(QStringLiteral("function.cyclar-task"));
    QFile file(task);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"format": "cyclar-task", "version": 1, "kind": "function",
 "pairs": [{"input": -40, "output": 3}, {"input": -30, "output": 7.1}, {"input": -10, "output": 66},
           {"input": 15, "output": 151}, {"input": 40, "output": 160.3}]})");
    file.close();
    const Run run = runExport({QStringLiteral("design"), QStringLiteral("--task"), task});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject json = QJsonDocument::fromJson(run.out).object();
    const QJsonObject first = json.value(QStringLiteral("candidates")).toArray().at(0).toObject();
    QVERIFY(first.contains(QStringLiteral("mechanism")));
    const double rms = first.value(QStringLiteral("rmsError")).toDouble(-1.0);
    const double most = first.value(QStringLiteral("maxError")).toDouble(-1.0);
    QVERIFY(rms > 0.0 && rms <= most);
    QVERIFY(json.value(QStringLiteral("reason")).toString().contains(QStringLiteral("degrees")));
}

namespace {

// A position's body frame: its point, its heading (cos h north + sin h east) and their cross
// product, as the columns of a rotation; worked out here from the task file's own words.
std::array<std::array<double, 3>, 3> bodyFrame(const QJsonObject& position)
{
    constexpr double rad = 3.14159265358979323846 / 180.0;
    const double lon = position.value(QStringLiteral("longitude")).toDouble() * rad;
    const double lat = position.value(QStringLiteral("latitude")).toDouble() * rad;
    const double head = position.value(QStringLiteral("heading")).toDouble() * rad;
    const double p[3] = {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon),
                         std::sin(lat)};
    const double north[3] = {-std::sin(lat) * std::cos(lon), -std::sin(lat) * std::sin(lon),
                             std::cos(lat)};
    const double east[3] = {-std::sin(lon), std::cos(lon), 0.0};
    double u[3];
    for (int i = 0; i < 3; ++i) {
        u[i] = std::cos(head) * north[i] + std::sin(head) * east[i];
    }
    const double w[3] = {p[1] * u[2] - p[2] * u[1], p[2] * u[0] - p[0] * u[2],
                         p[0] * u[1] - p[1] * u[0]};
    std::array<std::array<double, 3>, 3> r{};
    for (int i = 0; i < 3; ++i) {
        r[i] = {p[i], u[i], w[i]};
    }
    return r;
}

} // namespace

// --map: the curves as {"centrePoints", "circlePoints", "parameter"}, point i of each list one
// dyad: the circle point carried with the body from the first position to each other keeps one
// arc from its centre point.
void TestDesignCommand::mapPrintsTheCurves()
{
    QTemporaryDir dir;
    const QString task = dir.filePath(QStringLiteral("four.cyclar-task"));
    QFile file(task);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QByteArray text = R"({"format": "cyclar-task", "version": 1, "kind": "motion",
 "positions": [{"longitude": 75.4, "latitude": -39.9, "heading": -123.7},
               {"longitude": 89.2, "latitude": -25.9, "heading": -115.9},
               {"longitude": 88.9, "latitude": 4.9, "heading": -117.3},
               {"longitude": 16, "latitude": 41.4, "heading": 129.2}]})";
    file.write(text);
    file.close();
    const Run run = runExport(
        {QStringLiteral("design"), QStringLiteral("--task"), task, QStringLiteral("--map")});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject json = QJsonDocument::fromJson(run.out).object();
    QCOMPARE(json.keys(), (QStringList{"centrePoints", "circlePoints", "parameter"}));
    const QJsonArray centres = json.value(QStringLiteral("centrePoints")).toArray();
    const QJsonArray circles = json.value(QStringLiteral("circlePoints")).toArray();
    const QJsonArray parameter = json.value(QStringLiteral("parameter")).toArray();
    QVERIFY(centres.size() > 100);
    QCOMPARE(circles.size(), centres.size());
    QCOMPARE(parameter.size(), centres.size());
    const QJsonArray positions =
        QJsonDocument::fromJson(text).object().value(QStringLiteral("positions")).toArray();
    std::vector<std::array<std::array<double, 3>, 3>> frames;
    for (const QJsonValue& p : positions) {
        frames.push_back(bodyFrame(p.toObject()));
    }
    const auto vec = [](const QJsonValue& v) {
        const QJsonArray a = v.toArray();
        return std::array<double, 3>{a.at(0).toDouble(), a.at(1).toDouble(), a.at(2).toDouble()};
    };
    double worst = 0.0;
    for (qsizetype i = 0; i < centres.size(); ++i) {
        const auto G = vec(centres.at(i));
        const auto W = vec(circles.at(i));
        // W in the body's own frame, then placed by each position's frame.
        std::array<double, 3> body{};
        for (int c = 0; c < 3; ++c) {
            for (int r = 0; r < 3; ++r) {
                body[c] += frames[0][r][c] * W[r];
            }
        }
        std::vector<double> arcs;
        for (const auto& frame : frames) {
            double along = 0.0;
            for (int r = 0; r < 3; ++r) {
                double placed = 0.0;
                for (int c = 0; c < 3; ++c) {
                    placed += frame[r][c] * body[c];
                }
                along += G[r] * placed;
            }
            arcs.push_back(std::acos(std::clamp(along, -1.0, 1.0)));
        }
        for (const double a : arcs) {
            // Compared as cosines' arcs, which are exact enough away from 0 and 180 degrees.
            if (std::fabs(std::sin(arcs[0])) > 0.05) {
                worst = std::max(worst, std::fabs(a - arcs[0]));
            }
        }
    }
    QVERIFY2(worst < 1e-9, qPrintable(QString::number(worst)));
    QCOMPARE(parameter.at(0).toDouble(-1.0), 0.0);
}

void TestDesignCommand::designRefusesBadTasks_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("extra");
    const QByteArray good =
        R"({"format": "cyclar-task", "version": 1, "kind": "function", "pairs": [{"input": -30, "output": 7.1}, {"input": -10, "output": 66}, {"input": 15, "output": 151}, {"input": 40, "output": 160.3}]})";
    QTest::newRow("not JSON") << QByteArray("{\"format\": ") << QStringList{};
    QTest::newRow("unknown kind") << QByteArray(good).replace("\"function\"", "\"path\"")
                                  << QStringList{};
    QTest::newRow("newer version")
        << QByteArray(good).replace("\"version\": 1", "\"version\": 2") << QStringList{};
    QTest::newRow("two pairs") << QByteArray(
        R"({"format": "cyclar-task", "version": 1, "kind": "function", "pairs": [{"input": 1, "output": 2}, {"input": 3, "output": 4}], "ground": 40})")
                               << QStringList{};
    QTest::newRow("pole") << QByteArray(
        R"({"format": "cyclar-task", "version": 1, "kind": "motion", "positions": [{"longitude": 0, "latitude": 90, "heading": 0}, {"longitude": 10, "latitude": 0, "heading": 0}, {"longitude": 20, "latitude": 0, "heading": 0}]})")
                          << QStringList{};
    QTest::newRow("no such candidate") << good << QStringList{"--write", "2", "x.cyclar"};
    QTest::newRow("candidate zero") << good << QStringList{"--write", "0", "x.cyclar"};
    QTest::newRow("write not a linkage file") << good << QStringList{"--write", "1", "x.png"};
    QTest::newRow("map of a function task") << good << QStringList{"--map"};
    QTest::newRow("map and write") << good << QStringList{"--map", "--write", "1", "x.cyclar"};
    QTest::newRow("longitude beyond a turn") << QByteArray(
        R"({"format": "cyclar-task", "version": 1, "kind": "motion", "positions": [{"longitude": 400, "latitude": 10, "heading": 0}, {"longitude": 10, "latitude": 0, "heading": 0}, {"longitude": 20, "latitude": 0, "heading": 0}]})")
                                             << QStringList{};
    QTest::newRow("pivots with four positions") << QByteArray(
        R"({"format": "cyclar-task", "version": 1, "kind": "motion", "positions": [{"longitude": 0, "latitude": 10, "heading": 0}, {"longitude": 10, "latitude": 0, "heading": 0}, {"longitude": 20, "latitude": 0, "heading": 0}, {"longitude": 30, "latitude": 5, "heading": 9}], "fixedPivots": [{"longitude": 0, "latitude": 0}, {"longitude": 40, "latitude": 0}]})")
                                                << QStringList{};
}

void TestDesignCommand::designRefusesBadTasks()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, extra);
    QTemporaryDir dir;
    const QString task = dir.filePath(QStringLiteral("task.cyclar-task"));
    QFile file(task);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    for (QString& arg : extra) {
        if (arg.endsWith(QLatin1String(".cyclar")) || arg.endsWith(QLatin1String(".png"))) {
            arg = dir.filePath(arg);
        }
    }
    const Run run =
        runExport(QStringList{QStringLiteral("design"), QStringLiteral("--task"), task} + extra);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x.cyclar"))));
}

QTEST_GUILESS_MAIN(TestDesignCommand)
#include "tst_design_command.moc"
