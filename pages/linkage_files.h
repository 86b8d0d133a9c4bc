// What the pages share for linkage files and exports: the file dialogs and the messages that
// name a file and say what went wrong with it.
#pragma once

#include "field_rules.h"
#include "linkage_file.h"

#include <QString>

#include <array>
#include <initializer_list>
#include <optional>
#include <string>

class QLineEdit;
class QPrinter;
class QWidget;

namespace cyclar {

/// Asks for a linkage file to open; empty when the user cancels.
QString askOpenLinkagePath(QWidget* parent);

/// Asks for a file to open, of the kinds `filters` names ("cyclar exercises
/// (*.cyclar-exercise)"); all files may be shown too. Empty when the user cancels.
QString askOpenPath(QWidget* parent, const QString& caption, const QString& filters);

/// Asks where and how to print, on `printer`; false when the user cancels.
bool askPrinter(QWidget* parent, QPrinter& printer);

/// Asks for a file to write. `filters` as for QFileDialog ("PNG picture (*.png);;..."); a name
/// typed without any extension gets the one of the filter chosen. Empty when cancelled.
QString askSavePath(QWidget* parent, const QString& caption, const QString& filters);

/// Reads the linkage file at `path` (the system's bytes); when it cannot be read, shows a
/// message box that names the file and says what is wrong, and returns nothing.
std::optional<LinkageFile> readLinkageFileOrSay(QWidget* parent, const std::string& path);

/// The same for a path a file dialog gave.
std::optional<LinkageFile> readLinkageFileOrSay(QWidget* parent, const QString& path);

/// A path from a file dialog as the system's bytes.
std::string systemPath(const QString& path);

/// A message box about `path`: "<file> <what>." captioned with the program's name.
void showFileMessage(QWidget* parent, const QString& path, const QString& what);

/// Whether the dimensions `held`, which come from elsewhere, pass the range tests of each of
/// `pages` in turn, as typed values would (checkHeldValues). When one does not, it is said over
/// `page`: naming `source` (a file's path) and the field when there is a source, else with the
/// page's own message; and the focus goes to that field among `fields` (a, b, c, f, h, k).
bool acceptHeldValues(QWidget* page, const std::array<QLineEdit*, 6>& fields,
                      std::initializer_list<FieldPage> pages, const LinkageDimensions& held,
                      const QString& source);

/// A message box for a write that failed; `error` is the writer's, which names the file and
/// gives the system's reason ("could not write '<file>': No space left on device").
void showWriteFailure(QWidget* parent, const QString& error);

} // namespace cyclar
