#include "pty_unit_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kReadChunk = 256;

// The program trusts the folder only when it is a directory of ours that nobody else may
// enter; a folder it would ignore is no use to us either.
bool isPrivateFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

int clampedTimeout(std::int64_t ms) {
    return static_cast<int>(std::clamp<std::int64_t>(ms, 0, INT_MAX));
}

}  // namespace

PtyUnitServer::PtyUnitServer(Options options)
    : options_(std::move(options)), unit_(options_.unit), started_(std::chrono::steady_clock::now()) {
    if (options_.heldKey) {
        unit_.holdKey(*options_.heldKey);
    }
    for (const Fault& fault : options_.faults) {
        unit_.addFault(fault);
    }
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
        wakeRead_ = ends[0];
        wakeWrite_ = ends[1];
    }
}

PtyUnitServer::~PtyUnitServer() {
    removeLink();
    closeLine();
    if (wakeRead_ >= 0) {
        ::close(wakeRead_);
        ::close(wakeWrite_);
    }
    if (transcript_ != nullptr) {
        std::fclose(transcript_);
    }
}

std::string PtyUnitServer::userPortFolder() {
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    return runtimeDir != nullptr && runtimeDir[0] == '/' ? std::string(runtimeDir) + "/zyltool"
                                                         : "/tmp/zyltool-" + std::to_string(::getuid());
}

std::string PtyUnitServer::linkPath() const {
    return folder_ + "/com" + std::to_string(options_.comNumber);
}

bool PtyUnitServer::fail(const std::string& what) {
    error_ = what;
    return false;
}

PtyUnitServer::Millis PtyUnitServer::elapsed() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_)
        .count();
}

bool PtyUnitServer::start() {
    started_ = std::chrono::steady_clock::now();
    folder_ = options_.portFolder.empty() ? userPortFolder() : options_.portFolder;
    if (wakeRead_ < 0) {
        return fail(std::string("no wake-up pipe: ") + std::strerror(errno));
    }
    if (!options_.transcriptPath.empty()) {
        transcript_ = std::fopen(options_.transcriptPath.c_str(), "we");
        if (transcript_ == nullptr) {
            return fail("cannot write " + options_.transcriptPath + ": " + std::strerror(errno));
        }
    }
    return openLine() && registerLink();
}

bool PtyUnitServer::openLine() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    char name[128];
    if (master_ < 0 || ::fcntl(master_, F_SETFD, FD_CLOEXEC) != 0 || ::grantpt(master_) != 0 ||
        ::unlockpt(master_) != 0 || ::ptsname_r(master_, name, sizeof name) != 0) {
        return fail(std::string("no pseudo-terminal: ") + std::strerror(errno));
    }
    slavePath_ = name;
    // Our own slave descriptor keeps the line up while the program has the port closed,
    // and it sets raw mode before the program does, so nothing it sends is echoed back.
    ownSlave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (ownSlave_ < 0 || ::tcgetattr(ownSlave_, &tio) != 0) {
        return fail("cannot open " + slavePath_ + ": " + std::strerror(errno));
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    const int flags = ::fcntl(master_, F_GETFL);
    if (::cfsetispeed(&tio, B19200) != 0 || ::cfsetospeed(&tio, B19200) != 0 ||
        ::tcsetattr(ownSlave_, TCSANOW, &tio) != 0 || flags < 0 ||
        ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
        return fail("cannot set up " + slavePath_ + ": " + std::strerror(errno));
    }
    return true;
}

