// Tests of linkage files and exports as the pages offer them: saving and opening through the
// animation page and the dimensions page, bad files and refused values, the picture menu, and
// exports that match the screen and can be cancelled without harm.
#include "analysis_window.h"
#include "animation_page.h"
#include "app_state.h"
#include "artwork.h"
#include "dialog_colours.h"
#include "dimensions_page.h"
#include "linkage_analysis.h"
#include "message_box_probe.h"
#include "page_chain.h"
#include "page_layout.h"
#include "target_in_the_way.h"
#include "widget_test_support.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstring>

using namespace cyclar;
using cyclar::test::click;
using cyclar::test::MessageBoxProbe;
using cyclar::test::settle;

Q_DECLARE_METATYPE(cyclar::LinkageDimensions)

namespace {

struct Session {
    PageChain chain;
    AppState state{chain};

    Session()
    {
        state.entryMode = EntryMode::Defaults;
        chain.start(std::make_unique<cyclar1>(state));
        settle();
    }
    cyclar1* dimensions() { return qobject_cast<cyclar1*>(chain.front()); }
    cyclar_animation* animation() { return qobject_cast<cyclar_animation*>(chain.front()); }
    cyclar_animation* submit()
    {
        click(dimensions()->IDC_submit);
        return animation();
    }
};

bool sameBits(const LinkageDimensions& x, const LinkageDimensions& y)
{
    return std::memcmp(&x, &y, sizeof x) == 0;
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A menu item's write to `path` on a new animation page (by the file's suffix: Save linkage,
// Export animation, Export picture), which must fail: the one message it showed, or what went
// wrong instead.
QString refusedMenuWrite(const QString& suffix, const QString& path)
{
    Session session;
    cyclar_animation* page = session.submit();
    MessageBoxProbe probe;
    const bool written = suffix == QLatin1String("cyclar") ? page->saveLinkageTo(path)
                         : suffix == QLatin1String("gif")  ? page->exportAnimationTo(path)
                                                           : page->exportPictureTo(path);
    if (written) {
        return QStringLiteral("(written)");
    }
    return probe.messages().size() == 1
               ? probe.texts().first()
               : QStringLiteral("(%1 messages)").arg(probe.messages().size());
}

// Everything about an animation page that opening a file could change.
struct PageSnapshot {
    LinkageDimensions copy;
    QString texts;
    int speed, turn, tilt, frame;
    double viewTurn, viewTilt;
    bool running;

    explicit PageSnapshot(cyclar_animation* page, const AppState& state)
        : copy(state.scene.animationCopy), speed(page->pageState().m_speedPos),
          turn(page->pageState().m_turnPos), tilt(page->pageState().m_tiltPos),
          frame(state.scene.schedule.frameIndex), viewTurn(state.scene.view.turn),
          viewTilt(state.scene.view.tilt),
          running(page->isTimerActive(cyclar_animation::clockTimer))
    {
        for (QLineEdit* field :
             {page->IDC_a, page->IDC_b1, page->IDC_c, page->IDC_f, page->IDC_h1, page->IDC_k}) {
            texts += field->text() + QLatin1Char(',');
        }
    }
    bool operator==(const PageSnapshot& o) const
    {
        return sameBits(copy, o.copy) && texts == o.texts && speed == o.speed && turn == o.turn
               && tilt == o.tilt && frame == o.frame && viewTurn == o.viewTurn
               && viewTilt == o.viewTilt && running == o.running;
    }
};

} // namespace

class TestPageFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void saveThenOpenKeepsEveryBit();
    void openingShowsTheLinkageAsANewPage();
    void openingRefreshesTheAnalysisWindow();
    void badFilesChangeNothing_data();
    void badFilesChangeNothing();
    void refusedValuesGetThePagesMessage_data();
    void refusedValuesGetThePagesMessage();
    void dimensionsPageTakesCtrlO();
    void saveWithAFieldThePageRefuses();
    void pictureMenu();
    void rotationAxisIsDrawnSavedAndReopened();
    void circuitAndPaceFromTheMenu();
    void exportedPictureIsTheScreen();
    void exportedAnimationAndCancel();
    void failedWritesSayWhy_data();
    void failedWritesSayWhy();
    void targetsInTheWay_data();
    void targetsInTheWay();
};

