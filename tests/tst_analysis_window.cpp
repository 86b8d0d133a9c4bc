// Tests of the Analysis window as a user meets it: F2 and the picture's menu, its markers in
// step with the picture, its place beside the page and its closing with the page.
#include "analysis_plot.h"
#include "analysis_window.h"
#include "animation_page.h"
#include "app_state.h"
#include "artwork.h"
#include "dialog_colours.h"
#include "dimensions_page.h"
#include "page_chain.h"
#include "page_session.h"
#include "rate_plot.h"
#include "widget_test_support.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <cmath>

using namespace cyclar;
using cyclar::test::click;
using cyclar::test::settle;

namespace {

// The program's pages over one shared state: a dimensions page with the given dimensions.

void pressF2(QWidget* page)
{
    // A shortcut works in the active window only.
    page->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(page));
    QTest::keyClick(page, Qt::Key_F2);
    settle();
}

bool isMarker(QRgb pixel)
{
    return qRed(pixel) > 170 && qGreen(pixel) < 60 && qBlue(pixel) < 90;
}

bool sameAngles(const PoseAngles& x, const PoseAngles& y)
{
    return x.theta == y.theta && x.psi == y.psi && x.mu == y.mu && x.branch == y.branch;
}

} // namespace

class TestAnalysisWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void f2AndTheMenuOpenOneWindow();
    void itOpensBesideThePicture();
    void placement_data();
    void placement();
    void placementKeepsBothOnTheScreenAndApart();
    void markerSitsOnTheFramesAngles();
    void markerMovesWithTicksAndHoldsWhenStopped();
    void rateTabFollowsTheFrame();
    void closesWithItsPage_data();
    void closesWithItsPage();
    void textsOfChiangsAndOfATypelessLinkage();
};

void TestAnalysisWindow::initTestCase()
{
    test::quietPlatformNotes();
    initArtwork();
    QApplication::setFont(defaultTextFont());
    applyDialogLook(*qApp);
}

void TestAnalysisWindow::f2AndTheMenuOpenOneWindow()
{
    test::PageSession session;
    cyclar_animation* page = session.submit();
    QVERIFY(test::shownWindows<AnalysisWindow>().isEmpty());

    pressF2(page);
    QCOMPARE(test::shownWindows<AnalysisWindow>().size(), 1);
    AnalysisWindow* window = test::shownWindows<AnalysisWindow>().first();
    QCOMPARE(window->windowTitle(), QStringLiteral("Analysis"));
    QVERIFY(!window->isModal());

    // A second F2 raises the same window.
    pressF2(page);
    QCOMPARE(test::shownWindows<AnalysisWindow>(), QList<AnalysisWindow*>{window});

    // The picture's right-click menu: "Analysis…" first, showing F2; choosing it opens nothing new.
    window->close();
    QVERIFY(test::shownWindows<AnalysisWindow>().isEmpty());
    QString firstItem;
    QString shortcut;
    QTimer::singleShot(0, this, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu && !menu->actions().isEmpty());
        QAction* first = menu->actions().first();
        firstItem = first->text();
        shortcut = first->shortcut().toString();
        menu->close();
        first->trigger();
    });
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(100, 100),
                                 page->picture->mapToGlobal(QPoint(100, 100)));
    QApplication::sendEvent(page->picture, &rightClick);
    settle();
    QCOMPARE(firstItem, QStringLiteral("Analysis\u2026"));
    QCOMPARE(shortcut, QStringLiteral("F2"));
    QCOMPARE(test::shownWindows<AnalysisWindow>(), QList<AnalysisWindow*>{window});

    // Escape closes it.
    QTest::keyClick(window, Qt::Key_Escape);
    settle();
    QVERIFY(test::shownWindows<AnalysisWindow>().isEmpty());
}

void TestAnalysisWindow::itOpensBesideThePicture()
{
    test::PageSession session;
    cyclar_animation* page = session.submit();
    const QSize pageSize = page->frameGeometry().size();
    pressF2(page);
    AnalysisWindow* window = page->analysisWindow;
    QVERIFY(window && window->isVisible());
    // Both on the screen, and apart whenever the screen has room for both side by side (the
    // suite also runs on a 1280 x 1024 screen, where the page must move for that).
    const QRect screen = page->screen()->availableGeometry();
    const QRect pageFrame = page->frameGeometry();
    const QRect windowFrame = window->frameGeometry();
    QVERIFY(screen.contains(pageFrame));
    QVERIFY(screen.contains(windowFrame));
    if (pageFrame.width() + 8 + windowFrame.width() <= screen.width()) {
        QVERIFY(!windowFrame.intersects(pageFrame));
        QCOMPARE(windowFrame.top(), pageFrame.top());
    } else {
        const QRect picture(page->picture->mapToGlobal(QPoint(0, 0)), page->picture->size());
        QVERIFY(windowFrame.intersected(picture).width() < picture.width() / 2);
    }
    // Nothing about the page changed but, at most, where it stands.
    QCOMPARE(page->frameGeometry().size(), pageSize);
    QVERIFY(page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).contains(window));
}

