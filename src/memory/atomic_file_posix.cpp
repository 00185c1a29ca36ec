#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

std::string errnoText(int error) {
    return std::strerror(error);
}

// The file that will really be replaced, and its permissions when it exists.
struct Target {
    std::string path;
    bool exists = false;
    mode_t mode = 0;
};

// A link to a regular file is followed, so that the link itself survives the rename. A file
// without its owner's write permission is one the user protects: it is refused by the mode
// bits, since root passes access(2) and the rename would replace it.
bool resolveTarget(const std::string& path, Target& target, std::string& reason) {
    target.path = path;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return true;  // nothing there yet (or a dangling link, which the rename replaces)
    }
    if (!S_ISREG(info.st_mode)) {
        reason = errnoText(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        return false;
    }
    if ((info.st_mode & S_IWUSR) == 0) {
        reason = errnoText(EACCES);
        return false;
    }
    if (::access(path.c_str(), W_OK) != 0) {
        reason = errnoText(errno);
        return false;
    }
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) {
        target.path = resolved;
    }
    target.exists = true;
    target.mode = info.st_mode & 07777;
    return true;
}

// Creates a new file in the target's folder, never reusing one that is already there. Its
// name is short and hidden: the target's own name may already be as long as the folder
// allows. Mode 0666 lets the umask give a new file the usual permissions.
int createTemporary(const std::string& target, std::string& temporary) {
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder + ".zyl-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
        int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// A replaced file keeps the permissions the user gave it.
bool keepPermissions(int fd, const Target& target) {
    return !target.exists || ::fchmod(fd, target.mode) == 0;
}

bool writeAll(int fd, std::string_view bytes) {
    const char* next = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t written = ::write(fd, next, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& reason) {
    Target target;
    if (!resolveTarget(path, target, reason)) {
        return false;
    }
    std::string temporary;
    int fd = createTemporary(target.path, temporary);
    if (fd < 0) {
        reason = errnoText(errno);
        return false;
    }

    bool ok = keepPermissions(fd, target) && writeAll(fd, bytes) && ::fsync(fd) == 0;
    int error = errno;
    // Linux releases the descriptor even when close reports an error, so it is never retried.
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temporary.c_str(), target.path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        reason = errnoText(error);
    }
    return ok;
}
