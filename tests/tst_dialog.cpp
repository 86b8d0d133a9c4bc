// Tests of the dialog layer: number text, data exchange, pages, timers, controls, page chain.
#include "bitmap_button.h"
#include "comma_locale.h"
#include "data_exchange.h"
#include "dialog_colours.h"
#include "dialog_units.h"
#include "message_box_probe.h"
#include "number_text.h"
#include "page.h"
#include "page_chain.h"
#include "trackbar.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <clocale>
#include <cmath>
#include <limits>
#include <memory>

using namespace cyclar;
using cyclar::test::MessageBoxProbe;

namespace {

const QString notANumber = QStringLiteral("Please enter a number.");

QString rangeMessage(const char* min, const char* max)
{
    return QStringLiteral("Please enter a number between %1 and %2.")
        .arg(QLatin1String(min), QLatin1String(max));
}

// The offscreen platform cannot raise windows or pass size hints on, and says so every time.
QtMessageHandler defaultHandler = nullptr;
void quietOffscreenLimits(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support")))
        return;
    defaultHandler(type, context, text);
}

void deleteLaterNow()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Three fields exchanged in order, each followed by its range test, then a slider.
class ThreeFieldPage : public Page {
public:
    ThreeFieldPage()
    {
        for (QLineEdit*& field : fields)
            field = new QLineEdit(this);
        slider = new Trackbar(this);
        for (int i = 0; i < 3; ++i)
            fields[i]->setGeometry(10, 10 + 30 * i, 80, 24);
        slider->setGeometry(10, 100, 100, 20);
        resize(200, 140);
    }

    void DoDataExchange(DataExchange& dx) override
    {
        ++exchanges;
        dx.slider(slider, position);
        dx.text(fields[0], values[0]);
        dx.minMax(fields[0], values[0], 0.0, 100.0);
        dx.text(fields[1], values[1]);
        dx.minMax(fields[1], values[1], 0.0, 100.0);
        dx.text(fields[2], values[2]);
        dx.minMax(fields[2], values[2], -10.0, 10.0);
    }
    void OnOK() override
    {
        ++okCalls;
        Page::OnOK();
    }
    void OnCancel() override
    {
        ++cancelCalls;
        Page::OnCancel();
    }
    void OnTimer(int id) override { ++ticks[id]; }

    void setTexts(const QString& a, const QString& b, const QString& c)
    {
        fields[0]->setText(a);
        fields[1]->setText(b);
        fields[2]->setText(c);
    }

    QLineEdit* fields[3] = {};
    Trackbar* slider = nullptr;
    double values[3] = {50.0, -35.0, 0.1};
    int position = 40;
    int exchanges = 0;
    int okCalls = 0;
    int cancelCalls = 0;
    std::map<int, int> ticks;
};

// A trackbar that can say where its handle is drawn.
class HandleTrackbar : public Trackbar {
public:
    QRect handle() const
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    }
};

QPixmap solidPixmap(int w, int h)
{
    QPixmap pixmap(w, h);
    pixmap.fill(Qt::darkGreen);
    return pixmap;
}

// A main page of the chain: one field that must hold a number from 0 to 100, and a Next
// button that hands over to a fresh page of the same kind.
class ChainPage : public Page {
public:
    ChainPage(PageChain& chain, int& live, const QString& text = QStringLiteral("1"),
              bool endAtInit = false)
        : chain_(chain), live_(live), text_(text), endAtInit_(endAtInit)
    {
        ++live_;
        field = new QLineEdit(this);
        field->setGeometry(10, 10, 80, 24);
        next = new BitmapButton(solidPixmap(60, 30), this);
        next->move(10, 50);
        resize(160, 100);
        onNotify(next,
                 [this] { chain_.handOver(this, std::make_unique<ChainPage>(chain_, live_)); });
    }
    ~ChainPage() override { --live_; }

    bool OnInitDialog() override
    {
        Page::OnInitDialog();
        field->setText(text_); // whatever the user typed, valid or not
        if (endAtInit_)
            EndDialog(IDCANCEL);
        return true;
    }
    void DoDataExchange(DataExchange& dx) override
    {
        dx.text(field, value);
        dx.minMax(field, value, 0.0, 100.0);
    }

    QLineEdit* field = nullptr;
    BitmapButton* next = nullptr;

private:
    PageChain& chain_;
    int& live_;
    QString text_;
    bool endAtInit_;
    double value = 0.0;
};

} // namespace

class TestDialog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void formatDoubleMatchesPrintf_data();
    void formatDoubleMatchesPrintf();
    void parseDoubleRules_data();
    void parseDoubleRules();
    void numberTextIgnoresProcessLocale();

    void rangeTest_data();
    void rangeTest();
    void showingExchangeFillsControlsAndNeverTests();
    void savingExchangeStoresInOrderAndStopsAtFirstFailure_data();
    void savingExchangeStoresInOrderAndStopsAtFirstFailure();
    void messageIsARealModalWarningBox();
    void notificationsAreDroppedDuringSavingExchange();

    void keysAndCloseBoxRouteToOkAndCancel_data();
    void keysAndCloseBoxRouteToOkAndCancel();
    void doModalReturnsEndDialogResult();

    void setTimerRestartsAndReplaces();
    void killTimerStopsOnlyThatTimer();
    void ticksNeitherPileUpNorNest();

    void trackbarReleaseComesFromMouseOnly_data();
    void trackbarReleaseComesFromMouseOnly();
    void trackbarHasASunkenEdge();
    void bitmapButtonClicks_data();
    void bitmapButtonClicks();

    void dialogColoursLeaveEditFieldsAlone();
    void dialogUnitsScaleByCharacterCell();

    void handOver_data();
    void handOver();
    void failedPagesReturnInOrder();
    void unwindingToEmptyFinishes();
    void manyHandOversKeepChainFlat();
    void pageEndedDuringItsOwnMessageOutlivesTheExchange();
};

