// cyclar-export design: linkages for a task file, as JSON, and one of them as a linkage file.
#pragma once

#include "export_command.h"
#include "linkage_design.h"

#include <QByteArray>
#include <QStringList>

namespace cyclar {

/// The usage line and help of the command, for cyclar-export --help.
extern const char* const designCommandHelp;

/// Runs "design --task FILE [--write N FILE.cyclar]"; args start after the command's name.
/// A task the reader or the design refuses: exitUsage and one line. No linkage for a sound task
/// is an answer, not an error: the JSON then lists none and says why.
ExportResult runDesignCommand(const QStringList& args);

/// The design's answer as JSON: {"kind", "candidates": [{"dims", "placement", "positions",
/// "type", "defects", "transmission"}], "reason"}; the reason is null when there is nothing
/// to say.
QByteArray designJson(const DesignResult& result);

} // namespace cyclar
