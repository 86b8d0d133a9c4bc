// Tests of the browser's C interface, called natively as the page calls it through the module.
#include "api_support.h"

#include "exercise.h"
#include "working_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

QJsonDocument parsed(const char* text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray(text), &error);
    if (error.error != QJsonParseError::NoError) {
        qWarning("%s at %d in %.200s", qPrintable(error.errorString()), error.offset, text);
    }
    return document;
}

// Copies text into the module's file buffer, as the page does; gives its size.
int toFileBuffer(const QByteArray& bytes)
{
    const auto size = static_cast<int>(bytes.size());
    std::memcpy(cyclar_file_buffer(size), bytes.constData(), bytes.size());
    return size;
}

const double notANumber = std::numeric_limits<double>::quiet_NaN();
const double infinite = std::numeric_limits<double>::infinity();

} // namespace

class TestWebApi : public QObject {
    Q_OBJECT

private slots:
    void everyRowIsDefined();
    void sceneRunsAWholeCycle();
    void analysisAnswers_data();
    void analysisAnswers();
    void linkageFilesRoundTrip();
    void sceneShowsTheCircuitAndPaceChosen();
    void designsATask();
    void designPanelTextsMapAndSpacing();
    void refusesWhatIsNotThere();
    void workingAndExercises();
};

// The table declares each function once; taking every address makes a row without its
// definition a link error here, natively, before the module is ever built.
void TestWebApi::everyRowIsDefined()
{
    const std::vector<const void*> functions = {
#define CYCLAR_WEB_API(module, name, result, parameters) reinterpret_cast<const void*>(&name),
#include "api_table.inc"
#undef CYCLAR_WEB_API
    };
    for (const void* function : functions) {
        QVERIFY(function != nullptr);
    }
}

// The page's scene: built, scaled, composed at every frame of a cycle; the pixels are as many as
// promised and the angles and rates those of a pose that closes.
void TestWebApi::sceneRunsAWholeCycle()
{
    WebScene* scene = cyclar_scene_create();
    cyclar_scene_build(scene, 20, 50, 45, 40, 45, -35); // a crank-rocker: every frame closes
    cyclar_scene_set_scale(scene, 9);                   // the nearest scale drawn: 4
    cyclar_scene_set_rotation_axis(scene, 1);
    cyclar_scene_set_view(scene, cyclar_slider_angle(30), cyclar_slider_angle(70));
    QCOMPARE(cyclar_scene_turn(scene), -36.0);
    const int side = 4 * WebScene::pictureSize;
    for (int i = 0; i < 360; ++i) {
        const std::uint8_t* pixels = cyclar_scene_compose(scene);
        // The last pixel of the last row is read: a smaller buffer would trip the sanitizer.
        QCOMPARE(pixels[(std::size_t(side) * side - 1) * 4 + 3], std::uint8_t(255));
        // Every pose closes: theta, psi and mu finite, both markers on the angle chart inside
        // its plot area.
        const double* markers = cyclar_chart_markers(scene);
        QVERIFY2(std::isfinite(markers[8]) && std::isfinite(markers[9])
                     && std::isfinite(markers[10]) && std::isfinite(markers[11]),
                 qPrintable(QString::number(cyclar_scene_frame_index(scene))));
        QVERIFY(markers[12] >= 0);
        QVERIFY(markers[0] >= 46 && markers[0] <= 426 && markers[3] >= 46 && markers[3] <= 282);
        // The pose the working follows is the one the markers mark, on a branch it names.
        const double* input = cyclar_scene_input(scene);
        QCOMPARE(input[0], markers[8]);
        QVERIFY(input[1] == 1 || input[1] == 2);
        cyclar_scene_advance(scene);
    }
    QCOMPARE(cyclar_scene_frame_index(scene), 1);
    QCOMPARE(QByteArray(cyclar_scene_label(scene)), QByteArray("Grashof Four-bar Linkage"));
    QVERIFY(QByteArray(cyclar_scene_svg(scene)).startsWith("<?xml"));
    QCOMPARE(cyclar_scene_picture(scene)[3], std::uint8_t(255));
    // A whole cycle as a GIF, in steps as the page takes them.
    const int frames = cyclar_gif_begin(scene, 50);
    QCOMPARE(frames, 360);
    QVERIFY(cyclar_gif_finish() == nullptr); // not done yet
    int done = 0;
    while (done < frames) {
        const int now = cyclar_gif_step(100);
        QVERIFY(now > done);
        done = now;
    }
    const std::uint8_t* gif = cyclar_gif_finish();
    QVERIFY(gif != nullptr && std::memcmp(gif, "GIF89a", 6) == 0);
    QCOMPARE(gif[cyclar_gif_size() - 1], std::uint8_t(0x3B)); // the trailer
    cyclar_gif_end();
    QCOMPARE(cyclar_gif_step(1), -1);
    delete scene;
}

