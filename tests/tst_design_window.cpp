// Tests of the Design window as a user meets it: F3 and the picture's menu, the task's tables,
// a five-position task taken off a known linkage giving it back among its mechanisms, "Use this
// linkage" landing on the animation page, refused tasks (by the one rule), task files, filters,
// the solution map's picks, the tables kept between windows and runs, the drag and Help.
#include "analysis_window.h"
#include "animation_page.h"
#include "app_state.h"
#include "artwork.h"
#include "design_test_support.h"
#include "design_window.h"
#include "dialog_colours.h"
#include "dimensions_page.h"
#include "frame_composition.h"
#include "function_fit.h"
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
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
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

int variantCount(const QTreeWidget* tree)
{
    int count = 0;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        count += tree->topLevelItem(i)->childCount();
    }
    return count;
}

// Types a task's positions into the window's table, row by row.
void typeTask(DesignWindow& window, const DesignTask& task)
{
    const int rows = static_cast<int>(task.positions.size());
    while (window.positions->rowCount() < rows) {
        press(window.addRow);
    }
    while (window.positions->rowCount() > rows) {
        window.positions->setCurrentCell(0, 0);
        press(window.removeRow);
    }
    for (int row = 0; row < rows; ++row) {
        const TaskPosition& p = task.positions[static_cast<std::size_t>(row)];
        setCell(window.positions, row, 0, QString::number(p.longitude, 'g', 17));
        setCell(window.positions, row, 1, QString::number(p.latitude, 'g', 17));
        setCell(window.positions, row, 2, QString::number(p.heading, 'g', 17));
    }
    window.pivotsGiven->setChecked(false);
}

// The README's five-position task: five poses of the starting linkage, to a tenth of a degree.
DesignTask readmeFivePositions()
{
    DesignTask task;
    task.positions = {{75.4, -39.9, -123.7},
                      {89.2, -25.9, -115.9},
                      {88.9, 4.9, -117.3},
                      {16.0, 41.4, 129.2},
                      {-8.4, 25.0, 72.4}};
    return task;
}

} // namespace

class TestDesignWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void f3AndTheMenuOpenOneWindow();
    void arrangedWithThePageAndTheAnalysisWindow_data();
    void arrangedWithThePageAndTheAnalysisWindow();
    void fivePositionsGiveTheirLinkageAndItIsUsed();
    void tableRowsAndRefusedTasks_data();
    void tableRowsAndRefusedTasks();
    void taskFilesRoundTripAndFailuresAreSaid();
    void functionTaskFromItsTable();
    void oneRuleWithTheReader_data();
    void oneRuleWithTheReader();
    void mechanismRowsAndFilters();
    void mapPicksMakeALinkage();
    void tablesKeptBetweenWindows();
    void dragTurnsByWholeDegrees();
    void helpExplainsDesign();
    void sameOrderAsTheCommandLine_data();
    void sameOrderAsTheCommandLine();
};

void TestDesignWindow::initTestCase()
{
    test::quietPlatformNotes();
    test::keepUserFilesApart();
    initArtwork();
    QApplication::setFont(defaultTextFont());
    applyDialogLook(*qApp);
}

