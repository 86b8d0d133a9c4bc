// Tests of exercises: every bad exercise or answer file refused with its own sentence, files read
// back as written, keys marked correct and answers moved by twice the tolerance not, and made
// exercises the same for the same seed, each question answered by the working.
#include "exercise.h"
#include "exercise_file.h"
#include "working.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <numbers>

using namespace cyclar;

namespace {

// A crank-rocker asked a question of every kind it answers (all but input limits), at 30 degrees.
ExerciseFile everyKind()
{
    ExerciseFile e;
    e.title = "Every kind";
    e.dimensions = {160, 105, 120, 100, 45, -35};
    int n = 0;
    for (const QuestionKind kind : allQuestionKinds) {
        if (kind == QuestionKind::inputLimits) {
            continue;
        }
        ExerciseQuestion q;
        q.id = std::to_string(++n);
        q.id.insert(0, 1, 'q');
        q.kind = kind;
        if (askedAtInput(kind)) {
            q.input = 30;
            q.branch = 2;
        }
        if (!answeredInWords(kind)) {
            q.tolerance = 0.01;
            q.unit = std::string(questionUnits(kind).back()); // radians where there is a choice
        }
        e.questions.push_back(q);
    }
    return e;
}

// Where the question of the kind stands in the exercise.
std::size_t questionOf(const ExerciseFile& exercise, QuestionKind kind)
{
    for (std::size_t i = 0; i < exercise.questions.size(); ++i) {
        if (exercise.questions[i].kind == kind) {
            return i;
        }
    }
    return exercise.questions.size();
}

const char* const header = R"({"format": "cyclar-exercise", "version": 1, "title": "T", )";

// The key of each question as a student would write it.
ExerciseResponses keyAnswers(const ExerciseFile& exercise)
{
    ExerciseResponses answers;
    for (const ExerciseQuestion& q : exercise.questions) {
        const ExerciseKey key = exerciseKey(exercise, q);
        ExerciseResponse r;
        if (!key.numbers.empty()) {
            r.shape = key.numbers.size() > 1 ? ExerciseResponse::Shape::numbers
                                             : ExerciseResponse::Shape::number;
            r.number = key.numbers.front();
            r.numbers = key.numbers.size() > 1 ? key.numbers : std::vector<double>{};
        } else {
            r.shape = ExerciseResponse::Shape::words;
            r.words = key.words;
        }
        answers[q.id] = r;
    }
    return answers;
}

} // namespace

class TestExercise : public QObject {
    Q_OBJECT

private slots:
    void badExerciseFiles_data();
    void badExerciseFiles();
    void readsBackWhatItWrites();
    void badAnswerFiles_data();
    void badAnswerFiles();
    void keysAreCorrectAndMovedAnswersAreNot();
    void answersAsTyped_data();
    void answersAsTyped();
    void wordsInAnyCase_data();
    void wordsInAnyCase();
    void questionsWithoutAnAnswer_data();
    void questionsWithoutAnAnswer();
    void madeExercisesAreReproducibleAndAnswered();
    void requestProblems_data();
    void requestProblems();
};