void TestAnalysisWindow::placement_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("pageBefore");
    QTest::addColumn<QPoint>("page");
    QTest::addColumn<QPoint>("window");
    // The animation page (747 x 476, its picture the left 480 pixels), a 462 x 600 window.
    QTest::newRow("1920x1080: right of the centred page, which stays")
        << QRect(0, 0, 1920, 1080) << QPoint(586, 302) << QPoint(586, 302) << QPoint(1341, 302);
    QTest::newRow("1280x1024: the centred page moves left to make room")
        << QRect(0, 0, 1280, 1024) << QPoint(266, 274) << QPoint(63, 274) << QPoint(818, 274);
    QTest::newRow("1366x768: likewise, the window raised to stay on the screen")
        << QRect(0, 0, 1366, 768) << QPoint(309, 146) << QPoint(149, 146) << QPoint(904, 146);
    QTest::newRow("room only on the left: the page stays")
        << QRect(0, 0, 1920, 1080) << QPoint(1100, 50) << QPoint(1100, 50) << QPoint(630, 50);
    QTest::newRow("page lower than the window fits")
        << QRect(0, 0, 1920, 1080) << QPoint(100, 600) << QPoint(100, 600) << QPoint(855, 480);
    QTest::newRow("page partly off the screen comes back on it")
        << QRect(0, 0, 1920, 1080) << QPoint(-100, -20) << QPoint(0, 0) << QPoint(755, 0);
    QTest::newRow("second screen right of the first, under a 30-pixel panel")
        << QRect(1920, 30, 1280, 994) << QPoint(2186, 289) << QPoint(1983, 289)
        << QPoint(2738, 289);
    QTest::newRow("tall narrow screen: the window below the page")
        << QRect(0, 0, 1024, 1280) << QPoint(138, 402) << QPoint(138, 196) << QPoint(138, 680);
    QTest::newRow("800x600, room for neither: beside the controls, off most of the picture")
        << QRect(0, 0, 800, 600) << QPoint(26, 62) << QPoint(0, 62) << QPoint(338, 0);
}

void TestAnalysisWindow::placement()
{
    QFETCH(QRect, screen);
    QFETCH(QPoint, pageBefore);
    QFETCH(QPoint, page);
    QFETCH(QPoint, window);
    const QRect pageFrame(pageBefore, QSize(747, 476));
    const AnalysisPlacement place =
        placeAnalysis(pageFrame, QRect(pageBefore, QSize(480, 476)), QSize(462, 600), screen);
    QCOMPARE(place.page, page);
    QCOMPARE(place.window, window);
}

// Over common screens and anywhere the page may stand: both stay wholly on the screen, and the
// window covers nothing of the page whenever the screen can hold the two apart.
void TestAnalysisWindow::placementKeepsBothOnTheScreenAndApart()
{
    const QSize pageSize(747, 476);
    const QSize windowSize(462, 560);
    const QList<QSize> screens{{1024, 768}, {1280, 720}, {1280, 800},  {1280, 1024}, {1366, 768},
                               {1440, 900}, {1600, 900}, {1920, 1080}, {2560, 1440}, {1080, 1920}};
    for (const QSize& size : screens) {
        const QRect screen(QPoint(0, 0), size);
        const bool roomForBoth = pageSize.width() + windowSize.width() + 8 <= size.width()
                                 || pageSize.height() + windowSize.height() + 8 <= size.height();
        for (int x = -200; x <= size.width(); x += 97) {
            for (int y = -100; y <= size.height(); y += 89) {
                const QRect pageFrame(QPoint(x, y), pageSize);
                const AnalysisPlacement place = placeAnalysis(
                    pageFrame, QRect(pageFrame.topLeft(), QSize(480, 476)), windowSize, screen);
                const QRect page(place.page, pageSize);
                const QRect window(place.window, windowSize);
                const QString where = QStringLiteral("%1x%2, page at %3,%4")
                                          .arg(size.width())
                                          .arg(size.height())
                                          .arg(x)
                                          .arg(y);
                QVERIFY2(screen.contains(page) && screen.contains(window), qPrintable(where));
                if (roomForBoth) {
                    QVERIFY2(!page.intersects(window), qPrintable(where));
                }
                if (screen.contains(pageFrame)
                    && screen.contains(QRect(pageFrame.topRight() + QPoint(9, 0), windowSize))) {
                    QVERIFY2(page == pageFrame, qPrintable(where)); // nothing to make room for
                }
            }
        }
    }
}