// Each test starts as a first run does: no tables kept.
void TestDesignWindow::init()
{
    QFile::remove(DesignWindow::keptTablesPath());
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
    const QSize designSize(1002, heightOnScreen(708, designWindowMinimumHeight, screen.height()));
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
    typeTask(*window, task);
    QCOMPARE(window->positions->rowCount(), 5);
    press(window->designButton);
    QVERIFY(!window->result().candidates.empty());
    // One row per mechanism, its variants inside: every candidate once.
    QCOMPARE(window->candidates->topLevelItemCount(), window->result().candidates.back().mechanism);
    QCOMPARE(variantCount(window->candidates),
             static_cast<int>(window->result().candidates.size()));

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

    // Choosing its row in the list starts its tour on the sphere, which moves on the timer.
    QTreeWidgetItem* row = nullptr;
    for (int m = 0; m < window->candidates->topLevelItemCount(); ++m) {
        QTreeWidgetItem* mechanism = window->candidates->topLevelItem(m);
        for (int v = 0; v < mechanism->childCount(); ++v) {
            if (mechanism->child(v)->text(0) == QStringLiteral("Candidate %1").arg(original + 1)) {
                row = mechanism->child(v);
            }
        }
    }
    QVERIFY(row);
    window->candidates->setCurrentItem(row);
    QCOMPARE(window->chosen(), original);
    QVERIFY(
        window->chosenText->text().startsWith(QStringLiteral("Candidate %1").arg(original + 1)));
    QVERIFY(window->tour().size() > 5);
    QVERIFY(window->tourTimer.isActive());
    const QImage before = window->sphere->picture();
    const std::size_t step = window->tourIndex();
    QTRY_VERIFY(window->tourIndex() != step);
    QVERIFY(window->sphere->picture() != before);
    QCOMPARE(row->text(7), QStringLiteral("usable"));

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
    QCOMPARE(window.candidates->topLevelItemCount(), 0);
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
// ground; Chebyshev spacing puts the inputs and leaves the outputs to fill in.
void TestDesignWindow::functionTaskFromItsTable()
{
    DesignWindow window(nullptr);
    window.functionKind->setChecked(true);
    QCOMPARE(window.pairs->rowCount(), 4);
    press(window.designButton);
    QCOMPARE(window.result().kind, TaskKind::Function);
    QCOMPARE(variantCount(window.candidates), 1);
    QVERIFY(window.chosenText->text().contains(QStringLiteral("Output error: RMS")));

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

    window.groundGiven->setChecked(false);
    window.spacingFrom->setText(QStringLiteral("0"));
    window.spacingTo->setText(QStringLiteral("60"));
    window.spacingCount->setValue(5);
    press(window.spaceButton);
    QCOMPARE(window.pairs->rowCount(), 5);
    std::string error;
    const std::vector<double> inputs = *chebyshevInputs(0.0, 60.0, 5, error);
    for (int row = 0; row < 5; ++row) {
        QCOMPARE(window.pairs->item(row, 0)->text().toDouble(),
                 inputs[static_cast<std::size_t>(row)]);
    }
    QCOMPARE(window.pairs->item(2, 1)->text(), QStringLiteral("151")); // kept
    QCOMPARE(window.pairs->item(4, 1)->text(), QString());             // to fill in
    press(window.designButton);
    QCOMPARE(window.reason->text(), QStringLiteral("Pair 4, output \u03c8: '' is not a number."));
    window.spacingTo->setText(QStringLiteral("0"));
    press(window.spaceButton);
    QVERIFY(window.reason->text().contains(QStringLiteral("two different angles")));
}

void TestDesignWindow::oneRuleWithTheReader_data()
{
    QTest::addColumn<QStringList>("firstRow");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("pivots");
    QTest::addColumn<QString>("words");
    QTest::newRow("longitude 400") << QStringList{"400", "19.7", "-127.5"} << 3 << true
                                   << QStringLiteral("not from -360 to 360 degrees");
    QTest::newRow("four positions with pivots")
        << QStringList{"84", "19.7", "-127.5"} << 4 << true
        << QStringLiteral("fixed pivots go with three positions only");
}

// A table the reader would refuse is refused by the window's Design and its Save alike, in the
// reader's words: there is one rule of what a task is.
void TestDesignWindow::oneRuleWithTheReader()
{
    QFETCH(QStringList, firstRow);
    QFETCH(int, rows);
    QFETCH(bool, pivots);
    QFETCH(QString, words);
    DesignWindow window(nullptr);
    window.pivotsGiven->setChecked(pivots);
    for (int column = 0; column < 3; ++column) {
        setCell(window.positions, 0, column, firstRow[column]);
    }
    while (window.positions->rowCount() < rows) {
        press(window.addRow);
        setCell(window.positions, window.positions->rowCount() - 1, 0, QStringLiteral("30"));
    }
    std::string error;
    const std::optional<DesignTask> task = window.task(error);
    QVERIFY(task);
    std::string readError;
    QVERIFY(!parseTaskFile(taskFileText(*task), readError));
    QVERIFY2(QString::fromStdString(readError).contains(words), readError.c_str());
    press(window.designButton);
    QVERIFY(window.result().candidates.empty());
    QVERIFY2(window.reason->text().contains(words), qPrintable(window.reason->text()));
    QTemporaryDir dir;
    QVERIFY(!window.saveTaskTo(dir.filePath(QStringLiteral("x.cyclar-task"))));
    QVERIFY(window.reason->text().startsWith(QStringLiteral("Not saved: the task")));
    QVERIFY(window.reason->text().contains(words));
}

// The README's five-position task lists six mechanisms of 32 variants each; the filters keep
// what passes them and the columns carry their units.
void TestDesignWindow::mechanismRowsAndFilters()
{
    DesignWindow window(nullptr);
    typeTask(window, readmeFivePositions());
    press(window.designButton);
    QCOMPARE(window.candidates->topLevelItemCount(), 6);
    QCOMPARE(variantCount(window.candidates), 192);
    QVERIFY(window.reason->text().startsWith(QStringLiteral("6 mechanisms (192 candidates) do")));
    for (int column = 2; column <= 5; ++column) {
        QVERIFY(window.candidates->headerItem()->text(column).endsWith(QStringLiteral("(\u00b0)")));
    }
    QVERIFY(window.candidates->headerItem()->text(8).endsWith(QStringLiteral("(\u00b0)")));
    // Every column in view at the window's least width, Transmission last.
    window.resize(window.minimumSizeHint());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY2(window.candidates->header()->length() <= window.candidates->viewport()->width(),
             qPrintable(QStringLiteral("%1 of columns in %2")
                            .arg(window.candidates->header()->length())
                            .arg(window.candidates->viewport()->width())));
    window.hide();

    window.usableOnly->setChecked(true);
    int usable = 0;
    for (const DesignCandidate& c : window.result().candidates) {
        usable += c.usable() ? 1 : 0;
    }
    QCOMPARE(variantCount(window.candidates), usable);
    QVERIFY(usable > 0 && usable < 192);
    window.usableOnly->setChecked(false);
    window.shortestLink->setValue(25);
    window.longestLink->setValue(60);
    for (int m = 0; m < window.candidates->topLevelItemCount(); ++m) {
        const QTreeWidgetItem* mechanism = window.candidates->topLevelItem(m);
        for (int v = 0; v < mechanism->childCount(); ++v) {
            for (int column = 2; column <= 5; ++column) {
                const double arc = mechanism->child(v)->text(column).chopped(1).toDouble();
                QVERIFY(arc >= 25.0 - 0.05 && arc <= 60.0 + 0.05);
            }
        }
    }
    window.leastTransmission->setValue(89);
    QCOMPARE(window.candidates->topLevelItemCount(), 0);
}

// Four positions: the map's curves on the sphere; a pick colours them, a second makes the
// linkage of the two, shown at once and used as a candidate would be.
void TestDesignWindow::mapPicksMakeALinkage()
{
    DesignWindow window(nullptr);
    const DesignTask task =
        test::motionTask(defaultDimensions, {0.5, 1.1, 1.8, 2.6}, identityRotation());
    typeTask(window, task);
    press(window.designButton);
    const SolutionMap& map = window.solutionMap();
    QVERIFY(!map.empty());
    QVERIFY(window.mapText->text().contains(QStringLiteral("Click the thick curve")));
    // A click on the sphere where a front point of the curve shows picks it.
    const ViewOrientation view = window.sphere->view();
    std::optional<QPoint> at;
    for (std::size_t i = 0; i < map.centrePoints.size() && !at; ++i) {
        ViewOrientation v = view;
        v.recompute();
        const RotatedPoint r = rotateToView(v, map.centrePoints[i]);
        if (r.depth > 0.3) {
            const Projection p = projectionFor(
                window.sphere->width(), window.sphere->height(),
                std::min(window.sphere->width(), window.sphere->height()) * 0.9 / 2.0);
            at = QPoint(static_cast<int>(std::lround(p.cx + p.radius * r.x)),
                        static_cast<int>(std::lround(p.cy - p.radius * r.y)));
        }
    }
    QVERIFY(at);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.sphere, Qt::LeftButton, {}, *at);
    QCOMPARE(window.picked().size(), std::size_t{1});
    QVERIFY(window.mapText->text().contains(QStringLiteral("green")));

    // Picks beside the linkage's own pivots make a linkage of the family near it.
    const auto nearest = [&](const SphereVector& p) {
        std::size_t best = 0;
        for (std::size_t i = 1; i < map.centrePoints.size(); ++i) {
            if (arcDegrees(map.centrePoints[i], p) < arcDegrees(map.centrePoints[best], p)) {
                best = i;
            }
        }
        return best;
    };
    const LinkageModel model = buildLinkageModel(defaultDimensions);
    window.pickMapPoint(nearest(model.A0));
    QCOMPARE(window.picked().size(), std::size_t{2});
    window.pickMapPoint(nearest(model.A0)); // a third pick starts again
    QCOMPARE(window.picked().size(), std::size_t{1});
    window.pickMapPoint(nearest(model.B0));
    QCOMPARE(window.picked().size(), std::size_t{2});
    QVERIFY(!window.mapLinkages().empty());
    QCOMPARE(window.shown(), &window.mapLinkages().front());
    QCOMPARE(window.chosen(), -1);
    QVERIFY(window.chosenText->text().startsWith(QStringLiteral("Picked on the map")));
    QVERIFY(window.mapText->text().startsWith(QStringLiteral("The two picks make")));
    QVERIFY(std::fabs(window.shown()->dims.f - defaultDimensions.f) < 2.0);
    QSignalSpy used(&window, &DesignWindow::linkageChosen);
    press(window.useButton);
    QCOMPARE(used.count(), 1);
    QCOMPARE(used.front().front().value<LinkageFile>().dimensions, window.shown()->dims);
    // Choosing from the list again takes over.
    window.chooseCandidate(0);
    QCOMPARE(window.shown(), &window.result().candidates.front());
    QVERIFY(window.picked().empty());
}

