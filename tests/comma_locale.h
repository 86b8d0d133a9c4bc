// Test helper: a locale whose decimal separator is a comma, to show that what the program reads
// and writes does not change with the user's locale.
#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QtGlobal>

#include <clocale>

namespace cyclar::test {

// Makes LC_NUMERIC a locale whose decimal separator is a comma and returns true. One is
// generated into `dir` with localedef (Debian's locales package; no root needed) when none is
// installed, so the check runs on every machine.
inline bool useCommaLocale(const QString& dir)
{
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr)
            return true;
    }
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"),
                    {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
                     QStringLiteral("ISO-8859-1"), dir + QStringLiteral("/de_DE")});
    if (!localedef.waitForFinished(120000) || localedef.exitCode() != 0) {
        qWarning("localedef: %s", localedef.readAllStandardError().constData());
        return false;
    }
    // glibc looks in LOCPATH at every setlocale.
    qputenv("LOCPATH", QFile::encodeName(dir));
    const bool found = std::setlocale(LC_NUMERIC, "de_DE") != nullptr;
    qunsetenv("LOCPATH");
    return found;
}

} // namespace cyclar::test
