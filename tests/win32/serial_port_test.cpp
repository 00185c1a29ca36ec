#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "serial_port_win32.h"
#include "unit_ports.h"

namespace {

// Windows' serial drivers refuse a second opener of a device nobody shares; Wine lets it
// in. This driver keeps to Windows' rule over the real devices, for every port that uses it.
class ExclusiveDriver {
public:
    void install(SerialPort& port) {
        WindowsCalls& calls = port.device().calls;
        calls.createFile = [this](LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                  DWORD disposition, DWORD flags, HANDLE model) {
            for (const auto& [handle, held] : held_) {
                if (held.name == name && (held.share == 0 || share == 0)) {
                    ::SetLastError(ERROR_ACCESS_DENIED);
                    return INVALID_HANDLE_VALUE;
                }
            }
            const HANDLE handle = ::CreateFileA(name, access, share, security, disposition, flags, model);
            if (handle != INVALID_HANDLE_VALUE) {
                held_[handle] = {name, share};
            }
            return handle;
        };
        calls.closeHandle = [this](HANDLE handle) {
            held_.erase(handle);
            return ::CloseHandle(handle);
        };
    }

private:
    struct Held {
        std::string name;
        DWORD share;
    };
    std::map<HANDLE, Held> held_;
};

// Collects the warnings instead of showing message boxes.
class ComPort : public ::testing::Test {
protected:
    void SetUp() override {
        SerialPort::setWarningHandler([this](const std::string& text, const std::string& caption) {
            warnings.push_back(caption + ": " + text);
        });
    }
    void TearDown() override { SerialPort::setWarningHandler(nullptr); }

    std::vector<std::string> warnings;
};

TEST_F(ComPort, NumbersOutsideOneToSeventyOpenNothing) {
    for (const int number : {0, -1, 71}) {
        SCOPED_TRACE(number);
        SerialPort port;
        port.open(number);
        EXPECT_EQ(port.status(), PortStatus::Closed);
        EXPECT_FALSE(port.isOpen());
        EXPECT_EQ(port.read(), 0);
        EXPECT_FALSE(port.write(0x04));
    }
    EXPECT_TRUE(warnings.empty());
}

TEST_F(ComPort, AbsentPortsAreClosedWithoutAMessage) {
    const std::vector<int> absent = absentPorts();
    if (absent.empty()) {
        GTEST_SKIP() << "ZYL_TEST_ABSENT_PORTS is unset (scripts/run-wine-tests sets it)";
    }
    for (const int number : absent) {
        SCOPED_TRACE(number);
        SerialPort port;
        port.open(number);
        EXPECT_EQ(port.status(), PortStatus::Closed);
        EXPECT_FALSE(port.isOpen());
    }
    EXPECT_TRUE(warnings.empty());
}

TEST_F(ComPort, UnitPortOpensReadyAndAQuietLineReadsNothing) {
    if (unitPorts().empty()) {
        GTEST_SKIP() << kNoUnitPorts;
    }
    for (const int number : unitPorts()) {
        SCOPED_TRACE(number);
        SerialPort port;
        port.open(number);
        EXPECT_EQ(port.status(), PortStatus::Ready);
        EXPECT_TRUE(port.isOpen());
        EXPECT_EQ(port.read(), 0);
        EXPECT_EQ(port.byteAt(999), 0);
        EXPECT_EQ(port.byteAt(1000), 0);
        EXPECT_EQ(port.byteAt(-1), 0);
    }
    EXPECT_TRUE(warnings.empty());
}

// Access is exclusive: a second opener finds the port busy, treats it as absent and names it.
TEST_F(ComPort, PortHeldByAnotherIsClosedWithoutAMessage) {
    if (unitPorts().empty()) {
        GTEST_SKIP() << kNoUnitPorts;
    }
    const int number = unitPorts().front();
    ExclusiveDriver driver;
    SerialPort holder;
    SerialPort other;
    driver.install(holder);
    driver.install(other);
    holder.open(number);
    ASSERT_EQ(holder.status(), PortStatus::Ready);
    other.open(number);
    EXPECT_EQ(other.status(), PortStatus::Closed);
    EXPECT_FALSE(other.isOpen());
    EXPECT_EQ(other.lastBusy(), "COM" + std::to_string(number));
    EXPECT_TRUE(holder.isOpen());
    EXPECT_TRUE(warnings.empty());
}

// Both only succeed when the held handle was given up before the device was opened again.
TEST_F(ComPort, EveryOpenReleasesTheHeldPortFirst) {
    if (unitPorts().empty()) {
        GTEST_SKIP() << kNoUnitPorts;
    }
    const int number = unitPorts().front();
    ExclusiveDriver driver;
    SerialPort port;
    SerialPort next;
    driver.install(port);
    driver.install(next);
    port.open(number);
    ASSERT_EQ(port.status(), PortStatus::Ready);
    port.open(number);
    EXPECT_EQ(port.status(), PortStatus::Ready);

    port.open(0);
    EXPECT_EQ(port.status(), PortStatus::Closed);
    EXPECT_FALSE(port.isOpen());
    next.open(number);
    EXPECT_EQ(next.status(), PortStatus::Ready);
}

TEST_F(ComPort, AfterCloseReadGivesNothingWriteFailsAndTheDeviceIsFree) {
    if (unitPorts().empty()) {
        GTEST_SKIP() << kNoUnitPorts;
    }
    const int number = unitPorts().front();
    ExclusiveDriver driver;
    SerialPort port;
    SerialPort next;
    driver.install(port);
    driver.install(next);
    port.open(number);
    ASSERT_EQ(port.status(), PortStatus::Ready);
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.read(), 0);
    EXPECT_FALSE(port.write(0x04));
    port.close();

    next.open(number);
    EXPECT_EQ(next.status(), PortStatus::Ready);
    port.open(0);  // nothing held: nothing to release
    EXPECT_EQ(next.status(), PortStatus::Ready);
    EXPECT_TRUE(next.write(0x04));
}

}  // namespace
