// Linkage files: strict reading (every way a file can be wrong gets its own sentence) and
// atomic writing in a fixed key order.
#include "linkage_file.h"

#include "atomic_write.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <charconv>
#include <cmath>

namespace cyclar {

namespace {

const char* const dimensionNames[] = {"a", "b", "c", "f", "h", "k"};
double LinkageDimensions::*const dimensionMembers[] = {
    &LinkageDimensions::a, &LinkageDimensions::b, &LinkageDimensions::c,
    &LinkageDimensions::f, &LinkageDimensions::h, &LinkageDimensions::k};

// A whole number within [low, high], or nothing (fractions, text and huge values alike).
std::optional<int> wholeNumber(const QJsonValue& value, int low, int high)
{
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const double number = value.toDouble();
    if (!(number >= low && number <= high) || number != std::trunc(number)) {
        return std::nullopt;
    }
    return static_cast<int>(number);
}

std::optional<QString> unknownKey(const QJsonObject& object,
                                  std::initializer_list<const char*> known)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        bool isKnown = false;
        for (const char* name : known) {
            isKnown = isKnown || it.key() == QLatin1String(name);
        }
        if (!isKnown) {
            return it.key();
        }
    }
    return std::nullopt;
}

// A key from the file as a message may show it: one short line, whatever the file holds.
QString shown(const QString& key)
{
    constexpr qsizetype longest = 40;
    QString text = key.left(longest);
    for (QChar& ch : text) {
        if (!ch.isPrint()) {
            ch = QLatin1Char('?');
        }
    }
    return key.size() > longest ? text + QStringLiteral("...") : text;
}

std::optional<LinkageFile> refuse(QString& error, const QString& why)
{
    error = why;
    return std::nullopt;
}

} // namespace

QByteArray shortestNumberText(double value)
{
    if (value == 0.0) {
        return "0"; // JSON readers keep no sign on zero, so minus zero is written as zero
    }
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc() || !std::isfinite(value)) {
        return "null"; // a file never holds such a value: the writer is only given finite ones
    }
    return QByteArray(buffer, static_cast<qsizetype>(end - buffer));
}

std::optional<LinkageFile> parseLinkageFile(const QByteArray& bytes, QString& error)
{
    if (bytes.size() > linkageFileMaxBytes) {
        return refuse(error, QStringLiteral("is over 1 MB; a linkage file is a few hundred bytes"));
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        return refuse(error, QStringLiteral("is not JSON (%1 at byte %2)")
                                 .arg(parseError.errorString())
                                 .arg(parseError.offset));
    }
    if (!document.isObject()) {
        return refuse(error,
                      QStringLiteral("is not a cyclar linkage file: it holds no JSON object"));
    }
    const QJsonObject top = document.object();
    if (top.value(QLatin1String("format")).toString() != QLatin1String(linkageFileFormat)) {
        return refuse(error, QStringLiteral("is not a cyclar linkage file: its \"format\" is not "
                                            "\"cyclar-linkage\""));
    }
    const QJsonValue versionValue = top.value(QLatin1String("version"));
    const std::optional<int> version = wholeNumber(versionValue, 1, 1);
    if (!version) {
        if (versionValue.isDouble() && versionValue.toDouble() > linkageFileVersion) {
            return refuse(error, QStringLiteral("was made by a newer cyclar (file version %1; this "
                                                "one reads version %2)")
                                     .arg(QString::number(versionValue.toDouble()))
                                     .arg(linkageFileVersion));
        }
        return refuse(error,
                      QStringLiteral("has no valid \"version\" (this cyclar reads version %1)")
                          .arg(linkageFileVersion));
    }
    if (const std::optional<QString> key =
            unknownKey(top, {"format", "version", "dimensions", "view", "speed"})) {
        return refuse(error, QStringLiteral("has an unknown key \"%1\"").arg(shown(*key)));
    }

    LinkageFile file;
    const QJsonValue dimensionsValue = top.value(QLatin1String("dimensions"));
    if (!dimensionsValue.isObject()) {
        return refuse(error, QStringLiteral("has no \"dimensions\" object"));
    }
    const QJsonObject dimensions = dimensionsValue.toObject();
    if (const std::optional<QString> key = unknownKey(dimensions, {"a", "b", "c", "f", "h", "k"})) {
        return refuse(error, QStringLiteral("has an unknown dimension \"%1\"").arg(shown(*key)));
    }
    for (int i = 0; i < 6; ++i) {
        const QLatin1String name(dimensionNames[i]);
        const QJsonValue value = dimensions.value(name);
        if (value.isUndefined()) {
            return refuse(error, QStringLiteral("has no dimension \"%1\"").arg(name));
        }
        if (!value.isDouble() || !std::isfinite(value.toDouble())) {
            return refuse(error,
                          QStringLiteral("has a dimension \"%1\" that is not a number").arg(name));
        }
        file.dimensions.*dimensionMembers[i] = value.toDouble();
    }

    const QJsonValue viewValue = top.value(QLatin1String("view"));
    if (!viewValue.isUndefined()) {
        if (!viewValue.isObject()) {
            return refuse(error,
                          QStringLiteral("has a \"view\" that is not an object with \"turn\" "
                                         "and \"tilt\""));
        }
        const QJsonObject view = viewValue.toObject();
        if (const std::optional<QString> key = unknownKey(view, {"turn", "tilt"})) {
            return refuse(
                error,
                QStringLiteral("has an unknown key \"%1\" in its \"view\"").arg(shown(*key)));
        }
        FileView fileView;
        for (const char* name : {"turn", "tilt"}) {
            const std::optional<int> angle = wholeNumber(view.value(QLatin1String(name)), -90, 90);
            if (!angle) {
                return refuse(error,
                              QStringLiteral("has a view \"%1\" that is not a whole number of "
                                             "degrees from -90 to 90")
                                  .arg(QLatin1String(name)));
            }
            (name[1] == 'u' ? fileView.turn : fileView.tilt) = *angle;
        }
        file.view = fileView;
    }

    const QJsonValue speedValue = top.value(QLatin1String("speed"));
    if (!speedValue.isUndefined()) {
        const std::optional<int> speed = wholeNumber(speedValue, 0, 100);
        if (!speed) {
            return refuse(error, QStringLiteral("has a \"speed\" that is not a whole number from 0 "
                                                "to 100"));
        }
        file.speed = *speed;
    }
    return file;
}

