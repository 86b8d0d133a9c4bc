// The command-line companion's logic, kept apart from main() so tests and fuzzers can call it.
// The commands themselves live in tools/commands/, one file each, listed in command_list.inc.
#pragma once

#include "picture_export.h"

#include <QByteArray>
#include <QStringList>

namespace cyclar {

struct ExportResult {
    int exitCode = 0;
    QByteArray out; ///< what goes to stdout
    QByteArray err; ///< what goes to stderr (one line on bad input)
};

/// Exit code for bad input, as with most command-line tools' usage errors.
inline constexpr int exitUsage = 2;

/// Runs cyclar-export with the given arguments (without the program name).
/// Bad input yields exitUsage, one line on err and nothing on out. Long exports (gif) report
/// their progress to `progress`.
ExportResult runExport(const QStringList& args, const ExportProgress& progress = {});

/// Whether the command of that name draws pictures, and so needs fonts and a raster engine.
bool exportCommandDrawsPictures(const char* name);

} // namespace cyclar
