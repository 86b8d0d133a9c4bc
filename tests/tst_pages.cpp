// Tests of the animation page, the dimensions page and the hand-over between them, driven
// through their real widgets: typed text, clicks on the pictures, slider releases, keys.
#include "animation_page.h"
#include "app_state.h"
#include "artwork.h"
#include "bitmap_button.h"
#include "dialog_colours.h"
#include "dimensions_page.h"
#include "help_page.h"
#include "message_box_probe.h"
#include "page_chain.h"
#include "page_layout.h"
#include "trackbar.h"
#include "widget_test_support.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QtTest>

#include <cmath>

using namespace cyclar;
using cyclar::test::click;
using cyclar::test::MessageBoxProbe;
using cyclar::test::settle;

namespace {

void type(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    if (text.isEmpty()) {
        field->clear();
    }
}

// Moves the slider to `position` and releases the mouse on its handle, as a user's drag ends.
void releaseAt(Trackbar* slider, int position)
{
    slider->setValue(position);
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->value();
    option.sliderValue = slider->value();
    const QRect handle = slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                         QStyle::SC_SliderHandle, slider);
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, handle.center());
    slider->setValue(position); // a press on the handle does not move it; keep the position
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, handle.center());
    settle();
}

QString fieldTexts(std::initializer_list<QLineEdit*> fields)
{
    QStringList texts;
    for (QLineEdit* field : fields) {
        texts << field->text();
    }
    return texts.join(QLatin1Char(','));
}

// The program's pages over one shared state, starting from a dimensions page with defaults.
struct Session {
    PageChain chain;
    AppState state{chain};
    QSignalSpy finished{&chain, &PageChain::finished};

    Session()
    {
        state.entryMode = 1;
        chain.start(std::make_unique<cyclar1>(state));
        settle();
    }
    template <class P> P* front() { return qobject_cast<P*>(chain.front()); }
    cyclar1* dimensions() { return front<cyclar1>(); }
    cyclar_animation* animation() { return front<cyclar_animation>(); }
    cyclar_animation* submit()
    {
        click(dimensions()->IDC_submit);
        return animation();
    }
};

} // namespace

class TestPages : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void slidersConvert_data();
    void slidersConvert();
    void dimensionsPageShowsDefaultsAndSubmits();
    void dimensionsBounds_data();
    void dimensionsBounds();
    void negativeLinkNoLongerTrapsTheUser();
    void submitWhoseSecondExchangeFails();
    void enterOnTheDimensionsPageEnds();
    void newAnimationPageStandsStill();
    void clockStateTable();
    void speedRelease_data();
    void speedRelease();
    void viewRelease_data();
    void viewRelease();
    void keyboardMovesChangeNothing();
    void tickPaintsTheNextFrame();
    void releaseWithLettersInAField();
    void linkAbove1000FromTheDimensionsPage();
    void typedLengthDrawsButModelStays();
    void backCarriesTheAnimationCopy();
    void backWithLettersLeavesThePageBeneath();
    void enterOnTheAnimationPageEnds();
    void helpKeepsTheAnimationRunning();
    void helpPageTexts();
    void layoutsTakeTheirTemplateBoxes();
    void fieldsShowTheStartOfALongValue();
    void staticTextsAreDrawnInTheirColourOnly();
    void tabOrders();
};

namespace {

} // namespace

void TestPages::initTestCase()
{
    test::quietPlatformNotes();
    QCoreApplication::setApplicationName(QStringLiteral("cyclar"));
    initArtwork();
    QApplication::setFont(defaultTextFont());
    applyDialogLook(*qApp);
}

void TestPages::slidersConvert_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("period");
    QTest::addColumn<double>("angle");
    QTest::newRow("0") << 0 << 1000 << -90.0;
    QTest::newRow("1") << 1 << 1000 << -88.0;
    QTest::newRow("9") << 9 << 1000 << -73.0;
    QTest::newRow("10") << 10 << 500 << -72.0;
    QTest::newRow("40") << 40 << 200 << -18.0;
    QTest::newRow("49") << 49 << 200 << -1.0;
    QTest::newRow("50") << 50 << 166 << 0.0;
    QTest::newRow("51") << 51 << 166 << 1.0;
    QTest::newRow("60") << 60 << 142 << 18.0;
    QTest::newRow("95") << 95 << 100 << 81.0;
    QTest::newRow("99") << 99 << 100 << 88.0;
    QTest::newRow("100") << 100 << 90 << 90.0;
}