void TestPageFiles::initTestCase()
{
    test::quietPlatformNotes();
    QCoreApplication::setApplicationName(QStringLiteral("cyclar"));
    initArtwork();
    QApplication::setFont(defaultTextFont());
    applyDialogLook(*qApp);
}

void TestPageFiles::saveThenOpenKeepsEveryBit()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("class.cyclar"));
    // Values with more digits than the fields show, opened from a file.
    const LinkageFile original{
        {50.000000000000007, 0.1 + 0.2, 35.0 / 3.0, 40, 45.123456789012345, -35},
        FileView{30, -60},
        80,
        {}};
    {
        Session session;
        cyclar_animation* page = session.submit();
        QVERIFY(page->showLinkage(original));
        QVERIFY(page->saveLinkageTo(path));
    }
    std::string error;
    const std::optional<LinkageFile> saved =
        readLinkageFile(QFile::encodeName(path).toStdString(), error);
    QVERIFY2(saved, error.c_str());
    QVERIFY(sameBits(saved->dimensions, original.dimensions));
    QCOMPARE(saved->view, original.view);
    QCOMPARE(saved->speed, original.speed);

    // Through the dimensions page, Submit, and the animation page's Save again: still every bit.
    Session session;
    MessageBoxProbe probe;
    QVERIFY(session.dimensions()->openLinkageFrom(path));
    QCOMPARE(session.dimensions()->IDC_b->text(), QStringLiteral("0.3"));
    cyclar_animation* page = session.submit();
    QVERIFY(page);
    QVERIFY(sameBits(session.state.scene.animationCopy, original.dimensions));
    const QString again = dir.filePath(QStringLiteral("again.cyclar"));
    QVERIFY(page->showLinkage(*saved));
    QVERIFY(page->saveLinkageTo(again));
    QCOMPARE(readBytes(again), readBytes(path));
    QVERIFY(probe.texts().isEmpty());
}

void TestPageFiles::openingShowsTheLinkageAsANewPage()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("grashof.cyclar"));
    writeBytes(path, R"({"format": "cyclar-linkage", "version": 1,
                         "dimensions": {"a": 20, "b": 50, "c": 45, "f": 40, "h": 45, "k": -35},
                         "view": {"turn": 30, "tilt": -89}, "speed": 80})");
    Session session;
    cyclar_animation* page = session.submit();
    click(page->IDC_animate);
    QTest::qWait(400);
    QVERIFY(page->isTimerActive(cyclar_animation::clockTimer));

    QVERIFY(page->openLinkageFrom(path));
    const SceneState& scene = session.state.scene;
    QCOMPARE(scene.animationCopy, (LinkageDimensions{20, 50, 45, 40, 45, -35}));
    QVERIFY(isGrashof(scene.model)); // the model is the file's linkage, not the page's first
    QCOMPARE(scene.schedule.frameIndex, 1);
    QVERIFY(!page->isTimerActive(cyclar_animation::clockTimer));
    QCOMPARE(scene.view.turn, 30.0);
    QCOMPARE(scene.view.tilt, -89.0); // shown as the file has it, between two slider steps
    QCOMPARE(page->IDC_SLIDER2->value(), sliderPosition(30)); // nearest the angle: 67
    QCOMPARE(page->IDC_SLIDER2->value(), 67);
    QCOMPARE(page->IDC_SLIDER3->value(), 0);
    QCOMPARE(page->IDC_SLIDER1->value(), 80);
    QCOMPARE(page->IDC_a->text(), QStringLiteral("20"));
    // Animate runs at the file's speed.
    click(page->IDC_animate);
    QCOMPARE(page->timerPeriod(cyclar_animation::clockTimer), tickInterval(80));
}