void TestExercise::badExerciseFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QByteArray linkage =
        R"("linkage": {"dimensions": {"a": 50, "b": 30, "c": 35, "f": 40, "h": 45, "k": -35}})";
    const auto file = [&](const QByteArray& rest) {
        return QByteArray(header) + linkage + ", " + rest + "}";
    };
    const auto question = [&](const QByteArray& q) { return file(R"("questions": [)" + q + "]"); };
    QTest::newRow("not JSON") << QByteArray("{\"format\": ") << "is not JSON";
    QTest::newRow("another format")
        << QByteArray(R"({"format": "cyclar-task", "version": 1})")
        << R"(is not a cyclar exercise: its "format" is not "cyclar-exercise")";
    QTest::newRow("newer") << QByteArray(R"({"format": "cyclar-exercise", "version": 2})")
                           << "was made by a newer cyclar";
    QTest::newRow("no title") << QByteArray(R"({"format": "cyclar-exercise", "version": 1})")
                              << R"(has no "title" text)";
    QTest::newRow("title of two lines")
        << QByteArray(R"({"format": "cyclar-exercise", "version": 1, "title": "a\nb", )") + linkage
               + R"(, "questions": [{"id": "q1", "kind": "type"}]})"
        << "control character";
    QTest::newRow("no linkage") << QByteArray(header).chopped(2) + "}"
                                << R"(has no "linkage" object)";
    QTest::newRow("dimension missing")
        << QByteArray(header) + R"("linkage": {"dimensions": {"a": 50}}})"
        << R"(has a "linkage" that has no dimension "b")";
    QTest::newRow("circuit 3")
        << QByteArray(header)
               + R"("linkage": {"circuit": 3, "dimensions": {"a": 50, "b": 30, "c": 35, "f": 40, "h": 45, "k": -35}}})"
        << R"(linkage "circuit" that is not 1 or 2)";
    QTest::newRow("no questions") << file(R"("questions": [])") << "has no questions";
    QTest::newRow("questions not a list") << file(R"("questions": {})") << R"(no "questions" list)";
    QTest::newRow("unknown key") << file(R"("answers": 1, "questions": [])")
                                 << R"(has an unknown key "answers")";
    QTest::newRow("showWorking not true or false")
        << file(R"("showWorking": 1, "questions": [{"id": "q1", "kind": "type"}])")
        << R"("showWorking" that is not true or false)";
    QTest::newRow("question not an object") << question("3") << "question number 1 that is not";
    QTest::newRow("bad id") << question(R"({"id": "q 1", "kind": "type"})")
                            << R"(question number 1 whose "id" is not)";
    QTest::newRow("two alike") << question(
        R"({"id": "q1", "kind": "type"}, {"id": "q1", "kind": "grashof"})")
                               << R"(two questions with the id "q1")";
    QTest::newRow("unknown kind") << question(R"({"id": "q1", "kind": "speed"})")
                                  << R"(question "q1" of an unknown kind "speed")";
    QTest::newRow("no input") << question(
        R"({"id": "q1", "kind": "output", "branch": 1, "tolerance": 0.1, "unit": "deg"})")
                              << R"(without the "input" a question of kind "output" needs)";
    QTest::newRow("input where none is asked")
        << question(R"({"id": "q1", "kind": "type", "input": 30})")
        << R"(of kind "type", which takes no "input")";
    QTest::newRow("branch 3") << question(
        R"({"id": "q1", "kind": "output", "input": 30, "branch": 3, "tolerance": 0.1, "unit": "deg"})")
                              << R"("branch" is not 1 or 2)";
    QTest::newRow("input past a turn") << question(
        R"({"id": "q1", "kind": "output", "input": 400, "branch": 1, "tolerance": 0.1, "unit": "deg"})")
                                       << R"("input" is not from -360 to 360 degrees)";
    QTest::newRow("tolerance 0") << question(
        R"({"id": "q1", "kind": "swing", "tolerance": 0, "unit": "deg"})")
                                 << R"("tolerance" is not a number above 0)";
    QTest::newRow("tolerance as text")
        << question(R"({"id": "q1", "kind": "swing", "tolerance": "0.1", "unit": "deg"})")
        << R"("tolerance" is not a number)";
    QTest::newRow("unit of another kind") << question(
        R"({"id": "q1", "kind": "outputRate", "input": 3, "branch": 1, "tolerance": 0.1, "unit": "deg"})")
                                          << R"("unit" is not "1")";
    QTest::newRow("tolerance for words")
        << question(R"({"id": "q1", "kind": "grashof", "tolerance": 1})")
        << R"(which takes no "tolerance")";
    QTest::newRow("too many questions")
        << question(QByteArray(R"({"id": "x", "kind": "type"},)").repeated(101).chopped(1))
        << "more than 100 questions";
    QTest::newRow("over 1 MB") << QByteArray(1024 * 1024 + 1, ' ')
                               << "is over 1 MB; an exercise is a few hundred bytes";
}