std::optional<LinkageFile> readLinkageFile(const QString& path, QString& error)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        return refuse(error, QStringLiteral("is a folder, not a linkage file"));
    }
    if (!info.exists()) {
        return refuse(error, QStringLiteral("does not exist"));
    }
    if (info.isFile() && info.size() > linkageFileMaxBytes) {
        return refuse(error, QStringLiteral("is over 1 MB; a linkage file is a few hundred bytes"));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return refuse(error, QStringLiteral("cannot be read (%1)").arg(file.errorString()));
    }
    // One byte beyond the limit tells a file that grew (or a pipe) from one that fits.
    const QByteArray bytes = file.read(linkageFileMaxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        return refuse(error, QStringLiteral("cannot be read (%1)").arg(file.errorString()));
    }
    return parseLinkageFile(bytes, error);
}

QByteArray linkageFileText(const LinkageFile& file)
{
    const LinkageDimensions& d = file.dimensions;
    QByteArray text = "{\n  \"format\": \"" + QByteArray(linkageFileFormat) + "\",\n";
    text += "  \"version\": " + QByteArray::number(linkageFileVersion) + ",\n";
    text += "  \"dimensions\": {";
    for (int i = 0; i < 6; ++i) {
        text += (i == 0 ? "\"" : ", \"") + QByteArray(dimensionNames[i])
                + "\": " + shortestNumberText(d.*dimensionMembers[i]);
    }
    text += "}";
    if (file.view) {
        text += ",\n  \"view\": {\"turn\": " + QByteArray::number(file.view->turn)
                + ", \"tilt\": " + QByteArray::number(file.view->tilt) + "}";
    }
    if (file.speed) {
        text += ",\n  \"speed\": " + QByteArray::number(*file.speed);
    }
    text += "\n}\n";
    return text;
}

bool writeLinkageFile(const QString& path, const LinkageFile& file, QString& error)
{
    if (!path.endsWith(QLatin1String(linkageFileSuffix), Qt::CaseInsensitive)) {
        error = QStringLiteral("could not write '%1': the file name must end in .cyclar").arg(path);
        return false;
    }
    const LinkageDimensions& d = file.dimensions;
    for (double value : {d.a, d.b, d.c, d.f, d.h, d.k}) {
        if (!std::isfinite(value)) {
            error = QStringLiteral("could not write '%1': a dimension is not a finite number")
                        .arg(path);
            return false;
        }
    }
    const QByteArray text = linkageFileText(file);
    std::string failure;
    if (!writeFileAtomically(QFile::encodeName(path).toStdString(),
                             std::string_view(text.constData(), static_cast<size_t>(text.size())),
                             failure)) {
        error = QString::fromStdString(failure);
        return false;
    }
    return true;
}

} // namespace cyclar
