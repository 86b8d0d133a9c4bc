// Tests of linkage files: what a good file holds, every way a file can be wrong, round trips
// that keep each double bit for bit, and writes that never damage an earlier file.
#include "linkage_file.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

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

} // namespace

class TestFiles : public QObject {
    Q_OBJECT

private slots:
    void theDocumentedExample();
    void badFile_data();
    void badFile();
    void badPlaces();
    void roundTrip_data();
    void roundTrip();
    void roundTripOfRandomDoubles();
    void failedWritesLeaveTheEarlierFileWhole();
};

void TestFiles::theDocumentedExample()
{
    QString error;
    const std::optional<LinkageFile> file = parseLinkageFile(
        fileWith(goodDimensions, R"(, "view": {"turn": -18, "tilt": -18}, "speed": 50)"), error);
    QVERIFY2(file, qPrintable(error));
    QCOMPARE(file->dimensions, defaultDimensions);
    QCOMPARE(file->view, std::optional<FileView>(FileView{-18, -18}));
    QCOMPARE(file->speed, std::optional<int>(50));

    // View and speed are optional; a file without them says so rather than inventing them.
    const std::optional<LinkageFile> bare = parseLinkageFile(fileWith(goodDimensions), error);
    QVERIFY(bare && !bare->view && !bare->speed);

    // What the writer makes reads as JSON with "format" and "version" first.
    const QByteArray text = linkageFileText(*file);
    QVERIFY2(text.startsWith("{\n  \"format\": \"cyclar-linkage\",\n  \"version\": 1,"), text);
    QVERIFY(text.contains(R"("a": 50, "b": 30, "c": 35, "f": 40, "h": 45, "k": -35)"));
    // A zero has no sign in JSON as read back, so minus zero is written as the zero it reads as.
    QCOMPARE(shortestNumberText(-0.0), QByteArray("0"));
}

void TestFiles::badFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("says");

    const QByteArray view = R"(, "view": {"turn": 0, "tilt": 0})";
    QTest::newRow("empty") << QByteArray() << "is not JSON";
    QTest::newRow("not JSON") << QByteArray("a 50 b 30") << "is not JSON";
    QTest::newRow("cut short") << fileWith(goodDimensions).chopped(3) << "is not JSON";
    QTest::newRow("bad UTF-8") << QByteArray("{\"format\": \"cyclar-\xff\xfe\"}") << "is not JSON";
    QTest::newRow("an array") << QByteArray("[50, 30, 35, 40, 45, -35]") << "no JSON object";
    QTest::newRow("no format") << QByteArray(R"({"version": 1, "dimensions": {}})") << "\"format\"";
    QTest::newRow("wrong format")
        << fileWith(goodDimensions).replace("cyclar-linkage", "cyclar-clip") << "\"format\"";
    QTest::newRow("newer version")
        << fileWith(goodDimensions).replace("\"version\": 1", "\"version\": 2")
        << "made by a newer cyclar";
    QTest::newRow("version 0")
        << fileWith(goodDimensions).replace("\"version\": 1", "\"version\": 0")
        << "no valid \"version\"";
    QTest::newRow("version as text")
        << fileWith(goodDimensions).replace("\"version\": 1", "\"version\": \"1\"")
        << "\"version\"";
    QTest::newRow("no version") << fileWith(goodDimensions).replace("\"version\": 1, ", "")
                                << "\"version\"";
    QTest::newRow("unknown key") << fileWith(goodDimensions, R"(, "colour": "red")")
                                 << "unknown key \"colour\"";
    QTest::newRow("no dimensions")
        << QByteArray(R"({"format": "cyclar-linkage", "version": 1})") << "no \"dimensions\"";
    QTest::newRow("dimensions as a list")
        << fileWith("[50, 30, 35, 40, 45, -35]") << "no \"dimensions\"";
    QTest::newRow("missing k") << fileWith(R"({"a": 50, "b": 30, "c": 35, "f": 40, "h": 45})")
                               << "no dimension \"k\"";
    QTest::newRow("a as text") << fileWith(QByteArray(goodDimensions).replace("50", "\"50\""))
                               << "\"a\" that is not a number";
    QTest::newRow("b null") << fileWith(QByteArray(goodDimensions).replace("30", "null"))
                            << "\"b\" that is not a number";
    QTest::newRow("f beyond doubles")
        << fileWith(QByteArray(goodDimensions).replace("40", "1e999")) << "is not JSON";
    QTest::newRow("unknown key on two lines")
        << fileWith(goodDimensions, R"(, "col\nour": 1)") << "unknown key \"col?our\"";
    QTest::newRow("unknown dimension")
        << fileWith(QByteArray(goodDimensions).replace("\"k\"", "\"K\""))
        << "unknown dimension \"K\"";
    QTest::newRow("turn 91") << fileWith(goodDimensions,
                                         QByteArray(view).replace("\"turn\": 0", "\"turn\": 91"))
                             << "view \"turn\"";
    QTest::newRow("tilt 1.5") << fileWith(goodDimensions,
                                          QByteArray(view).replace("\"tilt\": 0", "\"tilt\": 1.5"))
                              << "view \"tilt\"";
    QTest::newRow("view without tilt")
        << fileWith(goodDimensions, R"(, "view": {"turn": 0})") << "view \"tilt\"";
    QTest::newRow("view as a number") << fileWith(goodDimensions, R"(, "view": 40)") << "\"view\"";
    QTest::newRow("speed 101") << fileWith(goodDimensions, R"(, "speed": 101)") << "\"speed\"";
    QTest::newRow("speed -1") << fileWith(goodDimensions, R"(, "speed": -1)") << "\"speed\"";
    QTest::newRow("speed 2e9") << fileWith(goodDimensions, R"(, "speed": 2e9)") << "\"speed\"";
    QByteArray padded = fileWith(goodDimensions);
    padded.append(QByteArray(linkageFileMaxBytes + 1 - padded.size(), ' '));
    QTest::newRow("over 1 MB") << padded << "over 1 MB";
}

