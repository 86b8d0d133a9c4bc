// Tests of the working and Exercise windows as a user meets them: F4 and the picture's menu, the
// working following the frame or held at a typed angle (the very text cyclar-export explain
// prints), copy, Save as HTML and print, and an exercise's answers checked, its values shown
// only when the file allows.
#include "animation_page.h"
#include "api_support.h"
#include "exercise_window.h"
#include "export_command.h"
#include "handout_figures.h"
#include "message_box_probe.h"
#include "page_session.h"
#include "significant_text.h"
#include "working_text.h"
#include "working_window.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace cyclar;
using cyclar::test::click;
using cyclar::test::settle;

namespace {

void pressF4(QWidget* page)
{
    // A shortcut works in the active window only.
    page->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(page));
    QTest::keyClick(page, Qt::Key_F4);
    settle();
}

// What cyclar-export explain prints for the same linkage and input.
QByteArray exportedWorking(const LinkageDimensions& d, double theta, int branch,
                           const char* format = "text")
{
    const QString dims = QStringLiteral("%1,%2,%3,%4,%5,%6")
                             .arg(d.a, 0, 'g', 17)
                             .arg(d.b, 0, 'g', 17)
                             .arg(d.c, 0, 'g', 17)
                             .arg(d.f, 0, 'g', 17)
                             .arg(d.h, 0, 'g', 17)
                             .arg(d.k, 0, 'g', 17);
    return runExport({"explain", "--dims", dims, "--input", QString::number(theta, 'g', 17),
                      "--branch", QString::number(branch), "--format", format})
        .out;
}

ExerciseFile crankRockerExercise(bool showWorking)
{
    ExerciseFile e;
    e.title = "A crank-rocker";
    e.dimensions = {160, 105, 120, 100, 45, -35};
    e.showWorking = showWorking;
    ExerciseQuestion type{"q1", QuestionKind::type, 0, 0, 0, ""};
    ExerciseQuestion limits{"q2", QuestionKind::outputLimits, 0, 0, 0.1, "deg"};
    ExerciseQuestion output{"q3", QuestionKind::output, 90, 1, 0.1, "deg"};
    e.questions = {type, limits, output};
    return e;
}

} // namespace

class TestWorkingWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::quietPlatformNotes(); }
    void f4AndTheMenuOpenOneWindow();
    void followsTheFrameOrHoldsATypedAngle();
    void copySaveAndPrint();
    void exerciseChecksAndShowsTheWorking();
    void exerciseThatForbidsTheWorking();
    void badExerciseFiles();
    void closesWithItsPage();
};

void TestWorkingWindow::f4AndTheMenuOpenOneWindow()
{
    test::PageSession session;
    cyclar_animation* page = session.submit();
    QVERIFY(test::shownWindows<WorkingWindow>().isEmpty());
    pressF4(page);
    QCOMPARE(test::shownWindows<WorkingWindow>().size(), 1);
    WorkingWindow* window = test::shownWindows<WorkingWindow>().first();
    QCOMPARE(window->windowTitle(), QStringLiteral("The working"));
    QVERIFY(!window->isModal());
    pressF4(page);
    QCOMPARE(test::shownWindows<WorkingWindow>(), QList<WorkingWindow*>{window});

    // The picture's menu names it, with its key, after Analysis and Design.
    window->close();
    QStringList items;
    QString shortcut;
    QTimer::singleShot(0, this, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction* action : menu->actions()) {
            items << action->text();
            if (action->text() == QStringLiteral("Show the working\u2026")) {
                shortcut = action->shortcut().toString();
            }
        }
        menu->close();
    });
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(100, 100),
                                 page->picture->mapToGlobal(QPoint(100, 100)));
    QApplication::sendEvent(page->picture, &rightClick);
    settle();
    QCOMPARE(items.mid(0, 3),
             (QStringList{QStringLiteral("Analysis\u2026"), QStringLiteral("Design\u2026"),
                          QStringLiteral("Show the working\u2026")}));
    QCOMPARE(shortcut, QStringLiteral("F4"));
    QVERIFY(items.contains(QStringLiteral("Open exercise\u2026")));
}

