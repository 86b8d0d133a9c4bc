// Test helper: something a writer must not replace, put where it is told to write (a named pipe,
// a device, a file its user may not write), the reason it must give, and whether that thing was
// left as it was.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <sys/stat.h>
#include <unistd.h>

namespace cyclar::test {

/// The kinds, as a table's rows name them.
inline const QStringList targetsInTheWay{QStringLiteral("a named pipe"), QStringLiteral("a device"),
                                         QStringLiteral("read-only")};

/// Root may write any file: a read-only target refuses only other users.
inline bool rootMayWrite(const QString& kind)
{
    return kind == QLatin1String("read-only") && ::geteuid() == 0;
}

inline const QByteArray earlierBytes = "an earlier file";

/// Puts `kind` at `path` and returns the reason the writer must give ("" if it could not).
inline QString placeTargetInTheWay(const QString& kind, const QString& path)
{
    if (kind == QLatin1String("a named pipe")) {
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                   ? QStringLiteral("it is a named pipe, not a regular file")
                   : QString();
    }
    if (kind == QLatin1String("a device")) {
        return QFile::link(QStringLiteral("/dev/null"), path)
                   ? QStringLiteral("it is a device, not a regular file")
                   : QString();
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(earlierBytes) != earlierBytes.size()) {
        return QString();
    }
    file.close();
    return file.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther)
               ? QStringLiteral("it is read-only")
               : QString();
}

/// Whether what placeTargetInTheWay put at `path` is there still, unchanged.
inline bool targetLeftAsItWas(const QString& kind, const QString& path)
{
    const QFileInfo info(path);
    if (kind == QLatin1String("a named pipe")) {
        struct stat status {};
        return ::lstat(QFile::encodeName(path).constData(), &status) == 0
               && S_ISFIFO(status.st_mode);
    }
    if (kind == QLatin1String("a device")) {
        return info.isSymLink() && info.symLinkTarget() == QLatin1String("/dev/null");
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll() == earlierBytes && !info.isWritable();
}

} // namespace cyclar::test