void TestDialog::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("cyclar"));
    defaultHandler = qInstallMessageHandler(quietOffscreenLimits);
}

// --- Number text ----------------------------------------------------------------------------

void TestDialog::formatDoubleMatchesPrintf_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 50.0 << "50";
    QTest::newRow("negative") << -35.0 << "-35";
    QTest::newRow("tenth") << 0.1 << "0.1";
    QTest::newRow("sum rounds to 15 digits") << 0.1 + 0.2 << "0.3";
    QTest::newRow("third") << 1.0 / 3.0 << "0.333333333333333";
    QTest::newRow("15 digits stay plain") << 123456789012345.0 << "123456789012345";
    QTest::newRow("16 digits go exponent") << 1234567890123456.0 << "1.23456789012346e+15";
    QTest::newRow("large") << 1e20 << "1e+20";
    QTest::newRow("small") << 1e-5 << "1e-05";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "-0";
}

void TestDialog::formatDoubleMatchesPrintf()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatDouble(value), text);
}

void TestDialog::parseDoubleRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");

    QTest::newRow("blanks around") << " 12 " << true << 12.0;
    QTest::newRow("tabs around") << "\t12\t" << true << 12.0;
    QTest::newRow("exponent") << "1e3" << true << 1000.0;
    QTest::newRow("negative") << "-35" << true << -35.0;
    QTest::newRow("plus sign") << "+5" << true << 5.0;
    QTest::newRow("trailing point") << "1." << true << 1.0;
    QTest::newRow("leading point") << ".5" << true << 0.5;
    QTest::newRow("zero") << "0" << true << 0.0;
    QTest::newRow("zero point zero") << "0.0" << true << 0.0;
    QTest::newRow("double zero") << "00" << true << 0.0;
    QTest::newRow("zero with exponent") << "0e5" << true << 0.0;
    QTest::newRow("subnormal") << "1e-320" << true << 1e-320;

    QTest::newRow("negative zero") << "-0" << false << 0.0;
    QTest::newRow("point zero") << ".0" << false << 0.0;
    QTest::newRow("plus zero") << "+0" << false << 0.0;
    QTest::newRow("underflow to zero") << "1e-400" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("blanks only") << "   " << false << 0.0;
    QTest::newRow("trailing letters") << "12abc" << false << 0.0;
    QTest::newRow("two numbers") << "12 3" << false << 0.0;
    QTest::newRow("decimal comma") << "1,5" << false << 0.0;
    QTest::newRow("dangling exponent") << "1e" << false << 0.0;
    QTest::newRow("sign only") << "-" << false << 0.0;
    QTest::newRow("trailing newline") << "5\n" << false << 0.0;
    QTest::newRow("embedded nul") << QString::fromLatin1("12\0abc", 6) << false << 0.0;

    // Only 31 characters are read.
    QTest::newRow("31 digits") << "1234567890123456789012345678901" << true
                               << 1234567890123456789012345678901.0;
    QTest::newRow("junk after 31 characters")
        << "1234567890123456789012345678901abc" << true << 1234567890123456789012345678901.0;
    QTest::newRow("blanks count towards 31") << QString(30, u' ') + "5x" << true << 5.0;
    QTest::newRow("32nd digit is cut") << "0.000000000000000000000000000001" << true << 0.0;
    QTest::newRow("junk within 31 characters") << "123456789012345678901234567890x" << false << 0.0;

    // strtod takes these, but none of them is a finite decimal number.
    QTest::newRow("inf") << "inf" << false << 0.0;
    QTest::newRow("negative infinity") << "-Infinity" << false << 0.0;
    QTest::newRow("nan") << "nan" << false << 0.0;
    QTest::newRow("hexadecimal") << "0x10" << false << 0.0;
    QTest::newRow("hexadecimal float") << "0X1p3" << false << 0.0;
    QTest::newRow("overflow") << "1e999" << false << 0.0;
    QTest::newRow("negative overflow") << "-1e999" << false << 0.0;

    QTest::newRow("fullwidth digits") << QString::fromUtf8("１２") << false << 0.0;
    QTest::newRow("degree sign") << QString::fromUtf8("12°") << false << 0.0;
    QTest::newRow("no-break space") << QString::fromUtf8("12\u00a0") << false << 0.0;
}

void TestDialog::parseDoubleRules()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    const std::optional<double> parsed = parseDouble(text);
    QCOMPARE(parsed.has_value(), ok);
    if (ok)
        QCOMPARE(*parsed, value);
}

