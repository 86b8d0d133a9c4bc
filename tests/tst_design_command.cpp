// Tests of cyclar-export design as a user runs it: the candidates as JSON, one saved as a
// linkage file, and one line with exit code 2 for a task that cannot be designed for.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

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
    QCOMPARE(second.keys(),
             (QStringList{"defects", "dims", "placement", "positions", "transmission", "type"}));
    QVERIFY(second.value(QStringLiteral("defects")).toArray().isEmpty());
    const QJsonObject dims = second.value(QStringLiteral("dims")).toObject();
    QVERIFY(std::fabs(dims.value(QStringLiteral("a")).toDouble() - 50.0) < 1.0);
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
