// Tests of the whole program's shell: start-up, the title page, About, Circular View, F1, and
// the page chain from the title page to the end, as a user goes through it.
#include "about_dialog.h"
#include "animation_page.h"
#include "artwork.h"
#include "bitmap_button.h"
#include "circular_view.h"
#include "clip_player.h"
#include "cyclar_app.h"
#include "design_window.h"
#include "dimensions_page.h"
#include "help_page.h"
#include "linkage_analysis.h"
#include "message_box_probe.h"
#include "number_text.h"
#include "task_file.h"
#include "title_page.h"
#include "widget_test_support.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace cyclar;
using cyclar::test::click;
using cyclar::test::MessageBoxProbe;
using cyclar::test::settle;

namespace {

// Runs `inside` once a modal window of type W is open over the code that opens it, then
// closes it with `closeKey`. Returns whether it was seen.
template <class W> struct ModalWatch {
    bool seen = false;
    std::function<void(W*)> inside;
    Qt::Key closeKey = Qt::Key_Escape;
    QObject lifetime; // the polling stops when the watch goes

    void arm(QObject* = nullptr)
    {
        QTimer::singleShot(50, &lifetime, [this] {
            auto* window = qobject_cast<W*>(QApplication::activeModalWidget());
            if (!window) {
                arm(); // not open yet
                return;
            }
            seen = true;
            if (inside) {
                inside(window);
            }
            QTest::keyClick(window, closeKey);
        });
    }
};

// The pages of the program that are showing.
QList<Page*> visiblePages()
{
    QList<Page*> pages;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* page = qobject_cast<Page*>(widget); page && page->isVisible()) {
            pages.append(page);
        }
    }
    return pages;
}

struct Program {
    CCyclarApp app{*qApp};
    QSignalSpy finished{&app.chain(), &PageChain::finished};

    Program()
    {
        app.InitInstance();
        settle();
    }
    template <class P> P* front() { return qobject_cast<P*>(app.chain().front()); }
    CCyclarDlg* title() { return front<CCyclarDlg>(); }
    cyclar1* dimensions() { return front<cyclar1>(); }
    cyclar_animation* animation() { return front<cyclar_animation>(); }
    bool ended()
    {
        settle();
        return finished.count() == 1 && app.chain().depth() == 0;
    }
};

} // namespace

class TestApp : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void minimisedIconPosition_data();
    void minimisedIconPosition();
    void startsOnTheTitlePageWithItsClip();
    void titlePageEnds_data();
    void titlePageEnds();
    void continueThenExit();
    void continueSubmitBackSubmitBackExit();
    void enterOnTheDimensionsPage();
    void backWithLettersReturnsToTheAnimationPage();
    void aboutFromTheWindowMenu_data();
    void aboutFromTheWindowMenu();
    void contextMenuCarriesTheAboutItem();
    void helpAndCircularViewLeaveTheTitlePage();
    void circularViewRestartsItsClip();
    void f1OpensTheHelpOfThePageInFront();
    void startsOnALinkageFile_data();
    void startsOnALinkageFile();
    void startsOnATaskFile_data();
    void startsOnATaskFile();
};

void TestApp::initTestCase()
{
    test::quietPlatformNotes();
    test::keepUserFilesApart();
}

void TestApp::minimisedIconPosition_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("x");
    QTest::newRow("160") << 160 << 64;
    QTest::newRow("33") << 33 << 1;
    QTest::newRow("32") << 32 << 0;
    QTest::newRow("31") << 31 << 0;
    QTest::newRow("30: toward zero, not down") << 30 << 0;
    QTest::newRow("0") << 0 << -15;
}

void TestApp::minimisedIconPosition()
{
    QFETCH(int, width);
    QFETCH(int, x);
    QCOMPARE(cyclar::minimisedIconPosition(QSize(width, width), QSize(32, 32)), QPoint(x, x));
}

void TestApp::startsOnTheTitlePageWithItsClip()
{
    Program program;
    // The program goes by its executable's file name; here that is the test's.
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("tst_app"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("1.0.0.1"));
    CCyclarDlg* title = program.title();
    QVERIFY(title && title->isVisible());
    QCOMPARE(visiblePages().size(), 1);
    QCOMPARE(title->windowTitle(), QStringLiteral("Animation of Spherical Four-bar Linkages"));
    QVERIFY(!title->windowIcon().isNull());
    QVERIFY(title->IDC_ANIMATE1->isPlaying());
    // The clip's picture does not hide a button.
    for (BitmapButton* button : {title->IDC_continue, title->IDC_help, title->IDC_circular}) {
        QVERIFY(!button->geometry().intersects(title->IDC_ANIMATE1->geometry()));
        QVERIFY(title->rect().contains(button->geometry()));
    }
    QVERIFY(title->rect().contains(title->IDC_ANIMATE1->geometry()));
    QTest::keyClick(title, Qt::Key_Escape);
    QVERIFY(program.ended());
}

