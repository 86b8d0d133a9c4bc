// Long runs: an animation page driven through many ticks at the fastest speed with the view
// sliders released now and then, and many Back/Submit cycles through the real pages. Memory
// must stay steady and the call stack flat. CI runs scaled-down counts; scripts/soak.sh runs
// the full ones (CYCLAR_SOAK_TICKS, CYCLAR_SOAK_CYCLES).
#include "animation_page.h"
#include "app_state.h"
#include "artwork.h"
#include "bitmap_button.h"
#include "dialog_colours.h"
#include "dimensions_page.h"
#include "page_chain.h"
#include "trackbar.h"
#include "widget_test_support.h"

#include <QApplication>
#include <QFile>
#include <QPixmapCache>
#include <QSignalSpy>
#include <QtTest>

using namespace cyclar;
using cyclar::test::heapInUse;
using cyclar::test::residentKilobytes;
using cyclar::test::settle;

namespace {

int countFrom(const char* variable, int fallback)
{
    const int value = qEnvironmentVariableIntValue(variable);
    return value > 0 ? value : fallback;
}

// Where the stack stands when a page is shown: a hand-over that nested would push it deeper
// with every cycle.
class StackProbe : public QObject {
public:
    quintptr lowest = ~quintptr(0);
    quintptr highest = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<cyclar_animation*>(watched)) {
            const auto here = reinterpret_cast<quintptr>(__builtin_frame_address(0));
            lowest = std::min(lowest, here);
            highest = std::max(highest, here);
        }
        return false;
    }
};

} // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void manyTicksAtTheFastestSpeed();
    void manyBackSubmitCycles();
};

void TestSoak::initTestCase()
{
    test::quietPlatformNotes();
    QCoreApplication::setApplicationName(QStringLiteral("cyclar"));
    initArtwork();
    QApplication::setFont(defaultTextFont());
    applyDialogLook(*qApp);
}

void TestSoak::manyTicksAtTheFastestSpeed()
{
    const int ticks = countFrom("CYCLAR_SOAK_TICKS", 20000);
    PageChain chain;
    AppState state(chain);
    state.entryMode = 1;
    chain.start(std::make_unique<cyclar1>(state));
    settle();
    qobject_cast<cyclar1*>(chain.front())->OnSubmit();
    settle();
    auto* page = qobject_cast<cyclar_animation*>(chain.front());
    QVERIFY(page);
    page->IDC_SLIDER1->setValue(100);
    page->OnSpeedReleased();
    QCOMPARE(page->timerPeriod(1), 90);
    page->KillTimer(1); // ticks are driven here, not by the clock

    const int warmUp = std::min(10000, ticks / 2);
    long residentAfterWarmUp = 0;
    qint64 heapAfterWarmUp = 0;
    for (int tick = 1; tick <= ticks; ++tick) {
        page->OnTimer(1);
        if (tick % 997 == 0) {
            // Now and then the user turns or tilts the view.
            Trackbar* slider = tick % 2 ? page->IDC_SLIDER2 : page->IDC_SLIDER3;
            slider->setValue((tick / 997) * 37 % 101);
            tick % 2 ? page->OnTurnReleased() : page->OnTiltReleased();
            page->KillTimer(1);
        }
        if (tick % 5000 == 0) {
            settle();
        }
        if (tick == warmUp) {
            settle();
            residentAfterWarmUp = residentKilobytes();
            heapAfterWarmUp = heapInUse();
        }
    }
    settle();
    const long residentGrowth = residentKilobytes() - residentAfterWarmUp;
    const qint64 heapGrowth = heapInUse() - heapAfterWarmUp;
    qInfo("%d ticks: resident %ld kB after %d ticks, %ld kB at the end (%+ld kB); heap in use "
          "%+lld kB",
          ticks, residentAfterWarmUp, warmUp, residentKilobytes(), residentGrowth,
          heapGrowth / 1024);
#if !defined(__SANITIZE_ADDRESS__)
    // (Under AddressSanitizer freed memory sits in its quarantine, so only the heap figure
    // speaks there.)
    QVERIFY2(residentGrowth < 1024,
             qPrintable(QStringLiteral("resident grew by %1 kB").arg(residentGrowth)));
#endif
    QVERIFY2(heapGrowth < 256 * 1024,
             qPrintable(QStringLiteral("heap grew by %1 bytes").arg(heapGrowth)));
    QVERIFY(state.scene.schedule.frameIndex >= 1 && state.scene.schedule.frameIndex <= 360);
    QCOMPARE(state.scene.schedule.frameIndex, 1 + ticks % 360);

    QSignalSpy finished(&chain, &PageChain::finished);
    page->OnCancel();
    settle();
    QCOMPARE(finished.count(), 1);
}

void TestSoak::manyBackSubmitCycles()
{
    const int cycles = countFrom("CYCLAR_SOAK_CYCLES", 2000);
    PageChain chain;
    AppState state(chain);
    QSignalSpy finished(&chain, &PageChain::finished);
    StackProbe stack;
    qApp->installEventFilter(&stack);
    state.entryMode = 1;
    chain.start(std::make_unique<cyclar1>(state));
    settle();

    const int warmUp = std::min(100, cycles / 2);
    long residentAfterWarmUp = 0;
    qint64 heapAfterWarmUp = 0;
    qsizetype widgetsAfterWarmUp = 0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        auto* dims = qobject_cast<cyclar1*>(chain.front());
        QVERIFY(dims);
        QTest::mouseClick(dims->IDC_submit, Qt::LeftButton);
        settle();
        auto* page = qobject_cast<cyclar_animation*>(chain.front());
        QVERIFY(page);
        page->OnTimer(1);
        QTest::mouseClick(page->IDC_back, Qt::LeftButton);
        settle();
        QCOMPARE(chain.depth(), 1);
        if (cycle == warmUp) {
            QPixmapCache::clear(); // the style's bounded cache of drawn controls is not ours
            residentAfterWarmUp = residentKilobytes();
            heapAfterWarmUp = heapInUse();
            widgetsAfterWarmUp = QApplication::allWidgets().size();
        }
    }
    qApp->removeEventFilter(&stack);
    QPixmapCache::clear();
    // Every page and control a cycle made went with its page.
    QCOMPARE(QApplication::allWidgets().size(), widgetsAfterWarmUp);
    const long residentGrowth = residentKilobytes() - residentAfterWarmUp;
    const qint64 heapGrowth = heapInUse() - heapAfterWarmUp;
    const quintptr stackSpread = stack.highest - stack.lowest;
    qInfo("%d Back/Submit cycles: chain depth 1 throughout; stack at each new animation page "
          "within %llu bytes; resident %+ld kB, heap in use %+lld kB after the first %d cycles",
          cycles, static_cast<unsigned long long>(stackSpread), residentGrowth, heapGrowth / 1024,
          warmUp);
    QVERIFY2(stackSpread < 4096,
             qPrintable(QStringLiteral("stack moved by %1 bytes").arg(stackSpread)));
    QVERIFY2(heapGrowth < 1024 * 1024,
             qPrintable(QStringLiteral("heap grew by %1 bytes").arg(heapGrowth)));

    // The program ends cleanly from the last page.
    QTest::mouseClick(qobject_cast<cyclar1*>(chain.front())->IDCANCEL_button, Qt::LeftButton);
    settle();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(chain.depth(), 0);
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