void TestWorkingWindow::followsTheFrameOrHoldsATypedAngle()
{
    test::PageSession session;
    cyclar_animation* page = session.submit();
    pressF4(page);
    WorkingWindow* window = page->workingWindow;
    QVERIFY(window);
    // Ticks driven by hand (the clock stays stopped): the working follows the frame shown, and
    // is word for word what cyclar-export explain prints there.
    for (int tick = 0; tick < 40; ++tick) {
        page->OnTimer(cyclar_animation::clockTimer);
    }
    settle();
    const std::vector<FrameAngles> table = frameAngleTable(defaultDimensions);
    const FrameAngles& shown =
        table[static_cast<size_t>(session.state.scene.schedule.frameIndex - 1)];
    QCOMPARE(window->working().theta, shown.angles.theta);
    QCOMPARE(window->working().branch, shown.angles.branch);
    QCOMPARE(window->workingText().toUtf8(),
             exportedWorking(defaultDimensions, shown.angles.theta, shown.angles.branch));

    // A typed angle holds, whatever the frame does.
    window->inputField->setText(QStringLiteral("\u221230"));
    window->branchBox->setCurrentIndex(1);
    QTest::keyClick(window->inputField, Qt::Key_Return);
    QVERIFY(window->holdButton->isChecked());
    QCOMPARE(window->working().theta, -30.0);
    QCOMPARE(window->working().branch, 2);
    page->OnTimer(cyclar_animation::clockTimer);
    settle();
    QCOMPARE(window->working().theta, -30.0);
    QCOMPARE(window->workingText().toUtf8(), exportedWorking(defaultDimensions, -30, 2));

    // Text that is no angle is not taken, and says so.
    window->inputField->setText(QStringLiteral("north"));
    QTest::keyClick(window->inputField, Qt::Key_Return);
    QVERIFY(window->inputMessage->isVisible());
    QCOMPARE(window->working().theta, -30.0);

    // Following again: the frame shown now.
    QTest::mouseClick(window->followButton, Qt::LeftButton);
    settle();
    QVERIFY(!window->inputMessage->isVisible());
    page->OnTimer(cyclar_animation::clockTimer);
    settle();
    const FrameAngles& now =
        table[static_cast<size_t>(session.state.scene.schedule.frameIndex - 1)];
    QCOMPARE(window->working().theta, now.angles.theta);
}

void TestWorkingWindow::copySaveAndPrint()
{
    test::PageSession session;
    cyclar_animation* page = session.submit();
    pressF4(page);
    WorkingWindow* window = page->workingWindow;
    window->holdInput(30, 1);
    window->copyText();
    QCOMPARE(QGuiApplication::clipboard()->text().toUtf8(),
             exportedWorking(defaultDimensions, 30, 1));

    // The handout, through the one writer: the page the command line writes, in this view.
    QTemporaryDir dir;
    const QString path = dir.filePath("working.html");
    QVERIFY(window->saveHtmlTo(path));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray html = saved.readAll();
    QCOMPARE(html, exportedWorking(defaultDimensions, 30, 1, "html"));

    // The browser's panel shows and saves what its module's functions give: the same text, and
    // the same handout in the same view.
    const LinkageDimensions& d = defaultDimensions;
    QCOMPARE(window->workingText().toUtf8(),
             QByteArray(cyclar_working(d.a, d.b, d.c, d.f, d.h, d.k, 30, 1, 0)));
    const ViewOrientation& view = session.state.scene.view;
    QCOMPARE(html, QByteArray(cyclar_working_html(d.a, d.b, d.c, d.f, d.h, d.k, 30, 1, view.turn,
                                                  view.tilt)));
    {
        test::MessageBoxProbe probe;
        QVERIFY(!window->saveHtmlTo(dir.filePath("working.png")));
        QCOMPARE(probe.messages().size(), 1);
        QVERIFY(probe.texts().first().contains(QStringLiteral("must end in .html")));
    }

    // Printed on A4 and on Letter, as a PDF: the figures and the derivation on a few pages.
    for (const QPageSize::PageSizeId size : {QPageSize::A4, QPageSize::Letter}) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(size));
        const QString pdf = dir.filePath(QStringLiteral("working-%1.pdf").arg(int(size)));
        printer.setOutputFileName(pdf);
        window->printTo(printer);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        const qsizetype pages = bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r")
                                + bytes.count("/Type /Page ");
        QVERIFY2(pages >= 2 && pages <= 12, qPrintable(QString::number(pages)));
        QVERIFY(bytes.contains("/Subtype /Image")); // the figures came along
    }
}