void TestApp::titlePageEnds_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("Escape") << 0;
    QTest::newRow("Enter") << 1;
    QTest::newRow("close box") << 2;
    QTest::newRow("Close command") << 3;
}

void TestApp::titlePageEnds()
{
    QFETCH(int, how);
    Program program;
    CCyclarDlg* title = program.title();
    switch (how) {
    case 0:
        QTest::keyClick(title, Qt::Key_Escape);
        break;
    case 1:
        QTest::keyClick(title, Qt::Key_Return);
        break;
    case 2:
        title->close();
        break;
    default:
        title->OnSysCommand(SC_CLOSE_COMMAND);
        break;
    }
    QVERIFY(program.ended());
}

void TestApp::continueThenExit()
{
    Program program;
    click(program.title()->IDC_continue);
    cyclar1* dims = program.dimensions();
    QVERIFY(dims);
    QCOMPARE(dims->IDC_a->text(), QStringLiteral("50"));
    QCOMPARE(visiblePages(), QList<Page*>{dims});
    click(dims->IDCANCEL_button);
    QVERIFY(program.ended());
}

void TestApp::continueSubmitBackSubmitBackExit()
{
    Program program;
    MessageBoxProbe probe;
    click(program.title()->IDC_continue);
    for (int round = 0; round < 2; ++round) {
        click(program.dimensions()->IDC_submit);
        QVERIFY(program.animation());
        QCOMPARE(visiblePages(), QList<Page*>{program.animation()});
        click(program.animation()->IDC_back);
        QVERIFY(program.dimensions());
        QCOMPARE(visiblePages(), QList<Page*>{program.dimensions()});
        QCOMPARE(program.app.chain().depth(), 1);
    }
    click(program.dimensions()->IDCANCEL_button);
    QVERIFY(program.ended());
    QVERIFY(visiblePages().isEmpty()); // no earlier page showed again on the way
    QVERIFY(probe.texts().isEmpty());
}

void TestApp::enterOnTheDimensionsPage()
{
    Program program;
    click(program.title()->IDC_continue);
    QTest::keyClick(program.dimensions()->IDC_b, Qt::Key_Enter);
    QVERIFY(program.ended());
}

void TestApp::backWithLettersReturnsToTheAnimationPage()
{
    Program program;
    MessageBoxProbe probe;
    click(program.title()->IDC_continue);
    click(program.dimensions()->IDC_submit);
    cyclar_animation* animation = program.animation();
    click(animation->IDC_animate);
    animation->IDC_a->setText(QStringLiteral("fifty"));
    click(animation->IDC_back);
    QCOMPARE(probe.texts(), (QStringList{"Please enter a number.", "Please enter a number."}));
    for (const auto& shown : probe.messages())
        QCOMPARE(shown.title, QStringLiteral("tst_app"));
    QVERIFY(program.dimensions());
    QCOMPARE(visiblePages().size(), 2);
    click(program.dimensions()->IDCANCEL_button);
    QCOMPARE(program.app.chain().front(), animation);
    QCOMPARE(visiblePages(), QList<Page*>{animation});
    QVERIFY(!animation->isTimerActive(1));
    QCOMPARE(program.finished.count(), 0);
    click(animation->IDCANCEL_button);
    QVERIFY(program.ended());
}

void TestApp::aboutFromTheWindowMenu_data()
{
    QTest::addColumn<unsigned>("command");
    QTest::addColumn<bool>("opensAbout");
    QTest::newRow("0x0010") << 0x0010u << true;
    QTest::newRow("0x001F: low bits ignored") << 0x001Fu << true;
    QTest::newRow("0x0020") << 0x0020u << false;
    QTest::newRow("0x0000") << 0x0000u << false;
}

void TestApp::aboutFromTheWindowMenu()
{
    QFETCH(unsigned, command);
    QFETCH(bool, opensAbout);
    Program program;
    CCyclarDlg* title = program.title();
    ModalWatch<CAboutDlg> watch;
    QString version;
    watch.inside = [&version](CAboutDlg* about) {
        QCOMPARE(about->windowTitle(), QStringLiteral("About Orbiqua"));
        QCOMPARE(about->size(), QSize(353, 133)); // 235 x 82 units of 6 x 13 pixels
        version = about->findChild<QLabel*>(QStringLiteral("version"))->text();
        QVERIFY(about->findChild<QPushButton*>(QStringLiteral("IDOK"))->isDefault());
    };
    watch.closeKey = Qt::Key_Return;
    if (opensAbout) {
        watch.arm(this);
    }
    title->OnSysCommand(command);
    settle();
    QCOMPARE(watch.seen, opensAbout);
    if (opensAbout) {
        QCOMPARE(version, QStringLiteral("Orbiqua Version 1.0"));
    }
    QCOMPARE(program.app.chain().front(), title); // the title page is unchanged
    QVERIFY(title->isVisible() && title->IDC_ANIMATE1->isPlaying());
    QCOMPARE(program.finished.count(), 0);
}