// The markers stand where the chart puts the frame's input and output angles, and those are the
// angles of the pose the picture shows, frame after frame.
void TestAnalysisWindow::markerSitsOnTheFramesAngles()
{
    test::PageSession session;
    cyclar_animation* page = session.submit();
    pressF2(page);
    AnalysisPlot* plot = page->analysisWindow->plot;
    const std::vector<FrameAngles> table = frameAngleTable(defaultDimensions);
    const AnalysisChartGeometry geometry(plot->size());
    const test::ClockByHand clock(page);
    click(page->IDC_animate);
    for (int frame = 1; frame <= 120; ++frame) {
        page->OnTimer(cyclar_animation::clockTimer);
        const PoseAngles& shown = plot->angles();
        const PoseAngles& expected = table[static_cast<size_t>(frame - 1)].angles;
        QVERIFY2(sameAngles(shown, expected), qPrintable(QStringLiteral("frame %1").arg(frame)));
        if (frame % 30 == 0) {
            const QImage image = plot->grab().toImage();
            const QPoint psi = geometry.point(expected.theta, expected.psi).toPoint();
            const QPoint mu = geometry.point(expected.theta, expected.mu).toPoint();
            QVERIFY2(isMarker(image.pixel(psi)), qPrintable(QStringLiteral("frame %1").arg(frame)));
            QVERIFY2(isMarker(image.pixel(mu)), qPrintable(QStringLiteral("frame %1").arg(frame)));
            // Only the markers are drawn over the cached chart.
            int changed = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    changed += image.pixel(x, y) != plot->chart().pixel(x, y);
                }
            }
            QVERIFY(changed > 40 && changed < 400);
        }
    }
}

void TestAnalysisWindow::markerMovesWithTicksAndHoldsWhenStopped()
{
    test::PageSession session;
    cyclar_animation* page = session.submit();
    pressF2(page);
    AnalysisPlot* plot = page->analysisWindow->plot;
    const std::vector<FrameAngles> table = frameAngleTable(defaultDimensions);
    QVERIFY(sameAngles(plot->angles(), table[0].angles)); // a new page stands on frame 1

    // Running on the real clock (166 ms a tick): the marker moves on. (The wait ends as soon as
    // it has; its bound is only for a machine that never gets there.)
    click(page->IDC_animate);
    QTRY_VERIFY_WITH_TIMEOUT(session.state.scene.schedule.frameIndex >= 3, 120000);
    QVERIFY(!sameAngles(plot->angles(), table[0].angles));

    click(page->IDC_stop);
    const PoseAngles held = plot->angles();
    const int frame = session.state.scene.schedule.frameIndex;
    QTest::qWait(500);
    settle();
    QVERIFY(sameAngles(plot->angles(), held));
    QVERIFY(sameAngles(held, table[static_cast<size_t>(frame - 1)].angles));

    // Animate while running jumps back to the frame the last Stop saved: the marker jumps with
    // the picture at the next tick, given here by hand.
    const test::ClockByHand clock(page);
    click(page->IDC_animate);
    page->OnTimer(cyclar_animation::clockTimer);
    QCOMPARE(session.state.scene.schedule.frameIndex, frame + 1);
    QVERIFY(sameAngles(plot->angles(), table[static_cast<size_t>(frame)].angles));
    click(page->IDC_stop);
}

