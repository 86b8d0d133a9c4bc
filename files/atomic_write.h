// Writing a whole file at once so that it appears complete or not at all.
#pragma once

#include <QByteArray>
#include <QString>

namespace cyclar {

/// Writes `bytes` to `path` through QSaveFile: the new file replaces the old one only once it is
/// complete, so on any failure (a folder in the way, no room, no permission) an earlier file at
/// `path` stays whole. On failure `error` says why.
bool writeAtomically(const QString& path, const QByteArray& bytes, QString& error);

} // namespace cyclar