void TestWebApi::analysisAnswers_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("c");
    QTest::addColumn<double>("f");

    QTest::newRow("crank-rocker") << 20.0 << 50.0 << 45.0 << 40.0;
    QTest::newRow("default double-rocker") << 50.0 << 30.0 << 35.0 << 40.0;
    QTest::newRow("links of 1e308") << 1e308 << 1e308 << 1e308 << 1e308;
    QTest::newRow("not a number") << notANumber << 30.0 << 35.0 << 40.0;
    QTest::newRow("infinite") << infinite << 30.0 << -infinite << 40.0;
}

// Whatever the linkage, every answer the Analysis panel reads is JSON of the promised shape.
void TestWebApi::analysisAnswers()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, c);
    QFETCH(double, f);
    const QJsonObject analysis = parsed(cyclar_analysis(a, b, c, f, 45, -35)).object();
    QCOMPARE(analysis["answer"].toObject()["T"].toArray().size(), 4);
    const QJsonObject paragraph = analysis["paragraphs"].toArray()[0].toObject();
    QCOMPARE(paragraph["name"].toString(), QStringLiteral("type"));
    QVERIFY(analysis["answer"].toObject()["reason"].isString());
    for (const char* chart : {"angles", "rates"}) {
        const QJsonObject o =
            parsed(QByteArray(chart) == "angles" ? cyclar_angle_chart(a, b, c, f, 45, -35)
                                                 : cyclar_rate_chart(a, b, c, f, 45, -35))
                .object();
        QCOMPARE(o["area"].toArray().size(), 4);
        QCOMPARE(o["thetaTicks"].toArray().size(), 9);
        QVERIFY(!o["valueTicks"].toArray().isEmpty());
        QVERIFY(o["words"].toObject()["thetaTitle"].isString());
        // A linkage that does not move has no curves, and a note in their place.
        const bool moves = analysis["assemblable"].toBool();
        QCOMPARE(o["note"].toString().isEmpty(), moves);
        for (const QJsonValue lines : o["curves"].toObject()) {
            QCOMPARE(lines.toArray().isEmpty(), !moves);
        }
    }
    const QJsonArray table = parsed(cyclar_angle_table(a, b, c, f, 45, -35, 2, 1)).array();
    QCOMPARE(table.size(), 360);
    QCOMPARE(table[359].toArray()[0].toInt(), 360);
}

void TestWebApi::linkageFilesRoundTrip()
{
    // Every digit kept, a view and a speed.
    const QByteArray text(
        cyclar_linkage_file_text(0.1 + 0.2, 30, 35, 40, 45, -35, 1, -18, 9, 1, 73, 2, 1));
    const QJsonObject file = parsed(cyclar_read_linkage_file(toFileBuffer(text))).object();
    QCOMPARE(file["dimensions"].toObject()["a"].toDouble(), 0.1 + 0.2);
    QCOMPARE(file["view"].toObject()["tilt"].toInt(), 9);
    QCOMPARE(file["view"].toObject()["rotationAxis"].toBool(), true);
    QCOMPARE(file["speed"].toInt(), 73);
    QCOMPARE(file["circuit"].toInt(), 2);
    QCOMPARE(file["evenInput"].toBool(), true);
    // Circuit 1 at the sweep's pace is written as older files were, and reads back so.
    const QByteArray plain(cyclar_linkage_file_text(50, 30, 35, 40, 45, -35, 0, 0, 0, 0, -1, 7, 0));
    QVERIFY(!plain.contains("circuit") && !plain.contains("evenInput"));
    const QJsonObject plainFile = parsed(cyclar_read_linkage_file(toFileBuffer(plain))).object();
    QCOMPARE(plainFile["circuit"].toInt(), 1);
    QCOMPARE(plainFile["evenInput"].toBool(), false);
    // The reader's own sentence for a file it refuses.
    const QJsonObject bad =
        parsed(cyclar_read_linkage_file(toFileBuffer(QByteArray("{\"format\": 1")))).object();
    QVERIFY2(bad["problem"].toString().contains("JSON"), qPrintable(bad["problem"].toString()));
    QCOMPARE(cyclar_linkage_file_max_bytes(), 1024 * 1024);
}