void TestExercise::badExerciseFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    std::string error;
    QVERIFY(!parseExerciseFile(bytes.toStdString(), error));
    QVERIFY2(QString::fromStdString(error).contains(message), error.c_str());
}

void TestExercise::readsBackWhatItWrites()
{
    ExerciseFile exercise = everyKind();
    exercise.title = "Quotes \" and \\ backslashes, \u00e9t\u00e9";
    exercise.circuit = 2;
    exercise.showWorking = false;
    exercise.dimensions.k = -0.1 * 3; // a double with all its digits
    const std::string text = exerciseFileText(exercise);
    std::string error;
    const std::optional<ExerciseFile> back = parseExerciseFile(text, error);
    QVERIFY2(back, error.c_str());
    QVERIFY(*back == exercise);
    QCOMPARE(exerciseFileText(*back), text);

    // Written through the one writer, which refuses a bad name or a bad exercise and leaves the
    // earlier file whole.
    QTemporaryDir dir;
    const std::string path = dir.filePath("class.cyclar-exercise").toStdString();
    QVERIFY2(writeExerciseFile(path, exercise, error), error.c_str());
    QVERIFY(readExerciseFile(path, error) == exercise);
    ExerciseFile bad = exercise;
    bad.questions.front().id = "";
    QVERIFY(!writeExerciseFile(path, bad, error));
    QVERIFY2(QString::fromStdString(error).contains("could not write"), error.c_str());
    QVERIFY(readExerciseFile(path, error) == exercise);
    QVERIFY(!writeExerciseFile(dir.filePath("class.json").toStdString(), exercise, error));
    QVERIFY2(QString::fromStdString(error).contains("must end in .cyclar-exercise"), error.c_str());
}

void TestExercise::badAnswerFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("a list") << QByteArray("[1, 2]") << "holds no JSON object";
    QTest::newRow("an id with a space")
        << QByteArray(R"({"q 1": 2})") << "which is no question's id";
    QTest::newRow("an object") << QByteArray(R"({"q1": {}})") << "is not a number, a list";
    QTest::newRow("a list of text")
        << QByteArray(R"({"q1": ["a"]})") << "something other than numbers";
    QTest::newRow("an empty list") << QByteArray(R"({"q1": []})") << "lists 0 numbers";
    QTest::newRow("a key twice") << QByteArray(R"({"q1": 1, "q1": 2})") << "twice";
    QTest::newRow("a long text") << QByteArray(R"({"q1": ")") + QByteArray(201, 'x') + "\"}"
                                 << "longer than 200 bytes";
}

void TestExercise::badAnswerFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    std::string error;
    QVERIFY(!parseExerciseAnswers(bytes.toStdString(), error));
    QVERIFY2(QString::fromStdString(error).contains(message), error.c_str());
}