// An open Analysis window explains the opened linkage, not the page's first one, and stays open.
void TestPageFiles::openingRefreshesTheAnalysisWindow()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("crank.cyclar"));
    writeBytes(path, R"({"format": "cyclar-linkage", "version": 1,
                         "dimensions": {"a": 20, "b": 50, "c": 45, "f": 40, "h": 45, "k": -35}})");
    Session session;
    cyclar_animation* page = session.submit();
    page->OnShowAnalysis();
    QVERIFY(page->analysisWindow && page->analysisWindow->isVisible());
    QCOMPARE(page->analysisWindow->analysis().T, analyseLinkage(defaultDimensions).T);

    QVERIFY(page->openLinkageFrom(path));
    QVERIFY(page->analysisWindow && page->analysisWindow->isVisible());
    const LinkageAnalysis expected = analyseLinkage(LinkageDimensions{20, 50, 45, 40, 45, -35});
    QCOMPARE(page->analysisWindow->analysis().T, expected.T);
    QCOMPARE(page->analysisWindow->analysis().type, expected.type);
    QCOMPARE(page->findChildren<AnalysisWindow*>().size(), 1);
}

void TestPageFiles::badFilesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("says");

    QTest::newRow("not JSON") << QByteArray("a=50 b=30") << "is not JSON";
    QTest::newRow("newer") << QByteArray(R"({"format": "cyclar-linkage", "version": 2})")
                           << "was made by a newer cyclar";
    QTest::newRow("no k") << QByteArray(R"({"format": "cyclar-linkage", "version": 1,
                                "dimensions": {"a": 1, "b": 1, "c": 1, "f": 1, "h": 1}})")
                          << "has no dimension \"k\"";
    QTest::newRow("folder") << QByteArray() << "is a folder";
}

void TestPageFiles::badFilesChangeNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, says);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.cyclar"));
    if (bytes.isEmpty()) {
        QVERIFY(QDir().mkdir(path));
    } else {
        writeBytes(path, bytes);
    }

    Session session;
    cyclar_animation* page = session.submit();
    const test::ClockByHand clock(page); // the message box runs events: no tick may move it on
    click(page->IDC_animate);
    const PageSnapshot before(page, session.state);
    MessageBoxProbe probe;
    QVERIFY(!page->openLinkageFrom(path));
    QCOMPARE(probe.messages().size(), 1);
    const QString text = probe.messages().first().text;
    QVERIFY2(text.contains(QDir::toNativeSeparators(path)) && text.contains(says),
             qPrintable(text));
    QCOMPARE(probe.messages().first().title, QStringLiteral("cyclar"));
    QVERIFY(PageSnapshot(page, session.state) == before);

    // The dimensions page likewise.
    click(page->IDC_back);
    cyclar1* dimensions = session.dimensions();
    const LinkageDimensions entry = session.state.entryCopy;
    probe.clear();
    QVERIFY(!dimensions->openLinkageFrom(path));
    QCOMPARE(probe.messages().size(), 1);
    QVERIFY(probe.texts().first().contains(says));
    QCOMPARE(session.state.entryCopy, entry);
}

