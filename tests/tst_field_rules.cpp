// Tests of the field rules as the browser uses them: whole page reads, bounds, UTF-8 text.
#include "field_rules.h"

#include <QtTest>

using namespace cyclar;

Q_DECLARE_METATYPE(cyclar::FieldPage)
Q_DECLARE_METATYPE(cyclar::LinkageDimensions)

class TestFieldRules : public QObject {
    Q_OBJECT

private slots:
    void readFields_data();
    void readFields();
    void utf8Text_data();
    void utf8Text();
    void cellNumber_data();
    void cellNumber();
};

void TestFieldRules::readFields_data()
{
    QTest::addColumn<FieldPage>("page");
    QTest::addColumn<QStringList>("texts"); // a, b, c, f, h, k
    QTest::addColumn<QString>("field");     // the one that fails, or empty
    QTest::addColumn<QString>("message");
    QTest::addColumn<LinkageDimensions>("after");

    // Every row starts from the default dimensions as held values.
    const FieldPage dimensions = FieldPage::Dimensions;
    const FieldPage animation = FieldPage::Animation;
    QTest::newRow("all good") << dimensions << QStringList{"60", "31", "36", "41", "46", "-36"}
                              << ""
                              << "" << LinkageDimensions{60, 31, 36, 41, 46, -36};
    // b is read first, against a, c, f as held; then a against the b just read.
    QTest::newRow("b over the held links")
        << dimensions << QStringList{"60", "126", "36", "41", "46", "-36"} << "b"
        << "Please enter a number between 0 and 125."
        << LinkageDimensions{50, 126, 35, 40, 45, -35};
    QTest::newRow("a against the new b")
        << dimensions << QStringList{"200", "120", "35", "40", "45", "-35"} << "a"
        << "Please enter a number between 0 and 195."
        << LinkageDimensions{200, 120, 35, 40, 45, -35};
    QTest::newRow("letters in c") << dimensions << QStringList{"60", "31", "x", "41", "46", "-36"}
                                  << "c"
                                  << "Please enter a number."
                                  << LinkageDimensions{60, 31, 35, 40, 45, -35};
    QTest::newRow("negative held link counts as 0")
        << dimensions << QStringList{"-100", "75", "35", "40", "45", "-35"} << "a"
        << "Please enter a number between 0 and 150."
        << LinkageDimensions{-100, 75, 35, 40, 45, -35};
    QTest::newRow("k out of range")
        << dimensions << QStringList{"50", "30", "35", "40", "45", "1000.5"} << "k"
        << "Please enter a number between -1000 and 1000."
        << LinkageDimensions{50, 30, 35, 40, 45, 1000.5};
    // The animation page reads a, c, f, h, k, then b, each against fixed bounds.
    QTest::newRow("animation: b is read last")
        << animation << QStringList{"1001", "x", "35", "40", "45", "-35"} << "a"
        << "Please enter a number between 0 and 1000."
        << LinkageDimensions{1001, 30, 35, 40, 45, -35};
    QTest::newRow("animation: b after k")
        << animation << QStringList{"900", "x", "900", "900", "-1000", "1000"} << "b"
        << "Please enter a number." << LinkageDimensions{900, 30, 900, 900, -1000, 1000};
    QTest::newRow("animation: fractional bound text")
        << animation << QStringList{"1", "2", "3", "4", "-1000.25", "0"} << "h"
        << "Please enter a number between -1000 and 1000."
        << LinkageDimensions{1, 30, 3, 4, -1000.25, -35};
}

void TestFieldRules::readFields()
{
    QFETCH(FieldPage, page);
    QFETCH(QStringList, texts);
    QFETCH(QString, field);
    QFETCH(QString, message);
    QFETCH(LinkageDimensions, after);

    std::array<std::string, 6> storage;
    FieldTexts views;
    for (int i = 0; i < 6; ++i) {
        storage[i] = texts[i].toStdString();
        views[i] = storage[i];
    }
    LinkageDimensions held = defaultDimensions;
    const std::optional<FieldFailure> failure = cyclar::readFields(page, views, held);
    QCOMPARE(failure.has_value(), !field.isEmpty());
    if (failure) {
        QCOMPARE(QString(QLatin1Char(failure->field)), field);
        QCOMPARE(QString::fromStdString(failure->message), message);
    }
    QCOMPARE(held.a, after.a);
    QCOMPARE(held.b, after.b);
    QCOMPARE(held.c, after.c);
    QCOMPARE(held.f, after.f);
    QCOMPARE(held.h, after.h);
    QCOMPARE(held.k, after.k);
}

void TestFieldRules::utf8Text_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    // Only the first 31 characters are read, and every one of them must be ASCII.
    QTest::newRow("degree sign after 31") << QByteArray(30, ' ') + "5\xc2\xb0" << true << 5.0;
    QTest::newRow("degree sign straddles 31") << QByteArray(29, ' ') + "5\xc2\xb0" << false << 0.0;
    QTest::newRow("four-byte character first") << QByteArray("\xf0\x9f\x98\x80"
                                                             "5")
                                               << false << 0.0;
    QTest::newRow("stray continuation byte") << QByteArray("5\x80") << false << 0.0;
    QTest::newRow("embedded nul") << QByteArray("12\0", 3) << false << 0.0;
    QTest::newRow("plain") << QByteArray(" 12.5\t") << true << 12.5;
}

void TestFieldRules::utf8Text()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    const std::optional<double> parsed =
        parseFieldText(std::string_view(text.constData(), text.size()));
    QCOMPARE(parsed.has_value(), ok);
    if (ok) {
        QCOMPARE(*parsed, value);
    }
}

// A design task's cell, as the desktop's Design window and the browser's Design panel both read
// it (the one function; they took different texts before).
void TestFieldRules::cellNumber_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("blanks around") << QByteArray(" \t-12.5 \n") << true << -12.5;
    QTest::newRow("exponent and signs") << QByteArray("+1.5E-3") << true << 0.0015;
    QTest::newRow("fraction alone") << QByteArray(".5") << true << 0.5;
    QTest::newRow("point at the end") << QByteArray("5.") << true << 5.0;
    QTest::newRow("zero") << QByteArray("0") << true << 0.0;
    QTest::newRow("longer than a field")
        << QByteArray("0.000000000000000000000000000001") << true << 1e-30;
    QTest::newRow("empty") << QByteArray("  ") << false << 0.0;
    QTest::newRow("group separator") << QByteArray("1,000") << false << 0.0;
    QTest::newRow("decimal comma") << QByteArray("1,5") << false << 0.0;
    QTest::newRow("hexadecimal") << QByteArray("0x10") << false << 0.0;
    QTest::newRow("infinity") << QByteArray("inf") << false << 0.0;
    QTest::newRow("overflow") << QByteArray("1e999") << false << 0.0;
    QTest::newRow("bare exponent") << QByteArray("1e") << false << 0.0;
    QTest::newRow("two numbers") << QByteArray("1 2") << false << 0.0;
    QTest::newRow("minus sign, not a hyphen") << QByteArray("\xe2\x88\x92"
                                                            "5")
                                              << false << 0.0;
    QTest::newRow("no-break space around") << QByteArray("\xc2\xa0"
                                                         "5")
                                           << false << 0.0;
}

void TestFieldRules::cellNumber()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    const std::optional<double> parsed =
        parseCellNumber(std::string_view(text.constData(), text.size()));
    QCOMPARE(parsed.has_value(), ok);
    if (ok) {
        QCOMPARE(*parsed, value);
    }
}

QTEST_MAIN(TestFieldRules)
#include "tst_field_rules.moc"