void TestExercise::keysAreCorrectAndMovedAnswersAreNot()
{
    std::vector<ExerciseFile> exercises{everyKind()};
    for (const std::uint64_t seed : {1u, 2u, 3u}) {
        for (MadeExercise& made : makeExercises({seed, 4, "", {}})) {
            exercises.push_back(made.exercise);
        }
    }
    for (const ExerciseFile& exercise : exercises) {
        const ExerciseResponses key = keyAnswers(exercise);
        const ExerciseCheck all = checkExercise(exercise, key);
        QCOMPARE(all.score, all.of);
        QCOMPARE(all.of, int(exercise.questions.size()));
        for (const QuestionCheck& r : all.results) {
            QVERIFY(r.hint.empty());
        }
        for (std::size_t i = 0; i < exercise.questions.size(); ++i) {
            const ExerciseQuestion& q = exercise.questions[i];
            if (answeredInWords(q.kind)) {
                continue;
            }
            for (const double sign : {1.0, -1.0}) {
                ExerciseResponses moved = key;
                ExerciseResponse& r = moved[q.id];
                (r.numbers.empty() ? r.number : r.numbers.back()) += sign * 2.0 * q.tolerance;
                const ExerciseCheck check = checkExercise(exercise, moved);
                QCOMPARE(check.score, check.of - 1);
                const QuestionCheck& wrong = check.results[i];
                QVERIFY(!wrong.correct);
                // The hint names the step of the working where the answer is found.
                QVERIFY2(QString::fromStdString(wrong.hint)
                             .contains(QString::fromStdString(questionStep(q.kind).step)),
                         wrong.hint.c_str());
            }
        }
        // No answer at all: not yet, every one.
        QCOMPARE(checkExercise(exercise, {}).score, 0);
    }
    // Angles on a circle: an answer the tolerance away across the +-180 seam is right.
    ExerciseFile seam = everyKind();
    seam.dimensions = {90, 90, 90, 30, 45, 0}; // Hooke's joint: the output turns fully
    const std::size_t at = questionOf(seam, QuestionKind::output);
    ExerciseQuestion& q = seam.questions[at];
    q.unit = "deg";
    q.tolerance = 0.5;
    for (q.input = -180; q.input < 180; q.input += 0.25) {
        const ExerciseKey key = exerciseKey(seam, q);
        if (key.defined && std::fabs(key.numbers[0]) > 179.7) {
            break;
        }
    }
    const ExerciseKey key = exerciseKey(seam, q);
    QVERIFY(key.defined && std::fabs(key.numbers[0]) > 179.7);
    ExerciseResponse across;
    across.number = key.numbers[0] > 0 ? key.numbers[0] - 359.8 : key.numbers[0] + 359.8;
    QVERIFY(checkExercise(seam, {{q.id, across}}).results[at].correct);
}

void TestExercise::answersAsTyped_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("shape"); // -1: no answer
    QTest::addColumn<QList<double>>("numbers");
    const int number = int(ExerciseResponse::Shape::number);
    const int numbers = int(ExerciseResponse::Shape::numbers);
    const int words = int(ExerciseResponse::Shape::words);
    const int output = int(QuestionKind::output);
    const int limits = int(QuestionKind::outputLimits);
    QTest::newRow("a number") << output << " 159.25 " << number << QList<double>{159.25};
    QTest::newRow("a minus sign as printed")
        << output << "\u22127.1" << number << QList<double>{-7.1};
    QTest::newRow("limits apart by a comma")
        << limits << "97.8, 139.3" << numbers << QList<double>{97.8, 139.3};
    QTest::newRow("limits apart by semicolons and blanks")
        << limits << "97.8 ;  1.393e2" << numbers << QList<double>{97.8, 139.3};
    QTest::newRow("no number") << output << "about ninety" << words << QList<double>{};
    QTest::newRow("a decimal comma is two numbers")
        << output << "7,1" << numbers << QList<double>{7, 1};
    QTest::newRow("blank") << output << "   " << -1 << QList<double>{};
    QTest::newRow("the type in words")
        << int(QuestionKind::type) << " crank-rocker" << words << QList<double>{};
}

void TestExercise::answersAsTyped()
{
    QFETCH(int, kind);
    QFETCH(QString, typed);
    QFETCH(int, shape);
    QFETCH(QList<double>, numbers);
    ExerciseQuestion q;
    q.kind = QuestionKind(kind);
    const std::optional<ExerciseResponse> r = responseFromText(q, typed.toStdString());
    QCOMPARE(r.has_value(), shape >= 0);
    if (!r) {
        return;
    }
    QCOMPARE(int(r->shape), shape);
    if (r->shape == ExerciseResponse::Shape::number) {
        QCOMPARE(r->number, numbers.front());
    } else if (r->shape == ExerciseResponse::Shape::numbers) {
        QCOMPARE(QList<double>(r->numbers.begin(), r->numbers.end()), numbers);
    } else {
        QCOMPARE(QString::fromStdString(r->words), typed.trimmed());
    }
}

