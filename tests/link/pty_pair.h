#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

// A pseudo-terminal standing in for a serial device: the test drives the master side and
// keeps a descriptor of its own on the slave to look at the line's settings and locks.
class PtyPair {
public:
    PtyPair() {
        if (::openpty(&master_, &slave_, nullptr, nullptr, nullptr) == 0) {
            slavePath_ = ::ttyname(slave_);
            // A process the test starts must not hold the terminal too.
            ::fcntl(master_, F_SETFD, FD_CLOEXEC);
            ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
        }
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;
    ~PtyPair() {
        closeMaster();
        if (slave_ >= 0) {
            ::close(slave_);
        }
    }

    bool ok() const { return master_ >= 0 && slave_ >= 0; }
    int master() const { return master_; }
    int slave() const { return slave_; }
    const std::string& slavePath() const { return slavePath_; }

    // The other side hangs up.
    void closeMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

    bool send(const std::vector<std::uint8_t>& bytes) const {
        return ::write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // What the port sent, waiting up to timeoutMs for the first byte.
    std::vector<std::uint8_t> received(int timeoutMs = 1000) const {
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) != 1) {
            return {};
        }
        std::vector<std::uint8_t> bytes(64);
        const ssize_t n = ::read(master_, bytes.data(), bytes.size());
        bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return bytes;
    }

    // Waits up to timeoutMs until the bytes the master sent are queued at the slave.
    bool inputQueued(int timeoutMs = 1000) const {
        pollfd p{slave_, POLLIN, 0};
        return ::poll(&p, 1, timeoutMs) == 1;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};
