// File dialogs and file messages for the pages.
#include "linkage_files.h"

#include "data_exchange.h"
#include "path_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>

namespace cyclar {

QString askOpenLinkagePath(QWidget* parent)
{
    return askOpenPath(parent, QStringLiteral("Open linkage"),
                       QStringLiteral("cyclar linkages (*.cyclar)"));
}

QString askOpenPath(QWidget* parent, const QString& caption, const QString& filters)
{
    return QFileDialog::getOpenFileName(parent, caption, QString(),
                                        filters + QStringLiteral(";;All files (*)"));
}

bool askPrinter(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

QString askSavePath(QWidget* parent, const QString& caption, const QString& filters)
{
    QString chosenFilter;
    QString path = QFileDialog::getSaveFileName(parent, caption, QString(), filters, &chosenFilter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
        // "PNG picture (*.png)" -> ".png", "cyclar tasks (*.cyclar-task)" -> ".cyclar-task"
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("\\(\\*(\\.[A-Za-z0-9-]+)")).match(chosenFilter);
        if (match.hasMatch()) {
            path += match.captured(1);
        }
    }
    return path;
}

namespace {

void showWarning(QWidget* parent, const QString& text)
{
    // Deleted by exec() when it closes, or with its parent should that go first.
    auto* box = new QMessageBox(QMessageBox::Warning, QCoreApplication::applicationName(), text,
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->exec();
}

} // namespace

void showFileMessage(QWidget* parent, const QString& path, const QString& what)
{
    showWarning(parent, QStringLiteral("%1 %2.").arg(QDir::toNativeSeparators(path), what));
}

bool acceptHeldValues(QWidget* page, const std::array<QLineEdit*, 6>& fields,
                      std::initializer_list<FieldPage> pages, const LinkageDimensions& held,
                      const QString& source)
{
    for (const FieldPage fieldPage : pages) {
        const std::optional<FieldFailure> failure = checkHeldValues(fieldPage, held);
        if (!failure) {
            continue;
        }
        if (source.isEmpty()) {
            showValidationMessage(page, QString::fromStdString(failure->message));
        } else {
            showFileMessage(
                page, source,
                QString::fromStdString(heldValueRefusal(fieldPage, failure->field, held)));
        }
        if (QLineEdit* field = fields[fieldIndex(failure->field)]) {
            field->setFocus(Qt::OtherFocusReason);
            field->selectAll();
        }
        return false;
    }
    return true;
}

void showWriteFailure(QWidget* parent, const QString& error)
{
    QString text = error;
    if (!text.isEmpty()) {
        text[0] = text[0].toUpper();
    }
    showWarning(parent, text + QLatin1Char('.'));
}

std::string systemPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

std::optional<LinkageFile> readLinkageFileOrSay(QWidget* parent, const std::string& path)
{
    std::string error;
    std::optional<LinkageFile> file = readLinkageFile(path, error);
    if (!file) {
        showFileMessage(parent, QString::fromStdString(displayPath(path)),
                        QString::fromStdString(error));
    }
    return file;
}

std::optional<LinkageFile> readLinkageFileOrSay(QWidget* parent, const QString& path)
{
    return readLinkageFileOrSay(parent, systemPath(path));
}

} // namespace cyclar