void TestExercise::wordsInAnyCase_data()
{
    QTest::addColumn<int>("question"); // 0 type, 1 grashof of the crank-rocker
    QTest::addColumn<QString>("given");
    QTest::addColumn<bool>("correct");
    QTest::newRow("type as printed") << 0 << "crank-rocker" << true;
    QTest::newRow("type with spaces and capitals") << 0 << " Crank Rocker " << true;
    QTest::newRow("another type") << 0 << "rocker-crank" << false;
    QTest::newRow("grashof in words") << 1 << "grashof" << true;
    QTest::newRow("grashof as yes") << 1 << "Yes" << true;
    QTest::newRow("grashof denied") << 1 << "non-Grashof" << false;
}

void TestExercise::wordsInAnyCase()
{
    QFETCH(int, question);
    QFETCH(QString, given);
    QFETCH(bool, correct);
    const ExerciseFile exercise = everyKind();
    ExerciseResponse r;
    r.shape = ExerciseResponse::Shape::words;
    r.words = given.toStdString();
    const std::string& id = exercise.questions[static_cast<std::size_t>(question)].id;
    QCOMPARE(checkExercise(exercise, {{id, r}}).results[static_cast<std::size_t>(question)].correct,
             correct);
    // true and false stand for the Grashof condition's verdict.
    ExerciseResponse yes;
    yes.shape = ExerciseResponse::Shape::yesNo;
    yes.yes = true;
    QVERIFY(checkExercise(exercise, {{"q2", yes}}).results[1].correct);
    // A pi-rocker's subtype reads the same written with "pi".
    ExerciseFile rocker = exercise;
    rocker.dimensions = {40, 60, 30, 20, 45, -35};
    r.words = "Non-Grashof double rocker (pi-pi)";
    QVERIFY(checkExercise(rocker, {{"q1", r}}).results[0].correct);
}

void TestExercise::questionsWithoutAnAnswer_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("input");
    QTest::addColumn<QString>("message");
    // The default linkage: a non-Grashof double-rocker whose input stops at |theta| = 98.1.
    QTest::newRow("beyond the input's reach")
        << int(QuestionKind::output) << 120.0 << "cannot reach";
    QTest::newRow("swing of a double-rocker")
        << int(QuestionKind::swing) << 0.0 << "not a crank-rocker";
    QTest::newRow("at the input's toggle")
        << int(QuestionKind::outputRate) << 98.14763871533212 << "toggle of the input";
    QTest::newRow("input limits of a crank")
        << int(QuestionKind::outputLimits) << 0.0 << "no output limits";
}

void TestExercise::questionsWithoutAnAnswer()
{
    QFETCH(int, kind);
    QFETCH(double, input);
    QFETCH(QString, message);
    ExerciseFile exercise = everyKind();
    exercise.dimensions = kind == int(QuestionKind::outputLimits)
                              ? LinkageDimensions{90, 90, 90, 30, 45, 0}
                              : defaultDimensions;
    ExerciseQuestion q = exercise.questions[questionOf(exercise, QuestionKind(kind))];
    if (askedAtInput(q.kind)) {
        q.input = input;
        q.branch = 1;
    }
    exercise.questions = {q};
    const std::optional<std::string> problem = unanswerableQuestion(exercise);
    QVERIFY(problem);
    QVERIFY2(QString::fromStdString(*problem).contains(message), problem->c_str());
    QVERIFY(QString::fromStdString(*problem).contains(QString::fromStdString(q.id)));
}

