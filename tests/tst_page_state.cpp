// Tests of the pages' state without widgets: which dimensions a new dimensions page shows, the
// animation page's clock over Animate, Stop, a release and Back, the order a saving exchange
// reads the controls in, and a linkage taken from a file.
#include "page_state.h"

#include "motion_schedule.h"

#include <QtTest>

using namespace cyclar;

Q_DECLARE_METATYPE(cyclar::EntryMode)

namespace {

constexpr int canvasWidth = 480;

ClockOrder started(int speedPos)
{
    return {ClockOrder::Kind::Start, tickInterval(speedPos)};
}

const ClockOrder stopped{ClockOrder::Kind::Stop, 0};

// The controls as the page showed them, with some fields typed over.
PageControls typed(const PageControls& shown, const QList<QPair<char, QString>>& edits)
{
    PageControls controls = shown;
    for (const auto& [field, text] : edits) {
        controls.fields[fieldIndex(field)] = text.toStdString();
    }
    return controls;
}

} // namespace

class TestPageState : public QObject {
    Q_OBJECT

private slots:
    void entryModeChoosesTheDimensions_data();
    void entryModeChoosesTheDimensions();
    void titleToAnimationAndBack();
    void animateStopAndRelease();
    void ticksGoRoundTheCycle();
    void animationReadOrder_data();
    void animationReadOrder();
    void unchangedTextKeepsEveryDigit();
    void linkageFromAFile_data();
    void linkageFromAFile();
};

void TestPageState::entryModeChoosesTheDimensions_data()
{
    QTest::addColumn<EntryMode>("mode");
    QTest::addColumn<bool>("defaults");

    QTest::newRow("as the program starts") << EntryMode::Initial << false;
    QTest::newRow("after the title's Continue") << EntryMode::Defaults << true;
    QTest::newRow("after Back") << EntryMode::AnimationCopy << false;
}

void TestPageState::entryModeChoosesTheDimensions()
{
    QFETCH(EntryMode, mode);
    QFETCH(bool, defaults);

    PageState state;
    state.entryMode = mode;
    state.scene.animationCopy = {60, 25, 40, 45, 12.5, 90};
    state.entryCopy = {1, 2, 3, 4, 5, 6}; // what an earlier page left: never shown again
    const DimensionsPageState page(state);
    const LinkageDimensions expected = defaults ? defaultDimensions : state.scene.animationCopy;
    QCOMPARE(state.entryCopy, expected);
    const PageControls shown = page.shown();
    QVERIFY(shown.sliders.empty());
    QCOMPARE(shown.fields[fieldIndex('h')], formatNumber(expected.h));
    QCOMPARE(shown.fields[fieldIndex('k')], formatNumber(expected.k));
}

void TestPageState::titleToAnimationAndBack()
{
    PageState state;
    continueFromTitle(state);
    QCOMPARE(state.entryMode, EntryMode::Defaults);
    {
        DimensionsPageState dims(state);
        QVERIFY(!dims.save(typed(dims.shown(), {{'a', "60"}, {'k', "-40"}})));
    }
    AnimationPageState page(state, canvasWidth);
    QCOMPARE(page.modelDims(), (LinkageDimensions{60, 30, 35, 40, 45, -40}));
    QCOMPARE(state.scene.animationCopy, page.modelDims());
    QCOMPARE(state.scene.schedule.frameIndex, 1);
    QCOMPARE(page.shown().sliders, (std::vector<int>{50, 40, 40}));
    QCOMPARE(state.scene.view.turn, sliderAngle(40));

    // A value typed on the animation page goes back with Back, though the model keeps its own.
    QVERIFY(!page.save(typed(page.shown(), {{'h', "20"}})));
    QCOMPARE(page.back(), stopped);
    QCOMPARE(state.entryMode, EntryMode::AnimationCopy);
    QCOMPARE(page.modelDims().h, 45.0);
    const DimensionsPageState again(state);
    QCOMPARE(state.entryCopy, (LinkageDimensions{60, 30, 35, 40, 20, -40}));
    QCOMPARE(again.shown().fields[fieldIndex('h')], std::string("20"));
}

void TestPageState::animateStopAndRelease()
{
    PageState state;
    state.entryCopy = defaultDimensions;
    AnimationPageState page(state, canvasWidth);
    MotionSchedule& clock = state.scene.schedule;

    // The first Animate restores what nothing has saved yet: frame 0 and speed 50.
    QCOMPARE(page.animate(), started(50));
    QCOMPARE(clock.frameIndex, 0);
    for (int i = 0; i < 137; ++i) {
        page.tick();
    }
    QCOMPARE(clock.frameIndex, 137);

    // A release runs the clock at the speed read, from the frame shown.
    QVERIFY(!page.save(typed(page.shown(), {})));
    PageControls faster = page.shown();
    faster.sliders = {100, 40, 40};
    QVERIFY(!page.save(faster));
    QCOMPARE(page.speedReleased(), started(100));
    QCOMPARE(clock.frameIndex, 137);

    // Stop keeps the frame and the speed; a later release at another speed moves on without
    // touching them, and Animate goes back to what Stop kept.
    QCOMPARE(page.stop(), stopped);
    page.tick();
    faster.sliders = {10, 40, 40};
    QVERIFY(!page.save(faster));
    QCOMPARE(page.speedReleased(), started(10));
    page.tick();
    QCOMPARE(clock.frameIndex, 139);
    QCOMPARE(page.animate(), started(100));
    QCOMPARE(clock.frameIndex, 137);
    QCOMPARE(page.m_speedPos, 100);

    // The view sliders turn the picture only at their own release.
    PageControls turned = page.shown();
    turned.sliders = {100, 100, 0};
    QVERIFY(!page.save(turned));
    QCOMPARE(state.scene.view.turn, sliderAngle(40));
    QCOMPARE(page.turnReleased(), started(100));
    QCOMPARE(state.scene.view.turn, 90.0);
    QCOMPARE(state.scene.view.tilt, sliderAngle(40));
    QCOMPARE(page.tiltReleased(), started(100));
    QCOMPARE(state.scene.view.tilt, -90.0);
}

