// Tests of linkage and task files: what a good file holds, every way a file can be wrong (with
// the very sentence that says so), files of earlier versions of the program that must still
// read, round trips that keep each double bit for bit, and writes that never damage an earlier
// file.
#include "comma_locale.h"
#include "design_tables_file.h"
#include "linkage_file.h"
#include "path_text.h"
#include "significant_text.h"
#include "task_file.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>

using namespace cyclar;

Q_DECLARE_METATYPE(cyclar::LinkageDimensions)

namespace {

QByteArray fileWith(const QByteArray& dimensions, const QByteArray& rest = QByteArray())
{
    return R"({"format": "cyclar-linkage", "version": 1, "dimensions": )" + dimensions + rest + "}";
}

const QByteArray goodDimensions = R"({"a": 50, "b": 30, "c": 35, "f": 40, "h": 45, "k": -35})";

bool sameBits(double x, double y)
{
    return std::memcmp(&x, &y, sizeof x) == 0;
}

bool sameBits(const LinkageDimensions& x, const LinkageDimensions& y)
{
    return sameBits(x.a, y.a) && sameBits(x.b, y.b) && sameBits(x.c, y.c) && sameBits(x.f, y.f)
           && sameBits(x.h, y.h) && sameBits(x.k, y.k);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

std::string bytesOf(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

std::optional<LinkageFile> parse(const QByteArray& bytes, std::string& error)
{
    return parseLinkageFile(std::string_view(bytes.constData(), bytes.size()), error);
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QByteArray motionTask = R"({"format": "cyclar-task", "version": 1, "kind": "motion",
  "positions": [{"longitude": 0, "latitude": 10, "heading": 30},
                {"longitude": 20, "latitude": 15, "heading": 45},
                {"longitude": 40, "latitude": 5, "heading": 60}]})";
const QByteArray functionTask = R"({"format": "cyclar-task", "version": 1, "kind": "function",
  "pairs": [{"input": 10, "output": 40}, {"input": 30, "output": 55},
            {"input": 50, "output": 72}, {"input": 70, "output": 95}]})";

} // namespace

class TestFiles : public QObject {
    Q_OBJECT

private slots:
    void theDocumentedExample();
    void badFile_data();
    void badFile();
    void minusZeroReadsAsZero();
    void filesWrittenBeforeStillRead_data();
    void filesWrittenBeforeStillRead();
    void motionKeysOnlyWhenChosen();
    void badPlaces();
    void namesThatAreNotUtf8();
    void roundTrip_data();
    void roundTrip();
    void roundTripOfRandomDoubles();
    void shortestTextOfPowersOfTwoAndShortDecimals();
    void numbersIgnoreTheProcessLocale();
    void failedWritesLeaveTheEarlierFileWhole();
    void goodTasks();
    void badTask_data();
    void badTask();
    void taskRoundTrip();
    void designTablesKeptAsTyped_data();
    void designTablesKeptAsTyped();
};

void TestFiles::theDocumentedExample()
{
    std::string error;
    const std::optional<LinkageFile> file = parse(
        fileWith(goodDimensions, R"(, "view": {"turn": -18, "tilt": -18}, "speed": 50)"), error);
    QVERIFY2(file, error.c_str());
    QCOMPARE(file->dimensions, defaultDimensions);
    QCOMPARE(file->view, std::optional<FileView>(FileView{-18, -18}));
    QCOMPARE(file->speed, std::optional<int>(50));

    // View and speed are optional; a file without them says so rather than inventing them.
    const std::optional<LinkageFile> bare = parse(fileWith(goodDimensions), error);
    QVERIFY(bare && !bare->view && !bare->speed);

    // What the writer makes reads as JSON with "format" and "version" first.
    const std::string text = linkageFileText(*file);
    QCOMPARE(text, std::string("{\n  \"format\": \"cyclar-linkage\",\n  \"version\": 1,\n"
                               "  \"dimensions\": {\"a\": 50, \"b\": 30, \"c\": 35, \"f\": 40, "
                               "\"h\": 45, \"k\": -35},\n  \"view\": {\"turn\": -18, \"tilt\": "
                               "-18},\n  \"speed\": 50\n}\n"));

    // The rotation axis is read, and written only when it is shown.
    const std::optional<LinkageFile> axis =
        parse(fileWith(goodDimensions, R"(, "view": {"turn": 3, "tilt": 4, "rotationAxis": true})"),
              error);
    QVERIFY2(axis, error.c_str());
    QCOMPARE(axis->view, std::optional<FileView>(FileView{3, 4, true}));
    QVERIFY(linkageFileText(*axis).find(R"("view": {"turn": 3, "tilt": 4, "rotationAxis": true})")
            != std::string::npos);
    const std::optional<LinkageFile> noAxis = parse(
        fileWith(goodDimensions, R"(, "view": {"turn": 3, "tilt": 4, "rotationAxis": false})"),
        error);
    QVERIFY2(noAxis, error.c_str());
    QCOMPARE(noAxis->view, std::optional<FileView>(FileView{3, 4, false}));
    QVERIFY(linkageFileText(*noAxis).find("rotationAxis") == std::string::npos);
}

