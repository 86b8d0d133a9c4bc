// Writing a whole file through a synced temporary file renamed into place.
#include "atomic_write.h"

#include "path_text.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cyclar {

namespace {

std::string failure(const char* what, const std::string& path, int code)
{
    return std::string(what) + " '" + displayPath(path) + "': " + std::strerror(code);
}

std::string refusal(const std::string& path, const std::string& why)
{
    return "could not write '" + displayPath(path) + "': " + why;
}

// What stands at a path that is neither a folder nor a regular file.
const char* kindOfFile(mode_t mode)
{
    if (S_ISFIFO(mode)) {
        return "a named pipe";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    return "something other than a file";
}

// The umask, read without changing it (changing it, even for a moment, races with every other
// thread that creates a file).
mode_t currentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
        }
    }
    return 022;
}

// The file that is really replaced: the target of a symbolic link, else the path itself.
std::string finalPath(const std::string& path)
{
    struct stat link {};
    if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
        return path;
    }
    std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr),
                                                         &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, std::string_view bytes, int& code)
{
    const char* next = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            code = errno;
            return false;
        }
        if (written == 0) { // no progress and no reason: the disk is as good as full
            code = ENOSPC;
            return false;
        }
        next += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

bool syncFile(int fd, int& code)
{
    while (::fsync(fd) != 0) {
        if (errno != EINTR) {
            code = errno;
            return false;
        }
    }
    return true;
}

} // namespace

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error)
{
    if (path.empty()) {
        error = "no file name given";
        return false;
    }
    const std::string target = finalPath(path);
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode)) {
        error = failure("could not write", path, EISDIR);
        return false;
    }
    // The rename would put a regular file in place of a pipe or a device, and needs only the
    // folder's permission: a file its user may not write would be replaced without a word.
    if (replacing && !S_ISREG(old.st_mode)) {
        error =
            refusal(path, std::string("it is ") + kindOfFile(old.st_mode) + ", not a regular file");
        return false;
    }
    if (replacing && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0
        && errno == EACCES) {
        error = refusal(path, "it is read-only");
        return false;
    }
    const std::string folder = folderOf(target);

    std::string temporary = folder + "/.cyclar-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        error = failure("could not write", path, errno);
        return false;
    }
    int code = 0;
    // mkstemp makes the file private; give it what the file it replaces had, or a new file's.
    const mode_t mode =
        replacing && S_ISREG(old.st_mode) ? (old.st_mode & 0777) : (0666 & ~currentUmask());
    bool ok = true;
    if (::fchmod(fd, mode) != 0) {
        code = errno;
        ok = false;
    }
    ok = ok && writeAll(fd, bytes, code);
    ok = ok && syncFile(fd, code);
    // Linux frees the descriptor whatever close returns, so it is never closed twice; an error
    // here can be the first word of a write that failed late (NFS, a full quota).
    if (::close(fd) != 0 && ok) {
        code = errno;
        ok = false;
    }
    if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
        code = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        error = failure("could not write", path, code);
        return false;
    }

    // The rename itself lasts only once the folder that records it is synced. Some file systems
    // cannot sync a folder at all (EINVAL); a folder we may enter but not read cannot be opened.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) {
        if (errno == EACCES) {
            return true;
        }
        error = failure("wrote but could not sync the folder of", path, errno);
        return false;
    }
    ok = syncFile(folderFd, code) || code == EINVAL;
    ::close(folderFd);
    if (!ok) {
        error = failure("wrote but could not sync the folder of", path, code);
        return false;
    }
    return true;
}

} // namespace cyclar