void TestDialog::numberTextIgnoresProcessLocale()
{
    // QCoreApplication takes the user's locale; a comma locale must not change the rules for
    // reading or for writing.
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY2(test::useCommaLocale(dir.path()), "no locale with a decimal comma (install locales)");
    QCOMPARE(std::localeconv()->decimal_point, std::string(","));
    const std::optional<double> point = parseDouble(QStringLiteral("1.5"));
    const std::optional<double> comma = parseDouble(QStringLiteral("1,5"));
    const QString written = formatDouble(12.5);
    const QString small = formatDouble(-2.5e-7);
    std::setlocale(LC_NUMERIC, previous.c_str());
    QVERIFY(point.has_value() && *point == 1.5);
    QVERIFY(!comma);
    QCOMPARE(written, QStringLiteral("12.5"));
    QCOMPARE(small, QStringLiteral("-2.5e-07"));
}

// --- Data exchange --------------------------------------------------------------------------

void TestDialog::rangeTest_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<QString>("message");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("inside") << 40.0 << 0.0 << 100.0 << "";
    QTest::newRow("lower bound included") << 0.0 << 0.0 << 100.0 << "";
    QTest::newRow("upper bound included") << 100.0 << 0.0 << 100.0 << "";
    QTest::newRow("negative zero at zero bound") << -0.0 << 0.0 << 100.0 << "";
    QTest::newRow("below") << -1e-9 << 0.0 << 100.0 << rangeMessage("0", "100");
    QTest::newRow("above") << 100.5 << 0.0 << 100.0 << rangeMessage("0", "100");
    QTest::newRow("bounds printed with 15 digits")
        << 2.0 << 0.1 << 1.0 / 3.0 << rangeMessage("0.1", "0.333333333333333");
    QTest::newRow("large bounds") << -1.0 << -1000.0 << 1e20 << "";
    QTest::newRow("min above max") << 5.0 << 10.0 << 0.0 << rangeMessage("10", "0");
    QTest::newRow("min above max, at a bound") << 10.0 << 10.0 << 0.0 << rangeMessage("10", "0");
    QTest::newRow("negative max") << 0.0 << 0.0 << -15.0 << rangeMessage("0", "-15");
    QTest::newRow("nan") << nan << 0.0 << 100.0 << rangeMessage("0", "100");
}

void TestDialog::rangeTest()
{
    QFETCH(double, value);
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(QString, message);

    QWidget page;
    auto* field = new QLineEdit(QStringLiteral("text"), &page);
    MessageBoxProbe probe;

    DataExchange showing(&page, false);
    showing.minMax(field, value, min, max);
    QVERIFY(!showing.failed());
    QVERIFY(probe.texts().isEmpty());

    DataExchange saving(&page, true);
    saving.minMax(field, value, min, max);
    QCOMPARE(saving.failed(), !message.isEmpty());
    QCOMPARE(probe.texts(), message.isEmpty() ? QStringList() : QStringList{message});
}

void TestDialog::showingExchangeFillsControlsAndNeverTests()
{
    ThreeFieldPage page;
    page.values[0] = 1000.0; // outside its range: shown without a word
    MessageBoxProbe probe;
    QVERIFY(page.UpdateData(false));
    QCOMPARE(page.fields[0]->text(), QStringLiteral("1000"));
    QCOMPARE(page.fields[1]->text(), QStringLiteral("-35"));
    QCOMPARE(page.fields[2]->text(), QStringLiteral("0.1"));
    QCOMPARE(page.slider->value(), 40);
    QVERIFY(probe.messages().isEmpty());

    // The first show runs OnInitDialog, which is this same showing exchange, once.
    page.values[1] = 7.0;
    page.show();
    page.hide();
    page.show();
    QCOMPARE(page.exchanges, 2);
    QCOMPARE(page.fields[1]->text(), QStringLiteral("7"));
}

void TestDialog::savingExchangeStoresInOrderAndStopsAtFirstFailure_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("failing");

    // Values before the exchange: 50, -35, 0.1.
    QTest::newRow("all pass") << QStringList{"1", " 2 ", "-10"} << QList<double>{1, 2, -10} << ""
                              << -1;
    QTest::newRow("first is not a number")
        << QStringList{"abc", "2", "3"} << QList<double>{50, -35, 0.1} << notANumber << 0;
    QTest::newRow("second is not a number")
        << QStringList{"5", "", "3"} << QList<double>{5, -35, 0.1} << notANumber << 1;
    QTest::newRow("out of range is stored all the same")
        << QStringList{"5", "150", "3"} << QList<double>{5, 150, 0.1} << rangeMessage("0", "100")
        << 1;
    QTest::newRow("last below its range")
        << QStringList{"5", "6", "-10.5"} << QList<double>{5, 6, -10.5} << rangeMessage("-10", "10")
        << 2;
}

void TestDialog::savingExchangeStoresInOrderAndStopsAtFirstFailure()
{
    QFETCH(QStringList, texts);
    QFETCH(QList<double>, values);
    QFETCH(QString, message);
    QFETCH(int, failing);

    ThreeFieldPage page;
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.setTexts(texts[0], texts[1], texts[2]);
    page.slider->setValue(77);
    page.fields[2]->setFocus(); // focus elsewhere than any failing field but the last
    if (failing == 2)
        page.fields[0]->setFocus();

    MessageBoxProbe probe;
    const bool passed = page.UpdateData(true);

    QCOMPARE(passed, failing < 0);
    QCOMPARE(page.position, 77); // read first, so always
    for (int i = 0; i < 3; ++i)
        QCOMPARE(page.values[i], values[i]);
    if (failing < 0) {
        QVERIFY(probe.messages().isEmpty());
        return;
    }
    QCOMPARE(probe.messages().size(), 1);
    const auto& shown = probe.messages().first();
    QCOMPARE(shown.text, message);
    QCOMPARE(shown.title, QStringLiteral("cyclar"));
    QCOMPARE(shown.icon, QMessageBox::Warning);
    QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(shown.modal);
    QCOMPARE(shown.parent.data(), &page);

    QLineEdit* field = page.fields[failing];
    QCOMPARE(page.focusWidget(), field);
    QCOMPARE(field->selectedText(), field->text());
    QCOMPARE(field->text(), texts[failing]); // the text is left for the user to correct
}

