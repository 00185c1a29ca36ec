#include "serial_port.h"
#include "serial_port_posix.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "pty_pair.h"
#include "scoped_env.h"
#include "temp_folder.h"

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

// Root opens a terminal despite TIOCEXCL and is never refused one. So as root (as in CI) a
// test of what other users meet runs again as nobody: this program started by setpriv,
// running just that test, in the folders of the run that started it, named here.
constexpr const char* kHandedOver = "ZYL_LINK_TEST_HANDED_OVER";

bool giveToNobody(const std::string& path) {
    const passwd* nobody = ::getpwnam("nobody");
    return nobody != nullptr && ::chown(path.c_str(), nobody->pw_uid, nobody->pw_gid) == 0;
}

// Whether nobody holds the flock of the terminal behind fd.
bool lockIsFree(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return false;
    }
    ::flock(fd, LOCK_UN);
    return true;
}

// The name of this program as /proc shows it to others.
std::string ownName() {
    std::string name;
    std::getline(std::ifstream("/proc/self/comm"), name);
    return name;
}

bool sameSettings(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && ::cfgetospeed(&a) == ::cfgetospeed(&b);
}

termios settingsOf(int fd) {
    termios tio{};
    EXPECT_EQ(::tcgetattr(fd, &tio), 0);
    return tio;
}

// Every COM number a test uses has an entry in a private port folder, so no test ever
// reaches a serial device of the machine.
class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!handedOver_.empty()) {
            std::ofstream(handedOver_ + "/ran") << "";  // the sign that the run as nobody ran
            return;
        }
        ASSERT_FALSE(runtime_.path().empty());
        ASSERT_EQ(::mkdir(folder().c_str(), 0700), 0);
    }
    void TearDown() override { SerialPort::setLinkWaitHandler({}); }

    std::string root() const { return handedOver_.empty() ? runtime_.path() : handedOver_; }
    std::string folder() const { return root() + "/zyltool"; }
    std::string entry(int portNumber) const { return folder() + "/com" + std::to_string(portNumber); }
    std::string device(int portNumber) const { return std::filesystem::read_symlink(entry(portNumber)); }

    // The folders are given to nobody, which a private port folder has to belong to.
    void rerunAsNobody() {
        ASSERT_EQ(::getenv(kHandedOver), nullptr) << "setpriv left the run as nobody root";
        ASSERT_TRUE(giveToNobody(runtime_.path()) && giveToNobody(folder()));
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::vector<std::string> args = {
            "setpriv",
            "--reuid=nobody",
            "--regid=nogroup",
            "--clear-groups",
            std::filesystem::read_symlink("/proc/self/exe"),
            std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name()};
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        const ScopedEnv handOver(kHandedOver, runtime_.path().c_str());
        pid_t child = 0;
        ASSERT_EQ(::posix_spawnp(&child, "setpriv", nullptr, nullptr, argv.data(), environ), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_EQ(::unlink((runtime_ / "ran").c_str()), 0) << "no test ran as nobody";
    }

    void linkPort(int portNumber, const std::string& target) const {
        ASSERT_EQ(::symlink(target.c_str(), entry(portNumber).c_str()), 0);
    }

    // A pseudo-terminal registered as COM portNumber.
    PtyPair& addPty(int portNumber) {
        ptys_.push_back(std::make_unique<PtyPair>());
        PtyPair& pty = *ptys_.back();
        EXPECT_TRUE(pty.ok());
        linkPort(portNumber, pty.slavePath());
        return pty;
    }

    // Reads until `count` bytes have come or a few reads brought nothing more.
    Bytes readBytes(SerialPort& port, std::size_t count) {
        Bytes bytes;
        for (int attempt = 0; attempt < 50 && bytes.size() < count; ++attempt) {
            const int n = port.read();
            for (int i = 0; i < n; ++i) {
                bytes.push_back(port.byteAt(i));
            }
        }
        return bytes;
    }

    TempFolder runtime_;
    const std::string handedOver_ = ::geteuid() != 0 && ::getenv(kHandedOver) ? ::getenv(kHandedOver) : "";
    ScopedEnv runtimeDir_{"XDG_RUNTIME_DIR", root().c_str()};
    std::vector<std::unique_ptr<PtyPair>> ptys_;
    SerialPort port_;  // closed before the terminals go
};