void TestFiles::badFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, says);

    QString error;
    QVERIFY(!parseLinkageFile(bytes, error));
    QVERIFY2(error.contains(says), qPrintable(error));
    QVERIFY(!error.contains(QLatin1Char('\n')));

    // The same through the file system, where the size is checked before anything is read.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.cyclar"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    QString fileError;
    QVERIFY(!readLinkageFile(path, fileError));
    QCOMPARE(fileError, error);
}

void TestFiles::badPlaces()
{
    QTemporaryDir dir;
    QString error;
    const QString folder = dir.filePath(QStringLiteral("class.cyclar"));
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(!readLinkageFile(folder, error));
    QVERIFY2(error.contains(QLatin1String("is a folder")), qPrintable(error));
    QVERIFY(!readLinkageFile(dir.filePath(QStringLiteral("none.cyclar")), error));
    QVERIFY2(error.contains(QLatin1String("does not exist")), qPrintable(error));
    // A pipe has no size to check first; reading stops one byte past the limit all the same.
    QVERIFY(!readLinkageFile(QStringLiteral("/dev/zero"), error));
    QVERIFY2(error.contains(QLatin1String("over 1 MB")), qPrintable(error));
    // Writing over a folder is refused, and the folder stays.
    QVERIFY(!writeLinkageFile(folder, LinkageFile{defaultDimensions, {}, {}}, error));
    QVERIFY(QFileInfo(folder).isDir());
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

    LinkageFile written{dims, {}, {}};
    if (withViewAndSpeed) {
        written.view = FileView{-90, 88};
        written.speed = 0;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("round.cyclar"));
    QString error;
    QVERIFY2(writeLinkageFile(path, written, error), qPrintable(error));
    const std::optional<LinkageFile> read = readLinkageFile(path, error);
    QVERIFY2(read, qPrintable(error));
    QVERIFY2(sameBits(read->dimensions, dims), contents(path).constData());
    QCOMPARE(read->view, written.view);
    QCOMPARE(read->speed, written.speed);
    // Writing what was read gives the same bytes again.
    QCOMPARE(linkageFileText(*read), contents(path));
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
        QString error;
        const std::optional<LinkageFile> read =
            parseLinkageFile(linkageFileText({dims, {}, {}}), error);
        QVERIFY2(read, qPrintable(error));
        QVERIFY2(sameBits(read->dimensions, dims), linkageFileText({dims, {}, {}}).constData());
    }
}

void TestFiles::failedWritesLeaveTheEarlierFileWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("class.cyclar"));
    QString error;
    QVERIFY(writeLinkageFile(path, LinkageFile{defaultDimensions, {}, {}}, error));
    const QByteArray before = contents(path);

    LinkageFile broken{defaultDimensions, {}, {}};
    broken.dimensions.h = std::numeric_limits<double>::quiet_NaN();
    QVERIFY(!writeLinkageFile(path, broken, error));
    QVERIFY2(error.contains(QLatin1String("finite")), qPrintable(error));
    QVERIFY(!writeLinkageFile(dir.filePath(QStringLiteral("class.json")), broken, error));
    QVERIFY2(error.contains(QLatin1String(".cyclar")), qPrintable(error));

    // A folder that cannot be written to: the write fails before anything lands.
    const QString locked = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkdir(locked));
    QFile::copy(path, locked + QStringLiteral("/class.cyclar"));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    const bool refused = !writeLinkageFile(locked + QStringLiteral("/class.cyclar"),
                                           LinkageFile{{1, 2, 3, 4, 5, 6}, {}, {}}, error);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (refused) { // root may write anywhere; then there is nothing to see here
        QCOMPARE(contents(locked + QStringLiteral("/class.cyclar")), before);
    }
    QCOMPARE(contents(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("class.cyclar")});
}

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
