#include "serial_port.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
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

// Whether nobody holds the flock of the terminal behind fd.
bool lockIsFree(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return false;
    }
    ::flock(fd, LOCK_UN);
    return true;
}

// Every COM number a test uses has an entry in a private port folder, so no test ever
// reaches a serial device of the machine.
class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(runtime_.path().empty());
        ASSERT_EQ(::mkdir(folder().c_str(), 0700), 0);
    }

    std::string folder() const { return runtime_ / "zyltool"; }
    std::string entry(int portNumber) const { return folder() + "/com" + std::to_string(portNumber); }

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
    ScopedEnv runtimeDir_{"XDG_RUNTIME_DIR", runtime_.path().c_str()};
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

TEST_F(SerialPortTest, PortLockedByAnotherProgramStaysClosedAndUntouched) {
    PtyPair& pty = addPty(2);
    termios before{};
    ASSERT_EQ(::tcgetattr(pty.slave(), &before), 0);
    ASSERT_EQ(::flock(pty.slave(), LOCK_EX | LOCK_NB), 0);

    port_.open(2);
    EXPECT_EQ(port_.status(), PortStatus::Closed);
    EXPECT_FALSE(port_.isOpen());
    EXPECT_EQ(port_.lastRefusal(), "");

    termios after{};
    ASSERT_EQ(::tcgetattr(pty.slave(), &after), 0);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_oflag, before.c_oflag);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(::cfgetospeed(&after), ::cfgetospeed(&before));
    ::flock(pty.slave(), LOCK_UN);
}

TEST_F(SerialPortTest, OpenPortKeepsOutOtherOpenersUnlessRoot) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root opens a terminal despite TIOCEXCL";
    }
    PtyPair& pty = addPty(1);
    port_.open(1);
    ASSERT_EQ(port_.status(), PortStatus::Ready);

    SerialPort other;
    other.open(1);
    EXPECT_EQ(other.status(), PortStatus::Closed);
    const int fd = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_EQ(fd, -1);
    EXPECT_EQ(errno, EBUSY);
    if (fd >= 0) {
        ::close(fd);
    }

    // Released, the terminal is open to others again.
    port_.close();
    other.open(1);
    EXPECT_EQ(other.status(), PortStatus::Ready);
}

TEST_F(SerialPortTest, RefusedPortIsAbsentAndNamedWithItsGroupUnlessRoot) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root is never refused a terminal";
    }
    PtyPair& pty = addPty(3);
    ASSERT_EQ(::chmod(pty.slavePath().c_str(), 0), 0);

    port_.open(3);
    EXPECT_EQ(port_.status(), PortStatus::Closed);
    struct stat st {};
    ASSERT_EQ(::stat(pty.slavePath().c_str(), &st), 0);
    const group* owners = ::getgrgid(st.st_gid);
    ASSERT_NE(owners, nullptr);
    EXPECT_EQ(port_.lastRefusal(), "COM3 (" + pty.slavePath() + ", skupina " + owners->gr_name + ")");

    port_.open(71);
    EXPECT_EQ(port_.lastRefusal(), "");
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