void TestAnalysisWindow::rateTabFollowsTheFrame()
{
    test::PageSession session;
    cyclar_animation* page = session.submit();
    pressF2(page);
    AnalysisWindow* window = page->analysisWindow;
    // The angle chart is what the window opens on; the rates wait behind their tab.
    QCOMPARE(window->charts->currentWidget(), static_cast<QWidget*>(window->plot));
    QCOMPARE(window->charts->tabText(1), QStringLiteral("Rates"));
    RatePlot* rates = window->ratePlot;
    const std::vector<FrameRates> table = frameRateTable(defaultDimensions);
    const test::ClockByHand clock(page);
    click(page->IDC_animate);
    for (int frame = 1; frame <= 240; ++frame) {
        page->OnTimer(cyclar_animation::clockTimer);
        const FrameRates& expected = table[static_cast<size_t>(frame - 1)];
        const QString where = QStringLiteral("frame %1").arg(frame);
        QVERIFY2(sameAngles(rates->rates().angles, expected.angles), qPrintable(where));
        QCOMPARE(rates->rates().rates.outputRate, expected.rates.outputRate);
        QCOMPARE(rates->rates().rates.pointSpeed, expected.rates.pointSpeed);
        if (frame % 40 == 0) {
            window->charts->setCurrentWidget(rates);
            settle();
            const QImage image = rates->grab().toImage();
            QCOMPARE(image.size(), rates->chart().size());
            const double theta = expected.angles.theta;
            int shown = 0;
            for (const double value : {expected.rates.outputRate, expected.rates.pointSpeed}) {
                const QPointF at = rates->geometry().point(theta, value);
                if (rates->geometry().plotArea().contains(at)) {
                    QVERIFY2(isMarker(image.pixel(at.toPoint())), qPrintable(where));
                    ++shown;
                }
            }
            QVERIFY2(shown > 0, qPrintable(where));
            // Nothing but the markers differs from the chart drawn once.
            int changed = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    changed += image.pixel(x, y) != rates->chart().pixel(x, y);
                }
            }
            QVERIFY2(changed > 20 * shown && changed < 300 * shown, qPrintable(where));
            window->charts->setCurrentWidget(window->plot);
        }
    }
    click(page->IDC_stop);
}

void TestAnalysisWindow::closesWithItsPage_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Back") << "back";
    QTest::newRow("Exit") << "exit";
    QTest::newRow("close box") << "close";
}

void TestAnalysisWindow::closesWithItsPage()
{
    QFETCH(QString, how);
    test::PageSession session;
    cyclar_animation* page = session.submit();
    pressF2(page);
    QPointer<AnalysisWindow> window = page->analysisWindow.data();
    QVERIFY(window && window->isVisible());
    if (how == "back") {
        click(page->IDC_back);
        QVERIFY(!window || !window->isVisible());
        // A new animation page does not reopen it by itself.
        cyclar_animation* next = session.submit();
        QVERIFY(next);
        QVERIFY(test::shownWindows<AnalysisWindow>().isEmpty());
        QVERIFY(!next->analysisWindow);
        QVERIFY(!window); // gone with the page it belonged to
    } else if (how == "exit") {
        click(page->IDCANCEL_button);
        QVERIFY(!window || !window->isVisible());
        QVERIFY(test::shownWindows<AnalysisWindow>().isEmpty());
    } else {
        window->close();
        settle();
        QVERIFY(test::shownWindows<AnalysisWindow>().isEmpty());
        // Still the page's, shown again by the next F2.
        pressF2(page);
        QCOMPARE(test::shownWindows<AnalysisWindow>(), QList<AnalysisWindow*>{window.data()});
    }
}

void TestAnalysisWindow::textsOfChiangsAndOfATypelessLinkage()
{
    // Chiang's crank-rocker: the label note explains the frame's "Non-Grashof".
    {
        test::PageSession session({160, 105, 120, 100, 45, -35});
        cyclar_animation* page = session.submit();
        pressF2(page);
        AnalysisWindow* window = page->analysisWindow;
        QCOMPARE(window->findChild<QLabel*>("type")->text(), QStringLiteral("Crank-rocker"));
        QVERIFY(window->findChild<QLabel*>("labelNote")
                    ->text()
                    .contains("Non-Grashof Four-bar Linkage"));
        QVERIFY(window->findChild<QLabel*>("values")->text().contains(
            QStringLiteral("T4 = -125.0\u00b0")));
        QVERIFY(window->findChild<QLabel*>("motion")->text().contains("time ratio"));
    }
    // Two triangles that close in one position only: no type, no figures, no curves, and
    // nothing breaks while the page animates it. The picture holds the one, folded, position.
    test::PageSession session({170, 170, 100, 80, 45, -35});
    cyclar_animation* page = session.submit();
    pressF2(page);
    AnalysisWindow* window = page->analysisWindow;
    QCOMPARE(window->findChild<QLabel*>("type")->text(), QStringLiteral("No type"));
    QVERIFY(!window->findChild<QLabel*>("motion"));
    const test::ClockByHand clock(page);
    click(page->IDC_animate);
    page->OnTimer(cyclar_animation::clockTimer);
    QVERIFY(std::fabs(window->plot->angles().psi - 180.0) < 1e-6);
    QVERIFY(!window->plot->grab().isNull());
    click(page->IDC_stop);
}

QTEST_MAIN(TestAnalysisWindow)
#include "tst_analysis_window.moc"