void TestPageFiles::refusedValuesGetThePagesMessage_data()
{
    QTest::addColumn<bool>("onAnimationPage");
    QTest::addColumn<LinkageDimensions>("dims");
    QTest::addColumn<QString>("message"); // given by the Design window: the page's own
    QTest::addColumn<QString>("said");    // from a file: after the file's name
    QTest::addColumn<QString>("field");

    QTest::newRow("animation: a above 1000")
        << true << LinkageDimensions{1001, 2000, 2000, 2000, 45, -35}
        << "Please enter a number between 0 and 1000."
        << "has the left link a = 1001, which must be between 0 and 1000"
        << "IDC_a";
    QTest::newRow("animation: h below -1000")
        << true << LinkageDimensions{50, 30, 35, 40, -1000.5, -35}
        << "Please enter a number between -1000 and 1000."
        << "has the coupler point's radial length h = -1000.5, which must be between -1000 and "
           "1000"
        << "IDC_h1";
    QTest::newRow("animation: negative b")
        << true << LinkageDimensions{50, -1, 35, 40, 45, -35}
        << "Please enter a number between 0 and 1000."
        << "has the right link b = -1, which must be between 0 and 1000"
        << "IDC_b1";
    // A link the other three cannot reach never closes: the page would show an empty sphere.
    QTest::newRow("animation: a of 500 beyond the others")
        << true << LinkageDimensions{500, 30, 35, 40, 45, -35}
        << "Please enter a number between 0 and 105."
        << "has the left link a = 500, which must be between 0 and 105"
        << "IDC_a";
    QTest::newRow("dimensions: a beyond the others")
        << false << LinkageDimensions{200, 30, 35, 40, 45, -35}
        << "Please enter a number between 0 and 105."
        << "has the left link a = 200, which must be between 0 and 105"
        << "IDC_a";
    QTest::newRow("dimensions: k below -1000")
        << false << LinkageDimensions{50, 30, 35, 40, 45, -1001}
        << "Please enter a number between -1000 and 1000."
        << "has the coupler point's angular position k = -1001, which must be between -1000 "
           "and 1000"
        << "IDC_k";
}

// Values a page's range tests refuse change nothing and put the focus on the field: given by the
// Design window, with the page's own message; opened from a file, with a message that names the
// file, the field, its value and its range.
void TestPageFiles::refusedValuesGetThePagesMessage()
{
    QFETCH(bool, onAnimationPage);
    QFETCH(LinkageDimensions, dims);
    QFETCH(QString, message);
    QFETCH(QString, said);
    QFETCH(QString, field);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("refused.cyclar"));
    std::string error;
    QVERIFY2(writeLinkageFile(QFile::encodeName(path).toStdString(), {dims, {}, {}, {}}, error),
             error.c_str());

    for (const bool fromFile : {false, true}) {
        Session session;
        MessageBoxProbe probe;
        Page* page = nullptr;
        bool opened = true;
        const LinkageDimensions entry = session.state.entryCopy;
        if (onAnimationPage) {
            cyclar_animation* animation = session.submit();
            const PageSnapshot before(animation, session.state);
            opened = fromFile ? animation->openLinkageFrom(path)
                              : animation->showLinkage({dims, FileView{0, 0}, 100, {}});
            page = animation;
            QVERIFY(PageSnapshot(animation, session.state) == before);
        } else {
            cyclar1* dimensions = session.dimensions();
            opened = fromFile ? dimensions->openLinkageFrom(path)
                              : dimensions->showLinkage({dims, {}, {}, {}});
            page = dimensions;
            QCOMPARE(session.state.entryCopy, entry);
            QCOMPARE(dimensions->IDC_a->text(), QStringLiteral("50"));
        }
        QVERIFY(!opened);
        QCOMPARE(probe.texts(),
                 QStringList{fromFile ? QDir::toNativeSeparators(path) + QLatin1Char(' ') + said
                                            + QLatin1Char('.')
                                      : message});
        QLineEdit* expected = nullptr;
        if (auto* animation = qobject_cast<cyclar_animation*>(page)) {
            expected = field == QLatin1String("IDC_a")    ? animation->IDC_a
                       : field == QLatin1String("IDC_b1") ? animation->IDC_b1
                                                          : animation->IDC_h1;
        } else {
            auto* dimensions = qobject_cast<cyclar1*>(page);
            expected = field == QLatin1String("IDC_a") ? dimensions->IDC_a : dimensions->IDC_k;
        }
        QCOMPARE(page->focusWidget(), expected);
    }
}