void TestDialog::messageIsARealModalWarningBox()
{
    // Without the probe: the box is the application's modal widget until OK closes it.
    ThreeFieldPage page;
    page.setTexts(QStringLiteral("x"), QStringLiteral("1"), QStringLiteral("1"));
    QString title;
    QString text;
    bool hadOk = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        title = box->windowTitle();
        text = box->text();
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        hadOk = ok != nullptr;
        if (ok != nullptr)
            ok->click();
        else
            box->reject();
    });
    QVERIFY(!page.UpdateData(true));
    QCOMPARE(title, QStringLiteral("cyclar"));
    QCOMPARE(text, notANumber);
    QVERIFY(hadOk);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestDialog::notificationsAreDroppedDuringSavingExchange()
{
    ThreeFieldPage page;
    auto* button = new BitmapButton(solidPixmap(40, 20), &page);
    button->move(120, 10);
    int clicks = 0;
    int releases = 0;
    page.onNotify(button, [&clicks] { ++clicks; });
    page.onRelease(page.slider, [&releases] { ++releases; });
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.setTexts(QStringLiteral("1"), QStringLiteral("letters"), QStringLiteral("1"));
    page.SetTimer(1, 10);

    MessageBoxProbe probe;
    bool exchanging = false;
    int ticksWhileOpen = 0;
    probe.whileOpen = [&](QMessageBox*) {
        exchanging = page.isExchanging();
        const int before = page.ticks[1];
        QTest::qWait(150); // the page beneath keeps ticking
        ticksWhileOpen = page.ticks[1] - before;
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(page.slider, Qt::LeftButton);
    };
    QVERIFY(!page.UpdateData(true));
    QVERIFY(exchanging);
    QVERIFY(ticksWhileOpen > 0);
    QCOMPARE(clicks, 0);
    QCOMPARE(releases, 0);

    QVERIFY(!page.isExchanging());
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(page.slider, Qt::LeftButton);
    QCOMPARE(clicks, 1);
    QCOMPARE(releases, 1);
}

// --- Page ending ----------------------------------------------------------------------------

enum class Trigger {
    EnterInField,
    KeypadEnterInField,
    EnterOnSlider,
    ShiftEnterInField,
    EscapeInField,
    WidgetClose,
    WindowCloseBox,
    QtAccept,
    QtReject
};
Q_DECLARE_METATYPE(Trigger)

void TestDialog::keysAndCloseBoxRouteToOkAndCancel_data()
{
    QTest::addColumn<Trigger>("trigger");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("okCalls");
    QTest::addColumn<int>("cancelCalls");
    QTest::addColumn<int>("result"); // 0: the page does not end

    QTest::newRow("Enter, fields pass") << Trigger::EnterInField << true << 1 << 0 << IDOK;
    QTest::newRow("Enter, a field fails") << Trigger::EnterInField << false << 1 << 0 << 0;
    QTest::newRow("keypad Enter") << Trigger::KeypadEnterInField << true << 1 << 0 << IDOK;
    QTest::newRow("Enter on a slider") << Trigger::EnterOnSlider << true << 1 << 0 << IDOK;
    QTest::newRow("Shift+Enter is not Enter") << Trigger::ShiftEnterInField << true << 0 << 0 << 0;
    QTest::newRow("Escape, a field fails") << Trigger::EscapeInField << false << 0 << 1 << IDCANCEL;
    QTest::newRow("close()") << Trigger::WidgetClose << true << 0 << 1 << IDCANCEL;
    QTest::newRow("close box") << Trigger::WindowCloseBox << false << 0 << 1 << IDCANCEL;
    QTest::newRow("Qt accept, a field fails") << Trigger::QtAccept << false << 1 << 0 << 0;
    QTest::newRow("Qt reject") << Trigger::QtReject << true << 0 << 1 << IDCANCEL;
}