// The scene's circuit and pace: circuit 2 only of a linkage that has two, the frame shown from
// the one rule of the core, the sentence following the circuit.
void TestWebApi::sceneShowsTheCircuitAndPaceChosen()
{
    WebScene* scene = cyclar_scene_create();
    cyclar_scene_build(scene, 20, 50, 45, 40, 45, -35);
    QCOMPARE(cyclar_scene_circuit_count(scene), 2);
    QCOMPARE(cyclar_scene_circuit(scene), 1);
    QVERIFY(QByteArray(cyclar_circuit_sentence(scene)).contains("Circuit 1 is shown"));
    for (int i = 1; i < 40; ++i) {
        cyclar_scene_advance(scene);
    }
    cyclar_scene_set_motion(scene, 2, 1);
    QCOMPARE(cyclar_scene_circuit(scene), 2);
    QCOMPARE(cyclar_scene_even_input(scene), 1);
    QCOMPARE(cyclar_scene_frame_index(scene), 40);
    QVERIFY(QByteArray(cyclar_circuit_sentence(scene)).contains("Circuit 2 is shown"));
    const QJsonArray table = parsed(cyclar_angle_table(20, 50, 45, 40, 45, -35, 2, 1)).array();
    const double* shown = cyclar_chart_markers(scene); // theta and psi at 8 and 9
    QCOMPARE(shown[8], table[39].toArray()[2].toDouble());
    QCOMPARE(shown[9], table[39].toArray()[3].toDouble());
    QCOMPARE(table[39].toArray()[5].toInt(), 1); // a crank-rocker's circuit 2 is its branch 1

    cyclar_scene_build(scene, 50, 30, 35, 40, 45, -35); // one circuit
    cyclar_scene_set_motion(scene, 2, 0);
    QCOMPARE(cyclar_scene_circuit_count(scene), 1);
    QCOMPARE(cyclar_scene_circuit(scene), 1);
    QVERIFY(QByteArray(cyclar_circuit_sentence(scene)).startsWith("One circuit"));
    delete scene;
}

void TestWebApi::designsATask()
{
    // The Design panel's table of three positions and two pivots, through the task's text.
    const double numbers[] = {84.0,  19.7,   -127.5, 90.5, -19.3, -113.6, 76.8,
                              -39.5, -123.4, 0,      0,    40,    0};
    std::memcpy(cyclar_task_numbers(13), numbers, sizeof numbers);
    const QJsonObject written = parsed(cyclar_task_text(0, 3, 1)).object();
    QVERIFY2(written.contains("text"), qPrintable(QJsonDocument(written).toJson()));
    const QByteArray task = written["text"].toString().toUtf8();
    QVERIFY(parsed(cyclar_read_task_file(toFileBuffer(task))).object().contains("task"));

    const QJsonObject answer = parsed(cyclar_design(toFileBuffer(task))).object();
    QCOMPARE(answer["kind"].toString(), QStringLiteral("motion"));
    const QJsonArray candidates = answer["candidates"].toArray();
    QVERIFY(!candidates.isEmpty());
    // What cyclar-export design prints: each candidate's linkage, placement and positions.
    const QJsonObject first = candidates[0].toObject();
    QCOMPARE(first["dims"].toObject().size(), 6);
    QCOMPARE(first["placement"].toArray().size(), 3);
    QCOMPARE(first["positions"].toArray().size(), 3);
    const int steps = cyclar_design_tour_length(0);
    QVERIFY(steps > 0);
    // The view at the largest size and scale, at a step past the tour's end and at angles the
    // view cannot take.
    const std::uint8_t* view = cyclar_design_view(0, steps + 5, notANumber, 1e300, 5000, 7);
    const std::size_t side = 1024 * 4;
    QCOMPARE(view[(side * side - 1) * 4 + 3], std::uint8_t(255));
    const double* facing = cyclar_design_facing_view();
    QVERIFY(std::isfinite(facing[0]) && std::isfinite(facing[1]));

    // A refused task is said, and the view then holds none.
    const QJsonObject refused =
        parsed(cyclar_design(toFileBuffer(QByteArray("{\"format\": \"cyclar-task\"}")))).object();
    QVERIFY(refused.contains("problem"));
    QCOMPARE(cyclar_design_tour_length(0), 0);
    QVERIFY(cyclar_design_view(0, 0, 0, 0, 10, 1) != nullptr);
}