// Closed, the window keeps its tables (both kinds, as typed, and the kind shown); the next
// window, in this run or another, opens on them. A kept file that cannot be read is said.
void TestDesignWindow::tablesKeptBetweenWindows()
{
    DesignTables typed;
    {
        DesignWindow window(nullptr);
        window.show();
        setCell(window.positions, 1, 2, QStringLiteral("half"));
        window.functionKind->setChecked(true);
        setCell(window.pairs, 0, 1, QStringLiteral("8.25"));
        typed = window.tables();
        window.close();
    }
    std::string error;
    const std::optional<DesignTables> kept =
        readDesignTables(DesignWindow::keptTablesPath().toStdString(), error);
    QVERIFY2(kept, error.c_str());
    QCOMPARE(*kept, typed);
    {
        DesignWindow window(nullptr);
        QCOMPARE(window.tables(), typed);
        QVERIFY(window.functionKind->isChecked());
        QCOMPARE(window.pairs->item(0, 1)->text(), QStringLiteral("8.25"));
    }
    // Over its page's Back and its own close box alike.
    {
        test::PageSession session;
        cyclar_animation* page = session.submit();
        page->OnShowDesign();
        QCOMPARE(page->designWindow->tables(), typed);
        page->designWindow->motionKind->setChecked(true);
        typed = page->designWindow->tables();
        page->OnBack();
        settle();
    }
    QCOMPARE(*readDesignTables(DesignWindow::keptTablesPath().toStdString(), error), typed);

    QFile file(DesignWindow::keptTablesPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{\"format\": \"cyclar-design-tables\"");
    file.close();
    DesignWindow window(nullptr);
    QCOMPARE(window.positions->rowCount(), 3);
    QVERIFY2(window.reason->text().startsWith(QStringLiteral("The last task could not be read")),
             qPrintable(window.reason->text()));
    QFile::remove(DesignWindow::keptTablesPath());
}

// A slow drag turns the view a whole degree for each pixel, from wherever the view faces and
// on round past 180 degrees, without a jump at its start.
void TestDesignWindow::dragTurnsByWholeDegrees()
{
    DesignWindow window(nullptr);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ViewOrientation view = window.sphere->view();
    view.turn = -150.0;
    view.tilt = 10.0;
    window.sphere->setView(view);
    QPoint at(100, 100);
    QTest::mousePress(window.sphere, Qt::LeftButton, {}, at);
    for (int step = 0; step < 40; ++step) {
        at += QPoint(-1, 0);
        QMouseEvent move(QEvent::MouseMove, at, window.sphere->mapToGlobal(at), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.sphere, &move);
        if (step == 2) {
            QCOMPARE(window.sphere->view().turn, -153.0);
        }
    }
    QCOMPARE(window.sphere->view().turn, 170.0); // -150 - 40, round past -180
    QCOMPARE(window.sphere->view().tilt, 10.0);
    at += QPoint(0, -5);
    QMouseEvent up(QEvent::MouseMove, at, window.sphere->mapToGlobal(at), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.sphere, &up);
    QCOMPARE(window.sphere->view().tilt, 15.0);
    QTest::mouseRelease(window.sphere, Qt::LeftButton, {}, at);
}

// F1 or Help shows the Design section: what to enter, the frame, branch and circuit, defects.
void TestDesignWindow::helpExplainsDesign()
{
    DesignWindow window(nullptr);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_F1);
    settle();
    auto* text = window.findChild<QLabel*>(QStringLiteral("designHelp"));
    QVERIFY(text && text->isVisible());
    for (const char* heading : {"What to enter", "The frame and the angles", "Branch and circuit",
                                "Defects", "Mechanisms and variants", "The solution map"}) {
        QVERIFY2(text->text().contains(QLatin1String(heading)), heading);
    }
    QVERIFY(text->text().contains(QStringLiteral("0\u00b0 north")));
}