void TestDialog::keysAndCloseBoxRouteToOkAndCancel()
{
    QFETCH(Trigger, trigger);
    QFETCH(bool, valid);
    QFETCH(int, okCalls);
    QFETCH(int, cancelCalls);
    QFETCH(int, result);

    ThreeFieldPage page;
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.setTexts(QStringLiteral("1"), valid ? QStringLiteral("2") : QStringLiteral("2x"),
                  QStringLiteral("3"));
    QSignalSpy ended(&page, &Page::ended);
    MessageBoxProbe probe;

    QLineEdit* field = page.fields[0];
    switch (trigger) {
    case Trigger::EnterInField:
        QTest::keyClick(field, Qt::Key_Return);
        break;
    case Trigger::KeypadEnterInField:
        QTest::keyClick(field, Qt::Key_Enter, Qt::KeypadModifier);
        break;
    case Trigger::EnterOnSlider:
        QTest::keyClick(page.slider, Qt::Key_Return);
        break;
    case Trigger::ShiftEnterInField:
        QTest::keyClick(field, Qt::Key_Return, Qt::ShiftModifier);
        break;
    case Trigger::EscapeInField:
        QTest::keyClick(field, Qt::Key_Escape);
        break;
    case Trigger::WidgetClose:
        page.close();
        break;
    case Trigger::WindowCloseBox:
        page.windowHandle()->close();
        break;
    case Trigger::QtAccept:
        page.accept();
        break;
    case Trigger::QtReject:
        page.reject();
        break;
    }

    QCOMPARE(page.okCalls, okCalls);
    QCOMPARE(page.cancelCalls, cancelCalls);
    QCOMPARE(page.isEnded(), result != 0);
    QCOMPARE(page.isVisible(), result == 0);
    QCOMPARE(ended.size(), result != 0 ? 1 : 0);
    if (result != 0) {
        QCOMPARE(ended.first().first().toInt(), result);
        QCOMPARE(page.result(), result);
    }
    const bool exchanged = okCalls > 0;
    QCOMPARE(probe.texts(), exchanged && !valid ? QStringList{notANumber} : QStringList());
}

void TestDialog::doModalReturnsEndDialogResult()
{
    ThreeFieldPage opener;
    opener.show();
    QVERIFY(QTest::qWaitForWindowExposed(&opener));

    ThreeFieldPage window;
    window.setParent(&opener, window.windowFlags());
    window.values[1] = 2.0;
    MessageBoxProbe probe;
    QWidget* modal = nullptr;
    QTimer::singleShot(0, [&] {
        modal = QApplication::activeModalWidget();
        QTest::keyClick(window.fields[0], Qt::Key_Return);
    });
    QCOMPARE(window.DoModal(), IDOK);
    QCOMPARE(modal, &window);
    QCOMPARE(window.exchanges, 2); // OnInitDialog, then the saving exchange of Enter

    // Opened again: OnInitDialog runs again, and any result passes through.
    QTimer::singleShot(0, [&] { window.EndDialog(7); });
    QCOMPARE(window.DoModal(), 7);
    QCOMPARE(window.exchanges, 3);
    QVERIFY(!window.isVisible());
    QVERIFY(opener.isVisible());
    QVERIFY(!opener.isEnded());
    QVERIFY(probe.messages().isEmpty());
}

// --- Timers ---------------------------------------------------------------------------------

void TestDialog::setTimerRestartsAndReplaces()
{
    ThreeFieldPage page;

    // Setting a running timer again restarts its period.
    page.SetTimer(1, 300);
    QTest::qWait(150);
    QElapsedTimer sinceRestart;
    sinceRestart.start();
    page.SetTimer(1, 300);
    QTRY_VERIFY_WITH_TIMEOUT(page.ticks[1] > 0, 10000);
    QVERIFY2(sinceRestart.elapsed() >= 299, qPrintable(QString::number(sinceRestart.elapsed())));

    // Setting it with another period replaces it: the long period is gone.
    page.ticks.clear();
    page.SetTimer(2, 60000);
    page.SetTimer(2, 20);
    QTRY_VERIFY_WITH_TIMEOUT(page.ticks[2] >= 3, 10000);
    QVERIFY(page.isTimerActive(2));

    // An ended page that is still alive keeps its timers.
    page.EndDialog(IDCANCEL);
    QVERIFY(page.isTimerActive(2));
}

void TestDialog::killTimerStopsOnlyThatTimer()
{
    ThreeFieldPage page;
    page.SetTimer(1, 10);
    page.SetTimer(2, 10);
    page.KillTimer(1);
    page.KillTimer(3); // never set: nothing happens
    QTRY_VERIFY(page.ticks[2] >= 5);
    QCOMPARE(page.ticks[1], 0);
    QVERIFY(!page.isTimerActive(1));
    QVERIFY(page.isTimerActive(2));
}

void TestDialog::ticksNeitherPileUpNorNest()
{
    ThreeFieldPage page;

    // A thread busy for many periods gets one tick, not a backlog.
    page.SetTimer(1, 10);
    QThread::msleep(200);
    QCoreApplication::processEvents();
    QCOMPARE(page.ticks[1], 1);
    page.KillTimer(1);

    // A handler that runs a nested loop is not entered again by its own timer meanwhile,
    // while other timers go on.
    class NestingPage : public Page {
    public:
        void OnTimer(int id) override
        {
            if (id != 1) {
                ++others;
                return;
            }
            ++depth;
            maxDepth = std::max(maxDepth, depth);
            ++ticks;
            QTest::qWait(100);
            --depth;
        }
        int depth = 0;
        int maxDepth = 0;
        int ticks = 0;
        int others = 0;
    } nesting;
    nesting.SetTimer(1, 10);
    nesting.SetTimer(2, 10);
    QTRY_VERIFY(nesting.ticks >= 3);
    nesting.KillTimer(1);
    QCOMPARE(nesting.maxDepth, 1);
    QVERIFY(nesting.others >= 5);
}

// --- Controls -------------------------------------------------------------------------------

enum class SliderAction { HandleClick, HandleDrag, GrooveClick, RightClick, Keys, SetValue };
Q_DECLARE_METATYPE(SliderAction)

