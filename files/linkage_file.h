// Linkage files: a linkage's six dimensions, and optionally its view and speed, as versioned JSON.
#pragma once

#include "linkage_model.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace cyclar {

/// The view a file records: whole degrees from -90 to 90, as the view sliders give them.
struct FileView {
    int turn = -18;
    int tilt = -18;

    friend bool operator==(const FileView&, const FileView&) = default;
};

/// What a .cyclar file holds.
struct LinkageFile {
    LinkageDimensions dimensions;
    std::optional<FileView> view;
    std::optional<int> speed; ///< speed slider position, 0 to 100

    friend bool operator==(const LinkageFile&, const LinkageFile&) = default;
};

inline constexpr const char* linkageFileFormat = "cyclar-linkage";
inline constexpr int linkageFileVersion = 1;
/// No linkage file comes near this; anything larger is not one, and is not read into memory.
inline constexpr qint64 linkageFileMaxBytes = 1024 * 1024;
inline constexpr const char* linkageFileSuffix = ".cyclar";

/// Reads a file's bytes. On failure returns nothing and sets `error` to one sentence saying
/// what is wrong (without the file's name, which the caller adds).
std::optional<LinkageFile> parseLinkageFile(const QByteArray& bytes, QString& error);

/// Reads the file at `path`: refuses folders, files over linkageFileMaxBytes and anything
/// parseLinkageFile refuses. `error` as there.
std::optional<LinkageFile> readLinkageFile(const QString& path, QString& error);

/// The file's text: "format" and "version" first, numbers in their shortest round-trip form,
/// so reading it back gives the very same doubles.
QByteArray linkageFileText(const LinkageFile& file);

/// Writes the file atomically: on any failure an earlier file at `path` stays whole. The name
/// must end in .cyclar. On failure `error` names the file and why (the system's reason).
bool writeLinkageFile(const QString& path, const LinkageFile& file, QString& error);

/// The shortest decimal text that reads back as the same finite double. Minus zero is written
/// as 0: JSON readers (Qt's among them) keep no sign on a zero.
QByteArray shortestNumberText(double value);

} // namespace cyclar