void TestApp::contextMenuCarriesTheAboutItem()
{
    Program program;
    CCyclarDlg* title = program.title();
    QStringList items;
    ModalWatch<CAboutDlg> about;
    QTimer::singleShot(100, this, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) {
            return;
        }
        for (QAction* action : menu->actions()) {
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        about.arm(this);
        QAction* item = menu->actions().last();
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                          menu->actionGeometry(item).center());
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            title->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(title, &event);
    settle();
    QCOMPARE(items, (QStringList{"-", "&About cyclar..."}));
    QTRY_VERIFY(about.seen);
}

void TestApp::helpAndCircularViewLeaveTheTitlePage()
{
    Program program;
    CCyclarDlg* title = program.title();
    ModalWatch<help> helpWatch;
    helpWatch.closeKey = Qt::Key_Return; // Enter closes only the help page
    helpWatch.arm(this);
    click(title->IDC_help);
    QVERIFY(helpWatch.seen);
    ModalWatch<circular> circularWatch;
    int clipFrame = -1;
    circularWatch.inside = [&clipFrame](circular* window) {
        QTest::qWait(300);
        clipFrame = window->IDC_ANIMATE2->currentFrame();
    };
    circularWatch.arm(this);
    click(title->IDC_circular);
    QVERIFY(circularWatch.seen);
    QVERIFY(clipFrame > 0);
    QCOMPARE(program.app.chain().front(), title);
    QVERIFY(title->isVisible() && title->isEnabled());
    click(title->IDC_continue); // Continue still works
    QVERIFY(program.dimensions());
}

void TestApp::circularViewRestartsItsClip()
{
    circular window;
    window.show();
    QVERIFY(window.IDC_ANIMATE2->isPlaying());
    QCOMPARE(window.windowTitle(), QStringLiteral("Circular View"));
    QTRY_VERIFY(window.IDC_ANIMATE2->currentFrame() > 2);
    window.close();
    circular again;
    again.show();
    QCOMPARE(again.IDC_ANIMATE2->currentFrame(), 0);
}

void TestApp::f1OpensTheHelpOfThePageInFront()
{
    Program program;
    click(program.title()->IDC_continue);
    cyclar1* dims = program.dimensions();
    ModalWatch<help> watch;
    QWidget* parent = nullptr;
    watch.inside = [&parent](help* window) { parent = window->parentWidget(); };
    watch.arm(this);
    dims->IDC_c->setFocus();
    QTest::keyClick(dims->IDC_c, Qt::Key_F1);
    settle();
    QVERIFY(watch.seen);
    QCOMPARE(parent, dims);
    QCOMPARE(program.app.chain().front(), dims);
}

void TestApp::startsOnALinkageFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("startsOn");
    QTest::addColumn<QString>("message");

    const QByteArray head = R"({"format": "cyclar-linkage", "version": 1, "dimensions": )";
    QTest::newRow("a linkage") << head + R"({"a": 20, "b": 50, "c": 45, "f": 40, "h": 45, "k": -35},
                                   "view": {"turn": 0, "tilt": 18}, "speed": 90})"
                               << "animation" << QString();
    QTest::newRow("a value the dimensions page refuses")
        << head + R"({"a": 20, "b": 50, "c": 45, "f": 40, "h": 1045, "k": -35}})"
        << "dimensions"
        << "start.cyclar has the coupler point's radial length h = 1045, which must be between "
           "-1000 and 1000.";
    QTest::newRow("not a linkage file") << QByteArray("GIF89a") << "title"
                                        << "is not JSON";
}