void TestDialog::trackbarHasASunkenEdge()
{
    QWidget page;
    auto* slider = new HandleTrackbar;
    slider->setParent(&page);
    slider->setGeometry(0, 0, 152, 28);
    slider->setValue(50);
    const QImage image = slider->grab().toImage();
    const QPalette& palette = slider->palette();
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    const int x = 20;
    const int y = image.height() / 2;
    const struct {
        QPoint at;
        QPalette::ColorRole role;
    } edge[] = {
        {{0, y}, QPalette::Dark},       {{1, y}, QPalette::Shadow},
        {{x, 0}, QPalette::Dark},       {{x, 1}, QPalette::Shadow},
        {{right, y}, QPalette::Light},  {{right - 1, y}, QPalette::Midlight},
        {{x, bottom}, QPalette::Light}, {{x, bottom - 1}, QPalette::Midlight},
    };
    for (const auto& [at, role] : edge)
        QCOMPARE(image.pixel(at), palette.color(role).rgb());
    // The handle the mouse takes hold of lies inside the edge.
    QVERIFY(slider->rect().adjusted(2, 2, -2, -2).contains(slider->handle()));
}

void TestDialog::trackbarReleaseComesFromMouseOnly_data()
{
    QTest::addColumn<SliderAction>("action");
    QTest::addColumn<int>("releases");
    QTest::addColumn<bool>("moves");

    QTest::newRow("click on the handle") << SliderAction::HandleClick << 1 << false;
    QTest::newRow("drag the handle") << SliderAction::HandleDrag << 1 << true;
    QTest::newRow("click on the groove") << SliderAction::GrooveClick << 1 << true;
    QTest::newRow("right button") << SliderAction::RightClick << 0 << false;
    QTest::newRow("keyboard") << SliderAction::Keys << 0 << true;
    QTest::newRow("setValue") << SliderAction::SetValue << 0 << true;
}

void TestDialog::trackbarReleaseComesFromMouseOnly()
{
    QFETCH(SliderAction, action);
    QFETCH(int, releases);
    QFETCH(bool, moves);

    QWidget page;
    auto* slider = new HandleTrackbar;
    slider->setParent(&page);
    slider->setGeometry(10, 10, 200, 24);
    page.resize(220, 50);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 100);
    QCOMPARE(slider->tickPosition(), QSlider::NoTicks);
    slider->setValue(50);
    QSignalSpy released(slider, &Trackbar::released);

    const QPoint handle = slider->handle().center();
    switch (action) {
    case SliderAction::HandleClick:
        QTest::mouseClick(slider, Qt::LeftButton, {}, handle);
        break;
    case SliderAction::HandleDrag:
        QTest::mousePress(slider, Qt::LeftButton, {}, handle);
        QTest::mouseMove(slider, handle + QPoint(40, 0));
        QTest::mouseRelease(slider, Qt::LeftButton, {}, handle + QPoint(40, 0));
        break;
    case SliderAction::GrooveClick:
        QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() - 3, handle.y()));
        break;
    case SliderAction::RightClick:
        QTest::mouseClick(slider, Qt::RightButton, {}, handle);
        break;
    case SliderAction::Keys:
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Right);
        QTest::keyClick(slider, Qt::Key_PageUp);
        QTest::keyClick(slider, Qt::Key_End);
        break;
    case SliderAction::SetValue:
        slider->setValue(90);
        break;
    }
    QCOMPARE(released.size(), releases);
    QCOMPARE(slider->value() != 50, moves);
}

enum class ButtonAction { Click, RightClick, ReleaseOutside, DoubleClick };
Q_DECLARE_METATYPE(ButtonAction)

void TestDialog::bitmapButtonClicks_data()
{
    QTest::addColumn<ButtonAction>("action");
    QTest::addColumn<int>("clicks");

    QTest::newRow("left click") << ButtonAction::Click << 1;
    QTest::newRow("right click") << ButtonAction::RightClick << 0;
    QTest::newRow("released outside") << ButtonAction::ReleaseOutside << 0;
    QTest::newRow("double click acts once") << ButtonAction::DoubleClick << 1;
}

void TestDialog::bitmapButtonClicks()
{
    QFETCH(ButtonAction, action);
    QFETCH(int, clicks);

    QWidget page;
    auto* button = new BitmapButton(solidPixmap(90, 30), &page);
    page.resize(200, 100);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QCOMPARE(button->size(), QSize(90, 30));
    QCOMPARE(button->focusPolicy(), Qt::NoFocus);
    QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
    QSignalSpy clicked(button, &BitmapButton::clicked);

    switch (action) {
    case ButtonAction::Click:
        QTest::mouseClick(button, Qt::LeftButton);
        break;
    case ButtonAction::RightClick:
        QTest::mouseClick(button, Qt::RightButton);
        break;
    case ButtonAction::ReleaseOutside:
        QTest::mousePress(button, Qt::LeftButton);
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(95, 10));
        break;
    case ButtonAction::DoubleClick:
        // What a double click delivers: press, release, press, double click, release.
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::mousePress(button, Qt::LeftButton);
        QTest::mouseDClick(button, Qt::LeftButton);
        QTest::mouseRelease(button, Qt::LeftButton);
        break;
    }
    QCOMPARE(clicked.size(), clicks);

    button->setBitmap(solidPixmap(40, 25));
    QCOMPARE(button->size(), QSize(40, 25));
}