void TestPageState::ticksGoRoundTheCycle()
{
    PageState state;
    state.entryCopy = defaultDimensions;
    AnimationPageState page(state, canvasWidth);
    MotionSchedule& clock = state.scene.schedule;
    clock.frameIndex = clock.framesPerCycle;
    page.tick();
    QCOMPARE(clock.frameIndex, 1);
}

void TestPageState::animationReadOrder_data()
{
    QTest::addColumn<QString>("field"); // typed over, or empty
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("failed"); // the field that fails, or empty
    QTest::addColumn<bool>("viewRead");

    QTest::newRow("all read") << ""
                              << ""
                              << "" << true;
    QTest::newRow("not a number") << "a"
                                  << "x"
                                  << "a" << false;
    QTest::newRow("out of range, kept") << "k"
                                        << "1500"
                                        << "k" << false;
}

// Speed first, then the fields in the page's order, then turn and tilt: a failing field leaves
// the view sliders unread, and a value out of range stays stored.
void TestPageState::animationReadOrder()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, failed);
    QFETCH(bool, viewRead);

    PageState state;
    state.entryCopy = defaultDimensions;
    AnimationPageState page(state, canvasWidth);
    PageControls read = page.shown();
    read.sliders = {70, 10, 90};
    if (!field.isEmpty()) {
        read = typed(read, {{field.at(0).toLatin1(), text}});
    }
    const std::optional<FieldFailure> failure = page.save(read);
    QCOMPARE(failure.has_value(), !failed.isEmpty());
    if (failure) {
        QCOMPARE(QString(QChar::fromLatin1(failure->field)), failed);
        QVERIFY(!failure->message.empty());
    }
    QCOMPARE(page.m_speedPos, 70);
    QCOMPARE(page.m_turnPos, viewRead ? 10 : 40);
    QCOMPARE(page.m_tiltPos, viewRead ? 90 : 40);
    if (text == "1500") {
        QCOMPARE(state.scene.animationCopy.k, 1500.0);
    }
    QCOMPARE(page.modelDims(), defaultDimensions);
}

void TestPageState::unchangedTextKeepsEveryDigit()
{
    PageState state;
    state.entryMode = EntryMode::AnimationCopy;
    state.scene.animationCopy = {50, 30, 35, 40, 1.0 / 3.0, -35};
    DimensionsPageState page(state);
    const PageControls shown = page.shown();
    QCOMPARE(shown.fields[fieldIndex('h')], std::string("0.333333333333333"));
    QVERIFY(!page.save(shown));
    QCOMPARE(state.entryCopy.h, 1.0 / 3.0);
    QVERIFY(!page.save(typed(shown, {{'h', "0.3333333333333330"}})));
    QCOMPARE(state.entryCopy.h, 0.333333333333333);
}

void TestPageState::linkageFromAFile_data()
{
    QTest::addColumn<bool>("full"); // speed, view and motion in the file

    QTest::newRow("dimensions only") << false;
    QTest::newRow("speed, view, motion") << true;
}

void TestPageState::linkageFromAFile()
{
    QFETCH(bool, full);

    PageState state;
    state.entryCopy = defaultDimensions;
    AnimationPageState page(state, 200);
    const double radius = state.scene.sphereRadius;
    page.animate();
    for (int i = 0; i < 40; ++i) {
        page.tick();
    }
    page.stop();

    LinkageFile file;
    file.dimensions = {45, 20, 50, 40, 30, 10};
    if (full) {
        file.speed = 80;
        file.view = FileView{27, -54, true};
        file.motion = {2, true};
    }
    QCOMPARE(page.showLinkage(file), stopped);
    QCOMPARE(page.modelDims(), file.dimensions);
    QCOMPARE(state.scene.animationCopy, file.dimensions);
    QCOMPARE(state.scene.sphereRadius, radius);
    QCOMPARE(state.scene.schedule.frameIndex, 1);
    QCOMPARE(state.savedFrameIndex, 0);
    QCOMPARE(page.m_speedPos, full ? 80 : 50);
    QCOMPARE(state.savedSpeedPos, page.m_speedPos);
    QCOMPARE(state.scene.view.turn, full ? 27.0 : -18.0);
    QCOMPARE(state.scene.view.tilt, full ? -54.0 : -18.0);
    QCOMPARE(page.m_turnPos, sliderPosition(state.scene.view.turn));
    QCOMPARE(page.m_tiltPos, sliderPosition(state.scene.view.tilt));
    QCOMPARE(state.pens.rotationAxis, full);
    QCOMPARE(state.scene.schedule.motion.evenInput, full);
    QCOMPARE(page.animate(), started(page.m_speedPos));
    QCOMPARE(state.scene.schedule.frameIndex, 0);
}

QTEST_GUILESS_MAIN(TestPageState)
#include "tst_page_state.moc"