void TestPages::slidersConvert()
{
    QFETCH(int, position);
    QFETCH(int, period);
    QFETCH(double, angle);
    QCOMPARE(tickInterval(position), period);
    QCOMPARE(sliderAngle(position), angle);
}

void TestPages::dimensionsPageShowsDefaultsAndSubmits()
{
    Session session;
    cyclar1* page = session.dimensions();
    QVERIFY(page && page->isVisible());
    QCOMPARE(
        fieldTexts({page->IDC_a, page->IDC_b, page->IDC_c, page->IDC_f, page->IDC_h, page->IDC_k}),
        QStringLiteral("50,30,35,40,45,-35"));
    QVERIFY(page->findChild<QLabel*>(QStringLiteral("IDC_cyclar")));

    MessageBoxProbe probe;
    cyclar_animation* animation = session.submit();
    QVERIFY(probe.texts().isEmpty());
    QVERIFY(animation && animation->isVisible());
    QCOMPARE(session.chain.depth(), 1); // the dimensions page ended and is gone
    QVERIFY(session.state.canvas);
    QCOMPARE(session.state.canvasWidth, 480);
    QCOMPARE(session.state.scene.animationCopy, defaultDimensions);
    // Every control stands right of the picture.
    for (QWidget* child : animation->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != animation->picture) {
            QVERIFY2(child->geometry().left() >= 480, qPrintable(child->metaObject()->className()));
        }
    }
}

void TestPages::dimensionsBounds_data()
{
    QTest::addColumn<QStringList>("edits"); // field letter, text, ...
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("opensAnimation");

    QTest::newRow("defaults") << QStringList{} << QStringList{} << true;
    QTest::newRow("a = 200") << QStringList{"a", "200"}
                             << QStringList{"Please enter a number between 0 and 105."} << false;
    QTest::newRow("h = 1000, k = -1000")
        << QStringList{"h", "1000", "k", "-1000"} << QStringList{} << true;
    QTest::newRow("h above 1000") << QStringList{"h", "1000.5"}
                                  << QStringList{"Please enter a number between -1000 and 1000."}
                                  << false;
    QTest::newRow("letters in c") << QStringList{"c", "abc"}
                                  << QStringList{"Please enter a number."} << false;
    QTest::newRow("empty f") << QStringList{"f", ""} << QStringList{"Please enter a number."}
                             << false;
    QTest::newRow("-0 in k") << QStringList{"k", "-0"} << QStringList{"Please enter a number."}
                             << false;
    QTest::newRow("blanks around") << QStringList{"b", "  31 "} << QStringList{} << true;
    QTest::newRow("exponent") << QStringList{"b", "3e1"} << QStringList{} << true;
    QTest::newRow("fraction") << QStringList{"f", "40.25"} << QStringList{} << true;
}

void TestPages::dimensionsBounds()
{
    QFETCH(QStringList, edits);
    QFETCH(QStringList, messages);
    QFETCH(bool, opensAnimation);

    Session session;
    cyclar1* page = session.dimensions();
    const QHash<QString, QLineEdit*> fields{{"a", page->IDC_a}, {"b", page->IDC_b},
                                            {"c", page->IDC_c}, {"f", page->IDC_f},
                                            {"h", page->IDC_h}, {"k", page->IDC_k}};
    for (int i = 0; i + 1 < edits.size(); i += 2) {
        type(fields[edits[i]], edits[i + 1]);
    }
    MessageBoxProbe probe;
    click(page->IDC_submit);
    QCOMPARE(probe.texts(), messages);
    QCOMPARE(session.animation() != nullptr, opensAnimation);
    if (!messages.isEmpty()) {
        QCOMPARE(probe.messages().first().title, QStringLiteral("cyclar"));
        QCOMPARE(probe.messages().first().icon, QMessageBox::Warning);
        QVERIFY(page->isVisible());
    }
}