void TestWorkingWindow::exerciseChecksAndShowsTheWorking()
{
    test::PageSession session;
    cyclar_animation* page = session.submit();
    const ExerciseFile exercise = crankRockerExercise(true);
    QVERIFY(page->showExercise(exercise));
    ExerciseWindow* window = page->exerciseWindow;
    QVERIFY(window && window->isVisible());
    QCOMPARE(session.state.scene.animationCopy, exercise.dimensions); // the page shows it
    QCOMPARE(window->rows.size(), size_t(3));

    const ExerciseKey limits = exerciseKey(exercise, exercise.questions[1]);
    const ExerciseKey output = exerciseKey(exercise, exercise.questions[2]);
    window->rows[0].answer->setText(QStringLiteral("Crank Rocker"));
    window->rows[1].answer->setText(QStringLiteral("%1, %2")
                                        .arg(limits.numbers[0], 0, 'f', 3)
                                        .arg(limits.numbers[1], 0, 'f', 3));
    window->rows[2].answer->setText(QString::number(output.numbers[0] + 0.2, 'f', 3));
    QTest::mouseClick(window->checkButton, Qt::LeftButton);
    QCOMPARE(window->rows[0].mark->text(), QStringLiteral("correct"));
    QCOMPARE(window->rows[1].mark->text(), QStringLiteral("correct"));
    QVERIFY(window->rows[2].mark->text().startsWith(QStringLiteral("not yet: ")));
    QVERIFY(
        window->rows[2].mark->text().contains(QStringLiteral("Output \u03c8 on both branches")));
    QCOMPARE(window->score->text(), QStringLiteral("2 of 3 correct"));
    // No right value is on show yet.
    const QString shown = QString::number(output.numbers[0], 'f', 3);
    for (const ExerciseWindow::Row& row : window->rows) {
        QVERIFY(!row.value->isVisible());
        QVERIFY(!row.mark->text().contains(shown));
    }

    // "Show the working": the values beside the questions, and the working held at the
    // question's input.
    QTest::mouseClick(window->workingButton, Qt::LeftButton);
    settle();
    QVERIFY(window->rows[2].value->isVisible());
    QVERIFY(window->rows[2].value->text().contains(
        QString::fromStdString(shortestNumberText(output.numbers[0]))));
    QVERIFY(page->workingWindow && page->workingWindow->isVisible());
    QCOMPARE(page->workingWindow->working().theta, 90.0);
    QCOMPARE(page->workingWindow->working().branch, 1);
}

void TestWorkingWindow::exerciseThatForbidsTheWorking()
{
    test::PageSession session;
    cyclar_animation* page = session.submit();
    pressF4(page);
    QVERIFY(page->workingWindow && page->workingWindow->isVisible());
    QVERIFY(page->showExercise(crankRockerExercise(false)));
    ExerciseWindow* window = page->exerciseWindow;
    // The working of this linkage is not to be seen while the exercise is open.
    QVERIFY(!window->workingButton->isEnabled());
    QVERIFY(!page->workingAction->isEnabled());
    QVERIFY(!page->workingWindow || !page->workingWindow->isVisible());
    pressF4(page);
    QVERIFY(test::shownWindows<WorkingWindow>().isEmpty());
    window->showWorking();
    for (const ExerciseWindow::Row& row : window->rows) {
        QVERIFY(!row.value->isVisible());
    }
    // Closed, the page's working is there again.
    window->close();
    settle();
    QVERIFY(page->workingAction->isEnabled());
}

void TestWorkingWindow::badExerciseFiles()
{
    test::PageSession session;
    cyclar_animation* page = session.submit();
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return file.fileName();
    };
    const QString broken = write("broken.cyclar-exercise", "{\"format\":");
    // Asks for theta = 120 of a linkage whose input stops at 98.1.
    ExerciseFile beyond = crankRockerExercise(true);
    beyond.dimensions = defaultDimensions;
    beyond.questions = {{"q1", QuestionKind::output, 120, 1, 0.1, "deg"}};
    const QString unanswerable =
        write("beyond.cyclar-exercise", QByteArray::fromStdString(exerciseFileText(beyond)));
    for (const auto& [path, words] : {std::pair{broken, QStringLiteral("is not JSON")},
                                      std::pair{unanswerable, QStringLiteral("cannot reach")}}) {
        test::MessageBoxProbe probe;
        QVERIFY(!page->openExerciseFrom(path));
        QCOMPARE(probe.messages().size(), 1);
        QVERIFY2(probe.texts().first().contains(words), qPrintable(probe.texts().first()));
        QVERIFY(probe.texts().first().contains(QFileInfo(path).fileName()));
        QVERIFY(!page->exerciseWindow);
        QCOMPARE(session.state.scene.animationCopy, defaultDimensions); // nothing changed
    }
}

void TestWorkingWindow::closesWithItsPage()
{
    test::PageSession session;
    cyclar_animation* page = session.submit();
    pressF4(page);
    QVERIFY(page->showExercise(crankRockerExercise(true)));
    QPointer<WorkingWindow> working = page->workingWindow.data();
    QPointer<ExerciseWindow> exercise = page->exerciseWindow.data();
    click(page->IDC_back);
    QVERIFY(!working || !working->isVisible());
    QVERIFY(!exercise || !exercise->isVisible());
}

QTEST_MAIN(TestWorkingWindow)
#include "tst_working_window.moc"