void TestFiles::badFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("says"); // the whole sentence, or its start when it ends in "..."

    const QByteArray view = R"(, "view": {"turn": 0, "tilt": 0})";
    const QByteArray good = fileWith(goodDimensions);
    QTest::newRow("empty") << QByteArray() << "is not JSON (the file is empty)";
    QTest::newRow("only spaces") << QByteArray(
        "  \n") << "is not JSON (it ends too soon, after byte 3: unexpected end...";
    QTest::newRow("not JSON") << QByteArray("a 50 b 30")
                              << "is not JSON (invalid literal at byte 1)";
    // The position is the culprit's, counting from 1: the 'x' is the ninth byte.
    QTest::newRow("stray word") << QByteArray(R"({"a": 1 x})")
                                << "is not JSON (invalid literal at byte 9; expected '}')";
    QTest::newRow("cut short")
        << good.chopped(3)
        << QStringLiteral("is not JSON (it ends too soon, after byte %1: ...").arg(good.size() - 3);
    QTest::newRow("trailing text") << good + " and more"
                                   << QStringLiteral("is not JSON (invalid literal at byte %1; "
                                                     "expected end of input)")
                                          .arg(good.size() + 2);
    QTest::newRow("bad UTF-8") << QByteArray("{\"format\": \"cyclar-\xff\xfe\"}")
                               << "is not JSON (it is not UTF-8 text: byte 20 is 0xFF)";
    QTest::newRow("Latin-1 key") << fileWith(goodDimensions, ", \"caf\xe9\": 1")
                                 << "is not JSON (it is not UTF-8 text: byte ...";
    QTest::newRow("overlong slash")
        << QByteArray("{\"\xc0\xaf\": 1}") << "is not JSON (it is not UTF-8 text: byte 3 is 0xC0)";
    QTest::newRow("UTF-16 with a mark")
        << QByteArray("\xff\xfe{\0\"\0", 6) << "is not JSON (it is UTF-16 text; save it as UTF-8)";
    QTest::newRow("UTF-16 without")
        << QByteArray("{\0\"\0f\0", 6) << "is not JSON (it is UTF-16 text; save it as UTF-8)";
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n", 8)
                            << "is not JSON (it is not UTF-8 text: byte 1 is 0x89)";
    QTest::newRow("a NUL inside") << QByteArray("{\"a\": 1\0}", 9)
                                  << "is not JSON (it is not text: byte 8 is 0x00)";
    QTest::newRow("bell in a key")
        << QByteArray("{\"a\x07\": 1}") << "is not JSON (it is not text: byte 4 is 0x07)";
    QTest::newRow("f beyond doubles") << fileWith(QByteArray(goodDimensions).replace("40", "1e999"))
                                      << "is not JSON (a number out of range at byte 91)";
    QTest::newRow("a long number beyond doubles")
        << fileWith(QByteArray(goodDimensions).replace("50", "-" + QByteArray(400, '9')))
        << "is not JSON (a number out of range at byte 64)";
    QTest::newRow("too deep") << QByteArray(100, '[') + QByteArray(100, ']')
                              << "is not a cyclar linkage file: it nests deeper than 64 levels";
    QTest::newRow("duplicate key") << fileWith(goodDimensions, R"(, "speed": 10, "speed": 20)")
                                   << "has the key \"speed\" twice";
    QTest::newRow("duplicate dimension")
        << fileWith(R"({"a": 50, "b": 30, "c": 35, "f": 40, "h": 45, "k": -35, "a": 51})")
        << "has the key \"a\" twice";
    QTest::newRow("duplicate format")
        << QByteArray(R"({"format": "cyclar-linkage", "format": "cyclar-linkage"})")
        << "has the key \"format\" twice";
    QTest::newRow("an array") << QByteArray("[50, 30, 35, 40, 45, -35]")
                              << "is not a cyclar linkage file: it holds no JSON object";
    QTest::newRow("no format") << QByteArray(R"({"version": 1, "dimensions": {}})")
                               << "is not a cyclar linkage file: its \"format\" is not "
                                  "\"cyclar-linkage\"";
    QTest::newRow("wrong format") << QByteArray(good).replace("cyclar-linkage", "cyclar-clip")
                                  << "is not a cyclar ...";
    QTest::newRow("a task") << motionTask << "is not a cyclar linkage file: its \"format\" ...";
    QTest::newRow("newer version")
        << QByteArray(good).replace("\"version\": 1", "\"version\": 2")
        << "was made by a newer cyclar (file version 2; this one reads version 1)";
    QTest::newRow("much newer version")
        << QByteArray(good).replace("\"version\": 1", "\"version\": 12345678")
        << "was made by a newer cyclar (file version 1.23457e+07; this one reads version 1)";
    QTest::newRow("version 0") << QByteArray(good).replace("\"version\": 1", "\"version\": 0")
                               << "has no valid \"version\" (this cyclar reads version 1)";
    QTest::newRow("version as text")
        << QByteArray(good).replace("\"version\": 1", "\"version\": \"1\"") << "has no valid ...";
    QTest::newRow("no version") << QByteArray(good).replace("\"version\": 1, ", "")
                                << "has no valid \"version\" ...";
    QTest::newRow("unknown key") << fileWith(goodDimensions, R"(, "zoom": 2, "colour": "red")")
                                 << "has an unknown key \"colour\"";
    QTest::newRow("no dimensions") << QByteArray(R"({"format": "cyclar-linkage", "version": 1})")
                                   << "has no \"dimensions\" object";
    QTest::newRow("dimensions as a list")
        << fileWith("[50, 30, 35, 40, 45, -35]") << "has no \"dimensions\" object";
    QTest::newRow("missing k") << fileWith(R"({"a": 50, "b": 30, "c": 35, "f": 40, "h": 45})")
                               << "has no dimension \"k\"";
    QTest::newRow("a as text") << fileWith(QByteArray(goodDimensions).replace("50", "\"50\""))
                               << "has a dimension \"a\" that is not a number";
    QTest::newRow("b null") << fileWith(QByteArray(goodDimensions).replace("30", "null"))
                            << "has a dimension \"b\" that is not a number";
    QTest::newRow("unknown key on two lines")
        << fileWith(goodDimensions, R"(, "col\nour": 1)") << "has an unknown key \"col?our\"";
    QTest::newRow("unknown key turning the text around")
        << fileWith(goodDimensions, ", \"ab\\u202ecd\": 1") << "has an unknown key \"ab?cd\"";
    QTest::newRow("long unknown key")
        << fileWith(goodDimensions, ", \"" + QByteArray(50, 'x') + "\": 1")
        << "has an unknown key \"" + QString(40, QLatin1Char('x')) + "...\"";
    QTest::newRow("unknown dimension")
        << fileWith(QByteArray(goodDimensions).replace("\"k\"", "\"K\""))
        << "has an unknown dimension \"K\"";
    QTest::newRow("turn 91") << fileWith(goodDimensions,
                                         QByteArray(view).replace("\"turn\": 0", "\"turn\": 91"))
                             << "has a view \"turn\" that is not a whole number of degrees from "
                                "-90 to 90";
    QTest::newRow("tilt 1.5") << fileWith(goodDimensions,
                                          QByteArray(view).replace("\"tilt\": 0", "\"tilt\": 1.5"))
                              << "has a view \"tilt\" ...";
    QTest::newRow("view without tilt")
        << fileWith(goodDimensions, R"(, "view": {"turn": 0})") << "has a view \"tilt\" ...";
    QTest::newRow("view as a number")
        << fileWith(goodDimensions, R"(, "view": 40)")
        << "has a \"view\" that is not an object with \"turn\" and \"tilt\"";
    QTest::newRow("view with a roll")
        << fileWith(goodDimensions, R"(, "view": {"turn": 0, "tilt": 0, "roll": 0})")
        << "has an unknown key \"roll\" in its \"view\"";
    QTest::newRow("rotation axis as a number")
        << fileWith(goodDimensions, R"(, "view": {"turn": 0, "tilt": 0, "rotationAxis": 1})")
        << "has a view \"rotationAxis\" that is not true or false";
    QTest::newRow("speed 101") << fileWith(goodDimensions, R"(, "speed": 101)")
                               << "has a \"speed\" that is not a whole number from 0 to 100";
    QTest::newRow("speed -1") << fileWith(goodDimensions, R"(, "speed": -1)")
                              << "has a \"speed\" ...";
    QTest::newRow("speed 2e9") << fileWith(goodDimensions, R"(, "speed": 2e9)")
                               << "has a \"speed\" ...";
    const char* const circuitSays =
        "has a \"circuit\" that is not 1 or 2 (a linkage has at most two "
        "circuits)";
    QTest::newRow("circuit 3") << fileWith(goodDimensions, R"(, "circuit": 3)") << circuitSays;
    QTest::newRow("circuit 0") << fileWith(goodDimensions, R"(, "circuit": 0)") << circuitSays;
    QTest::newRow("circuit 1.5") << fileWith(goodDimensions, R"(, "circuit": 1.5)") << circuitSays;
    QTest::newRow("circuit as text")
        << fileWith(goodDimensions, R"(, "circuit": "2")") << circuitSays;
    QTest::newRow("circuit true") << fileWith(goodDimensions, R"(, "circuit": true)")
                                  << circuitSays;
    QTest::newRow("even input as a number") << fileWith(goodDimensions, R"(, "evenInput": 1)")
                                            << "has an \"evenInput\" that is not true or false";
    QTest::newRow("even input as text")
        << fileWith(goodDimensions, R"(, "evenInput": "yes")") << "has an \"evenInput\" ...";
    QByteArray padded = good;
    padded.append(QByteArray(static_cast<qsizetype>(linkageFileMaxBytes) + 1 - padded.size(), ' '));
    QTest::newRow("over 1 MB") << padded << "is over 1 MB; a linkage file is a few hundred bytes";
}