void TestPageFiles::dimensionsPageTakesCtrlO()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wide.cyclar"));
    // Valid as a whole, although a would exceed b + c + f of the defaults: each link's bound
    // comes from the file's other links, not from what the fields held before.
    writeBytes(path, R"({"format": "cyclar-linkage", "version": 1,
                         "dimensions": {"a": 200, "b": 100, "c": 100, "f": 100, "h": 45, "k": -35}})");
    Session session;
    cyclar1* page = session.dimensions();
    MessageBoxProbe probe;
    bool dialogSeen = false;
    std::function<void()> answer = [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            QTimer::singleShot(10, this, answer);
            return;
        }
        dialogSeen = true;
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    };
    QTimer::singleShot(0, this, answer);
    QTest::keyClick(page->IDC_h, Qt::Key_O, Qt::ControlModifier);
    settle();
    QVERIFY(dialogSeen);
    QVERIFY(probe.texts().isEmpty());
    QCOMPARE(session.state.entryCopy, (LinkageDimensions{200, 100, 100, 100, 45, -35}));
    QCOMPARE(page->IDC_a->text(), QStringLiteral("200"));
    cyclar_animation* animation = session.submit();
    QVERIFY(animation);
    QVERIFY(probe.texts().isEmpty());
}

void TestPageFiles::saveWithAFieldThePageRefuses()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("c.cyclar"));
    Session session;
    cyclar_animation* page = session.submit();
    page->IDC_c->setText(QStringLiteral("thirty"));
    MessageBoxProbe probe;
    QVERIFY(!page->saveLinkageTo(path));
    QCOMPARE(probe.texts(), QStringList{QStringLiteral("Please enter a number.")});
    QVERIFY(!QFile::exists(path));

    // A name the format does not fit is refused with a message naming it.
    page->IDC_c->setText(QStringLiteral("35"));
    probe.clear();
    QVERIFY(!page->saveLinkageTo(dir.filePath(QStringLiteral("c.json"))));
    QCOMPARE(probe.messages().size(), 1);
    QVERIFY(probe.texts().first().contains(QLatin1String("c.json")));
    QVERIFY(probe.texts().first().contains(QLatin1String(".cyclar")));
}

void TestPageFiles::pictureMenu()
{
    Session session;
    cyclar_animation* page = session.submit();
    QMenu menu;
    page->buildPictureMenu(menu);
    QStringList items;
    for (QAction* action : menu.actions()) {
        items << (action->isSeparator()
                      ? QStringLiteral("-")
                      : action->text() + QLatin1Char('|') + action->shortcut().toString());
    }
    QCOMPARE(items,
             (QStringList{"Analysis…|F2", "Design…|F3", "Show the working…|F4",
                          "Show rotation axis|", "Other circuit|", "Turn the input evenly|", "-",
                          "Save linkage…|Ctrl+S", "Open linkage…|Ctrl+O", "Export picture…|",
                          "Export animation…|", "-", "Open exercise…|"}));
    // The shortcuts belong to the page, so they work without the menu.
    QVERIFY(page->actions().contains(page->saveLinkageAction));
    QVERIFY(page->actions().contains(page->openLinkageAction));
    QCOMPARE(page->picture->contextMenuPolicy(), Qt::CustomContextMenu);

    // A right click on the picture opens it.
    QStringList shown;
    QTimer::singleShot(200, this, [&] {
        if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : popup->actions()) {
                shown << (action->isSeparator() ? QStringLiteral("-") : action->text());
            }
            popup->close();
        }
    });
    emit page->picture->customContextMenuRequested(QPoint(100, 100));
    settle();
    QCOMPARE(shown.size(), items.size()); // one menu, the same items
}