TEST_F(SerialPortTest, OpensPtyReadyWithTheLineSettings) {
    PtyPair& pty = addPty(1);
    port_.open(1);
    EXPECT_EQ(port_.status(), PortStatus::Ready);
    EXPECT_TRUE(port_.isOpen());
    EXPECT_EQ(port_.lastRefusal(), "");

    termios tio{};
    ASSERT_EQ(::tcgetattr(pty.slave(), &tio), 0);
    EXPECT_EQ(::cfgetispeed(&tio), B19200);
    EXPECT_EQ(::cfgetospeed(&tio), B19200);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP | INPCK | PARMRK), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
}

TEST_F(SerialPortTest, ParityCheckMarksBadBytesAndKeepsGoodFF) {
    PtyPair& pty = addPty(1);
    port_.setParityCheck(1);
    port_.open(1);
    ASSERT_EQ(port_.status(), PortStatus::Ready);
    termios tio{};
    ASSERT_EQ(::tcgetattr(pty.slave(), &tio), 0);
    EXPECT_EQ(tio.c_iflag & (INPCK | PARMRK), static_cast<tcflag_t>(INPCK | PARMRK));
    EXPECT_EQ(tio.c_cflag & PARENB, 0u);

    // The kernel doubles a good 0xFF under PARMRK; the port hands it out once.
    ASSERT_TRUE(pty.send({0x41, 0xFF, 0x42}));
    EXPECT_EQ(readBytes(port_, 3), (Bytes{0x41, 0xFF, 0x42}));
}

class SerialPortOutOfRangeTest : public SerialPortTest, public ::testing::WithParamInterface<int> {};

TEST_P(SerialPortOutOfRangeTest, ReleasesTheHeldPortAndStaysClosed) {
    PtyPair& pty = addPty(1);
    port_.open(1);
    ASSERT_EQ(port_.status(), PortStatus::Ready);

    port_.open(GetParam());
    EXPECT_EQ(port_.status(), PortStatus::Closed);
    EXPECT_FALSE(port_.isOpen());
    EXPECT_TRUE(lockIsFree(pty.slave()));
    EXPECT_FALSE(port_.write(0x04));
}

INSTANTIATE_TEST_SUITE_P(Numbers, SerialPortOutOfRangeTest, ::testing::Values(0, -1, 71));

// Entries of the port folder that lead to no terminal.
enum class NoTerminal { DanglingLink, RegularFile, Directory, LinkToFile, LinkToDirectory };

const char* noTerminalName(const ::testing::TestParamInfo<NoTerminal>& info) {
    constexpr const char* kNames[] = {"DanglingLink", "RegularFile", "Directory", "LinkToFile",
                                      "LinkToDirectory"};
    return kNames[static_cast<int>(info.param)];
}

class SerialPortNoTerminalTest : public SerialPortTest, public ::testing::WithParamInterface<NoTerminal> {};

TEST_P(SerialPortNoTerminalTest, CountsAsAbsentAndWritesNothing) {
    std::string file = runtime_ / "file";
    const std::string directory = runtime_ / "directory";
    ASSERT_EQ(::mkdir(directory.c_str(), 0700), 0);
    switch (GetParam()) {
        case NoTerminal::DanglingLink:
            linkPort(5, runtime_ / "missing");
            break;
        case NoTerminal::RegularFile:
            file = entry(5);
            break;
        case NoTerminal::Directory:
            ASSERT_EQ(::mkdir(entry(5).c_str(), 0700), 0);
            break;
        case NoTerminal::LinkToFile:
            linkPort(5, file);
            break;
        case NoTerminal::LinkToDirectory:
            linkPort(5, directory);
            break;
    }
    std::ofstream(file) << "abc";

    port_.open(5);
    EXPECT_EQ(port_.status(), PortStatus::Closed);
    EXPECT_FALSE(port_.isOpen());
    EXPECT_EQ(port_.lastRefusal(), "");
    std::stringstream content;
    content << std::ifstream(file).rdbuf();
    EXPECT_EQ(content.str(), "abc");
}

INSTANTIATE_TEST_SUITE_P(Entries, SerialPortNoTerminalTest,
                         ::testing::Values(NoTerminal::DanglingLink, NoTerminal::RegularFile,
                                           NoTerminal::Directory, NoTerminal::LinkToFile,
                                           NoTerminal::LinkToDirectory),
                         noTerminalName);

TEST_F(SerialPortTest, PortLockedByAnotherProgramIsBusyAndUntouched) {
    PtyPair& pty = addPty(2);
    const termios before = settingsOf(pty.slave());
    ASSERT_EQ(::flock(pty.slave(), LOCK_EX | LOCK_NB), 0);

    port_.open(2);
    EXPECT_EQ(port_.status(), PortStatus::Closed);
    EXPECT_FALSE(port_.isOpen());
    EXPECT_EQ(port_.lastRefusal(), "");
    // The lock is this test's, and /proc shows a program its own descriptors.
    EXPECT_EQ(port_.lastBusy(), "COM2 (" + pty.slavePath() + ", drží ho " + ownName() + ")");
    EXPECT_TRUE(sameSettings(settingsOf(pty.slave()), before));

    ::flock(pty.slave(), LOCK_UN);
    port_.open(2);
    EXPECT_EQ(port_.lastBusy(), "");
}