// --- Colours and units ----------------------------------------------------------------------

void TestDialog::dialogColoursLeaveEditFieldsAlone()
{
    const QPalette before = QApplication::palette();
    applyDialogColours(*qApp);
    QWidget page;
    auto* label = new QLabel(QStringLiteral("Slow"), &page);
    auto* field = new QLineEdit(&page);
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        QCOMPARE(page.palette().color(group, QPalette::Window), QColor(180, 180, 230));
        QCOMPARE(label->palette().color(group, QPalette::WindowText), QColor(200, 20, 30));
        QCOMPARE(field->palette().color(group, QPalette::Base),
                 before.color(group, QPalette::Base));
        QCOMPARE(field->palette().color(group, QPalette::Text),
                 before.color(group, QPalette::Text));
    }
    QApplication::setPalette(before);
}

void TestDialog::dialogUnitsScaleByCharacterCell()
{
    QFont font;
    font.setPixelSize(13);
    const DialogUnits measured(font);
    const int cx = measured.averageCharWidth();
    const int cy = measured.charHeight();
    QVERIFY(cx > 0 && cy > 0);
    QCOMPARE(cy, QFontMetrics(font).height());
    // Four units across and eight down make one character cell.
    QCOMPARE(measured.toPixels(4, 8, 40, 16), QRect(cx, cy, 10 * cx, 2 * cy));

    // Given base units of 6 x 13, parts of a pixel round to the nearest, halves away from zero.
    const DialogUnits units(QSize(6, 13));
    QCOMPARE(units.toPixels(370, 245, 231, 214), QRect(555, 398, 347, 348));
    QCOMPARE(units.toPixels(QSize(101, 17)), QSize(152, 28));
    QCOMPARE(units.toPixels(-3, -3, 1, 1), QRect(-5, -5, 2, 2));
    QCOMPARE(units.toPixels(0, 0, 0, 0), QRect(0, 0, 0, 0));
}

// --- Page chain -----------------------------------------------------------------------------

void TestDialog::handOver_data()
{
    QTest::addColumn<bool>("fromPasses");
    QTest::addColumn<bool>("nextEndsAtOnce");
    QTest::addColumn<int>("depth");
    QTest::addColumn<bool>("finished");

    QTest::newRow("passes") << true << false << 1 << false;
    QTest::newRow("fails") << false << false << 2 << false;
    QTest::newRow("passes, next page ends at once") << true << true << 0 << true;
    QTest::newRow("fails, next page ends at once") << false << true << 1 << false;
}

void TestDialog::handOver()
{
    QFETCH(bool, fromPasses);
    QFETCH(bool, nextEndsAtOnce);
    QFETCH(int, depth);
    QFETCH(bool, finished);

    int live = 0;
    {
        PageChain chain;
        QSignalSpy finishedSpy(&chain, &PageChain::finished);
        chain.start(std::make_unique<ChainPage>(chain, live, fromPasses ? "5" : "500"));
        QPointer<Page> from = chain.front();
        QVERIFY(QTest::qWaitForWindowExposed(from));
        QCOMPARE(chain.depth(), 1);

        MessageBoxProbe probe;
        auto next = std::make_unique<ChainPage>(chain, live, QStringLiteral("1"), nextEndsAtOnce);
        QPointer<Page> nextPage = next.get();
        chain.handOver(from, std::move(next));
        deleteLaterNow();

        QCOMPARE(chain.depth(), depth);
        QCOMPARE(finishedSpy.size(), finished ? 1 : 0);
        QCOMPARE(probe.texts(), fromPasses ? QStringList() : QStringList{rangeMessage("0", "100")});
        QCOMPARE(live, depth);
        QCOMPARE(from.isNull(), fromPasses);
        QCOMPARE(nextPage.isNull(), nextEndsAtOnce);
        if (!fromPasses) {
            QVERIFY(from->isVisible());
            QCOMPARE(from->isInputBlocked(), !nextEndsAtOnce);
            QCOMPARE(chain.front(), nextEndsAtOnce ? from.data() : nextPage.data());
        }
        if (!nextEndsAtOnce) {
            QVERIFY(nextPage->isVisible());
            QCOMPARE(nextPage->windowModality(), Qt::ApplicationModal);
            // Centred on the screen.
            const QRect screen = nextPage->screen()->availableGeometry();
            const QPoint offCentre = nextPage->frameGeometry().center() - screen.center();
            QVERIFY2(offCentre.manhattanLength() <= 1, qPrintable(QString::number(offCentre.x())));
        }
    }
    deleteLaterNow();
    QCOMPARE(live, 0);
}

