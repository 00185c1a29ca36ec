// The program's end on a signal, with its own start-up: zyldemo (ZylApp, the real main
// window) is run against the simulated unit on a pseudo-terminal and sent SIGTERM, SIGINT or
// SIGHUP while connected. It must end as when its window is closed: 0x04 to the unit, and
// the port left so that the next start can open it. Also the demo's end when no unit is found.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "com_port_names.h"
#include "port_link.h"
#include "pty_unit.h"
#include "serial_port.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

// zyldemo as a child, its output in a file, the three signals at their default handling
// whatever this process does with them.
class Demo {
public:
    explicit Demo(const std::string& outputPath) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (int s : {SIGTERM, SIGINT, SIGHUP}) {
            sigaddset(&defaults, s);
        }
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
        const char* argv[] = {ZYLDEMO_PATH, "--timeout", "60", nullptr};
        if (posix_spawn(&pid_, ZYLDEMO_PATH, &actions, &attributes, const_cast<char**>(argv), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }

    ~Demo() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    bool started() const { return pid_ > 0; }
    void signal(int s) const { ::kill(pid_, s); }

    // The wait status once the demo has ended within `limit`; -1 if it has not.
    int waitForEnd(std::chrono::milliseconds limit) {
        const auto giveUp = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (std::chrono::steady_clock::now() < giveUp) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return status;
            }
            std::this_thread::sleep_for(20ms);
        }
        return -1;
    }

private:
    pid_t pid_ = -1;
};

template <typename Condition>
bool waitFor(Condition done, std::chrono::milliseconds limit) {
    const auto giveUp = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= giveUp) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::string contentsOf(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct SignalRow {
    const char* name;
    int signal;

    friend void PrintTo(const SignalRow& row, std::ostream* os) { *os << row.name; }
};

class CloseOnSignal : public testing::TestWithParam<SignalRow> {};

TEST_P(CloseOnSignal, EndsTheLinkAndReleasesThePortAsClosingTheWindowDoes) {
    PtyUnit unit;
    PtyUnitServer::Options options;
    options.comNumber = 1;
    ASSERT_TRUE(unit.start(options)) << unit.error();
    Demo demo(unit.runtimeDir() + "/demo.txt");
    ASSERT_TRUE(demo.started());

    // Logged in (0x04, the handshake, 0x07 and the access code): the port is open, timer 4 runs.
    ASSERT_TRUE(waitFor([&] { return unit.received().size() >= 9; }, 20s))
        << contentsOf(unit.transcriptPath());
    demo.signal(GetParam().signal);
    const int status = demo.waitForEnd(10s);
    ASSERT_NE(status, -1) << "still running 10 s after the signal";
    EXPECT_TRUE(WIFEXITED(status)) << "ended by the signal itself";

    EXPECT_TRUE(waitFor([&] { return unit.received().back() == 0x04; }, 5s))
        << "the unit's last byte is not 0x04:\n"
        << contentsOf(unit.transcriptPath());
    // Nobody holds the port any more, and nothing keeps others out of it.
    const std::optional<std::string> device = comPortDevice(1);
    ASSERT_TRUE(device.has_value());
    const int fd = ::open(device->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    int exclusive = -1;
    EXPECT_EQ(::ioctl(fd, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0) << "TIOCEXCL left set";
    ::close(fd);
    SerialPort next;
    next.open(1);
    EXPECT_EQ(next.status(), PortStatus::Ready);
    next.close();
}

INSTANTIATE_TEST_SUITE_P(Signals, CloseOnSignal,
                         testing::Values(SignalRow{"Term", SIGTERM}, SignalRow{"Int", SIGINT},
                                         SignalRow{"Hup", SIGHUP}),
                         [](const testing::TestParamInfo<SignalRow>& info) { return info.param.name; });

// The demo waits for the search's end, not for one of its repaints between ports: it prints
// the search's last line, then fails. (Its watch looks every 20 ms, so only a search slower
// than that, over ports that take their time to open, could end the demo early.)
TEST(DemoDriver, SearchWithoutAUnitPrintsItsLastLineAndFails) {
    PtyUnit ports;  // a port folder of its own, not started: every COM port absent
    const std::string folder = ports.runtimeDir() + "/zyltool";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    for (int n = kFirstComPort; n <= kLastComPort; ++n) {
        const std::string entry = folder + "/com" + std::to_string(n);
        ASSERT_EQ(::symlink("/nonexistent", entry.c_str()), 0);
    }
    const std::string output = ports.runtimeDir() + "/demo.txt";
    Demo demo(output);
    ASSERT_TRUE(demo.started());
    const int status = demo.waitForEnd(30s);
    ASSERT_NE(status, -1);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_EQ(contentsOf(output), "Hledám ZYL...\nZYL nenalezeno!\n");
}

}  // namespace