void TestPages::negativeLinkNoLongerTrapsTheUser()
{
    Session session;
    cyclar1* page = session.dimensions();
    type(page->IDC_a, QStringLiteral("-100"));
    MessageBoxProbe probe;
    click(page->IDC_submit);
    QCOMPARE(probe.texts(), QStringList{"Please enter a number between 0 and 105."});
    QCOMPARE(session.state.entryCopy.a, -100.0);
    QCOMPARE(page->focusWidget(), page->IDC_a);
    QCOMPARE(page->IDC_a->selectedText(), QStringLiteral("-100"));

    // b's bound counts the held -100 as 0 (75, not -25): b passes and a is read again, so the
    // user can mend it.
    probe.clear();
    click(page->IDC_submit);
    QCOMPARE(probe.texts(), QStringList{"Please enter a number between 0 and 105."});
    type(page->IDC_a, QStringLiteral("50"));
    probe.clear();
    click(page->IDC_submit);
    QVERIFY(probe.texts().isEmpty());
    QVERIFY(session.animation());
    QCOMPARE(linkBound(-100, 35, 40), 75.0);
}

void TestPages::submitWhoseSecondExchangeFails()
{
    Session session;
    cyclar1* page = session.dimensions();
    type(page->IDC_b, QStringLiteral("120"));
    type(page->IDC_a, QStringLiteral("10"));
    MessageBoxProbe probe;
    click(page->IDC_submit);
    // The first exchange passes (b against 125, a against 195, ...); the one inside OnOK
    // tests b against 10 + 35 + 40.
    QCOMPARE(probe.texts(), QStringList{"Please enter a number between 0 and 85."});
    cyclar_animation* animation = session.animation();
    QVERIFY(animation);
    QCOMPARE(session.state.scene.animationCopy, (LinkageDimensions{10, 120, 35, 40, 45, -35}));
    QCOMPARE(session.chain.depth(), 2);
    QVERIFY(page->isVisible() && page->isInputBlocked());

    click(animation->IDCANCEL_button); // Exit: back to the page that failed to end
    QCOMPARE(session.chain.front(), page);
    QVERIFY(page->isVisible() && !page->isInputBlocked());
    QCOMPARE(session.finished.count(), 0);
}

void TestPages::enterOnTheDimensionsPageEnds()
{
    Session session;
    QTest::keyClick(session.dimensions()->IDC_c, Qt::Key_Return);
    settle();
    QCOMPARE(session.finished.count(), 1);
    QCOMPARE(session.chain.depth(), 0);
}

void TestPages::newAnimationPageStandsStill()
{
    Session session;
    cyclar_animation* page = session.submit();
    QCOMPARE(page->IDC_SLIDER1->value(), 50);
    QCOMPARE(page->IDC_SLIDER2->value(), 40);
    QCOMPARE(page->IDC_SLIDER3->value(), 40);
    QCOMPARE(fieldTexts(
                 {page->IDC_a, page->IDC_b1, page->IDC_c, page->IDC_f, page->IDC_h1, page->IDC_k}),
             QStringLiteral("50,30,35,40,45,-35"));
    QVERIFY(!page->isTimerActive(cyclar_animation::clockTimer));
    QCOMPARE(session.state.scene.view.turn, -18.0);
    QCOMPARE(session.state.scene.view.tilt, -18.0);
    QCOMPARE(session.state.scene.schedule.frameIndex, 1);
    QTest::qWait(250);
    QCOMPARE(session.state.scene.schedule.frameIndex, 1);
}

