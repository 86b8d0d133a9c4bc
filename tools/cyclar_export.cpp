// cyclar-export: the linkage's numbers (and pictures) on the command line.
#include "export_command.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
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