void TestFiles::badFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, says);

    std::string error;
    QVERIFY(!parse(bytes, error));
    const QString sentence = QString::fromStdString(error);
    if (says.endsWith(QLatin1String("..."))) {
        QVERIFY2(sentence.startsWith(says.chopped(3)), qPrintable(sentence));
    } else {
        QCOMPARE(sentence, says);
    }
    QVERIFY(error.find('\n') == std::string::npos);

    // The same through the file system, where the size is checked before anything is read.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.cyclar"));
    QVERIFY(writeBytes(path, bytes));
    std::string fileError;
    QVERIFY(!readLinkageFile(bytesOf(path), fileError));
    QCOMPARE(fileError, error);
}

void TestFiles::minusZeroReadsAsZero()
{
    // A zero keeps no sign: a field would otherwise show "-0", which it then refuses.
    std::string error;
    const std::optional<LinkageFile> file = parse(
        fileWith(R"({"a": -0, "b": -0.0, "c": -0e5, "f": -0.0e-3, "h": 45, "k": -0.000})"), error);
    QVERIFY2(file, error.c_str());
    for (double value : {file->dimensions.a, file->dimensions.b, file->dimensions.c,
                         file->dimensions.f, file->dimensions.k}) {
        QVERIFY(sameBits(value, 0.0));
    }
    // A tiny number that underflows is zero too, and a view of -0 is 0.
    const std::optional<LinkageFile> tiny =
        parse(fileWith(QByteArray(goodDimensions).replace("-35", "-1e-400"),
                       R"(, "view": {"turn": -0, "tilt": -0.0})"),
              error);
    QVERIFY2(tiny, error.c_str());
    QVERIFY(sameBits(tiny->dimensions.k, 0.0));
    QCOMPARE(tiny->view, std::optional<FileView>(FileView{0, 0}));
    QCOMPARE(fileNumberText(-0.0), std::string("0"));
}