// The panel's list rows, filters, chosen linkage, solution map picks, Help and Chebyshev
// spacing, as the desktop window has them from the same core.
void TestWebApi::designPanelTextsMapAndSpacing()
{
    // Four positions of the starting linkage: a map, and twelve mechanisms sampled.
    const QByteArray task = R"({"format": "cyclar-task", "version": 1, "kind": "motion",
 "positions": [{"longitude": 75.4, "latitude": -39.9, "heading": -123.7},
               {"longitude": 89.2, "latitude": -25.9, "heading": -115.9},
               {"longitude": 88.9, "latitude": 4.9, "heading": -117.3},
               {"longitude": 16, "latitude": 41.4, "heading": 129.2}]})";
    const QJsonArray candidates =
        parsed(cyclar_design(toFileBuffer(task))).object()["candidates"].toArray();
    const QJsonArray rows = parsed(cyclar_design_rows()).array();
    QCOMPARE(rows.size(), candidates.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QJsonObject row = rows[i].toObject();
        QCOMPARE(row["mechanism"].toInt(), candidates[i].toObject()["mechanism"].toInt());
        QVERIFY(row["a"].toString().endsWith(QChar(0x00b0)));
        QCOMPARE(row["usable"].toBool(), candidates[i].toObject()["defects"].toArray().isEmpty());
    }
    QCOMPARE(parsed(cyclar_design_filter(0, 0, 0, 180)).array().size(), candidates.size());
    QVERIFY(parsed(cyclar_design_filter(0, 89, notANumber, infinite)).array().isEmpty());
    QVERIFY(QString::fromUtf8(cyclar_design_chosen(0)).startsWith("Candidate 1 (mechanism 1"));
    QCOMPARE(QString::fromUtf8(cyclar_design_chosen(-2)), QString());
    QVERIFY(QString::fromUtf8(cyclar_design_map_hint()).contains("Click the thick curve"));

    // Taps on the view: until two land on the curve, no linkage; a tap off the sphere picks
    // nothing.
    QCOMPARE(cyclar_design_pick(-50, -50, 0, 0, 200), 0);
    int picks = 0;
    for (int y = 10; y < 190 && picks < 2; y += 3) {
        for (int x = 10; x < 190 && picks < 2; x += 3) {
            const int now = cyclar_design_pick(x, y, 0, 0, 200);
            picks = now > 0 ? now : picks;
            x += now > 0 ? 40 : 0;
        }
    }
    QCOMPARE(picks, 2);
    const QString hint = QString::fromUtf8(cyclar_design_map_hint());
    QVERIFY2(hint.startsWith("The two picks make") || hint.startsWith("These two pivots make no"),
             qPrintable(hint));
    if (hint.startsWith("The two picks make")) {
        QVERIFY(cyclar_design_tour_length(-2) > 0);
        QVERIFY(!parsed(cyclar_design_map_linkages()).object()["candidates"].toArray().isEmpty());
        QVERIFY(QString::fromUtf8(cyclar_design_chosen(-2)).startsWith("Picked on the map"));
    }
    cyclar_design_show_map(0);
    QCOMPARE(cyclar_design_pick(100, 100, 0, 0, 200), 0);
    cyclar_design_show_map(1);
    QVERIFY(cyclar_design_view(-2, 3, 0, 0, 200, 1) != nullptr);

    const QJsonArray help = parsed(cyclar_design_help()).array();
    QVERIFY(help.size() >= 6);
    QCOMPARE(help[0].toObject()["heading"].toString(), QStringLiteral("What to enter"));
    const QJsonArray spaced =
        parsed(cyclar_chebyshev_inputs(0, 60, 3)).object()["inputs"].toArray();
    QCOMPARE(spaced.size(), 3);
    QCOMPARE(spaced[1].toDouble(), 30.0);
    QVERIFY(parsed(cyclar_chebyshev_inputs(0, 60, 1000)).object().contains("problem"));
    QVERIFY(parsed(cyclar_chebyshev_inputs(notANumber, 60, 4)).object().contains("problem"));
}