void TestDesignWindow::sameOrderAsTheCommandLine_data()
{
    QTest::addColumn<QString>("path");
    const QDir folder(QStringLiteral(CYCLAR_DESIGN_TASKS));
    const QStringList names =
        folder.entryList({QStringLiteral("*.cyclar-task")}, QDir::Files, QDir::Name);
    QCOMPARE(names.size(), 20);
    for (const QString& name : names) {
        QTest::newRow(qPrintable(name)) << folder.filePath(name);
    }
}

// Each of the twenty tasks (ties among them: the joints' two ends, either pivot driving),
// opened in the window and designed, lists its candidates in the order cyclar-export design
// prints them, candidate N in the list the N-th there, in the same mechanism.
void TestDesignWindow::sameOrderAsTheCommandLine()
{
    QFETCH(QString, path);
    QProcess process;
    process.start(QStringLiteral(CYCLAR_EXPORT_PATH),
                  {QStringLiteral("design"), QStringLiteral("--task"), path});
    QVERIFY(process.waitForFinished(120000));
    QCOMPARE(process.exitCode(), 0);
    const QJsonArray printed = QJsonDocument::fromJson(process.readAllStandardOutput())
                                   .object()
                                   .value(QStringLiteral("candidates"))
                                   .toArray();
    DesignWindow window(nullptr);
    QVERIFY(window.openTaskFrom(path));
    press(window.designButton);
    const std::vector<DesignCandidate>& listed = window.result().candidates;
    QCOMPARE(static_cast<qsizetype>(listed.size()), printed.size());
    QVERIFY(!listed.empty());
    QCOMPARE(variantCount(window.candidates), printed.size());
    int row = 0;
    for (int m = 0; m < window.candidates->topLevelItemCount(); ++m) {
        const QTreeWidgetItem* mechanism = window.candidates->topLevelItem(m);
        for (int v = 0; v < mechanism->childCount(); ++v, ++row) {
            QCOMPARE(mechanism->child(v)->text(0), QStringLiteral("Candidate %1").arg(row + 1));
            const QJsonObject theirs = printed.at(row).toObject();
            const QJsonObject dims = theirs.value(QStringLiteral("dims")).toObject();
            const DesignCandidate& mine = listed[static_cast<std::size_t>(row)];
            QCOMPARE(mine.mechanism, theirs.value(QStringLiteral("mechanism")).toInt());
            QCOMPARE(mechanism->text(0), QStringLiteral("Mechanism %1").arg(mine.mechanism));
            const double arcs[] = {mine.dims.a, mine.dims.b, mine.dims.c,
                                   mine.dims.f, mine.dims.h, mine.dims.k};
            const char* names[] = {"a", "b", "c", "f", "h", "k"};
            for (int i = 0; i < 6; ++i) {
                QVERIFY2(std::fabs(arcs[i] - dims.value(QLatin1String(names[i])).toDouble()) < 1e-9,
                         qPrintable(QStringLiteral("candidate %1, %2").arg(row + 1).arg(names[i])));
            }
        }
    }
}

QTEST_MAIN(TestDesignWindow)
#include "tst_design_window.moc"