void TestFiles::filesWrittenBeforeStillRead_data()
{
    // Files of the kinds the program has written and shipped, and what each must read as.
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<LinkageDimensions>("dims");
    QTest::addColumn<int>("turn");  // -1000: no view
    QTest::addColumn<int>("speed"); // -1: no speed

    const LinkageDimensions fine{50.00000000000001,  30.1, 35, 40.00000000000003,
                                 45.123456789012344, -35.5};
    QTest::newRow("saved by the program") << QByteArray(
        "{\n  \"format\": \"cyclar-linkage\",\n  \"version\": 1,\n  \"dimensions\": {\"a\": 50, "
        "\"b\": 30, \"c\": 35, \"f\": 40, \"h\": 45, \"k\": -35},\n  \"view\": {\"turn\": -18, "
        "\"tilt\": -18},\n  \"speed\": 50\n}\n")
                                          << defaultDimensions << -18 << 50;
    QTest::newRow("saved by cyclar-export, no view") << QByteArray(
        "{\n  \"format\": \"cyclar-linkage\",\n  \"version\": 1,\n  \"dimensions\": {\"a\": "
        "50.00000000000001, \"b\": 30.1, \"c\": 35, \"f\": 40.00000000000003, \"h\": "
        "45.123456789012344, \"k\": -35.5}\n}\n") << fine
                                                     << -1000 << -1;
    QTest::newRow("the fuzzing seed example") << QByteArray(
        R"({"format": "cyclar-linkage", "version": 1, "dimensions": {"a": 50, "b": 30, "c": 35, "f": 40, "h": 45, "k": -35}, "view": {"turn": -18, "tilt": -18}, "speed": 50})")
                                              << defaultDimensions << -18 << 50;
    QTest::newRow("the fuzzing seed extremes") << QByteArray(
        R"({"format": "cyclar-linkage", "version": 1, "dimensions": {"a": 0.30000000000000004, "b": 1e-300, "c": 1.7976931348623157e+308, "f": 5e-324, "h": -0.0, "k": 123456789012345680}})")
                                               << LinkageDimensions{0.1 + 0.2,
                                                                    1e-300,
                                                                    std::numeric_limits<
                                                                        double>::max(),
                                                                    std::numeric_limits<
                                                                        double>::denorm_min(),
                                                                    0.0,
                                                                    123456789012345680.0}
                                               << -1000 << -1;
    QTest::newRow("written by hand, keys in any order, CRLF, a byte-order mark")
        << QByteArray("\xef\xbb\xbf{\r\n\"speed\": 0, \"view\": {\"tilt\": 90, \"turn\": -90},\r\n"
                      "\"dimensions\": {\"k\": 1E2, \"h\": 4.5e1, \"f\": 40.0, \"c\": 35, "
                      "\"b\": 3e+1, \"a\": 50},\r\n\"version\": 1.0, \"format\": "
                      "\"cyclar-linkage\"}\r\n")
        << LinkageDimensions{50, 30, 35, 40, 45, 100} << -90 << 0;
}

void TestFiles::filesWrittenBeforeStillRead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(LinkageDimensions, dims);
    QFETCH(int, turn);
    QFETCH(int, speed);

    std::string error;
    const std::optional<LinkageFile> file = parse(bytes, error);
    QVERIFY2(file, error.c_str());
    QVERIFY(sameBits(file->dimensions, dims));
    QCOMPARE(file->view.has_value(), turn != -1000);
    if (file->view) {
        QCOMPARE(file->view->turn, turn);
        QVERIFY(!file->view->rotationAxis);
    }
    QCOMPARE(file->speed.value_or(-1), speed);
    QCOMPARE(file->motion, MotionChoice{}); // circuit 1 at the sweep's pace
    // What the program writes today it writes the same way still.
    if (bytes.startsWith("{\n")) {
        QCOMPARE(QByteArray::fromStdString(linkageFileText(*file)), bytes);
    }
}

// The circuit and the even pace are written only when chosen, so that a file of circuit 1 at
// the sweep's pace keeps the bytes older programs read; a "circuit": 1 written by hand reads.
void TestFiles::motionKeysOnlyWhenChosen()
{
    const auto text = [](const MotionChoice& motion) {
        LinkageFile file;
        file.dimensions = defaultDimensions;
        file.motion = motion;
        return QByteArray::fromStdString(linkageFileText(file));
    };
    QVERIFY(!text({}).contains("circuit") && !text({}).contains("evenInput"));
    QVERIFY(text({2, false}).contains("\n  \"circuit\": 2\n}"));
    QVERIFY(!text({2, false}).contains("evenInput"));
    QVERIFY(text({1, true}).contains("\"evenInput\": true")
            && !text({1, true}).contains("circuit"));

    std::string error;
    const std::optional<LinkageFile> one =
        parse(fileWith(goodDimensions, R"(, "circuit": 1, "evenInput": false)"), error);
    QVERIFY2(one, error.c_str());
    QCOMPARE(one->motion, MotionChoice{});
    QCOMPARE(QByteArray::fromStdString(linkageFileText(*one)), text({}));
}

