#include "regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// The reason given for a name that is there but is no regular file.
int notRegular(mode_t mode) {
    return S_ISDIR(mode) ? EISDIR : EINVAL;
}

// Returns the descriptor of a regular file, opened for ordinary blocking reads, or -1 with
// the reason in `error`.
int openRegular(const std::string& path, int& error) {
    // Looked at before it is opened, because opening a serial device already raises its
    // modem lines.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        error = notRegular(info.st_mode);
        return -1;
    }
    // Without waiting: a pipe with no writer would hold the open itself, and a terminal must
    // not become the program's controlling terminal.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    // Checked again on what was opened: the name may have been replaced in between.
    int flags = -1;
    if (::fstat(fd, &info) != 0) {
        error = errno;
    } else if (!S_ISREG(info.st_mode)) {
        error = notRegular(info.st_mode);
    } else if ((flags = ::fcntl(fd, F_GETFL)) < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error = errno;
    } else {
        return fd;
    }
    ::close(fd);
    return -1;
}

}  // namespace

bool readRegularFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes,
                     std::string& reason) {
    int error = 0;
    const int fd = openRegular(path, error);
    if (fd < 0) {
        reason = std::strerror(error);
        return false;
    }
    std::vector<std::uint8_t> read(limit);
    std::size_t count = 0;
    while (count < limit) {
        const ssize_t got = ::read(fd, read.data() + count, limit - count);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = errno;
            break;
        }
        if (got == 0) {
            break;
        }
        count += static_cast<std::size_t>(got);
    }
    ::close(fd);
    if (error != 0) {
        reason = std::strerror(error);
        return false;
    }
    read.resize(count);
    bytes = std::move(read);
    return true;
}