// Another program holds the lock while this one has the terminal open too: the note names
// the holder of the lock, not the first program found with the device open.
TEST_F(SerialPortTest, BusyPortNamesTheProgramHoldingItsLock) {
    PtyPair& pty = addPty(2);
    int ready[2];
    int done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(done[1]);  // or its own end keeps the pipe open
        ::prctl(PR_SET_NAME, "zylholder");
        const int fd = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        const char ok = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 1 : 0;
        char end;
        if (::write(ready[1], &ok, 1) == 1) {
            [[maybe_unused]] const auto n = ::read(done[0], &end, 1);
        }
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 1);

    port_.open(2);
    EXPECT_EQ(port_.status(), PortStatus::Closed);
    EXPECT_EQ(port_.lastBusy(), "COM2 (" + pty.slavePath() + ", drží ho zylholder)");

    ::close(done[1]);
    ::waitpid(child, nullptr, 0);
    for (const int fd : {ready[0], ready[1], done[0]}) {
        ::close(fd);
    }
}

// As root the ports are prepared here and handed to nobody: COM1 held by this process,
// COM2 held and released again.
TEST_F(SerialPortTest, OpenPortKeepsOutOtherUsersUntilReleased) {
    if (handedOver_.empty()) {
        PtyPair& held = addPty(1);
        PtyPair& released = addPty(2);
        port_.open(2);
        ASSERT_EQ(port_.status(), PortStatus::Ready);
        port_.close();
        port_.open(1);
        ASSERT_EQ(port_.status(), PortStatus::Ready);
        if (::geteuid() == 0) {
            // A terminal nobody may not open would be refused (EACCES) rather than busy.
            ASSERT_TRUE(giveToNobody(held.slavePath()) && giveToNobody(released.slavePath()));
            rerunAsNobody();
            return;
        }
    }
    // The lock names its holder, whoever's it is: this program, or the run as root that
    // started it.
    const std::string holder = ", drží ho " + ownName();
    SerialPort other;
    other.open(1);
    EXPECT_EQ(other.status(), PortStatus::Closed);
    EXPECT_EQ(other.lastBusy(), "COM1 (" + device(1) + holder + ")");
    const int fd = ::open(device(1).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_EQ(fd, -1);
    EXPECT_EQ(errno, EBUSY);
    if (fd >= 0) {
        ::close(fd);
    }
    other.open(2);
    EXPECT_EQ(other.status(), PortStatus::Ready);
}

// As root the port is made a system's serial port, root's and the group dialout's, and
// nobody (in no group) tries it.
TEST_F(SerialPortTest, RefusedPortIsAbsentAndNamedWithItsGroup) {
    if (handedOver_.empty()) {
        PtyPair& pty = addPty(3);
        if (::geteuid() == 0) {
            const group* dialout = ::getgrnam("dialout");
            ASSERT_NE(dialout, nullptr);
            ASSERT_EQ(::chown(pty.slavePath().c_str(), 0, dialout->gr_gid), 0);
            ASSERT_EQ(::chmod(pty.slavePath().c_str(), 0660), 0);
            rerunAsNobody();
            return;
        }
        ASSERT_EQ(::chmod(pty.slavePath().c_str(), 0), 0);
    }
    port_.open(3);
    EXPECT_EQ(port_.status(), PortStatus::Closed);
    struct stat st {};
    ASSERT_EQ(::stat(device(3).c_str(), &st), 0);
    const group* owners = ::getgrgid(st.st_gid);
    ASSERT_NE(owners, nullptr);
    EXPECT_EQ(port_.lastRefusal(), "COM3 (" + device(3) + ", skupina " + owners->gr_name + ")");
    EXPECT_EQ(port_.lastBusy(), "");

    port_.open(71);
    EXPECT_EQ(port_.lastRefusal(), "");
}

// The program's own terminal, /dev/tty (its other name) and /dev/ptmx take bytes but are
// no ports; another pseudo-terminal, the simulated unit's kind, is one. A child process in
// a session of its own makes COM1 its controlling terminal and reports the ports it judged
// wrongly as bits of its exit status.
TEST_F(SerialPortTest, OwnTerminalTtyAndPtmxAreNoPorts) {
    PtyPair& own = addPty(1);
    linkPort(2, "/dev/tty");
    linkPort(3, "/dev/ptmx");
    addPty(4);
    const termios before = settingsOf(own.slave());

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setsid() < 0 || ::ioctl(own.slave(), TIOCSCTTY, 0) != 0) {
            ::_exit(1);
        }
        int wrong = 0;
        SerialPort port;
        for (const int number : {1, 2, 3, 4}) {
            port.open(number);
            if ((port.status() == PortStatus::Ready) != (number == 4)) {
                wrong |= 1 << number;
            }
        }
        port.close();
        ::_exit(wrong);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "bit 0: no controlling terminal, bit n: COM n";
    EXPECT_TRUE(sameSettings(settingsOf(own.slave()), before));
}

