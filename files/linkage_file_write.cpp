// Writing a linkage file to disk: the checks of the core, then one atomic write.
#include "linkage_file.h"

#include "atomic_write.h"

#include <QFile>

namespace cyclar {

bool writeLinkageFile(const std::string& path, const LinkageFile& file, std::string& error)
{
    if (!canWriteLinkageFile(path, file, error)) {
        return false;
    }
    const std::string text = linkageFileText(file);
    QString why;
    const bool written = writeAtomically(QFile::decodeName(QByteArray::fromStdString(path)),
                                         QByteArray::fromStdString(text), why);
    error = why.toStdString();
    return written;
}

} // namespace cyclar