void TestFiles::badPlaces()
{
    QTemporaryDir dir;
    std::string error;
    const QString folder = dir.filePath(QStringLiteral("class.cyclar"));
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(!readLinkageFile(bytesOf(folder), error));
    QCOMPARE(error, std::string("is a folder, not a linkage file"));
    QVERIFY(!readLinkageFile(bytesOf(dir.filePath(QStringLiteral("none.cyclar"))), error));
    QCOMPARE(error, std::string("does not exist"));
    QVERIFY(!readTaskFile(bytesOf(dir.filePath(QStringLiteral("none/x.cyclar-task"))), error));
    QCOMPARE(error, std::string("does not exist"));
    // Endless or blocking sources are refused without reading them: a named pipe with no
    // writer would otherwise wait for ever.
    QVERIFY(!readLinkageFile("/dev/zero", error));
    QCOMPARE(error, std::string("is a device, not a linkage file"));
    const QString pipe = dir.filePath(QStringLiteral("pipe.cyclar"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QVERIFY(!readLinkageFile(bytesOf(pipe), error));
    QCOMPARE(error, std::string("is a named pipe, not a linkage file"));
    QVERIFY(!readTaskFile(bytesOf(pipe), error));
    QCOMPARE(error, std::string("is a named pipe, not a task file"));
    // A file that cannot be opened says the system's reason.
    const QString locked = dir.filePath(QStringLiteral("locked.cyclar"));
    QVERIFY(writeBytes(locked, fileWith(goodDimensions)));
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    if (!QFileInfo(locked).isReadable()) { // root reads anything
        QVERIFY(!readLinkageFile(bytesOf(locked), error));
        QCOMPARE(error, std::string("cannot be read (Permission denied)"));
    }
    // Writing over a folder is refused, and the folder stays.
    QVERIFY(!writeLinkageFile(bytesOf(folder), LinkageFile{defaultDimensions, {}, {}, {}}, error));
    QVERIFY(QFileInfo(folder).isDir());
}

void TestFiles::namesThatAreNotUtf8()
{
    // A Latin-1 name, as an older system or a copied disk leaves it: read by its bytes.
    QTemporaryDir dir;
    const std::string path = bytesOf(dir.path())
                             + "/lin\xe9"
                               "aire.cyclar";
    {
        QFile file;
        const int fd = ::creat(path.c_str(), 0644);
        QVERIFY(fd >= 0);
        QVERIFY(file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
        QVERIFY(file.write(fileWith(goodDimensions)) > 0);
    }
    std::string error;
    const std::optional<LinkageFile> file = readLinkageFile(path, error);
    QVERIFY2(file, error.c_str());
    QCOMPARE(file->dimensions, defaultDimensions);
    QCOMPARE(::unlink(path.c_str()), 0); // Qt would not find it by its name to remove it
    // Messages show such a name readably, on one line.
    QCOMPARE(displayPath("lin\xe9"
                         "aire.cyclar"),
             std::string("lin\\xE9aire.cyclar"));
    QCOMPARE(displayPath("lin\xc3\xa9"
                         "aire\n.cyclar"),
             std::string("lin\xc3\xa9"
                         "aire\\x0A.cyclar"));
}

void TestFiles::roundTrip_data()
{
    QTest::addColumn<LinkageDimensions>("dims");
    QTest::addColumn<bool>("withViewAndSpeed");

    constexpr double lowest = std::numeric_limits<double>::denorm_min();
    constexpr double largest = std::numeric_limits<double>::max();
    QTest::newRow("defaults") << defaultDimensions << true;
    QTest::newRow("seventeen digits")
        << LinkageDimensions{0.1 + 0.2, 1.0 / 3.0, 35.000000000000007, 40, 45, -35} << false;
    QTest::newRow("zeros") << LinkageDimensions{0.0, 30, 35, 40, 0.0, -35} << true;
    QTest::newRow("extremes")
        << LinkageDimensions{lowest, largest, -largest, 1e-300, 9007199254740993.0, -1e22} << false;
    QTest::newRow("large whole numbers")
        << LinkageDimensions{123456789012345680.0, 1e17, 4e15, 40, 45, -35} << true;
}

void TestFiles::roundTrip()
{
    QFETCH(LinkageDimensions, dims);
    QFETCH(bool, withViewAndSpeed);

    LinkageFile written{dims, {}, {}, {}};
    if (withViewAndSpeed) {
        written.view = FileView{-90, 88, true};
        written.speed = 0;
        written.motion = {2, true};
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("round.cyclar"));
    std::string error;
    QVERIFY2(writeLinkageFile(bytesOf(path), written, error), error.c_str());
    const std::optional<LinkageFile> read = readLinkageFile(bytesOf(path), error);
    QVERIFY2(read, error.c_str());
    QVERIFY2(sameBits(read->dimensions, dims), contents(path).constData());
    QCOMPARE(read->view, written.view);
    QCOMPARE(read->speed, written.speed);
    QCOMPARE(read->motion, written.motion);
    // Writing what was read gives the same bytes again.
    QCOMPARE(QByteArray::fromStdString(linkageFileText(*read)), contents(path));
}

void TestFiles::roundTripOfRandomDoubles()
{
    QRandomGenerator random(12);
    for (int i = 0; i < 20000; ++i) {
        double values[6];
        for (double& value : values) {
            do {
                const quint64 bits = random.generate64();
                std::memcpy(&value, &bits, sizeof value);
            } while (!std::isfinite(value));
        }
        const LinkageDimensions dims{values[0], values[1], values[2],
                                     values[3], values[4], values[5]};
        std::string error;
        const std::string text = linkageFileText({dims, {}, {}, {}});
        const std::optional<LinkageFile> read = parseLinkageFile(text, error);
        QVERIFY2(read, error.c_str());
        // Bit for bit, but for the sign of a zero, which no file keeps.
        LinkageDimensions expected = dims;
        for (double* value :
             {&expected.a, &expected.b, &expected.c, &expected.f, &expected.h, &expected.k}) {
            *value = *value == 0.0 ? 0.0 : *value;
        }
        QVERIFY2(sameBits(read->dimensions, expected), text.c_str());
        // In the very form std::to_chars gives, as files written before were.
        char shortest[32];
        const auto [end, ec] = std::to_chars(shortest, shortest + sizeof shortest, values[0]);
        QCOMPARE(QString::fromStdString(shortestNumberText(values[0])),
                 QString::fromStdString(std::string(shortest, end)));
    }
}

// The numbers whose shortest text takes few digits, and the neighbours of every power of two
// (below which the doubles lie closer than above it): the form std::to_chars gives. The powers
// themselves read back exactly.
void TestFiles::shortestTextOfPowersOfTwoAndShortDecimals()
{
    std::vector<double> values;
    for (int digits = 1; digits <= 9999; digits += 7) {
        for (int power = -12; power <= 12; power += 3) {
            const double value = digits * std::pow(10.0, power);
            values.insert(values.end(),
                          {value, std::nextafter(value, 0.0), std::nextafter(value, HUGE_VAL)});
        }
    }
    for (int e = -1074; e <= 1023; ++e) {
        const double power = std::ldexp(1.0, e);
        QCOMPARE(std::strtod(shortestNumberText(power).c_str(), nullptr), power);
        values.push_back(std::nextafter(power, HUGE_VAL));
        if (e > -1074) {
            values.push_back(std::nextafter(power, 0.0));
        }
    }
    QString failures;
    for (const double value : values) {
        for (const double x : {value, -value}) {
            char expected[32];
            const auto [end, ec] = std::to_chars(expected, expected + sizeof expected, x);
            const std::string mine = shortestNumberText(x);
            if (mine != std::string(expected, end)) {
                failures +=
                    QString::fromStdString(mine + " for " + std::string(expected, end) + "\n");
            }
        }
    }
    QVERIFY2(failures.isEmpty(), qPrintable(failures));
    // Zeros keep their sign, as to_chars writes them; a file's number drops it (fileNumberText).
    // What is not finite gets its word, whatever its sign bit.
    QCOMPARE(shortestNumberText(0.0), std::string("0"));
    QCOMPARE(shortestNumberText(-0.0), std::string("-0"));
    QCOMPARE(shortestNumberText(std::numeric_limits<double>::infinity()), std::string("inf"));
    QCOMPARE(shortestNumberText(-std::numeric_limits<double>::infinity()), std::string("-inf"));
    QCOMPARE(shortestNumberText(-std::numeric_limits<double>::quiet_NaN()), std::string("nan"));
    QCOMPARE(jsonNumberText(std::numeric_limits<double>::quiet_NaN()), std::string("null"));
    QCOMPARE(fileNumberText(-std::numeric_limits<double>::infinity()), std::string("null"));
}

// The user's locale (the desktop takes it) changes no number the core writes: not a file's, nor
// one in a refusal's sentence, nor one with a fixed count of digits.
void TestFiles::numbersIgnoreTheProcessLocale()
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    QTemporaryDir dir;
    QVERIFY2(test::useCommaLocale(dir.path()), "no locale with a decimal comma (install locales)");
    std::string error;
    const bool refused = !parse(R"({"format": "cyclar-linkage", "version": 1.5})", error);
    const std::string file = linkageFileText({{12.5, 30, 35, 40, 0.1, -2.5e-7}, {}, {}, {}});
    const std::string digits = significantText(1.0 / 3.0, 8);
    const std::string shortest = shortestNumberText(1.5e300);
    std::setlocale(LC_NUMERIC, previous.c_str());
    QVERIFY(refused);
    QCOMPARE(error, std::string("was made by a newer cyclar (file version 1.5; this one reads "
                                "version 1)"));
    QVERIFY2(file.find("\"a\": 12.5, ") != std::string::npos
                 && file.find("\"h\": 0.1, \"k\": -2.5e-07}") != std::string::npos,
             file.c_str());
    QCOMPARE(digits, std::string("0.33333333"));
    QCOMPARE(shortest, std::string("1.5e+300"));
}

void TestFiles::failedWritesLeaveTheEarlierFileWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("class.cyclar"));
    std::string error;
    QVERIFY(writeLinkageFile(bytesOf(path), LinkageFile{defaultDimensions, {}, {}, {}}, error));
    const QByteArray before = contents(path);

    LinkageFile broken{defaultDimensions, {}, {}, {}};
    broken.dimensions.h = std::numeric_limits<double>::quiet_NaN();
    QVERIFY(!writeLinkageFile(bytesOf(path), broken, error));
    QCOMPARE(error, "could not write '" + bytesOf(path) + "': a dimension is not a finite number");
    const QString json = dir.filePath(QStringLiteral("class.json"));
    QVERIFY(!writeLinkageFile(bytesOf(json), broken, error));
    QCOMPARE(error, "could not write '" + bytesOf(json) + "': the file name must end in .cyclar");

    // A folder that cannot be written to: the write fails before anything lands.
    const QString locked = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkdir(locked));
    QFile::copy(path, locked + QStringLiteral("/class.cyclar"));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    const bool refused = !writeLinkageFile(bytesOf(locked + QStringLiteral("/class.cyclar")),
                                           LinkageFile{{1, 2, 3, 4, 5, 6}, {}, {}, {}}, error);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (refused) { // root may write anywhere; then there is nothing to see here
        QCOMPARE(contents(locked + QStringLiteral("/class.cyclar")), before);
    }
    QCOMPARE(contents(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("class.cyclar")});
}

