// cyclar-export: the linkage's numbers and pictures on the command line.
#include "export_command.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// The tool speaks for itself: Qt's own chatter (for instance about the runtime directory)
// would break the promise of a quiet stderr on success.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "cyclar-export: %s\n", qPrintable(message));
    }
}

} // namespace

int main(int argc, char* argv[])
{
    qInstallMessageHandler(quietQtMessages);
    // Pictures need fonts and a raster engine, never a screen.
    const bool wantsPictures =
        argc > 1 && (std::strcmp(argv[1], "png") == 0 || std::strcmp(argv[1], "plot") == 0);
    std::unique_ptr<QCoreApplication> app;
    if (wantsPictures) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QStringList args = QCoreApplication::arguments();
    if (!args.isEmpty()) {
        args.removeFirst();
    }
    const cyclar::ExportResult result = cyclar::runExport(args);
    std::fwrite(result.out.constData(), 1, static_cast<size_t>(result.out.size()), stdout);
    std::fwrite(result.err.constData(), 1, static_cast<size_t>(result.err.size()), stderr);
    if (std::fflush(stdout) != 0 && result.exitCode == 0) {
        std::fputs("cyclar-export: could not write the output\n", stderr);
        return 1;
    }
    return result.exitCode;
}
