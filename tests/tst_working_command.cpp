// Tests of cyclar-export explain, check and exercise: explain's results against angles, rates and
// analyse on 300 random linkages, the formats and refusals, check never telling a right value
// unless asked, and exercise byte for byte the same for a seed, its key agreeing with explain.
#include "exercise_file.h"
#include "export_command.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace cyclar;

namespace {

QString number(double x)
{
    return QString::number(x, 'g', 17);
}

QString dimsText(const std::array<double, 6>& d)
{
    QStringList parts;
    for (const double x : d) {
        parts += number(x);
    }
    return parts.join(QLatin1Char(','));
}

QList<QByteArray> rows(const QByteArray& csv)
{
    QList<QByteArray> lines = csv.split('\n');
    lines.removeFirst(); // the header
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

QJsonObject jsonOf(const ExportResult& result)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(result.out, &error);
    return error.error == QJsonParseError::NoError ? document.object() : QJsonObject();
}

bool near(double x, double y, double tolerance = 1e-9)
{
    return std::fabs(x - y) <= tolerance * std::max(1.0, std::fabs(y));
}

bool sameAngle(double x, double y)
{
    return std::fabs(std::remainder(x - y, 360.0)) <= 1e-9;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The answers file a student who knows the key would hand in: each key in its JSON shape.
QByteArray answersFrom(const QList<QByteArray>& keyRows, const QByteArray& exercise,
                       const QByteArray& movedId = {}, double by = 0.0)
{
    QJsonObject answers;
    for (const QByteArray& row : keyRows) {
        const QList<QByteArray> cells = row.split(',');
        if (cells[0] != exercise) {
            continue;
        }
        const QString id = QString::fromUtf8(cells[1]);
        const QList<QByteArray> values = cells[3].split(' ');
        bool isNumber = false;
        values.first().toDouble(&isNumber);
        const double shift = cells[1] == movedId ? by : 0.0;
        if (!isNumber) {
            answers[id] = QString::fromUtf8(cells[3]);
        } else if (values.size() == 1) {
            answers[id] = values.first().toDouble() + shift;
        } else {
            QJsonArray list;
            for (const QByteArray& value : values) {
                list.append(value.toDouble() + (&value == &values.last() ? shift : 0.0));
            }
            answers[id] = list;
        }
    }
    return QJsonDocument(answers).toJson();
}

} // namespace

class TestWorkingCommand : public QObject {
    Q_OBJECT

private slots:
    void explainAgreesWithAnglesRatesAndAnalyse();
    void explainFormats();
    void refusals_data();
    void refusals();
    void checkTellsRightValuesOnlyWhenAsked();
    void exerciseIsTheSameForASeedAndAgreesWithExplain();
};

void TestWorkingCommand::explainAgreesWithAnglesRatesAndAnalyse()
{
    QRandomGenerator random(1998);
    const QRegularExpression notANumber(QStringLiteral("\\b(nan|inf)\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    int checked = 0;
    while (checked < 300) {
        const auto pick = [&](double low, double high) {
            return low + random.generateDouble() * (high - low);
        };
        const std::array<double, 6> d{pick(5, 175), pick(5, 175), pick(5, 175),
                                      pick(5, 175), pick(0, 120), pick(-180, 180)};
        const QString dims = dimsText(d);
        const ExportResult analyse = runExport({"analyse", "--dims", dims});
        const QJsonObject analysis = jsonOf(analyse);
        if (analysis.value("type").isNull()) {
            continue; // no motion to work out
        }
        const QList<QByteArray> angles = rows(runExport({"angles", "--dims", dims}).out);
        const QList<QByteArray> rates = rows(runExport({"rates", "--dims", dims}).out);
        QCOMPARE(angles.size(), 360);
        // A frame of the motion, away from the toggles where a rate is too large to compare.
        qsizetype frame = random.bounded(360);
        for (int tries = 0; tries < 360; ++tries, frame = (frame + 1) % 360) {
            const QList<QByteArray> a = angles[frame].split(',');
            const QList<QByteArray> r = rates[frame].split(',');
            if (a[5] != "0" && std::fabs(r[5].toDouble()) < 50.0) {
                break;
            }
        }
        const QList<QByteArray> a = angles[frame].split(',');
        const QList<QByteArray> r = rates[frame].split(',');
        if (a[5] == "0") {
            continue;
        }
        const QString row = dims + QStringLiteral(" frame ") + QString::number(frame + 1);
        const ExportResult explained =
            runExport({"explain", "--dims", dims, "--input", QString::fromUtf8(a[2]), "--branch",
                       QString::fromUtf8(a[5]), "--format", "json"});
        QCOMPARE(explained.exitCode, 0);
        const QJsonObject json = jsonOf(explained);
        const QJsonObject results = json.value("results").toObject();
        QVERIFY2(!results.isEmpty(), qPrintable(row));
        // angles: frame,t,input,output,transmission,branch
        QVERIFY2(sameAngle(results.value("output").toDouble(), a[3].toDouble()), qPrintable(row));
        QVERIFY2(near(results.value("transmission").toDouble(), a[4].toDouble()), qPrintable(row));
        // rates: ...,outputRate 5, outputAcceleration 6, couplerRate 7, pointSpeed 11,
        // pointAcceleration 15, mechanicalAdvantage 19
        const std::pair<const char*, int> rateColumns[] = {
            {"outputRate", 5},  {"outputAcceleration", 6}, {"couplerRate", 7},
            {"pointSpeed", 11}, {"pointAcceleration", 15}, {"mechanicalAdvantage", 19}};
        for (const auto& [name, column] : rateColumns) {
            QVERIFY2(near(results.value(name).toDouble(), r[column].toDouble()),
                     qPrintable(row + QLatin1Char(' ') + QLatin1String(name)));
        }
        for (const char* name : {"T", "inputLimits", "outputLimits"}) {
            QCOMPARE(results.value(name).toArray(), analysis.value(name).toArray());
        }
        const QJsonObject classification = json.value("classification").toObject();
        for (const char* name : {"type", "grashof", "swing", "timeRatio"}) {
            QCOMPARE(classification.value(name), analysis.value(name));
        }
        const QByteArray text =
            runExport({"explain", "--dims", dims, "--input", QString::fromUtf8(a[2])}).out;
        QVERIFY2(!QString::fromUtf8(text).contains(notANumber), qPrintable(row));
        ++checked;
    }
}

void TestWorkingCommand::explainFormats()
{
    const QStringList args{"explain", "--dims", "160,105,120,100,45,-35", "--input", "90"};
    const ExportResult text = runExport(args);
    QCOMPARE(text.exitCode, 0);
    QVERIFY(text.out.startsWith("The working for a = 160°"));
    QVERIFY(text.err.isEmpty());
    const ExportResult markdown = runExport(args + QStringList{"--format", "markdown"});
    QVERIFY(markdown.out.startsWith("# The working for"));
    QVERIFY(markdown.out.contains("\n## 2 Position at θ\n"));
    const ExportResult html = runExport(args + QStringList{"--format", "html"});
    QCOMPARE(html.exitCode, 0);
    // The handout: the picture and the chart, both drawn by the core, nothing fetched.
    QVERIFY(html.out.startsWith("<!DOCTYPE html>"));
    QCOMPARE(html.out.count("<figure>\n<svg xmlns="), 2);
    QVERIFY(!html.out.contains("src="));
    QVERIFY(html.out.contains("<circle cx=")); // the position's marker on the chart
    // The same linkage from a file works the same.
    QTemporaryDir dir;
    const QString path = dir.filePath("l.cyclar");
    QCOMPARE(runExport({"save", "--dims", "160,105,120,100,45,-35", "-o", path}).exitCode, 0);
    QCOMPARE(runExport({"explain", "--file", path, "--input", "90"}).out, text.out);
    // Branch 2, and an input given past a turn means the same place.
    const QJsonObject one = jsonOf(runExport(args + QStringList{"--format", "json"}));
    const QJsonObject two =
        jsonOf(runExport({"explain", "--dims", "160,105,120,100,45,-35", "--input", "450",
                          "--branch", "2", "--format", "json"}));
    QCOMPARE(two.value("input").toDouble(), 90.0);
    QCOMPARE(two.value("results").toObject().value("output"),
             one.value("results").toObject().value("outputOther"));
}

void TestWorkingCommand::refusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    const QStringList explain{"explain", "--dims", "50,30,35,40,45,-35"};
    QTest::newRow("explain without an input") << explain << "explain needs --input THETA";
    QTest::newRow("explain, input not a number")
        << explain + QStringList{"--input", "north"} << "--input 'north' is not a finite";
    QTest::newRow("explain, branch 3") << explain + QStringList{"--input", "3", "--branch", "3"}
                                       << "--branch '3' must be a whole number from 1 to 2";
    QTest::newRow("explain as pdf") << explain + QStringList{"--input", "3", "--format", "pdf"}
                                    << "--format 'pdf' must be text, markdown, html or json";
    QTest::newRow("check without answers")
        << QStringList{"check", "--exercise", "e.cyclar-exercise"} << "check needs --exercise";
    QTest::newRow("check, a missing file")
        << QStringList{"check", "--exercise", "/nonexistent.cyclar-exercise", "--answers", "a"}
        << "does not exist";
    QTest::newRow("exercise, seed not a number")
        << QStringList{"exercise", "--seed", "-1", "--count", "2", "-o", "x"}
        << "--seed '-1' must be a whole number";
    QTest::newRow("exercise, count 0")
        << QStringList{"exercise", "--seed", "1", "--count", "0", "-o", "x"}
        << "--count '0' must be a whole number from 1 to 999";
    QTest::newRow("exercise, unknown kind")
        << QStringList{"exercise", "--seed",     "1",  "--count", "1",
                       "--kinds",  "type,speed", "-o", "x"}
        << "--kinds: 'speed' is none of type, grashof";
    QTest::newRow("exercise, kinds no type answers")
        << QStringList{"exercise",     "--seed",  "1",     "--count", "1", "--type",
                       "double-crank", "--kinds", "swing", "-o",      "x"}
        << "no double-crank answers every kind asked (swing)";
    QTest::newRow("exercise into a file")
        << QStringList{"exercise", "--seed", "1", "--count", "1", "-o", "/dev/null"}
        << "-o '/dev/null' is not a folder";
}

void TestWorkingCommand::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const ExportResult result = runExport(args);
    QCOMPARE(result.exitCode, exitUsage);
    QVERIFY(result.out.isEmpty());
    QVERIFY2(result.err.contains(message.toUtf8()), result.err.constData());
    QCOMPARE(result.err.count('\n'), 1);
}

void TestWorkingCommand::checkTellsRightValuesOnlyWhenAsked()
{
    QTemporaryDir dir;
    QCOMPARE(runExport({"exercise", "--seed", "42", "--count", "3", "-o", dir.path()}).exitCode, 0);
    const QList<QByteArray> key = rows(readAll(dir.filePath("answers.csv")));
    QVERIFY(key.size() > 20);
    for (const QByteArray name : {"exercise-01", "exercise-02", "exercise-03"}) {
        const QString exercise = dir.filePath(QString::fromUtf8(name) + ".cyclar-exercise");
        const QString answers = dir.filePath("answers.json");
        QFile file(answers);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(answersFrom(key, name));
        file.close();
        const ExportResult checked =
            runExport({"check", "--exercise", exercise, "--answers", answers});
        QCOMPARE(checked.exitCode, 0);
        const QJsonObject marks = jsonOf(checked);
        QVERIFY(marks.value("of").toInt() > 5);
        QCOMPARE(marks.value("score").toInt(), marks.value("of").toInt());
        const ExportResult revealed =
            runExport({"check", "--exercise", exercise, "--answers", answers, "--reveal"});
        for (const QByteArray& row : key) {
            const QList<QByteArray> cells = row.split(',');
            if (cells[0] != name) {
                continue;
            }
            // Not one right value in the marks, each in them when revealed.
            for (const QByteArray& value : cells[3].split(' ')) {
                QVERIFY2(!checked.out.contains(value), value.constData());
                QVERIFY2(revealed.out.contains(value), value.constData());
            }
            // Moved by twice the tolerance, that question alone is not yet right.
            const std::optional<ExerciseFile> e = [&] {
                std::string error;
                return readExerciseFile(exercise.toStdString(), error);
            }();
            QVERIFY(e);
            const auto q = std::find_if(
                e->questions.begin(), e->questions.end(),
                [&](const ExerciseQuestion& x) { return x.id == cells[1].toStdString(); });
            if (answeredInWords(q->kind)) {
                continue;
            }
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(answersFrom(key, name, cells[1], 2.0 * q->tolerance));
            file.close();
            const QJsonObject moved =
                jsonOf(runExport({"check", "--exercise", exercise, "--answers", answers}));
            QCOMPARE(moved.value("score").toInt(), moved.value("of").toInt() - 1);
        }
    }
    // An answer to a question the exercise does not ask is refused.
    QFile stray(dir.filePath("stray.json"));
    QVERIFY(stray.open(QIODevice::WriteOnly));
    stray.write(R"({"q99": 1})");
    stray.close();
    const ExportResult refused =
        runExport({"check", "--exercise", dir.filePath("exercise-01.cyclar-exercise"), "--answers",
                   stray.fileName()});
    QCOMPARE(refused.exitCode, exitUsage);
    QVERIFY(refused.err.contains(R"(has an answer for "q99", which the exercise does not ask)"));
}

void TestWorkingCommand::exerciseIsTheSameForASeedAndAgreesWithExplain()
{
    for (int seed = 1; seed <= 20; ++seed) {
        QTemporaryDir first;
        QTemporaryDir second;
        const QStringList args{"exercise", "--seed", QString::number(seed * 7919), "--count", "2"};
        QCOMPARE(runExport(args + QStringList{"-o", first.path()}).exitCode, 0);
        QCOMPARE(runExport(args + QStringList{"-o", second.path()}).exitCode, 0);
        const QStringList names = QDir(first.path()).entryList(QDir::Files);
        QCOMPARE(names, (QStringList{"answers.csv", "exercise-01.cyclar-exercise",
                                     "exercise-02.cyclar-exercise"}));
        for (const QString& name : names) {
            QCOMPARE(readAll(first.filePath(name)), readAll(second.filePath(name)));
        }
        const QByteArray csv = readAll(first.filePath("answers.csv"));
        QVERIFY(csv.startsWith("exercise,id,kind,answer\n"));
        for (const QByteArray& row : rows(csv)) {
            const QList<QByteArray> cells = row.split(',');
            std::string error;
            const std::optional<ExerciseFile> e = readExerciseFile(
                first.filePath(QString::fromUtf8(cells[0]) + ".cyclar-exercise").toStdString(),
                error);
            QVERIFY2(e, error.c_str());
            const auto q = std::find_if(
                e->questions.begin(), e->questions.end(),
                [&](const ExerciseQuestion& x) { return x.id == cells[1].toStdString(); });
            QVERIFY(q != e->questions.end());
            QCOMPARE(QByteArray(questionKindName(q->kind)), cells[2]);
            const LinkageDimensions& d = e->dimensions;
            const QJsonObject json =
                jsonOf(runExport({"explain", "--dims", dimsText({d.a, d.b, d.c, d.f, d.h, d.k}),
                                  "--input", number(q->input), "--branch",
                                  QString::number(std::max(1, q->branch)), "--format", "json"}));
            const QJsonObject results = json.value("results").toObject();
            const QJsonObject classification = json.value("classification").toObject();
            QJsonValue expected;
            switch (q->kind) {
            case QuestionKind::type:
                expected = classification.value("type");
                break;
            case QuestionKind::grashof:
                expected = classification.value("grashof").toBool() ? "Grashof" : "non-Grashof";
                break;
            case QuestionKind::swing:
            case QuestionKind::timeRatio:
                expected = classification.value(questionKindName(q->kind));
                break;
            default:
                expected = results.value(questionKindName(q->kind));
            }
            QString answer = QString::fromUtf8(cells[3]);
            if (expected.isArray()) {
                QStringList list;
                for (const QJsonValue& value : expected.toArray()) {
                    list += number(value.toDouble());
                }
                QCOMPARE(answer.split(QLatin1Char(' ')).size(), list.size());
                for (qsizetype i = 0; i < list.size(); ++i) {
                    QCOMPARE(answer.split(QLatin1Char(' '))[i].toDouble(), list[i].toDouble());
                }
            } else if (expected.isDouble()) {
                QCOMPARE(answer.toDouble(), expected.toDouble());
            } else {
                QCOMPARE(answer, expected.toString());
            }
        }
    }
}

QTEST_MAIN(TestWorkingCommand)
#include "tst_working_command.moc"