void TestFiles::goodTasks()
{
    std::string error;
    const std::optional<DesignTask> motion = parseTaskFile(motionTask.toStdString(), error);
    QVERIFY2(motion, error.c_str());
    QCOMPARE(motion->kind, TaskKind::Motion);
    QCOMPARE(motion->positions.size(), std::size_t{3});
    QCOMPARE(motion->positions[1], (TaskPosition{20, 15, 45}));
    QVERIFY(motion->fixedPivots.empty() && motion->pairs.empty() && !motion->ground);

    const std::optional<DesignTask> function = parseTaskFile(functionTask.toStdString(), error);
    QVERIFY2(function, error.c_str());
    QCOMPARE(function->kind, TaskKind::Function);
    QCOMPARE(function->pairs.size(), std::size_t{4});
    QCOMPARE(function->pairs[3], (TaskPair{70, 95}));

    // Three pairs with the ground; three positions with two fixed pivots.
    QByteArray three = functionTask;
    three.replace(R"(, {"input": 70, "output": 95}]})", R"(], "ground": 40})");
    const std::optional<DesignTask> withGround = parseTaskFile(three.toStdString(), error);
    QVERIFY2(withGround, error.c_str());
    QCOMPARE(withGround->ground, std::optional<double>(40));
    QByteArray pivots = motionTask;
    pivots.chop(1);
    pivots +=
        R"(, "fixedPivots": [{"longitude": -30, "latitude": -90}, {"longitude": 60, "latitude": -25}]})";
    const std::optional<DesignTask> withPivots = parseTaskFile(pivots.toStdString(), error);
    QVERIFY2(withPivots, error.c_str());
    QCOMPARE(withPivots->fixedPivots[0], (TaskPivot{-30, -90}));

    // Read from disk the same way as linkage files.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("task.cyclar-task"));
    QVERIFY(writeBytes(path, functionTask));
    QCOMPARE(readTaskFile(bytesOf(path), error), function);
}