// The radio as a test has it: the link's states look after look, the last one repeating.
class BluetoothPortTest : public SerialPortTest {
protected:
    void openWithLink(std::vector<BluetoothLink> states, std::chrono::milliseconds bound) {
        pty_ = &addPty(1);
        before_ = settingsOf(pty_->slave());
        SerialPort::setLinkWaitHandler([this](int, LinkWaitStep step) { steps_.push_back(step); });
        port_.device().bluetoothWait = {
            [this, states](int) { return states[std::min(looks_++, states.size() - 1)]; },
            std::chrono::milliseconds(1), bound};
        port_.open(1);
    }

    // A port given up on is released as it was found.
    void expectGivenUp() {
        EXPECT_EQ(port_.status(), PortStatus::Closed);
        EXPECT_TRUE(lockIsFree(pty_->slave()));
        EXPECT_TRUE(sameSettings(settingsOf(pty_->slave()), before_));
    }

    PtyPair* pty_ = nullptr;
    termios before_{};
    std::size_t looks_ = 0;
    std::vector<LinkWaitStep> steps_;
};

using Link = BluetoothLink;
using Step = LinkWaitStep;

TEST_F(BluetoothPortTest, LateLinkOpensThePortOnceUp) {
    openWithLink({Link::Connecting, Link::Connecting, Link::Connecting, Link::Up}, std::chrono::seconds(10));
    EXPECT_EQ(port_.status(), PortStatus::Ready);
    EXPECT_EQ(looks_, 4u);
    EXPECT_EQ(steps_, (std::vector<Step>{Step::Begun, Step::Pending, Step::Pending, Step::Pending}));
}

TEST_F(BluetoothPortTest, FailedLinkEndsTheWaitAtOnce) {
    openWithLink({Link::Connecting, Link::Failed}, std::chrono::seconds(10));
    expectGivenUp();
    EXPECT_EQ(looks_, 2u);
    EXPECT_EQ(steps_, (std::vector<Step>{Step::Begun, Step::Pending, Step::Failed}));
}

TEST_F(BluetoothPortTest, LinkThatDoesNotComeIsGivenUpAfterTheBound) {
    const auto start = Clock::now();
    openWithLink({Link::Connecting}, std::chrono::milliseconds(30));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(30));
    expectGivenUp();
    ASSERT_GE(steps_.size(), 2u);
    EXPECT_EQ(steps_.front(), Step::Begun);
    EXPECT_EQ(steps_.back(), Step::TimedOut);
    EXPECT_EQ(std::count(steps_.begin(), steps_.end(), Step::Pending), static_cast<long>(steps_.size()) - 2);
}

TEST_F(SerialPortTest, ReadWithNothingWaitingReturnsZero) {
    addPty(1);
    port_.open(1);
    ASSERT_EQ(port_.status(), PortStatus::Ready);

    const auto start = Clock::now();
    EXPECT_EQ(port_.read(), 0);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(200));
}

TEST_F(SerialPortTest, WaitingBytesComeBackInOrder) {
    PtyPair& pty = addPty(1);
    port_.open(1);
    ASSERT_TRUE(pty.send({0x07, 0x00, 0xFF}));
    ASSERT_TRUE(pty.inputQueued());

    EXPECT_EQ(port_.read(), 3);
    EXPECT_EQ(port_.byteAt(0), 0x07);
    EXPECT_EQ(port_.byteAt(1), 0x00);
    EXPECT_EQ(port_.byteAt(2), 0xFF);
}

TEST_F(SerialPortTest, ReadTakesAtMost950Bytes) {
    PtyPair& pty = addPty(1);
    port_.open(1);
    ASSERT_TRUE(pty.send(Bytes(1000, 0x55)));
    ASSERT_TRUE(pty.inputQueued());

    int total = 0;
    for (int attempt = 0; attempt < 50 && total < 1000; ++attempt) {
        const int n = port_.read();
        EXPECT_LE(n, SerialPort::kMaxRead);
        total += n;
    }
    EXPECT_EQ(total, 1000);
    EXPECT_EQ(port_.byteAt(950), 0);
}

