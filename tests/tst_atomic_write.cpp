// Tests of the one file writer: what it writes and with which permissions, links followed,
// folders, pipes, devices and read-only files in the way, and paths shown readably whatever
// their bytes. Its behaviour under injected system faults is tests/write_faults.sh; as a user who
// is not root, tests/write_permissions.sh.
#include "atomic_write.h"
#include "path_text.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <string>

#include <sys/stat.h>
#include <unistd.h>

using namespace cyclar;

namespace {

std::string native(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

mode_t modeOf(const QString& path)
{
    struct stat info {};
    return ::stat(native(path).c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

// Names in `dir` other than `expected`, hidden ones included: a temporary file left behind.
QStringList strays(const QDir& dir, const QStringList& expected)
{
    QStringList found = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : expected) {
        found.removeAll(name);
    }
    return found;
}

} // namespace

class TestAtomicWrite : public QObject {
    Q_OBJECT

private slots:
    void writesAndReplaces();
    void permissions();
    void followsALink();
    void refusals_data();
    void refusals();
    void readablePaths_data();
    void readablePaths();
};

void TestAtomicWrite::writesAndReplaces()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("one.cyclar"));
    std::string error;
    QVERIFY2(writeFileAtomically(native(path), "first", error), error.c_str());
    QCOMPARE(contents(path), QByteArray("first"));
    // Longer and then shorter than before, and with a zero byte: the new bytes exactly.
    const std::string big(3 * 1024 * 1024 + 7, 'x');
    QVERIFY2(writeFileAtomically(native(path), big, error), error.c_str());
    QCOMPARE(contents(path).size(), qsizetype(big.size()));
    QVERIFY2(writeFileAtomically(native(path), std::string_view("a\0b", 3), error), error.c_str());
    QCOMPARE(contents(path), QByteArray("a\0b", 3));
    QVERIFY2(writeFileAtomically(native(path), "", error), error.c_str());
    QCOMPARE(contents(path), QByteArray());
    QCOMPARE(strays(QDir(dir.path()), {QStringLiteral("one.cyclar")}), QStringList());

    // A bare name lands in the working folder.
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const bool bare = writeFileAtomically("bare.png", "png", error);
    QDir::setCurrent(before);
    QVERIFY2(bare, error.c_str());
    QCOMPARE(contents(dir.filePath(QStringLiteral("bare.png"))), QByteArray("png"));
}

// A new file gets what any new file gets (0666 less the umask), not the temporary file's 0600;
// a replaced file keeps its own.
void TestAtomicWrite::permissions()
{
    QTemporaryDir dir;
    const mode_t before = ::umask(027);
    const QString fresh = dir.filePath(QStringLiteral("fresh.svg"));
    std::string error;
    const bool written = writeFileAtomically(native(fresh), "<svg/>", error);
    ::umask(before);
    QVERIFY2(written, error.c_str());
    QCOMPARE(modeOf(fresh), mode_t(0640));

    const QString kept = dir.filePath(QStringLiteral("kept.cyclar"));
    QVERIFY(writeFileAtomically(native(kept), "old", error));
    QVERIFY(::chmod(native(kept).c_str(), 0604) == 0);
    QVERIFY2(writeFileAtomically(native(kept), "new", error), error.c_str());
    QCOMPARE(modeOf(kept), mode_t(0604));
}

// A link is followed: the file it points to gets the bytes, and the link stays a link.
void TestAtomicWrite::followsALink()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("real")));
    const QString target = dir.filePath(QStringLiteral("real/linkage.cyclar"));
    const QString link = dir.filePath(QStringLiteral("link.cyclar"));
    std::string error;
    QVERIFY(writeFileAtomically(native(target), "old", error));
    QVERIFY(QFile::link(target, link));
    QVERIFY2(writeFileAtomically(native(link), "new", error), error.c_str());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(contents(target), QByteArray("new"));
    QCOMPARE(strays(QDir(dir.path()), {QStringLiteral("real"), QStringLiteral("link.cyclar")}),
             QStringList());
}