void TestPages::clockStateTable()
{
    Session session;
    cyclar_animation* page = session.submit();
    MotionSchedule& clock = session.state.scene.schedule;
    const test::ClockByHand byHand(page);

    click(page->IDC_animate); // restores the saved 0; the first tick shows frame 1
    QCOMPARE(clock.frameIndex, 0);
    QVERIFY(page->isTimerActive(1));
    QCOMPARE(page->timerPeriod(1), 166);
    page->OnTimer(1);
    QCOMPARE(clock.frameIndex, 1);
    for (int i = 0; i < 136; ++i) {
        page->OnTimer(1);
    }
    QCOMPARE(clock.frameIndex, 137);

    releaseAt(page->IDC_SLIDER1, 100); // faster
    QCOMPARE(page->timerPeriod(1), 90);
    click(page->IDC_stop);
    QVERIFY(!page->isTimerActive(1));
    QCOMPARE(session.state.savedFrameIndex, 137);
    QCOMPARE(session.state.savedSpeedPos, 100);

    releaseAt(page->IDC_SLIDER1, 20); // a release while stopped runs on from the frame shown
    QVERIFY(page->isTimerActive(1));
    QCOMPARE(page->timerPeriod(1), 333);
    page->OnTimer(1);
    QCOMPARE(clock.frameIndex, 138);

    click(page->IDC_animate); // back to the frame and speed saved by the Stop
    QCOMPARE(clock.frameIndex, 137);
    QCOMPARE(page->m_speedPos, 100);
    QCOMPARE(page->timerPeriod(1), 90);
    page->OnTimer(1);
    QCOMPARE(clock.frameIndex, 138);

    clock.frameIndex = 360;
    page->OnTimer(1);
    QCOMPARE(clock.frameIndex, 1);
}

void TestPages::speedRelease_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("period");
    QTest::newRow("0") << 0 << 1000;
    QTest::newRow("9") << 9 << 1000;
    QTest::newRow("95") << 95 << 100;
    QTest::newRow("100") << 100 << 90;
}

void TestPages::speedRelease()
{
    QFETCH(int, position);
    QFETCH(int, period);
    Session session;
    cyclar_animation* page = session.submit();
    const test::ClockByHand clock(page);
    releaseAt(page->IDC_SLIDER1, position);
    QCOMPARE(page->m_speedPos, position);
    QVERIFY(page->isTimerActive(1));
    QCOMPARE(page->timerPeriod(1), period);
    QCOMPARE(session.state.scene.schedule.frameIndex, 1); // a release keeps the frame
}

void TestPages::viewRelease_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<double>("angle");
    QTest::newRow("0") << 0 << -90.0;
    QTest::newRow("49") << 49 << -1.0;
    QTest::newRow("51") << 51 << 1.0;
    QTest::newRow("100") << 100 << 90.0;
}

void TestPages::viewRelease()
{
    QFETCH(int, position);
    QFETCH(double, angle);
    Session session;
    cyclar_animation* page = session.submit();
    releaseAt(page->IDC_SLIDER2, position);
    QCOMPARE(session.state.scene.view.turn, angle);
    QCOMPARE(session.state.scene.view.tilt, -18.0);
    releaseAt(page->IDC_SLIDER3, position);
    QCOMPARE(session.state.scene.view.tilt, angle);
    QVERIFY(page->isTimerActive(1));
}

void TestPages::keyboardMovesChangeNothing()
{
    Session session;
    cyclar_animation* page = session.submit();
    page->IDC_SLIDER2->setFocus();
    QTest::keyClick(page->IDC_SLIDER2, Qt::Key_End);
    settle();
    QCOMPARE(page->IDC_SLIDER2->value(), 100);
    QCOMPARE(session.state.scene.view.turn, -18.0);
    QVERIFY(!page->isTimerActive(1));
    // The next release of another slider reads it (the exchange reaches it), but the turn
    // angle follows only its own release.
    releaseAt(page->IDC_SLIDER1, 50);
    QCOMPARE(page->m_turnPos, 100);
    QCOMPARE(session.state.scene.view.turn, -18.0);
}

void TestPages::tickPaintsTheNextFrame()
{
    Session session;
    cyclar_animation* page = session.submit();
    const QImage first = page->picture->grab().toImage();
    const test::ClockByHand clock(page);
    click(page->IDC_animate);
    page->OnTimer(1); // frame 1 again
    page->OnTimer(1); // frame 2
    const QImage second = page->picture->grab().toImage();
    QVERIFY(first != second);
    // The canvas is white between frames.
    for (int y = 0; y < 480; y += 7) {
        for (int x = 0; x < 480; x += 7) {
            QCOMPARE(session.state.canvas->pixel(x, y), 0x00FFFFFFu);
        }
    }
}

