// Writing a command-line program's answer to standard output, every step checked.
#include "standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace cyclar {

namespace {

// The reason of a stdio call that just failed; a stream can fail without setting errno.
int lastError()
{
    return errno != 0 ? errno : EIO;
}

} // namespace

void holdStandardStreams()
{
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // open() takes the lowest free number, which is this one.
            const int held = ::open("/dev/null", fd == STDERR_FILENO ? O_WRONLY : O_RDONLY);
            if (held != fd && held >= 0) {
                ::close(held);
            }
        }
    }
}

bool finishStandardOutput(std::string_view bytes, std::string& error)
{
    int code = 0;
    errno = 0;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
        code = lastError();
    }
    errno = 0;
    if (std::fflush(stdout) != 0 && code == 0) {
        code = lastError();
    }
    // An earlier write into the stream (before this call) that failed leaves its mark here.
    if (std::ferror(stdout) != 0 && code == 0) {
        code = EIO;
    }
    errno = 0;
    if (std::fclose(stdout) != 0 && code == 0) {
        code = lastError();
    }
    if (code != 0) {
        error = std::strerror(code);
        return false;
    }
    return true;
}

} // namespace cyclar
