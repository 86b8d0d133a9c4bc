// Fuzzes cyclar-export's argument handling: any argument vector gives output with exit code 0,
// or exactly one line on stderr with exit code 2 and nothing on stdout.
#include "export_command.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

struct Fixture {
    std::unique_ptr<QGuiApplication> app;
    std::unique_ptr<QTemporaryDir> folder;
};

// Made once and never destroyed: tearing Qt down among the static destructors at exit would
// crash, and the fixture stays reachable, so it is no leak.
Fixture& fixture()
{
    static Fixture* const f = [] {
        auto* made = new Fixture;
        static int argc = 1;
        static char name[] = "fuzz_export_args";
        static char* argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "offscreen");
        made->app = std::make_unique<QGuiApplication>(argc, argv);
        made->folder = std::make_unique<QTemporaryDir>();
        // Linkage files that --file may name: a good one, a bad one and a folder.
        QFile good(made->folder->filePath(QStringLiteral("in-0.cyclar")));
        if (good.open(QIODevice::WriteOnly)) {
            good.write(R"({"format": "cyclar-linkage", "version": 1, "dimensions": {"a": 50, )"
                       R"("b": 30, "c": 35, "f": 40, "h": 45, "k": -35}, "view": {"turn": 0, )"
                       R"("tilt": 90}, "speed": 100})");
        }
        QFile bad(made->folder->filePath(QStringLiteral("in-1.cyclar")));
        if (bad.open(QIODevice::WriteOnly)) {
            bad.write(R"({"format": "cyclar-linkage", "version": 3})");
        }
        QDir(made->folder->path()).mkdir(QStringLiteral("in-2.cyclar"));
        // Relative names that slip through land here too, never in the folder the fuzzer ran in.
        QDir::setCurrent(made->folder->path());
        return made;
    }();
    return *f;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fixture& f = fixture();
    // Arguments are separated by NUL bytes. Files are written and read only inside a scratch
    // folder: whatever follows -o or --output is mapped to a file name there (keeping a .png,
    // .svg or .cyclar ending; a whole GIF cycle would make each run too slow to fuzz), and
    // whatever follows --file to one of the linkage files made there.
    const QList<QByteArray> parts =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))
            .split('\0');
    QStringList args;
    bool nextIsOutput = false;
    bool nextIsInput = false;
    for (const QByteArray& part : parts) {
        QString arg = QString::fromUtf8(part);
        // An option may come with one dash or two (single-dash words are long options), and
        // with its value after '='.
        const QString bare = arg.startsWith(QLatin1String("--")) ? arg.mid(2)
                             : arg.startsWith(QLatin1Char('-'))  ? arg.mid(1)
                                                                 : QString();
        const auto named = [&bare](const char* name) { return bare == QLatin1String(name); };
        const auto valued = [&bare](const char* name) {
            return bare.startsWith(QLatin1String(name) + QLatin1Char('='));
        };
        if (nextIsOutput) {
            QString suffix = QStringLiteral(".png");
            for (const char* kept : {".svg", ".cyclar"}) {
                if (arg.endsWith(QLatin1String(kept)))
                    suffix = QLatin1String(kept);
            }
            arg = f.folder->filePath(QStringLiteral("out-%1").arg(qHash(arg) % 16) + suffix);
        } else if (nextIsInput) {
            arg = f.folder->filePath(QStringLiteral("in-%1.cyclar").arg(qHash(arg) % 3));
        } else if (valued("file")) {
            arg = QStringLiteral("--file=") + f.folder->filePath(QStringLiteral("in-0.cyclar"));
        } else if (valued("o") || valued("output")) {
            arg = QStringLiteral("--output=") + f.folder->filePath(QStringLiteral("out.png"));
        }
        const bool isValue = nextIsOutput || nextIsInput; // a value is never an option itself
        nextIsOutput = !isValue && (named("o") || named("output"));
        nextIsInput = !isValue && named("file");
        args << arg;
        if (args.size() >= 12)
            break;
    }

    const cyclar::ExportResult result = cyclar::runExport(args);
    if (result.exitCode == 0) {
        if (!result.err.isEmpty())
            std::abort();
    } else if (result.exitCode == cyclar::exitUsage) {
        if (!result.out.isEmpty() || result.err.count('\n') != 1 || !result.err.endsWith('\n'))
            std::abort();
    } else {
        std::abort();
    }
    return 0;
}