void TestPageFiles::rotationAxisIsDrawnSavedAndReopened()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("axis.cyclar"));
    const QString plainPath = dir.filePath(QStringLiteral("plain.cyclar"));
    {
        Session session;
        cyclar_animation* page = session.submit();
        QAction* axis = page->rotationAxisAction;
        QVERIFY(axis->isCheckable());
        QVERIFY(!axis->isChecked()); // off on a new page: the picture as it always was
        QVERIFY(page->saveLinkageTo(plainPath));
        const QImage before = page->picture->grab().toImage();

        axis->trigger();
        QVERIFY(session.state.pens.rotationAxis);
        const QImage with = page->picture->grab().toImage();
        QVERIFY(with != before);
        // What the screen shows is what the export draws, overlay and all.
        QCOMPARE(with.convertToFormat(QImage::Format_RGB32),
                 renderCurrentPicture(session.state.scene, session.state.pens)
                     .convertToFormat(QImage::Format_RGB32));
        QVERIFY(page->saveLinkageTo(path));

        axis->trigger();
        QVERIFY(!session.state.pens.rotationAxis);
        QCOMPARE(page->picture->grab().toImage(), before);
    }
    QVERIFY(readBytes(path).contains(R"("rotationAxis": true)"));
    QVERIFY(!readBytes(plainPath).contains("rotationAxis"));

    // Opening the file turns it on; opening one without it turns it off again.
    Session session;
    cyclar_animation* page = session.submit();
    MessageBoxProbe probe;
    QVERIFY(page->openLinkageFrom(path));
    QVERIFY(page->rotationAxisAction->isChecked());
    QVERIFY(session.state.pens.rotationAxis);
    QVERIFY(page->openLinkageFrom(plainPath));
    QVERIFY(!page->rotationAxisAction->isChecked());
    QVERIFY(!session.state.pens.rotationAxis);
    QVERIFY(probe.texts().isEmpty());
}

// "Other circuit" and "Turn the input evenly": greyed out or not by the linkage's circuits,
// shown from the frame the clock stands on (screen, export and Analysis window alike), saved,
// reopened, and the pace kept by the next page.
void TestPageFiles::circuitAndPaceFromTheMenu()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("circuit.cyclar"));
    const LinkageDimensions crankRocker{20, 50, 45, 40, 45, -35};
    Session session;
    cyclar_animation* page = session.submit();
    QAction* other = page->otherCircuitAction;
    QAction* even = page->evenInputAction;
    QVERIFY(other->isCheckable() && even->isCheckable());
    QVERIFY(!other->isEnabled()); // the default linkage has one circuit
    QVERIFY(even->isEnabled() && !even->isChecked());

    MessageBoxProbe probe;
    QVERIFY(page->showLinkage({crankRocker, {}, {}, {}}));
    QVERIFY(other->isEnabled() && !other->isChecked());
    for (int i = 1; i < 57; ++i) {
        page->OnTimer(cyclar_animation::clockTimer);
    }
    page->OnShowAnalysis();
    AnalysisWindow* window = page->analysisWindow;
    QVERIFY(window->circuits->text().startsWith(QLatin1String("Two circuits")));
    QVERIFY(window->circuits->text().contains(QLatin1String("Circuit 1 is shown")));
    const QImage first = page->picture->grab().toImage();

    other->trigger();
    SceneState& scene = session.state.scene;
    QCOMPARE(scene.schedule.motion, (MotionChoice{2, false}));
    QCOMPARE(scene.schedule.frameIndex, 57);
    const QImage second = page->picture->grab().toImage();
    QVERIFY(second != first);
    QCOMPARE(second.convertToFormat(QImage::Format_RGB32),
             renderCurrentPicture(scene, session.state.pens).convertToFormat(QImage::Format_RGB32));
    // The markers follow the circuit shown: a crank-rocker's circuit 2 is its branch 1.
    const FrameAngles expected = frameAngleTable(crankRocker, {2, false})[56];
    QCOMPARE(window->plot->angles().theta, expected.angles.theta);
    QCOMPARE(window->plot->angles().branch, 1);
    QVERIFY(window->circuits->text().contains(QLatin1String("Circuit 2 is shown")));

    even->trigger();
    QCOMPARE(scene.schedule.motion, (MotionChoice{2, true}));
    QCOMPARE(window->plot->angles().theta,
             frameAngleTable(crankRocker, {2, true})[56].angles.theta);
    QVERIFY(page->saveLinkageTo(path));
    const QByteArray saved = readBytes(path);
    QVERIFY(saved.contains(R"("circuit": 2)") && saved.contains(R"("evenInput": true)"));

    // A linkage with one circuit greys the item out and shows circuit 1; the pace stays.
    QVERIFY(page->showLinkage({defaultDimensions, {}, {}, {2, true}}));
    QVERIFY(!other->isEnabled() && !other->isChecked());
    QCOMPARE(scene.schedule.motion, (MotionChoice{1, true}));
    QVERIFY(page->openLinkageFrom(path));
    QVERIFY(other->isChecked() && even->isChecked());
    QCOMPARE(scene.schedule.motion, (MotionChoice{2, true}));
    QVERIFY(probe.texts().isEmpty());

    // The next page shows its linkage's circuit 1, at the pace chosen here.
    click(page->IDC_back);
    cyclar_animation* next = session.submit();
    QVERIFY(next != nullptr);
    QCOMPARE(session.state.scene.schedule.motion, (MotionChoice{1, true}));
    QVERIFY(next->evenInputAction->isChecked() && !next->otherCircuitAction->isChecked());
}