void TestPages::releaseWithLettersInAField()
{
    Session session;
    cyclar_animation* page = session.submit();
    type(page->IDC_c, QStringLiteral("abc"));
    MessageBoxProbe probe;
    releaseAt(page->IDC_SLIDER2, 100);
    QCOMPARE(probe.texts(), QStringList{"Please enter a number."});
    QCOMPARE(session.state.scene.view.turn, -18.0); // the exchange never reached the turn slider
    QVERIFY(page->isTimerActive(1));
    QCOMPARE(page->focusWidget(), page->IDC_c);
}

void TestPages::linkAbove1000FromTheDimensionsPage()
{
    Session session;
    MessageBoxProbe probe;
    // A link may exceed 1000 on the dimensions page when the other three add up to more:
    // lengthen a and c on the animation page, go back, and lengthen b.
    cyclar_animation* first = session.submit();
    type(first->IDC_a, QStringLiteral("1000"));
    type(first->IDC_c, QStringLiteral("1000"));
    click(first->IDC_back);
    cyclar1* dims = session.dimensions();
    type(dims->IDC_b, QStringLiteral("1100"));
    click(dims->IDC_submit);
    QVERIFY2(probe.texts().isEmpty(), qPrintable(probe.texts().join(QLatin1Char('|'))));
    cyclar_animation* page = session.animation();
    QVERIFY(page);
    QCOMPARE(page->IDC_b1->text(), QStringLiteral("1100"));

    releaseAt(page->IDC_SLIDER3, 100);
    QCOMPARE(probe.texts(), QStringList{"Please enter a number between 0 and 1000."});
    QCOMPARE(session.state.scene.view.tilt, -18.0);
    releaseAt(page->IDC_SLIDER1, 100); // the speed slider comes first and always counts
    QCOMPARE(page->timerPeriod(1), 90);
    page->OnTimer(1); // and the picture of a 1100-degree link is drawn without harm
}

void TestPages::typedLengthDrawsButModelStays()
{
    Session session;
    cyclar_animation* page = session.submit();
    const double cosA = session.state.scene.model.cosA;
    type(page->IDC_a, QStringLiteral("60"));
    releaseAt(page->IDC_SLIDER1, 50);
    QCOMPARE(session.state.scene.animationCopy.a, 60.0);
    QCOMPARE(session.state.scene.model.cosA, cosA);
}

void TestPages::backCarriesTheAnimationCopy()
{
    Session session;
    cyclar_animation* page = session.submit();
    click(page->IDC_animate);
    type(page->IDC_h1, QStringLiteral("12.5"));
    MessageBoxProbe probe;
    click(page->IDC_back);
    QVERIFY(probe.texts().isEmpty());
    cyclar1* dims = session.dimensions();
    QVERIFY(dims);
    QCOMPARE(session.chain.depth(), 1);
    QCOMPARE(session.state.entryMode, 3);
    QCOMPARE(
        fieldTexts({dims->IDC_a, dims->IDC_b, dims->IDC_c, dims->IDC_f, dims->IDC_h, dims->IDC_k}),
        QStringLiteral("50,30,35,40,12.5,-35"));
}

void TestPages::backWithLettersLeavesThePageBeneath()
{
    Session session;
    cyclar_animation* page = session.submit();
    click(page->IDC_animate);
    type(page->IDC_k, QStringLiteral("left"));
    MessageBoxProbe probe;
    click(page->IDC_back);
    QCOMPARE(probe.texts(), (QStringList{"Please enter a number.", "Please enter a number."}));
    cyclar1* dims = session.dimensions();
    QVERIFY(dims);
    QCOMPARE(session.chain.depth(), 2);
    QVERIFY(page->isVisible() && page->isInputBlocked());
    QVERIFY(!page->isTimerActive(1));

    // Beneath, it keeps its look (no grey words, text or hatched thumb) and takes no input:
    // a click on Animate, keys in a field, the close box.
    const QList<QWidget*> looks{page->picture, page->IDC_animate, page->IDC_a, page->IDC_SLIDER1,
                                page->findChild<QLabel*>()};
    QList<QImage> beneath;
    for (QWidget* widget : looks)
        beneath << widget->grab().toImage();
    click(page->IDC_animate);
    QTest::keyClicks(page->IDC_a, QStringLiteral("9"));
    page->close();
    settle();
    QVERIFY(!page->isTimerActive(1));
    QCOMPARE(page->IDC_a->text(), QStringLiteral("50"));
    QCOMPARE(session.chain.front(), dims);

    click(dims->IDCANCEL_button);
    QCOMPARE(session.chain.front(), page);
    QVERIFY(page->isVisible() && !page->isInputBlocked());
    QVERIFY(!page->isTimerActive(1)); // stopped
    QCOMPARE(session.finished.count(), 0);
    for (qsizetype i = 0; i < looks.size(); ++i)
        QVERIFY2(looks[i]->grab().toImage() == beneath[i], looks[i]->metaObject()->className());
    // In front again, it takes input.
    click(page->IDC_animate);
    QVERIFY(page->isTimerActive(1));
}