void TestApp::startsOnALinkageFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, startsOn);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("start.cyclar"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    MessageBoxProbe probe;
    CCyclarApp app{*qApp};
    app.setStartFile(path);
    app.InitInstance();
    settle();
    Page* front = app.chain().front();
    QCOMPARE(app.chain().depth(), 1);
    QVERIFY(front && front->isVisible());
    if (message.isEmpty()) {
        QVERIFY(probe.texts().isEmpty());
    } else {
        QCOMPARE(probe.messages().size(), 1);
        QVERIFY2(probe.texts().first().contains(message), qPrintable(probe.texts().first()));
    }
    if (startsOn == QLatin1String("title")) {
        QVERIFY(qobject_cast<CCyclarDlg*>(front));
        QVERIFY(probe.texts().first().contains(QDir::toNativeSeparators(path)));
        return;
    }
    if (startsOn == QLatin1String("dimensions")) {
        auto* dimensions = qobject_cast<cyclar1*>(front);
        QVERIFY(dimensions);
        QCOMPARE(dimensions->IDC_h->text(), QStringLiteral("45")); // nothing taken from the file
        return;
    }
    auto* animation = qobject_cast<cyclar_animation*>(front);
    QVERIFY(animation);
    QCOMPARE(app.state().scene.animationCopy, (LinkageDimensions{20, 50, 45, 40, 45, -35}));
    QCOMPARE(app.state().scene.view.tilt, 18.0);
    QCOMPARE(animation->IDC_SLIDER3->value(), 60);
    QCOMPARE(animation->IDC_SLIDER1->value(), 90);
    // Back leads to that linkage's dimensions page, and Exit there ends the program.
    click(animation->IDC_back);
    auto* dimensions = qobject_cast<cyclar1*>(app.chain().front());
    QVERIFY(dimensions);
    QCOMPARE(dimensions->IDC_a->text(), QStringLiteral("20"));
    QCOMPARE(dimensions->IDC_b->text(), QStringLiteral("50"));
    QSignalSpy finished(&app.chain(), &PageChain::finished);
    click(dimensions->IDCANCEL_button);
    QCOMPARE(finished.count(), 1);
}

void TestApp::startsOnATaskFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("usable");
    QTest::newRow("a function task")
        << QByteArray(R"({"format": "cyclar-task", "version": 1, "kind": "function",
                         "pairs": [{"input": -30, "output": 7.1}, {"input": -10, "output": 66},
                                   {"input": 15, "output": 151}, {"input": 40, "output": 160.3}]})")
        << QString() << true;
    // A crank-rocker's pairs, the third on the other branch: its one linkage has a circuit
    // defect, so the page shows the starting linkage.
    DesignTask crossing;
    crossing.kind = TaskKind::Function;
    const LinkageDimensions crank{20.0, 60.0, 70.0, 75.0, 45.0, -35.0};
    for (const double theta : {10.0, 80.0, 150.0, 250.0}) {
        crossing.pairs.push_back({theta, outputAnglesAt(crank, theta).psi[theta == 150.0 ? 1 : 0]});
    }
    QTest::newRow("no usable linkage")
        << QByteArray::fromStdString(taskFileText(crossing)) << QString() << false;
    QTest::newRow("a newer version")
        << QByteArray(R"({"format": "cyclar-task", "version": 2, "kind": "function", "pairs": []})")
        << "version" << false;
}

// cyclar FILE.cyclar-task: the animation page with the Design window over it, the task designed;
// a task that cannot be read is said and the program starts on its title page.
void TestApp::startsOnATaskFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QFETCH(bool, usable);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("start.cyclar-task"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    MessageBoxProbe probe;
    CCyclarApp app{*qApp};
    app.setStartFile(path);
    app.InitInstance();
    settle();
    Page* front = app.chain().front();
    QVERIFY(front && front->isVisible());
    if (!message.isEmpty()) {
        QVERIFY(qobject_cast<CCyclarDlg*>(front));
        QCOMPARE(probe.messages().size(), 1);
        QVERIFY2(probe.texts().first().contains(message), qPrintable(probe.texts().first()));
        QVERIFY(probe.texts().first().contains(QDir::toNativeSeparators(path)));
        return;
    }
    QVERIFY(probe.texts().isEmpty());
    auto* animation = qobject_cast<cyclar_animation*>(front);
    QVERIFY(animation && animation->designWindow);
    DesignWindow* design = animation->designWindow;
    QVERIFY(design->isVisible());
    QVERIFY(design->functionKind->isChecked());
    QCOMPARE(design->pairs->rowCount(), 4);
    QCOMPARE(design->result().candidates.size(), std::size_t{1});
    // The page shows the task's usable linkage (else the starting one), never zeros, and the
    // window has it chosen; Back leads to its values.
    const LinkageDimensions& shown = app.state().scene.animationCopy;
    QCOMPARE(design->chosen(), 0);
    QCOMPARE(shown, usable ? design->result().candidates[0].dims : defaultDimensions);
    QVERIFY(shown.a > 0.0 && shown.b > 0.0 && shown.c > 0.0 && shown.f > 0.0);
    QCOMPARE(animation->IDC_a->text(), formatDouble(shown.a));
    click(animation->IDC_back);
    auto* dimensions = qobject_cast<cyclar1*>(app.chain().front());
    QVERIFY(dimensions);
    QCOMPARE(dimensions->IDC_a->text(), formatDouble(shown.a));
}

QTEST_MAIN(TestApp)
#include "tst_app.moc"