// Indices and sizes from the page are checked, never trusted.
void TestWebApi::refusesWhatIsNotThere()
{
    QVERIFY(cyclar_clip_frame(2, 0) == nullptr);
    QVERIFY(cyclar_clip_frame(0, -1) == nullptr);
    QVERIFY(cyclar_clip_frame(0, cyclar_clip_frames(0)) == nullptr);
    QVERIFY(cyclar_clip_frame(1, cyclar_clip_frames(1) - 1) != nullptr);
    QVERIFY(std::isnan(cyclar_dimensions_lower(6, 50, 30, 35, 40, 45, -35)));
    QVERIFY(std::isnan(cyclar_animation_upper(-1)));
    QCOMPARE(cyclar_in_range(cyclar_dimensions_upper(0, 50, 30, 35, 40, 45, -35), 0, 105), 1);
    QVERIFY(std::isnan(cyclar_parse_number("-0")));
    QVERIFY(std::isnan(cyclar_parse_number(nullptr)));
    // Three times this count wraps round a 32-bit size to 2.
    cyclar_task_numbers(3);
    const QJsonObject wrapped = parsed(cyclar_task_text(0, 1431655766, 0)).object();
    QCOMPARE(wrapped["problem"].toString(), QStringLiteral("The table does not make a task."));
    QVERIFY(parsed(cyclar_task_text(1, -1, 1)).object().contains("problem"));
    QVERIFY(parsed(cyclar_task_text(5, 1, 0)).object().contains("problem"));
    for (const char* page : {"title", "dimensions", "animation", "help", "about", "circular"}) {
        const QJsonObject layout = parsed(cyclar_page_layout(page)).object();
        QVERIFY2(!layout["controls"].toArray().isEmpty(), page);
    }
    QVERIFY(parsed(cyclar_page_layout(nullptr)).isObject());
}

// The working panel's text and handout are the core's; an exercise is read, held, checked from
// the typed lines, and its key shown only where the file allows.
void TestWebApi::workingAndExercises()
{
    using namespace cyclar;
    const LinkageDimensions dims{160, 105, 120, 100, 45, -35};
    QCOMPARE(QByteArray(cyclar_working(160, 105, 120, 100, 45, -35, 90, 1, 0)),
             QByteArray::fromStdString(workingText(explainLinkage(dims, 90, 1))));
    QVERIFY(
        parsed(cyclar_working(160, 105, 120, 100, 45, -35, 90, 1, 2)).object().contains("steps"));
    QVERIFY(QByteArray(cyclar_working_html(160, 105, 120, 100, 45, -35, 90, 1, -18, -18))
                .startsWith("<!DOCTYPE html>"));
    // Whatever the page hands over, the working is words and numbers, never a NaN.
    for (const double x : {notANumber, infinite, 1e308}) {
        const QByteArray text(cyclar_working(x, 105, 120, 100, 45, -35, x, 7, 0));
        QVERIFY(!text.isEmpty());
        QVERIFY2(!text.toLower().contains("nan") && !text.contains("inf"), text.constData());
        QVERIFY(parsed(cyclar_working(160, x, 120, 100, 45, -35, x, 0, 2)).isObject());
        QVERIFY(QByteArray(cyclar_working_html(160, 105, x, 100, 45, -35, 30, 2, x, x))
                    .endsWith("</html>\n"));
    }

    ExerciseFile exercise = makeExercises({3, 1, "crank-rocker", {}}).front().exercise;
    const QJsonObject read = parsed(cyclar_read_exercise_file(toFileBuffer(
                                        QByteArray::fromStdString(exerciseFileText(exercise)))))
                                 .object();
    QCOMPARE(read["questions"].toArray().size(), qsizetype(exercise.questions.size()));
    QCOMPARE(read["questions"].toArray()[0].toObject()["text"].toString(),
             QString::fromStdString(questionText(exercise.questions[0])));
    QByteArray typed;
    for (const ExerciseQuestion& q : exercise.questions) {
        typed += QByteArray::fromStdString(keyText(exerciseKey(exercise, q))) + '\n';
    }
    const QJsonObject marks = parsed(cyclar_exercise_check(typed.constData())).object();
    QCOMPARE(marks["score"].toInt(), marks["of"].toInt());
    QCOMPARE(parsed(cyclar_exercise_key()).object()["answers"].toArray().size(),
             qsizetype(exercise.questions.size()));
    // Forbidden: no key; and a file the reader refuses is said, the last exercise kept.
    exercise.showWorking = false;
    cyclar_read_exercise_file(toFileBuffer(QByteArray::fromStdString(exerciseFileText(exercise))));
    QVERIFY(parsed(cyclar_exercise_key()).object()["answers"].toArray().isEmpty());
    const QJsonObject bad =
        parsed(cyclar_read_exercise_file(toFileBuffer("{\"format\": \"cyclar-exercise\"}")))
            .object();
    QVERIFY(bad["problem"].toString().contains("version"));
}

QTEST_APPLESS_MAIN(TestWebApi)
#include "tst_web_api.moc"