void TestPages::enterOnTheAnimationPageEnds()
{
    Session session;
    cyclar_animation* page = session.submit();
    QTest::keyClick(page->IDC_f, Qt::Key_Return);
    settle();
    QCOMPARE(session.finished.count(), 1);
}

void TestPages::helpKeepsTheAnimationRunning()
{
    Session session;
    cyclar_animation* page = session.submit();
    releaseAt(page->IDC_SLIDER1, 100); // 90 ms a frame
    const int before = session.state.scene.schedule.frameIndex;
    int during = -1;
    bool helpShown = false;
    QTimer::singleShot(400, this, [&] {
        auto* window = qobject_cast<help*>(QApplication::activeModalWidget());
        helpShown = window != nullptr && window->isVisible();
        during = session.state.scene.schedule.frameIndex;
        if (window) {
            QTest::keyClick(window, Qt::Key_Return); // Enter closes only the help page
        }
    });
    click(page->IDC_help);
    QVERIFY(helpShown);
    QVERIFY2(during >= before + 2, qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(during)));
    QCOMPARE(session.chain.front(), page);
    QVERIFY(page->isTimerActive(1));
    QCOMPARE(session.finished.count(), 0);
}

void TestPages::helpPageTexts()
{
    help page;
    const QList<QLabel*> paragraphs = page.findChildren<QLabel*>(QStringLiteral("paragraph"));
    QCOMPARE(paragraphs.size(), 6);
    QCOMPARE(page.windowTitle(), QStringLiteral("Help"));
    QVERIFY(
        paragraphs[2]->text().contains(QStringLiteral("appropriate for constructing a spherical")));
    QVERIFY(paragraphs[4]->text().endsWith(QStringLiteral("shown in this page. ")));
    QVERIFY(paragraphs[1]->text().contains(QStringLiteral("click \"continue\" button")));
    // Every paragraph shows whole, inside the page, below the one before it.
    int bottom = -1;
    for (QLabel* paragraph : paragraphs) {
        QVERIFY(paragraph->height() >= paragraph->heightForWidth(paragraph->width()));
        QVERIFY(paragraph->y() > bottom);
        QVERIFY(page.rect().contains(paragraph->geometry()));
        bottom = paragraph->geometry().bottom();
    }
}

void TestPages::layoutsTakeTheirTemplateBoxes()
{
    // The sans layouts are in units of 6 x 13 pixels (a quarter of 6 across, an eighth of 13
    // down), rounded to the nearest pixel: the pages take exactly their templates' sizes.
    Session session;
    cyclar1* dimensions = session.dimensions();
    QCOMPARE(dimensions->size(), QSize(555, 398));
    QCOMPARE(dimensions->IDC_a->geometry(), QRect(78, 49, 57, 28));
    QCOMPARE(dimensions->IDC_h->geometry(), QRect(78, 184, 57, 28));
    // The diagram's box, 231 x 214 units, holds its bitmap and sunken edge whole.
    auto* diagram = dimensions->findChild<QLabel*>(QStringLiteral("IDC_cyclar"));
    QVERIFY(diagram);
    QCOMPARE(diagram->contentsRect().size(), QSize(342, 344));
    QVERIFY(QRect(185, 26, 347, 348).contains(diagram->geometry()));
    QVERIFY(dimensions->rect().contains(diagram->geometry()));

    cyclar_animation* animation = session.submit();
    QVERIFY(animation);
    QCOMPARE(animation->size(), QSize(747, 476));
    QCOMPARE(animation->IDC_SLIDER1->geometry(), QRect(537, 328, 152, 28));
    QCOMPARE(animation->IDC_SLIDER2->geometry(), QRect(537, 249, 152, 29));
    QCOMPARE(animation->IDC_b1->geometry(), QRect(509, 54, 53, 23));
    QCOMPARE(animation->IDC_help->pos(), QPoint(569, 434));

    // The help page is in units of Times New Roman, 12 points: 9 x 17.
    help page;
    QCOMPARE(page.size(), QSize(630, 408));
}

