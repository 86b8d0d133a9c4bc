// Tests of the Design window as a user meets it: F3 and the picture's menu, the task's tables,
// a five-position task taken off a known linkage giving it back, "Use this linkage" landing on
// the animation page, refused tasks, and task files.
#include "analysis_window.h"
#include "animation_page.h"
#include "app_state.h"
#include "artwork.h"
#include "design_test_support.h"
#include "design_window.h"
#include "dialog_colours.h"
#include "dimensions_page.h"
#include "message_box_probe.h"
#include "number_text.h"
#include "page_chain.h"
#include "page_session.h"
#include "task_file.h"
#include "widget_test_support.h"
#include "window_placement.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace cyclar;
using cyclar::test::click;
using cyclar::test::settle;

namespace {

void press(QPushButton* button)
{
    button->click();
    settle();
}

void setCell(QTableWidget* table, int row, int column, const QString& text)
{
    table->item(row, column)->setText(text);
}

const LinkageDimensions crankRocker{40, 80, 70, 90, 45, -35};

} // namespace

class TestDesignWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void f3AndTheMenuOpenOneWindow();
    void arrangedWithThePageAndTheAnalysisWindow_data();
    void arrangedWithThePageAndTheAnalysisWindow();
    void fivePositionsGiveTheirLinkageAndItIsUsed();
    void tableRowsAndRefusedTasks_data();
    void tableRowsAndRefusedTasks();
    void taskFilesRoundTripAndFailuresAreSaid();
    void functionTaskFromItsTable();
};

void TestDesignWindow::initTestCase()
{
    test::quietPlatformNotes();
    initArtwork();
    QApplication::setFont(defaultTextFont());
    applyDialogLook(*qApp);
}

void TestDesignWindow::f3AndTheMenuOpenOneWindow()
{
    test::PageSession session;
    cyclar_animation* page = session.submit();
    QVERIFY(page);
    page->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(page));
    QTest::keyClick(page, Qt::Key_F3);
    settle();
    const QList<DesignWindow*> shown = test::shownWindows<DesignWindow>();
    QCOMPARE(shown.size(), 1);
    DesignWindow* window = shown.front();
    QCOMPARE(window->windowTitle(), QStringLiteral("Design"));
    QVERIFY(!window->isModal());

    // The menu's "Design…" raises the same window; the page's look is unchanged by it.
    QMenu menu;
    page->buildPictureMenu(menu);
    QCOMPARE(menu.actions().at(1)->text(), QStringLiteral("Design\u2026"));
    menu.actions().at(1)->trigger();
    settle();
    QCOMPARE(test::shownWindows<DesignWindow>(), QList<DesignWindow*>{window});

    // It closes with its page.
    page->OnBack();
    settle();
    QVERIFY(test::shownWindows<DesignWindow>().isEmpty());
}

void TestDesignWindow::arrangedWithThePageAndTheAnalysisWindow_data()
{
    QTest::addColumn<QSize>("screenSize");
    QTest::addColumn<bool>("roomForAll");    // the three can stand apart
    QTest::addColumn<bool>("controlsClear"); // the Design window and the page's controls can
    QTest::newRow("1366x768") << QSize(1366, 768) << false << true;
    QTest::newRow("1280x1024") << QSize(1280, 1024) << false << true;
    QTest::newRow("1920x1080") << QSize(1920, 1080) << true << true; // Analysis below the page
    QTest::newRow("1024x768") << QSize(1024, 768) << false << false;
    QTest::newRow("1600x900") << QSize(1600, 900) << false << true;
    QTest::newRow("2560x1440") << QSize(2560, 1440) << true << true;
    QTest::newRow("1080x1920, upright") << QSize(1080, 1920) << true << true;
    QTest::newRow("1920x1080 above a task bar") << QSize(1920, 1040) << true << true;
}