void TestExercise::madeExercisesAreReproducibleAndAnswered()
{
    for (std::uint64_t seed = 100; seed < 120; ++seed) {
        const ExerciseRequest request{seed, 3, seed % 2 == 0 ? "crank-rocker" : "", {}};
        const std::vector<MadeExercise> made = makeExercises(request);
        const std::vector<MadeExercise> again = makeExercises(request);
        QCOMPARE(made.size(), size_t(3));
        QCOMPARE(answersCsv(made), answersCsv(again));
        for (std::size_t i = 0; i < made.size(); ++i) {
            const ExerciseFile& e = made[i].exercise;
            QCOMPARE(exerciseFileText(e), exerciseFileText(again[i].exercise));
            QCOMPARE(made[i].name, "exercise-0" + std::to_string(i + 1));
            QVERIFY(!exerciseProblem(e));
            QVERIFY(!unanswerableQuestion(e));
            const LinkageAnalysis an = analyseLinkage(e.dimensions);
            if (!request.type.empty()) {
                QCOMPARE(an.type, request.type);
            }
            for (const double t : an.T) {
                QVERIFY(std::fabs(t) >= 3.0);
            }
            for (const ExerciseQuestion& q : e.questions) {
                if (!askedAtInput(q.kind)) {
                    continue;
                }
                // Well clear of every toggle, and the key is the working's own number.
                for (const double limit : an.inputLimits) {
                    QVERIFY(std::fabs(std::fabs(q.input) - limit) >= 3.0);
                }
                const Working w = explainLinkage(e.dimensions, q.input, q.branch);
                QVERIFY(w.situation.empty());
                const double value = exerciseKey(e, q).numbers.at(0);
                const double fromWorking = q.kind == QuestionKind::output ? w.results.output
                                           : q.kind == QuestionKind::outputRate
                                               ? w.results.outputRate
                                               : value;
                QCOMPARE(value, fromWorking);
            }
        }
        QVERIFY(made[0].exercise.dimensions != made[1].exercise.dimensions);
    }
    // Another seed, other exercises.
    QVERIFY(answersCsv(makeExercises({1, 2, "", {}})) != answersCsv(makeExercises({2, 2, "", {}})));
    // Only the kinds asked, in the order asked.
    const std::vector<QuestionKind> kinds{QuestionKind::swing, QuestionKind::type};
    const std::vector<MadeExercise> some = makeExercises({5, 2, "", kinds});
    QCOMPARE(some.size(), size_t(2));
    for (const MadeExercise& made : some) {
        QCOMPARE(made.exercise.questions.size(), size_t(2));
        QCOMPARE(made.exercise.questions[0].kind, QuestionKind::swing);
        QCOMPARE(analyseLinkage(made.exercise.dimensions).type, std::string("crank-rocker"));
    }
}

void TestExercise::requestProblems_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QList<int>>("kinds");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown type") << "four-bar" << QList<int>{} << 1 << "is none of";
    QTest::newRow("input limits of a crank-rocker")
        << "crank-rocker" << QList<int>{int(QuestionKind::inputLimits)} << 1
        << "no crank-rocker answers every kind asked";
    QTest::newRow("swing with input limits")
        << "" << QList<int>{int(QuestionKind::swing), int(QuestionKind::inputLimits)} << 1
        << "no linkage answers";
    QTest::newRow("none") << "" << QList<int>{} << 0 << "from 1 to 999";
}

void TestExercise::requestProblems()
{
    QFETCH(QString, type);
    QFETCH(QList<int>, kinds);
    QFETCH(int, count);
    QFETCH(QString, message);
    ExerciseRequest request{1, count, type.toStdString(), {}};
    for (const int kind : kinds) {
        request.kinds.push_back(static_cast<QuestionKind>(kind));
    }
    const std::optional<std::string> problem = exerciseRequestProblem(request);
    QVERIFY(problem);
    QVERIFY2(QString::fromStdString(*problem).contains(message), problem->c_str());
    QVERIFY(makeExercises(request).empty());
}

QTEST_GUILESS_MAIN(TestExercise)
#include "tst_exercise.moc"
