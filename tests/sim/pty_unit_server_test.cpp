#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <regex>
#include <thread>
#include <vector>

#include "pty_unit_server.h"
#include "temp_folder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr auto kPatience = std::chrono::seconds(3);

// The program's side of the line, with nothing of its own: plain termios on the
// registered port.
class Client {
public:
    explicit Client(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {
        termios tio{};
        if (fd_ >= 0 && ::tcgetattr(fd_, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::cfsetispeed(&tio, B19200);
            ::cfsetospeed(&tio, B19200);
            ::tcsetattr(fd_, TCSANOW, &tio);
        }
    }
    ~Client() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    bool isOpen() const { return fd_ >= 0; }

    // Sends the bytes, then collects the answer until `expected` bytes are in (or a
    // bounded wait runs out).
    Bytes exchange(const Bytes& bytes, std::size_t expected) {
        if (::write(fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
            return {};
        }
        Bytes answer;
        const auto deadline = Clock::now() + kPatience;
        while (answer.size() < expected && Clock::now() < deadline) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0 && (p.revents & POLLIN) != 0) {
                std::uint8_t chunk[64];
                const ssize_t n = ::read(fd_, chunk, sizeof chunk);
                if (n <= 0) {
                    break;
                }
                answer.insert(answer.end(), chunk, chunk + n);
            }
        }
        return answer;
    }

    bool seesHangUp() {
        const auto deadline = Clock::now() + kPatience;
        while (Clock::now() < deadline) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0 && (p.revents & POLLHUP) != 0) {
                return true;
            }
        }
        return false;
    }

private:
    int fd_;
};

class PtyUnitServerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(folder.empty()); }
    void TearDown() override {
        stopServer();
        server.reset();
    }

    void startServer(PtyUnitServer::Options options) {
        options.comNumber = 3;
        options.portFolder = folder;
        options.announce = [this](const std::string& line) {
            std::lock_guard lock(mutex);
            announced.push_back(line);
            changed.notify_all();
        };
        server = std::make_unique<PtyUnitServer>(std::move(options));
        ASSERT_TRUE(server->start()) << server->error();
        thread = std::thread([this] { result = server->run(); });
    }
    void stopServer() {
        if (thread.joinable()) {
            server->stop();
            thread.join();
        }
    }
    bool announcedTimes(std::size_t count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, kPatience, [&] { return announced.size() >= count; });
    }
    std::string link() const { return folder + "/com3"; }
    bool linkExists() const {
        struct stat st {};
        return ::lstat(link().c_str(), &st) == 0;
    }

    TempFolder temp;
    const std::string& folder = temp.path();
    std::unique_ptr<PtyUnitServer> server;
    std::thread thread;
    int result = -1;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> announced;
};

const Bytes kHandshake{0x04, 0x01, 0xA7, 0x5A, 0x59, 0x4C};
const Bytes kAccessCode{0x07, 0x12, 0xDB};

TEST_F(PtyUnitServerTest, HandshakeAndAccessCodeWorkThroughTheRegisteredPort) {
    PtyUnitServer::Options options;
    options.transcriptPath = folder + "/transcript";
    startServer(options);
    ASSERT_TRUE(announcedTimes(1));
    char target[PATH_MAX] = {};
    ASSERT_GT(::readlink(link().c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(announced[0], std::string("zylsim: COM3 ") + target);

    {
        Client client(link());
        ASSERT_TRUE(client.isOpen());
        EXPECT_EQ(client.exchange(kHandshake, 1), Bytes{0x07});
        EXPECT_EQ(client.exchange(kAccessCode, 1), Bytes{0x01});
    }
    {
        // The program opens and closes the port many times; the line stays up.
        Client client(link());
        EXPECT_EQ(client.exchange({0x05}, 1), Bytes{0x06});
    }
    stopServer();
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(server->unit().loggedIn());
    server.reset();
    EXPECT_FALSE(linkExists());

    std::ifstream transcript(folder + "/transcript");
    std::vector<std::string> lines;
    for (std::string line; std::getline(transcript, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 10u + 3u);
    const std::regex format(R"(\d+ [<>] 0x[0-9A-F]{2})");
    for (const std::string& line : lines) {
        EXPECT_TRUE(std::regex_match(line, format)) << line;
    }
    EXPECT_NE(lines[0].find(" > 0x04"), std::string::npos);
    EXPECT_NE(lines[6].find(" < 0x07"), std::string::npos);
}

TEST_F(PtyUnitServerTest, HangUpClosesTheLineAndRemovesThePort) {
    PtyUnitServer::Options options;
    options.faults = {parseFault("hangup@0x05").value()};
    startServer(options);
    Client client(link());
    EXPECT_EQ(client.exchange(kHandshake, 1), Bytes{0x07});
    EXPECT_TRUE(client.exchange({0x05}, 1).empty());
    EXPECT_TRUE(client.seesHangUp());
    EXPECT_FALSE(linkExists());
}

TEST_F(PtyUnitServerTest, UnitComesBackAfterAHangUpWithItsSettings) {
    PtyUnitServer::Options options;
    options.faults = {parseFault("hangup@0x05").value()};
    options.rejoinMs = 50;
    startServer(options);
    {
        Client client(link());
        EXPECT_EQ(client.exchange({0x23, 0x20}, 1), Bytes{0x06});
        client.exchange({0x05}, 1);
        EXPECT_TRUE(client.seesHangUp());
    }
    ASSERT_TRUE(announcedTimes(2));
    {
        Client client(link());
        ASSERT_TRUE(client.isOpen());
        EXPECT_EQ(client.exchange(kHandshake, 1), Bytes{0x07});
        EXPECT_EQ(client.exchange({0x05}, 1), Bytes{0x06});
    }
    stopServer();
    EXPECT_EQ(server->unit().recordSize(), 0x20);
}

TEST_F(PtyUnitServerTest, RefusesAFolderOthersMayEnter) {
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    PtyUnitServer::Options options;
    options.portFolder = folder;
    PtyUnitServer unsafe(options);
    EXPECT_FALSE(unsafe.start());
    EXPECT_NE(unsafe.error().find(folder), std::string::npos);
    EXPECT_FALSE(linkExists());
}

}  // namespace