void TestDialog::failedPagesReturnInOrder()
{
    int live = 0;
    PageChain chain;
    QSignalSpy finished(&chain, &PageChain::finished);
    MessageBoxProbe probe;

    chain.start(std::make_unique<ChainPage>(chain, live, "title"));
    auto* first = static_cast<ChainPage*>(chain.front());
    QVERIFY(QTest::qWaitForWindowExposed(first));

    // Hand over by a click on a page whose field fails, twice: two pages stay beneath.
    QTest::mouseClick(first->next, Qt::LeftButton);
    auto* second = static_cast<ChainPage*>(chain.front());
    QVERIFY(second != first);
    second->field->setText(QStringLiteral("-1"));
    QTest::mouseClick(second->next, Qt::LeftButton);
    auto* third = static_cast<ChainPage*>(chain.front());
    deleteLaterNow();
    QCOMPARE(chain.depth(), 3);
    QCOMPARE(live, 3);
    QCOMPARE(probe.texts(), (QStringList{notANumber, rangeMessage("0", "100")}));
    QVERIFY(first->isVisible() && first->isInputBlocked() && first->isEnabled());
    QVERIFY(second->isVisible() && second->isInputBlocked() && second->isEnabled());

    // Exit on the page in front: the one beneath is in front again, focus on its field.
    QTest::keyClick(third->field, Qt::Key_Escape);
    deleteLaterNow();
    QCOMPARE(chain.front(), second);
    QVERIFY(!second->isInputBlocked() && second->isVisible());
    QTRY_VERIFY(second->isActiveWindow());
    QCOMPARE(second->focusWidget(), second->field);
    QVERIFY(first->isInputBlocked());

    QTest::keyClick(second->field, Qt::Key_Escape);
    deleteLaterNow();
    QCOMPARE(chain.front(), first);
    QVERIFY(!first->isInputBlocked());
    QCOMPARE(finished.size(), 0);
    QCOMPARE(live, 1);

    // Corrected, the bottom page now ends with Enter, and the chain is done.
    first->field->setText(QStringLiteral("3"));
    QTest::keyClick(first->field, Qt::Key_Return);
    deleteLaterNow();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(chain.depth(), 0);
    QCOMPARE(live, 0);
}

void TestDialog::unwindingToEmptyFinishes()
{
    int live = 0;
    PageChain chain;
    QSignalSpy finished(&chain, &PageChain::finished);
    chain.start(std::make_unique<ChainPage>(chain, live));
    auto* title = static_cast<ChainPage*>(chain.front());
    QVERIFY(QTest::qWaitForWindowExposed(title));
    QCOMPARE(chain.front()->frameGeometry().topLeft(),
             chain.front()->screen()->availableGeometry().topLeft());

    QTest::mouseClick(title->next, Qt::LeftButton);
    auto* second = static_cast<ChainPage*>(chain.front());
    QTest::mouseClick(second->next, Qt::LeftButton);
    deleteLaterNow();
    QCOMPARE(finished.size(), 0);
    QCOMPARE(chain.depth(), 1);
    QCOMPARE(live, 1);

    // The close box of the page in front ends the chain; no earlier page shows again.
    chain.front()->windowHandle()->close();
    deleteLaterNow();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(chain.depth(), 0);
    QCOMPARE(chain.front(), nullptr);
    QCOMPARE(live, 0);
    for (QWidget* window : QApplication::topLevelWidgets())
        QVERIFY(!window->isVisible());
}

void TestDialog::manyHandOversKeepChainFlat()
{
    int live = 0;
    PageChain chain;
    QSignalSpy finished(&chain, &PageChain::finished);
    chain.start(std::make_unique<ChainPage>(chain, live));
    QVERIFY(QTest::qWaitForWindowExposed(chain.front()));
    deleteLaterNow();
    const qsizetype windows = QApplication::topLevelWidgets().size();

    for (int cycle = 0; cycle < 5000; ++cycle) {
        auto* front = static_cast<ChainPage*>(chain.front());
        QTest::mouseClick(front->next, Qt::LeftButton);
        deleteLaterNow();
        if (chain.depth() != 1 || live != 1 || chain.front() == front)
            QFAIL(qPrintable(QStringLiteral("cycle %1: depth %2, live pages %3")
                                 .arg(cycle)
                                 .arg(chain.depth())
                                 .arg(live)));
    }
    QCOMPARE(QApplication::topLevelWidgets().size(), windows);
    QCOMPARE(finished.size(), 0);

    QTest::keyClick(static_cast<ChainPage*>(chain.front())->field, Qt::Key_Escape);
    deleteLaterNow();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(live, 0);
}

void TestDialog::pageEndedDuringItsOwnMessageOutlivesTheExchange()
{
    // A page whose timer ends it while the message of its own saving exchange is open: the
    // chain lets it go, but it must live until that exchange has returned.
    class SelfEndingPage : public ChainPage {
    public:
        using ChainPage::ChainPage;
        void OnTimer(int) override { EndDialog(IDCANCEL); }
    };

    int live = 0;
    PageChain chain;
    QSignalSpy finished(&chain, &PageChain::finished);
    chain.start(std::make_unique<SelfEndingPage>(chain, live, "x"));
    QPointer<Page> page = chain.front();
    QVERIFY(QTest::qWaitForWindowExposed(page));

    MessageBoxProbe probe;
    probe.whileOpen = [&](QMessageBox*) {
        page->SetTimer(1, 10);
        QTRY_VERIFY(page->isEnded());
        QTest::qWait(20); // give a premature deletion its chance
    };
    QVERIFY(!page->UpdateData(true));
    QVERIFY(!page.isNull());
    QVERIFY(!page->isExchanging());
    QCOMPARE(finished.size(), 1);
    deleteLaterNow();
    QVERIFY(page.isNull());
    QCOMPARE(live, 0);
}

QTEST_MAIN(TestDialog)
#include "tst_dialog.moc"