void TestFiles::badTask_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("says");

    const QByteArray m = motionTask;
    const QByteArray f = functionTask;
    const QByteArray position = R"({"longitude": 60, "latitude": 0, "heading": 0})";
    const auto withPositions = [&](int count) {
        QByteArray list;
        for (int i = 0; i < count; ++i) {
            list +=
                (i ? ", " : "") + QByteArray(position).replace("60", QByteArray::number(i * 10));
        }
        return R"({"format": "cyclar-task", "version": 1, "kind": "motion", "positions": [)" + list
               + "]}";
    };
    QTest::newRow("not JSON") << m.chopped(2) << "is not JSON (it ends too soon...";
    QTest::newRow("a linkage file")
        << fileWith(goodDimensions)
        << "is not a cyclar task file: its \"format\" is not \"cyclar-task\"";
    QTest::newRow("newer version")
        << QByteArray(m).replace("\"version\": 1", "\"version\": 3")
        << "was made by a newer cyclar (file version 3; this one reads version 1)";
    QTest::newRow("duplicate key")
        << QByteArray(m).replace("\"heading\": 30", "\"heading\": 30, \"heading\": 31")
        << "has the key \"heading\" twice";
    QTest::newRow("number out of range")
        << QByteArray(m).replace("\"heading\": 30", "\"heading\": 3e999")
        << "is not JSON (a number out of range at byte ...";
    QTest::newRow("unknown kind") << QByteArray(m).replace(
        "\"motion\"",
        "\"path\"") << "has an unknown \"kind\"; a task is \"motion\" or \"function\"";
    QTest::newRow("no kind") << QByteArray(m).replace("\"kind\": \"motion\",", "")
                             << "has no \"kind\" (\"motion\" or \"function\")";
    QTest::newRow("unknown key") << QByteArray(m).replace("\"kind\"", "\"speed\": 1, \"kind\"")
                                 << "has an unknown key \"speed\"";
    QTest::newRow("two positions")
        << withPositions(2) << "has 2 positions; a motion task needs three to five";
    QTest::newRow("six positions")
        << withPositions(6) << "has 6 positions; a motion task takes at most five";
    QTest::newRow("no positions") << QByteArray(
        R"({"format": "cyclar-task", "version": 1, "kind": "motion"})")
                                  << "has no \"positions\"";
    QTest::newRow("positions as an object") << QByteArray(
        R"({"format": "cyclar-task", "version": 1, "kind": "motion", "positions": {}})")
                                            << "has a \"positions\" that is not a list";
    QTest::newRow("a position without heading") << QByteArray(m).replace(", \"heading\": 45", "")
                                                << "has a second position without \"heading\"";
    QTest::newRow("a position with text")
        << QByteArray(m).replace("\"latitude\": 5", "\"latitude\": \"5\"")
        << "has a third position whose \"latitude\" is not a number";
    QTest::newRow("a position with a stray key")
        << QByteArray(m).replace("\"heading\": 30", "\"heading\": 30, \"roll\": 0")
        << "has an unknown key \"roll\" in its first position";
    QTest::newRow("a pole") << QByteArray(m).replace("\"latitude\": 15", "\"latitude\": 90")
                            << "has a second position whose \"latitude\" is not strictly between "
                               "-90 and 90 degrees (a heading has no north at a pole)";
    QTest::newRow("beyond the south pole")
        << QByteArray(m).replace("\"latitude\": 15", "\"latitude\": -91")
        << "has a second position whose ...";
    QTest::newRow("a longitude far out")
        << QByteArray(m).replace("\"longitude\": 40", "\"longitude\": 1e300")
        << "has a third position whose \"longitude\" or \"heading\" is not from -360 to 360 "
           "degrees";
    QTest::newRow("coincident positions")
        << QByteArray(m).replace(R"("longitude": 40, "latitude": 5, "heading": 60)",
                                 R"("longitude": -360, "latitude": 10, "heading": -330)")
        << "has its first and third positions in the same place with the same heading";
    QByteArray pivots = m;
    pivots.chop(1);
    QTest::newRow("one fixed pivot")
        << pivots + R"(, "fixedPivots": [{"longitude": 0, "latitude": 0}]})"
        << "has 1 \"fixedPivots\"; give exactly two, or none";
    QTest::newRow("three fixed pivots")
        << pivots
               + R"(, "fixedPivots": [{"longitude": 0, "latitude": 0}, {"longitude": 1, "latitude": 0}, {"longitude": 2, "latitude": 0}]})"
        << "has 3 \"fixedPivots\"; give exactly two, or none";
    QTest::newRow("coincident fixed pivots")
        << pivots
               + R"(, "fixedPivots": [{"longitude": 0, "latitude": 0}, {"longitude": 360, "latitude": 0}]})"
        << "has its two fixed pivots in the same place";
    QTest::newRow("opposite fixed pivots")
        << pivots
               + R"(, "fixedPivots": [{"longitude": 10, "latitude": 20}, {"longitude": -170, "latitude": -20}]})"
        << "has its two fixed pivots opposite each other, which leaves no ground link between them";
    QTest::newRow("fixed pivots with four positions")
        << withPositions(4).chopped(1)
               + R"(, "fixedPivots": [{"longitude": 0, "latitude": 0}, {"longitude": 90, "latitude": 0}]})"
        << "has \"fixedPivots\" with 4 positions; fixed pivots go with three positions only";
    QTest::newRow("pairs in a motion task") << pivots + R"(, "pairs": []})"
                                            << "has \"pairs\", which a motion task does not take";
    QTest::newRow("two pairs") << QByteArray(
        R"({"format": "cyclar-task", "version": 1, "kind": "function", "pairs": [{"input": 10, "output": 40}, {"input": 30, "output": 55}], "ground": 40})")
                               << "has 2 pairs; a function task needs at least three";
    QTest::newRow("three pairs, no ground")
        << QByteArray(f).replace(R"(, {"input": 70, "output": 95})", "")
        << "has three pairs and no \"ground\"; three pairs need the ground link's length";
    QTest::newRow("ground 180")
        << f.chopped(1) + R"(, "ground": 180})"
        << "has a \"ground\" that is not strictly between 0 and 180 degrees";
    QTest::newRow("ground as text") << f.chopped(1) + R"(, "ground": "40"})"
                                    << "has a \"ground\" that is not a number";
    QTest::newRow("pairs alike") << QByteArray(f).replace(R"("input": 70, "output": 95)",
                                                          R"("input": -350, "output": -320)")
                                 << "has pairs number 1 and 4 alike";
    QTest::newRow("a pair far out")
        << QByteArray(f).replace("\"output\": 72", "\"output\": -400")
        << "has a pair (number 3) whose \"input\" or \"output\" is not from -360 to 360 degrees";
    QTest::newRow("positions in a function task") << f.chopped(1) + R"(, "positions": []})"
                                                  << "has \"positions\", which a function ...";
}

