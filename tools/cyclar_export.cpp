// cyclar-export: the linkage's numbers and pictures on the command line.
#include "argument_bytes.h"
#include "export_command.h"
#include "standard_output.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include <unistd.h>

namespace {

// The tool speaks for itself: Qt's own chatter (for instance about the runtime directory)
// would break the promise of a quiet stderr on success.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "cyclar-export: %s\n", qPrintable(message));
    }
}

// A progress line rewritten in place, for a person watching a terminal; never into a file or
// a pipe, where it would only be noise.
bool showProgress(int done, int total)
{
    std::fprintf(stderr, "\rcyclar-export: frame %d of %d", done, total);
    if (done == total) {
        std::fputs("\r\033[K", stderr);
    }
    std::fflush(stderr);
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    cyclar::holdStandardStreams();
    qInstallMessageHandler(quietQtMessages);
    // Pictures need fonts and a raster engine, never a screen.
    const bool wantsPictures = argc > 1 && cyclar::exportCommandDrawsPictures(argv[1]);
    std::unique_ptr<QCoreApplication> app;
    if (wantsPictures) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // Qt has taken its own options out of argv; file names keep their bytes (see argumentText).
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args.append(cyclar::argumentText(argv[i]));
    }
    cyclar::ExportProgress progress;
    if (isatty(STDERR_FILENO) == 1) {
        progress = showProgress;
    }
    const cyclar::ExportResult result = cyclar::runExport(args, progress);
    std::string error;
    const bool written = cyclar::finishStandardOutput(
        std::string_view(result.out.constData(), static_cast<size_t>(result.out.size())), error);
    std::fwrite(result.err.constData(), 1, static_cast<size_t>(result.err.size()), stderr);
    if (!written && result.exitCode == 0) {
        std::fprintf(stderr, "cyclar-export: could not write to standard output: %s\n",
                     error.c_str());
        return 1;
    }
    return result.exitCode;
}
