// Linkage files: a linkage's six dimensions, and optionally its view and speed, as versioned
// JSON. The one reader and writer of them, for the desktop, cyclar-export and the browser.
#pragma once

#include "linkage_model.h"
#include "motion_schedule.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace cyclar {

/// The view a file records: whole degrees from -90 to 90, as the view sliders give them, and
/// whether the rotation axis is shown.
struct FileView {
    int turn = -18;
    int tilt = -18;
    bool rotationAxis = false;

    friend bool operator==(const FileView&, const FileView&) = default;
};

/// What a .cyclar file holds.
struct LinkageFile {
    LinkageDimensions dimensions;
    std::optional<FileView> view;
    std::optional<int> speed; ///< speed slider position, 0 to 100
    /// The circuit shown ("circuit", 1 or 2) and whether the input is turned evenly
    /// ("evenInput"). Each is written only when it differs from the default, so files that show
    /// circuit 1 at the sweep's pace keep the bytes older programs wrote and can read.
    MotionChoice motion;

    friend bool operator==(const LinkageFile&, const LinkageFile&) = default;
};

inline constexpr const char* linkageFileFormat = "cyclar-linkage";
inline constexpr int linkageFileVersion = 1;
/// No linkage file comes near this; anything larger is not one, and is not read into memory.
inline constexpr std::size_t linkageFileMaxBytes = 1024 * 1024;
inline constexpr const char* linkageFileSuffix = ".cyclar";

/// Reads a file's bytes. On failure returns nothing and sets `error` to one sentence saying
/// what is wrong (without the file's name, which the caller puts first).
std::optional<LinkageFile> parseLinkageFile(std::string_view bytes, std::string& error);

/// Reads the file at `path` (the system's bytes, whatever their encoding): refuses anything
/// but a regular file, files over linkageFileMaxBytes and anything parseLinkageFile refuses.
/// A named pipe or a device is refused without being read. `error` as there.
std::optional<LinkageFile> readLinkageFile(const std::string& path, std::string& error);

/// The file's text: "format" and "version" first, numbers in their shortest round-trip form,
/// so reading it back gives the very same doubles.
std::string linkageFileText(const LinkageFile& file);

/// The checks made before a linkage file is written: the name ends in .cyclar and every
/// dimension is finite. On failure `error` says why.
bool canWriteLinkageFile(const std::string& path, const LinkageFile& file, std::string& error);

/// Writes the file atomically: on any failure an earlier file at `path` stays whole. On failure
/// `error` names the file and why (the system's reason).
bool writeLinkageFile(const std::string& path, const LinkageFile& file, std::string& error);

/// A number as linkage and task files (and the design's answer) hold it: the shortest text that
/// reads back as the same double, minus zero written as 0 (as it reads back), null when not
/// finite.
std::string fileNumberText(double value);

} // namespace cyclar