namespace {

// Whether a field shows the beginning of its text (and the text is too long to show whole).
void checkShowsItsStart(QLineEdit* field)
{
    field->clearFocus();
    const QImage shown = field->grab().toImage();
    field->end(false);
    const QImage end = field->grab().toImage();
    field->home(false);
    const QImage start = field->grab().toImage();
    QVERIFY2(end != start, "the value fits its field");
    QVERIFY(shown == start);
}

} // namespace

void TestPages::fieldsShowTheStartOfALongValue()
{
    // The pages write the value into fields too narrow for it: the animation page from the entry
    // copy, and the dimensions page after Back from the animation copy.
    Session session;
    const QString value = QStringLiteral("12.3456789012346");
    type(session.dimensions()->IDC_a, value);
    cyclar_animation* animation = session.submit();
    QVERIFY(animation);
    QCOMPARE(animation->IDC_a->text(), value);
    checkShowsItsStart(animation->IDC_a);
    if (QTest::currentTestFailed())
        return;
    click(animation->IDC_back);
    cyclar1* dimensions = session.dimensions();
    QVERIFY(dimensions);
    QCOMPARE(dimensions->IDC_a->text(), value);
    checkShowsItsStart(dimensions->IDC_a);
}

namespace {

// Unantialiased: each pixel of a page's texts is either the background or the text colour
// itself, and each text has some. Returns how many texts the page has.
int checkTextColours(QWidget* page)
{
    const QRgb background = qRgb(180, 180, 230);
    const QRgb text = qRgb(200, 20, 30);
    int texts = 0;
    for (QLabel* label : page->findChildren<QLabel*>()) {
        if (label->text().isEmpty())
            continue;
        ++texts;
        const QImage image = page->grab(label->geometry()).toImage();
        int inked = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y) | 0xFF000000u;
                if (pixel != background && pixel != text) {
                    QTest::qFail(qPrintable(QStringLiteral("\"%1\" at %2,%3: %4")
                                                .arg(label->text())
                                                .arg(x)
                                                .arg(y)
                                                .arg(pixel, 8, 16)),
                                 __FILE__, __LINE__);
                    return texts;
                }
                inked += pixel == text ? 1 : 0;
            }
        }
        if (inked == 0)
            QTest::qFail(qPrintable(label->text() + QStringLiteral(" shows nothing")), __FILE__,
                         __LINE__);
    }
    return texts;
}

} // namespace

void TestPages::staticTextsAreDrawnInTheirColourOnly()
{
    Session session;
    QCOMPARE(checkTextColours(session.dimensions()), 1);
    QCOMPARE(checkTextColours(session.submit()), 12);
    help page;
    page.show();
    QCOMPARE(checkTextColours(&page), 6);
}

namespace {

// The controls the Tab key visits on a page, in order, starting from its first.
QList<QWidget*> tabOrder(QWidget* page)
{
    QList<QWidget*> order;
    QWidget* widget = page->nextInFocusChain();
    while (widget != page && order.size() < 50) {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(page)) {
            order.append(widget);
        }
        widget = widget->nextInFocusChain();
    }
    return order;
}

} // namespace

void TestPages::tabOrders()
{
    Session session;
    cyclar1* dims = session.dimensions();
    QCOMPARE(tabOrder(dims), (QList<QWidget*>{dims->IDC_a, dims->IDC_b, dims->IDC_c, dims->IDC_f,
                                              dims->IDC_k, dims->IDC_h}));
    cyclar_animation* page = session.submit();
    QCOMPARE(tabOrder(page), (QList<QWidget*>{page->IDC_SLIDER1, page->IDC_h1, page->IDC_a,
                                              page->IDC_c, page->IDC_f, page->IDC_k, page->IDC_b1,
                                              page->IDC_SLIDER2, page->IDC_SLIDER3}));
}

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