void TestAtomicWrite::refusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a folder in the way") << QStringLiteral("folder") << "Is a directory";
    QTest::newRow("no such folder")
        << QStringLiteral("missing/f.png") << "No such file or directory";
    QTest::newRow("a file where a folder should be")
        << QStringLiteral("plain/f.png") << "Not a directory";
    QTest::newRow("no name") << QString() << "no file name";
    QTest::newRow("a named pipe") << QStringLiteral("pipe.cyclar")
                                  << "it is a named pipe, not a regular file";
    QTest::newRow("a link to a device")
        << QStringLiteral("null.png") << "it is a device, not a regular file";
    QTest::newRow("a read-only file") << QStringLiteral("kept.svg") << "it is read-only";
}

// Each refusal names the file and gives the reason, and changes nothing: what stood in the way
// is still there as it was, and no temporary file is left.
void TestAtomicWrite::refusals()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    if (name == QLatin1String("kept.svg") && ::geteuid() == 0) {
        QSKIP("root may write any file; tests/write_permissions.sh runs this as another user");
    }
    QTemporaryDir dir;
    QDir folder(dir.path());
    QVERIFY(folder.mkdir(QStringLiteral("folder")));
    std::string error;
    QVERIFY(writeFileAtomically(native(dir.filePath(QStringLiteral("plain"))), "plain", error));
    const QString pipe = dir.filePath(QStringLiteral("pipe.cyclar"));
    QCOMPARE(::mkfifo(native(pipe).c_str(), 0600), 0);
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), dir.filePath(QStringLiteral("null.png"))));
    const QString kept = dir.filePath(QStringLiteral("kept.svg"));
    QVERIFY(writeFileAtomically(native(kept), "kept", error));
    QCOMPARE(::chmod(native(kept).c_str(), 0444), 0);
    const QStringList before = strays(folder, {});

    const std::string path = name.isEmpty() ? std::string() : native(dir.filePath(name));
    QVERIFY(!writeFileAtomically(path, "bytes", error));
    QVERIFY2(QString::fromStdString(error).contains(reason), error.c_str());
    QVERIFY2(error.find(path) != std::string::npos, error.c_str());
    QCOMPARE(strays(folder, {}), before);
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder"))).isDir());
    QCOMPARE(contents(dir.filePath(QStringLiteral("plain"))), QByteArray("plain"));
    struct stat info {};
    QVERIFY(::lstat(native(pipe).c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
    QVERIFY(::stat("/dev/null", &info) == 0 && S_ISCHR(info.st_mode));
    QCOMPARE(contents(kept), QByteArray("kept"));
    QCOMPARE(modeOf(kept), mode_t(0444));
}

void TestAtomicWrite::readablePaths_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << QByteArray("/tmp/a b.cyclar") << "/tmp/a b.cyclar";
    QTest::newRow("UTF-8") << QByteArray("lin\xc3\xa9"
                                         "aire \xe2\x9c\x93 \xf0\x9f\x99\x82")
                           << QString::fromUtf8("lin\xc3\xa9"
                                                "aire \xe2\x9c\x93 \xf0\x9f\x99\x82");
    QTest::newRow("Latin-1") << QByteArray("lin\xe9"
                                           "aire.cyclar")
                             << "lin\\xE9aire.cyclar";
    QTest::newRow("control characters") << QByteArray("a\nb\x1b[2J\x7f") << "a\\x0Ab\\x1B[2J\\x7F";
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << "\\xC0\\xAF";
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << "\\xED\\xA0\\x80";
    QTest::newRow("past U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << "\\xF4\\x90\\x80\\x80";
    QTest::newRow("cut short at the end") << QByteArray("x\xe2\x82") << "x\\xE2\\x82";
    QTest::newRow("lone continuation, then valid")
        << QByteArray("\x80\xc3\xa9") << QString::fromUtf8("\\x80\xc3\xa9");
}

void TestAtomicWrite::readablePaths()
{
    QFETCH(QByteArray, path);
    QFETCH(QString, shown);
    const std::string readable =
        displayPath(std::string_view(path.constData(), size_t(path.size())));
    QCOMPARE(QString::fromStdString(readable), shown);
}

QTEST_MAIN(TestAtomicWrite)
#include "tst_atomic_write.moc"