void TestPageFiles::exportedPictureIsTheScreen()
{
    QTemporaryDir dir;
    Session session;
    cyclar_animation* page = session.submit();
    for (int i = 0; i < 37; ++i) {
        page->OnTimer(cyclar_animation::clockTimer);
    }
    const QImage screen = page->picture->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString path = dir.filePath(QStringLiteral("frame.png"));
    QVERIFY(page->exportPictureTo(path));
    QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), screen);
    QCOMPARE(session.state.scene.schedule.frameIndex, 38); // exporting moved nothing on

    // As a drawing: the same frame, its label and its five pens.
    const QString drawing = dir.filePath(QStringLiteral("frame.svg"));
    QVERIFY(page->exportPictureTo(drawing));
    const QByteArray svg = readBytes(drawing);
    QVERIFY(svg.startsWith("<?xml") && svg.contains("<svg")
            && svg.contains("viewBox=\"0 0 480 480\""));
    QVERIFY(svg.contains(">Non-Grashof Four-bar Linkage</desc>"));
    for (const char* pen : {"stroke=\"#009600\"", "stroke=\"#ff0000\"", "stroke=\"#0000ff\""}) {
        QVERIFY2(svg.contains(pen), pen);
    }

    MessageBoxProbe probe;
    writeBytes(dir.filePath(QStringLiteral("frame.jpg")), "earlier");
    QVERIFY(!page->exportPictureTo(dir.filePath(QStringLiteral("frame.jpg"))));
    QCOMPARE(probe.messages().size(), 1);
    QVERIFY(probe.texts().first().contains(QLatin1String("frame.jpg")));
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("frame.jpg"))), QByteArray("earlier"));
}

void TestPageFiles::exportedAnimationAndCancel()
{
    QTemporaryDir dir;
    Session session;
    cyclar_animation* page = session.submit();
    const QString path = dir.filePath(QStringLiteral("cycle.gif"));
    QVERIFY(page->exportAnimationTo(path));
    QImageReader reader(path);
    QCOMPARE(reader.imageCount(), 360);
    QVERIFY(!reader.read().isNull());
    QCOMPARE(reader.nextImageDelay(), 170); // speed 50: a tick every 166 ms

    // Cancelled half way: the earlier file stays whole, nothing else is left, no message.
    const QByteArray earlier = readBytes(path);
    MessageBoxProbe probe;
    bool cancelled = false;
    std::function<void()> watch = [&] {
        auto* progress = page->findChild<QProgressDialog*>();
        if (progress && progress->value() >= 100) {
            progress->cancel();
            cancelled = true;
            return;
        }
        QTimer::singleShot(1, this, watch);
    };
    QTimer::singleShot(0, this, watch);
    QVERIFY(!page->exportAnimationTo(path));
    QVERIFY(cancelled);
    QVERIFY(probe.texts().isEmpty());
    QCOMPARE(readBytes(path), earlier);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("cycle.gif")});
}