// The arithmetic, with the frames' sizes of the program's windows, wherever the page stands and
// whichever window opens first: all three on the screen; the Design window at least 640 pixels
// high where the screen has them; where there is room for all three, none covers another; and
// where there is not, the page's controls stay in sight all the same.
void TestDesignWindow::arrangedWithThePageAndTheAnalysisWindow()
{
    QFETCH(QSize, screenSize);
    QFETCH(bool, roomForAll);
    QFETCH(bool, controlsClear);
    const QRect screen(QPoint(0, 0), screenSize);
    const QSize pageSize(747, 476);
    const QSize analysisSize(466, 507);
    const QSize designSize(868, heightOnScreen(708, designWindowMinimumHeight, screen.height()));
    QVERIFY(designSize.height() >= std::min(designWindowMinimumHeight, screen.height()));
    for (int x = -100; x <= screen.width(); x += 131) {
        for (int y = -50; y <= screen.height(); y += 117) {
            const QRect pageFrame(QPoint(x, y), pageSize);
            const QRect picture(pageFrame.topLeft(), QSize(480, 476));
            for (const bool designFirst : {false, true}) {
                QRect page;
                QRect analysis;
                QRect design;
                if (designFirst) {
                    const WindowArrangement first =
                        arrangeBesidePage(pageFrame, picture, QRect(), designSize, screen);
                    const QRect firstPage(first.page, pageSize);
                    const WindowArrangement then =
                        arrangeBesidePage(firstPage, QRect(first.page, picture.size()),
                                          QRect(first.window, designSize), analysisSize, screen);
                    page = QRect(then.page, pageSize);
                    design = QRect(then.shown, designSize);
                    analysis = QRect(then.window, analysisSize);
                } else {
                    const AnalysisPlacement first =
                        placeAnalysis(pageFrame, picture, analysisSize, screen);
                    const WindowArrangement then = arrangeBesidePage(
                        QRect(first.page, pageSize), QRect(first.page, picture.size()),
                        QRect(first.window, analysisSize), designSize, screen);
                    page = QRect(then.page, pageSize);
                    analysis = QRect(then.shown, analysisSize);
                    design = QRect(then.window, designSize);
                }
                const QRect controls(page.left() + 480, page.top(), page.width() - 480,
                                     page.height());
                const QString where = QStringLiteral("page at %1,%2, %3 first: page %4,%5, "
                                                     "Analysis %6,%7, Design %8,%9")
                                          .arg(x)
                                          .arg(y)
                                          .arg(designFirst ? "Design" : "Analysis")
                                          .arg(page.x())
                                          .arg(page.y())
                                          .arg(analysis.x())
                                          .arg(analysis.y())
                                          .arg(design.x())
                                          .arg(design.y());
                QVERIFY2(screen.contains(page) && screen.contains(analysis)
                             && screen.contains(design),
                         qPrintable(where));
                if (controlsClear) {
                    QVERIFY2(!design.intersects(controls) && !analysis.intersects(controls),
                             qPrintable(where));
                }
                if (roomForAll) {
                    QVERIFY2(!design.intersects(page) && !design.intersects(analysis)
                                 && !analysis.intersects(page),
                             qPrintable(where));
                }
            }
        }
    }
}

void TestDesignWindow::fivePositionsGiveTheirLinkageAndItIsUsed()
{
    test::PageSession session;
    cyclar_animation* page = session.submit();
    page->OnShowDesign();
    DesignWindow* window = page->designWindow;
    QVERIFY(window);

    // Five poses of a crank-rocker, typed into the table row by row.
    const DesignTask task =
        test::motionTask(crankRocker, {0.3, 0.9, 1.5, 2.1, 2.7}, identityRotation());
    while (window->positions->rowCount() < 5) {
        press(window->addRow);
    }
    QCOMPARE(window->positions->rowCount(), 5);
    for (int row = 0; row < 5; ++row) {
        const TaskPosition& p = task.positions[static_cast<std::size_t>(row)];
        setCell(window->positions, row, 0, QString::number(p.longitude, 'g', 17));
        setCell(window->positions, row, 1, QString::number(p.latitude, 'g', 17));
        setCell(window->positions, row, 2, QString::number(p.heading, 'g', 17));
    }
    window->pivotsGiven->setChecked(false);
    press(window->designButton);
    QVERIFY(!window->result().candidates.empty());
    QCOMPARE(window->candidates->rowCount(), static_cast<int>(window->result().candidates.size()));

    int original = -1;
    for (std::size_t i = 0; i < window->result().candidates.size(); ++i) {
        const LinkageDimensions& d = window->result().candidates[i].dims;
        if (std::fabs(d.a - crankRocker.a) < 1e-6 && std::fabs(d.b - crankRocker.b) < 1e-6
            && std::fabs(d.c - crankRocker.c) < 1e-6 && std::fabs(d.f - crankRocker.f) < 1e-6
            && std::fabs(d.h - crankRocker.h) < 1e-6
            && std::fabs(std::remainder(d.k - crankRocker.k, 360.0)) < 1e-6) {
            original = static_cast<int>(i);
        }
    }
    QVERIFY(original >= 0);

    // Choosing it in the list starts its tour on the sphere, which moves on the timer.
    window->candidates->setCurrentCell(original, 0);
    QCOMPARE(window->chosen(), original);
    QVERIFY(window->tour().size() > 5);
    QVERIFY(window->tourTimer.isActive());
    const QImage before = window->sphere->picture();
    const std::size_t step = window->tourIndex();
    QTRY_VERIFY(window->tourIndex() != step);
    QVERIFY(window->sphere->picture() != before);
    QCOMPARE(window->candidates->item(original, 2)->text(), QStringLiteral("usable"));

    // "Use this linkage" shows it on the animation page, as opening its file would.
    QVERIFY(window->useButton->isEnabled());
    window->useButton->click();
    settle();
    const LinkageDimensions& shown = session.state.scene.animationCopy;
    const LinkageDimensions& chosen =
        window->result().candidates[static_cast<std::size_t>(original)].dims;
    QCOMPARE(shown.a, chosen.a);
    QCOMPARE(shown.k, chosen.k);
    QCOMPARE(page->IDC_a->text(), formatDouble(chosen.a));
    QCOMPARE(page->IDC_k->text(), formatDouble(chosen.k));
    QCOMPARE(session.state.savedFrameIndex, 0);
    QCOMPARE(session.chain.front(), page); // the same page shows it
}