TEST_F(SerialPortTest, PositionsOutsideTheBufferReadAsZero) {
    PtyPair& pty = addPty(1);
    port_.open(1);
    ASSERT_TRUE(pty.send({0xA1, 0xA2, 0xA3}));
    ASSERT_EQ(readBytes(port_, 3), (Bytes{0xA1, 0xA2, 0xA3}));

    for (const int position : {999, 1000, -1, 100000, -100000}) {
        EXPECT_EQ(port_.byteAt(position), 0) << position;
    }
}

TEST_F(SerialPortTest, BytesBeyondTheLastCountKeepAnEarlierRead) {
    PtyPair& pty = addPty(1);
    port_.open(1);
    ASSERT_TRUE(pty.send({'A', 'B', 'C', 'D', 'E'}));
    ASSERT_EQ(readBytes(port_, 5), (Bytes{'A', 'B', 'C', 'D', 'E'}));
    ASSERT_TRUE(pty.send({'x', 'y'}));
    ASSERT_EQ(readBytes(port_, 2), (Bytes{'x', 'y'}));

    EXPECT_EQ(port_.byteAt(2), 'C');
    EXPECT_EQ(port_.byteAt(4), 'E');
    EXPECT_EQ(port_.byteAt(5), 0);
}

TEST_F(SerialPortTest, WriteSendsTheLowByteAlone) {
    PtyPair& pty = addPty(1);
    port_.open(1);
    EXPECT_TRUE(port_.write(0x1A7));
    EXPECT_EQ(pty.received(), (Bytes{0xA7}));
}

TEST_F(SerialPortTest, ReopenPurgesAndReleasesTheHeldPort) {
    PtyPair& first = addPty(1);
    addPty(2);
    port_.open(1);
    ASSERT_TRUE(first.send({0x01, 0x02}));
    ASSERT_TRUE(first.inputQueued());

    port_.open(2);
    EXPECT_EQ(port_.status(), PortStatus::Ready);
    int queued = -1;
    ASSERT_EQ(::ioctl(first.slave(), FIONREAD, &queued), 0);
    EXPECT_EQ(queued, 0);
    EXPECT_TRUE(lockIsFree(first.slave()));
}

TEST_F(SerialPortTest, ClosedPortReadsNothingAndRefusesWrites) {
    PtyPair& pty = addPty(1);
    port_.open(1);
    ASSERT_TRUE(pty.send({0x06}));
    ASSERT_TRUE(pty.inputQueued());
    port_.close();

    EXPECT_FALSE(port_.isOpen());
    EXPECT_EQ(port_.status(), PortStatus::Ready);  // kept until the next open
    EXPECT_EQ(port_.read(), 0);
    EXPECT_FALSE(port_.write(0x04));
    EXPECT_TRUE(lockIsFree(pty.slave()));
    port_.close();  // a second close finds nothing to release
}

TEST_F(SerialPortTest, NeverOpenedPortReadsNothingAndRefusesWrites) {
    EXPECT_EQ(port_.status(), PortStatus::Closed);
    EXPECT_FALSE(port_.isOpen());
    EXPECT_EQ(port_.read(), 0);
    EXPECT_EQ(port_.byteAt(0), 0);
    EXPECT_FALSE(port_.write(0x05));
}

// A caller ticking every 50 ms must neither hang nor spin on a dropped line: every read
// takes its 10 ms and brings nothing. The bounds are loose on purpose.
TEST_F(SerialPortTest, HungUpLineReadsZeroWithoutBlockingOrSpinning) {
    PtyPair& pty = addPty(1);
    port_.open(1);
    ASSERT_EQ(port_.status(), PortStatus::Ready);
    pty.closeMaster();

    const auto start = Clock::now();
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(port_.read(), 0);
    }
    const auto took = Clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(150));
    EXPECT_LT(took, std::chrono::seconds(2));
}

TEST_F(SerialPortTest, CloseAfterHangUpWithOutputPendingReturnsAtOnce) {
    PtyPair& pty = addPty(1);
    port_.open(1);
    ASSERT_TRUE(port_.write(0x04));
    ASSERT_TRUE(port_.write(0x04));
    pty.closeMaster();

    const auto start = Clock::now();
    port_.close();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
    EXPECT_FALSE(port_.isOpen());
}

}  // namespace
