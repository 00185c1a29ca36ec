#include "serial_port.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "unit_ports.h"

namespace {

// Wine opens serial devices without honouring the share mode; Windows' serial drivers
// refuse a second opener.
bool underWine() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

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

// Access is exclusive: a second opener finds the port busy and treats it as absent.
TEST_F(ComPort, PortHeldByAnotherIsClosedWithoutAMessage) {
    if (unitPorts().empty()) {
        GTEST_SKIP() << kNoUnitPorts;
    }
    if (underWine()) {
        GTEST_SKIP() << "Wine does not keep a serial device to its first opener";
    }
    const int number = unitPorts().front();
    SerialPort holder;
    holder.open(number);
    ASSERT_EQ(holder.status(), PortStatus::Ready);
    SerialPort other;
    other.open(number);
    EXPECT_EQ(other.status(), PortStatus::Closed);
    EXPECT_FALSE(other.isOpen());
    EXPECT_TRUE(holder.isOpen());
    EXPECT_TRUE(warnings.empty());
}

// Both only succeed when the held handle was given up before the device was opened again.
TEST_F(ComPort, EveryOpenReleasesTheHeldPortFirst) {
    if (unitPorts().empty()) {
        GTEST_SKIP() << kNoUnitPorts;
    }
    const int number = unitPorts().front();
    SerialPort port;
    port.open(number);
    ASSERT_EQ(port.status(), PortStatus::Ready);
    port.open(number);
    EXPECT_EQ(port.status(), PortStatus::Ready);

    port.open(0);
    EXPECT_EQ(port.status(), PortStatus::Closed);
    EXPECT_FALSE(port.isOpen());
    SerialPort next;
    next.open(number);
    EXPECT_EQ(next.status(), PortStatus::Ready);
}

TEST_F(ComPort, AfterCloseReadGivesNothingWriteFailsAndTheDeviceIsFree) {
    if (unitPorts().empty()) {
        GTEST_SKIP() << kNoUnitPorts;
    }
    const int number = unitPorts().front();
    SerialPort port;
    port.open(number);
    ASSERT_EQ(port.status(), PortStatus::Ready);
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.read(), 0);
    EXPECT_FALSE(port.write(0x04));
    port.close();

    SerialPort next;
    next.open(number);
    EXPECT_EQ(next.status(), PortStatus::Ready);
    port.open(0);  // nothing held: nothing to release
    EXPECT_EQ(next.status(), PortStatus::Ready);
    EXPECT_TRUE(next.write(0x04));
}

}  // namespace
