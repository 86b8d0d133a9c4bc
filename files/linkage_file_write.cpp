// Writing a linkage file to disk: the checks of the core, then one atomic write.
#include "linkage_file.h"

#include "atomic_write.h"
#include "path_text.h"

namespace cyclar {

bool writeLinkageFile(const std::string& path, const LinkageFile& file, std::string& error)
{
    if (!canWriteLinkageFile(path, file, error)) {
        error = "could not write '" + displayPath(path) + "': " + error;
        return false;
    }
    return writeFileAtomically(path, linkageFileText(file), error);
}

} // namespace cyclar