void TestFiles::badTask()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, says);

    std::string error;
    QVERIFY(!parseTaskFile(bytes.toStdString(), error));
    const QString sentence = QString::fromStdString(error);
    if (says.endsWith(QLatin1String("..."))) {
        QVERIFY2(sentence.startsWith(says.chopped(3)), qPrintable(sentence));
    } else {
        QCOMPARE(sentence, says);
    }
}

void TestFiles::taskRoundTrip()
{
    DesignTask motion;
    motion.positions = {{0.1 + 0.2, 10, -30}, {20, -89.99999999999999, 45}, {1e-300, 5, 359.5}};
    motion.fixedPivots = {{-30, -20}, {60.000000000000014, 90}};
    DesignTask function;
    function.kind = TaskKind::Function;
    function.pairs = {{10, 40}, {30, 55}, {50, 1.0 / 3.0}};
    function.ground = 40.5;
    for (const DesignTask& task : {motion, function}) {
        const std::string text = taskFileText(task);
        QVERIFY2(text.rfind("{\n  \"format\": \"cyclar-task\",\n  \"version\": 1,\n  \"kind\": ", 0)
                     == 0,
                 text.c_str());
        std::string error;
        const std::optional<DesignTask> read = parseTaskFile(text, error);
        QVERIFY2(read, error.c_str());
        QVERIFY2(*read == task, text.c_str());
        QVERIFY(!taskProblem(task));
    }
    // A task made in a program is checked by the same rules before it is written.
    DesignTask tooFew = function;
    tooFew.pairs.pop_back();
    QCOMPARE(taskProblem(tooFew),
             std::optional<std::string>("has 2 pairs; a function task needs at least three"));
}

void TestFiles::designTablesKeptAsTyped_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("says"); // empty: read
    const QByteArray kept = R"({"format": "cyclar-design-tables", "version": 1, "kind": "function",
 "positions": [["84", "north", ""]], "pivotsGiven": true, "pivots": [["0", "0"], ["40", "0"]],
 "pairs": [["-30", "7.1"], ["\u00e9", "1e400"]], "groundGiven": false, "ground": "  4 0 "})";
    QTest::newRow("cells as typed") << kept << QString();
    QTest::newRow("a row of two cells for a position")
        << QByteArray(kept).replace(R"(["84", "north", ""])", R"(["84", "north"])")
        << "holds tables that are not lists of rows of text";
    QTest::newRow("a number for a cell") << QByteArray(kept).replace(R"("7.1")", "7.1")
                                         << "holds tables that are not lists of rows of text";
    QTest::newRow("one pivot") << QByteArray(kept).replace(R"(, ["40", "0"])", "")
                               << "holds tables that are not lists of rows of text";
    // The ground is one cell of text like any other, held to the same length.
    QTest::newRow("a ground longer than a cell") << QByteArray(kept).replace(
        R"("  4 0 ")", '"' + QByteArray(static_cast<qsizetype>(designTablesLongestCell) + 1, '1')
                           + '"') << "holds tables that are not lists of rows of text";
    QTest::newRow("no kind") << QByteArray(kept).replace(R"("kind": "function",)", "")
                             << "has no \"kind\" \"motion\" or \"function\"";
    QTest::newRow("a task file") << QByteArray(R"({"format": "cyclar-task", "version": 1})")
                                 << "is not a cyclar design tables file: its \"format\" is not "
                                    "\"cyclar-design-tables\"";
}

// The Design window's tables between runs: every cell as typed (a number or not yet one), read
// back exactly; anything else refused with one sentence.
void TestFiles::designTablesKeptAsTyped()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, says);
    std::string error;
    const std::optional<DesignTables> tables = parseDesignTables(bytes.toStdString(), error);
    if (!says.isEmpty()) {
        QVERIFY(!tables);
        QCOMPARE(QString::fromStdString(error), says);
        return;
    }
    QVERIFY2(tables, error.c_str());
    QCOMPARE(tables->kind, TaskKind::Function);
    QCOMPARE(tables->positions.front()[1], std::string("north"));
    QCOMPARE(tables->pairs.back()[0], std::string("\u00e9"));
    QCOMPARE(tables->ground, std::string("  4 0 "));
    const std::optional<DesignTables> again = parseDesignTables(designTablesText(*tables), error);
    QVERIFY2(again, error.c_str());
    QCOMPARE(*again, *tables);
}

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