void TestPageFiles::failedWritesSayWhy_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::newRow("Save linkage") << QStringLiteral("cyclar");
    QTest::newRow("Export picture as PNG") << QStringLiteral("png");
    QTest::newRow("Export picture as SVG") << QStringLiteral("svg");
    QTest::newRow("Export animation") << QStringLiteral("gif");
}

// Every menu item that writes a file, when the write fails: one message box naming the file and
// giving the system's reason, and an earlier file whole. Run alone, a folder stands where the
// file should go. tests/write_faults.sh runs it again with faults injected into the system's
// calls; then CYCLAR_FAULT_DIR holds the earlier files and CYCLAR_FAULT_REASON the reason.
void TestPageFiles::failedWritesSayWhy()
{
    QFETCH(QString, suffix);
    QTemporaryDir scratch;
    const QString faultDir = qEnvironmentVariable("CYCLAR_FAULT_DIR");
    const bool injected = !faultDir.isEmpty();
    const QDir dir(injected ? faultDir : scratch.path());
    const QString path = dir.filePath(QStringLiteral("old.") + suffix);
    QString reason = qEnvironmentVariable("CYCLAR_FAULT_REASON");
    QByteArray before;
    if (injected) {
        before = readBytes(path);
        QVERIFY2(!before.isEmpty(), qPrintable(path));
    } else {
        QVERIFY(dir.mkdir(path));
        reason = QStringLiteral("Is a directory");
    }

    const QString text = refusedMenuWrite(suffix, path);
    QVERIFY2(text.contains(path) && text.contains(reason), qPrintable(text));
    if (injected) {
        QCOMPARE(readBytes(path), before);
    } else {
        QVERIFY(QFileInfo(path).isDir());
    }
    const QStringList left =
        dir.entryList(QStringList{QStringLiteral(".cyclar-*")}, QDir::Files | QDir::Hidden);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
}

void TestPageFiles::targetsInTheWay_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("target");
    const QList<QPair<const char*, QString>> items{{"Save linkage", QStringLiteral("cyclar")},
                                                   {"Export picture", QStringLiteral("png")},
                                                   {"Export animation", QStringLiteral("gif")}};
    for (const auto& [item, suffix] : items) {
        for (const QString& target : test::targetsInTheWay) {
            QTest::addRow("%s, %s", item, qPrintable(target)) << suffix << target;
        }
    }
}

// The menu items' writes refuse a named pipe, a device or a file the user may not write: one
// message naming the file and why, and what stood there is left as it was. (Root may write any
// file: tests/write_permissions.sh runs the read-only rows as another user.)
void TestPageFiles::targetsInTheWay()
{
    QFETCH(QString, suffix);
    QFETCH(QString, target);
    if (test::rootMayWrite(target)) {
        QSKIP("root may write any file; tests/write_permissions.sh runs this as another user");
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("target.") + suffix);
    const QString why = test::placeTargetInTheWay(target, path);
    QVERIFY(!why.isEmpty());
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);

    const QString said = refusedMenuWrite(suffix, path);
    QVERIFY2(said.contains(path) && said.contains(why), qPrintable(said));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
    QVERIFY(test::targetLeftAsItWas(target, path));
}

QTEST_MAIN(TestPageFiles)
#include "tst_page_files.moc"
