// cyclar's own options: --help and --version answer without a display, an unknown option or a
// second file is a usage error, a file (with or without Qt's options around it) is still opened,
// and without a display the program says so in one line.
#include "command_line.h"

#include <QProcess>
#include <QtTest>

using cyclar::CommandLine;

Q_DECLARE_METATYPE(CommandLine::Action)

class TestCyclarOptions : public QObject {
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void answersWithoutADisplay_data();
    void answersWithoutADisplay();
};

void TestCyclarOptions::parse_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<CommandLine::Action>("action");
    QTest::addColumn<QString>("file");

    using A = CommandLine::Action;
    QTest::newRow("nothing") << QStringList{} << A::run << "";
    QTest::newRow("a file") << QStringList{"class.cyclar"} << A::run << "class.cyclar";
    QTest::newRow("a second file")
        << QStringList{"a.cyclar", "b.cyclar"} << A::usageError << "a.cyclar";
    QTest::newRow("help after a second file")
        << QStringList{"a.cyclar", "b.cyclar", "--help"} << A::help << "a.cyclar";
    QTest::newRow("Qt's option and its value")
        << QStringList{"-style", "fusion", "a.cyclar"} << A::run << "a.cyclar";
    QTest::newRow("Qt's option with =")
        << QStringList{"--platform=offscreen", "a.cyclar"} << A::run << "a.cyclar";
    QTest::newRow("Qt's flag") << QStringList{"a.cyclar", "-reverse"} << A::run << "a.cyclar";
    QTest::newRow("dashes end the options")
        << QStringList{"--", "-odd.cyclar"} << A::run << "-odd.cyclar";
    QTest::newRow("a lone dash is a name") << QStringList{"-"} << A::run << "-";
    QTest::newRow("help") << QStringList{"--help"} << A::help << "";
    QTest::newRow("help after a file") << QStringList{"a.cyclar", "-h"} << A::help << "a.cyclar";
    QTest::newRow("version") << QStringList{"-v"} << A::version << "";
    QTest::newRow("unknown long") << QStringList{"--frame", "3"} << A::usageError << "";
    QTest::newRow("unknown short") << QStringList{"-x"} << A::usageError << "";
    QTest::newRow("help after the dashes is a name")
        << QStringList{"--", "--help"} << A::run << "--help";
}

void TestCyclarOptions::parse()
{
    QFETCH(QStringList, args);
    QFETCH(CommandLine::Action, action);
    QFETCH(QString, file);
    std::vector<std::string> argv;
    for (const QString& arg : args) {
        argv.push_back(arg.toStdString());
    }
    const CommandLine line = cyclar::parseCommandLine(argv);
    QCOMPARE(line.action, action);
    QCOMPARE(QString::fromStdString(line.startFile), file);
}

void TestCyclarOptions::answersWithoutADisplay_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("display"); // DISPLAY, unset when empty
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");

    const QByteArray usage = QByteArray::fromStdString(cyclar::cyclarUsage());
    QTest::newRow("--help") << QStringList{"--help"} << QString() << 0 << usage << QByteArray();
    QTest::newRow("-h") << QStringList{"-h"} << QString() << 0 << usage << QByteArray();
    QTest::newRow("--version") << QStringList{"--version"} << QString() << 0
                               << QByteArray("cyclar 1.0.0.1\n") << QByteArray();
    QTest::newRow("unknown") << QStringList{"--bogus", "a.cyclar"} << QString() << 2 << QByteArray()
                             << "cyclar: unknown option '--bogus'\n" + usage;
    QTest::newRow("two files") << QStringList{"a.cyclar", "b.cyclar"} << QString() << 2
                               << QByteArray()
                               << "cyclar: opens one file at a time ('a.cyclar' and 'b.cyclar' "
                                  "given)\n"
                                      + usage;
    // Without a display the program says so in one line, rather than Qt's advice and an abort.
    QTest::newRow("no display") << QStringList{} << QString() << 1 << QByteArray()
                                << QByteArray("cyclar: no display to show its windows on (DISPLAY "
                                              "is not set); cyclar-export draws the same "
                                              "pictures without one\n");
    QTest::newRow("a display that does not answer")
        << QStringList{"a.cyclar"} << QStringLiteral(":97") << 1 << QByteArray()
        << QByteArray("cyclar: could not open the display ':97'\n");
    QTest::newRow("a window system that is not there")
        << QStringList{"-platform", "nosuch"} << QString() << 1 << QByteArray()
        << QByteArray("cyclar: could not start the window system 'nosuch'\n");
}

// No display and no platform chosen: Qt would abort if it were asked for one.
void TestCyclarOptions::answersWithoutADisplay()
{
    QFETCH(QStringList, args);
    QFETCH(QString, display);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    if (!display.isEmpty()) {
        environment.insert(QStringLiteral("DISPLAY"), display);
    }
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(CYCLAR_PATH), args);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    QCOMPARE(process.readAllStandardOutput(), out);
    QCOMPARE(process.readAllStandardError(), err);
}

QTEST_GUILESS_MAIN(TestCyclarOptions)
#include "tst_cyclar_options.moc"