void PtyUnitServer::closeLine() {
    if (ownSlave_ >= 0) {
        ::close(ownSlave_);
        ownSlave_ = -1;
    }
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

bool PtyUnitServer::registerLink() {
    if (::mkdir(folder_.c_str(), 0700) != 0 && errno != EEXIST) {
        return fail("cannot create " + folder_ + ": " + std::strerror(errno));
    }
    if (!isPrivateFolder(folder_)) {
        return fail(folder_ + " is not a folder of this user closed to others; the program would ignore it");
    }
    const std::string link = linkPath();
    struct stat st {};
    if (::lstat(link.c_str(), &st) == 0) {
        std::fprintf(stderr, "zylsim: replacing %s\n", link.c_str());
        ::unlink(link.c_str());
    }
    if (::symlink(slavePath_.c_str(), link.c_str()) != 0) {
        return fail("cannot link " + link + ": " + std::strerror(errno));
    }
    linked_ = true;
    if (options_.announce) {
        options_.announce("zylsim: COM" + std::to_string(options_.comNumber) + " " + slavePath_);
    }
    return true;
}

// Only our own entry goes: another server may have taken the number over meanwhile.
void PtyUnitServer::removeLink() {
    if (!linked_) {
        return;
    }
    linked_ = false;
    const std::string link = linkPath();
    char target[PATH_MAX];
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target);
    if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == slavePath_) {
        ::unlink(link.c_str());
    }
}

void PtyUnitServer::stop() {
    const char wake = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeWrite_, &wake, 1);
}

int PtyUnitServer::run() {
    for (;;) {
        const Millis now = elapsed();
        int timeout = -1;
        if (master_ >= 0 && unit_.nextOutputTime() >= 0) {
            timeout = clampedTimeout(unit_.nextOutputTime() - now);
        } else if (master_ < 0 && rejoinAt_ >= 0) {
            timeout = clampedTimeout(rejoinAt_ - now);
        }
        pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {master_, POLLIN, 0}};
        const nfds_t count = master_ >= 0 ? 2 : 1;
        if (::poll(fds, count, timeout) < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail(std::string("poll: ") + std::strerror(errno));
            return 1;
        }
        if (fds[0].revents != 0) {
            char drained[16];
            while (::read(wakeRead_, drained, sizeof drained) > 0) {
            }
            return 0;
        }
        if (count == 2 && (fds[1].revents & POLLIN) != 0) {
            takeInput();
        } else if (count == 2 && fds[1].revents != 0) {
            // We hold a slave descriptor ourselves, so this never comes from the program;
            // going on would only spin on it.
            fail("the pseudo-terminal " + slavePath_ + " failed");
            return 1;
        }
        if (master_ < 0 && rejoinAt_ >= 0 && elapsed() >= rejoinAt_) {
            rejoinAt_ = -1;
            unit_.reconnect();
            if (!openLine() || !registerLink()) {
                return 1;
            }
        }
        if (master_ >= 0) {
            giveOutput();
        }
    }
}

void PtyUnitServer::takeInput() {
    std::uint8_t bytes[kReadChunk];
    const ssize_t n = ::read(master_, bytes, sizeof bytes);
    const Millis now = elapsed();
    for (ssize_t i = 0; i < n; ++i) {
        record(now, '>', bytes[i]);
        unit_.receive(bytes[i], now);
        if (unit_.hungUp()) {
            dropLine();
            break;
        }
    }
    if (transcript_ != nullptr) {
        std::fflush(transcript_);
    }
}

void PtyUnitServer::giveOutput() {
    const Millis now = elapsed();
    const std::vector<std::uint8_t> bytes = unit_.takeOutput(now);
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            // Nobody has read the line for a long time: what does not fit is lost, as on a
            // serial cable with nobody listening.
            break;
        }
    }
    for (std::size_t i = 0; i < sent; ++i) {
        record(now, '<', bytes[i]);
    }
    if (transcript_ != nullptr && sent > 0) {
        std::fflush(transcript_);
    }
}

void PtyUnitServer::dropLine() {
    removeLink();
    closeLine();
    rejoinAt_ = options_.rejoinMs >= 0 ? elapsed() + options_.rejoinMs : -1;
}

void PtyUnitServer::record(Millis at, char direction, std::uint8_t byte) {
    if (transcript_ != nullptr) {
        std::fprintf(transcript_, "%lld %c 0x%02X\n", static_cast<long long>(at), direction, byte);
    }
}