void TestDesignWindow::tableRowsAndRefusedTasks_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("badRow");
    QTest::addColumn<QString>("badText");
    QTest::addColumn<QString>("reason");
    QTest::newRow("two positions") << 2 << -1 << QString() << QStringLiteral("three");
    QTest::newRow("six positions") << 6 << -1 << QString() << QStringLiteral("five");
    QTest::newRow("not a number") << 3 << 1 << QStringLiteral("north")
                                  << QStringLiteral(
                                         "Position 2, latitude: 'north' is not a number.");
    QTest::newRow("latitude 90") << 3 << 2 << QStringLiteral("90") << QStringLiteral("90");
}

void TestDesignWindow::tableRowsAndRefusedTasks()
{
    QFETCH(int, rows);
    QFETCH(int, badRow);
    QFETCH(QString, badText);
    QFETCH(QString, reason);
    DesignWindow window(nullptr);
    QCOMPARE(window.positions->rowCount(), 3); // the starting task
    window.pivotsGiven->setChecked(false);
    // Added rows copy the one above; removing takes the current row.
    while (window.positions->rowCount() < rows) {
        press(window.addRow);
        const int last = window.positions->rowCount() - 1;
        QCOMPARE(window.positions->item(last, 0)->text(),
                 window.positions->item(last - 1, 0)->text());
        setCell(window.positions, last, 0, QString::number(100 + 7 * last));
    }
    while (window.positions->rowCount() > rows) {
        window.positions->setCurrentCell(0, 0);
        press(window.removeRow);
    }
    QCOMPARE(window.positions->rowCount(), rows);
    if (badRow >= 0) {
        setCell(window.positions, badRow, 1, badText);
    }
    press(window.designButton);
    QVERIFY(window.result().candidates.empty());
    QCOMPARE(window.candidates->rowCount(), 0);
    QVERIFY(!window.useButton->isEnabled());
    QVERIFY2(window.reason->text().contains(reason), qPrintable(window.reason->text()));
}

void TestDesignWindow::taskFilesRoundTripAndFailuresAreSaid()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wiper.cyclar-task"));
    DesignTask written;
    {
        DesignWindow window(nullptr);
        std::string error;
        written = *window.task(error);
        QVERIFY(window.saveTaskTo(path));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().toStdString(), taskFileText(written));

    DesignWindow window(nullptr);
    window.functionKind->setChecked(true);
    QVERIFY(window.openTaskFrom(path));
    QVERIFY(window.motionKind->isChecked());
    std::string error;
    QCOMPARE(*window.task(error), written);

    // A file that is no task is said in a message that names it; the tables stay.
    const QString bad = dir.filePath(QStringLiteral("bad.cyclar-task"));
    QFile badFile(bad);
    QVERIFY(badFile.open(QIODevice::WriteOnly));
    badFile.write(R"({"format": "cyclar-task", "version": 1, "kind": "motion", "positions": []})");
    badFile.close();
    {
        test::MessageBoxProbe probe;
        QVERIFY(!window.openTaskFrom(bad));
        QCOMPARE(probe.messages().size(), 1);
        QVERIFY2(probe.texts().front().contains(QStringLiteral("bad.cyclar-task")),
                 qPrintable(probe.texts().front()));
    }
    QCOMPARE(*window.task(error), written);

    // A failed write is said, and leaves no file behind.
    const QString nowhere = dir.filePath(QStringLiteral("missing/folder.cyclar-task"));
    {
        test::MessageBoxProbe probe;
        QVERIFY(!window.saveTaskTo(nowhere));
        QCOMPARE(probe.messages().size(), 1);
        QVERIFY(probe.texts().front().contains(QStringLiteral("folder.cyclar-task")));
    }
    QVERIFY(!QFile::exists(nowhere));
}

// Pairs typed into the function table: four pairs off a linkage give it back; three need the
// ground.
void TestDesignWindow::functionTaskFromItsTable()
{
    DesignWindow window(nullptr);
    window.functionKind->setChecked(true);
    QCOMPARE(window.pairs->rowCount(), 4);
    press(window.designButton);
    QCOMPARE(window.result().kind, TaskKind::Function);
    QCOMPARE(window.candidates->rowCount(), 1);

    window.pairs->setCurrentCell(3, 0);
    press(window.removeRow);
    press(window.designButton);
    QVERIFY(window.result().candidates.empty());
    QVERIFY2(window.reason->text().contains(QStringLiteral("ground")),
             qPrintable(window.reason->text()));
    window.groundGiven->setChecked(true);
    window.ground->setText(QStringLiteral("abc"));
    press(window.designButton);
    QCOMPARE(window.reason->text(), QStringLiteral("Ground f: 'abc' is not a number."));
}

QTEST_MAIN(TestDesignWindow)
#include "tst_design_window.moc"
