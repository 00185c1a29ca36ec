#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "simulated_port.h"
#include "unit_commands.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// COM3 has a unit, COM4 is a port without one, COM5 is held by another program, COM6 is
// refused; everything else is absent.
class SimulatedPortTest : public ::testing::Test {
protected:
    SimulatedPortTest() {
        port.attachUnit(3, &unit);
        port.addEmptyPort(4);
        port.addHeldPort(5);
        port.addRefusedPort(6);
    }

    Bytes readAll() {
        const int n = port.read();
        Bytes bytes;
        for (int i = 0; i < n; ++i) {
            bytes.push_back(port.byteAt(i));
        }
        return bytes;
    }

    UnitModel unit;
    SimulatedPort port;
};

struct OpenCase {
    int portNumber;
    PortStatus status;
    const char* refusal;

    friend void PrintTo(const OpenCase& c, std::ostream* os) { *os << "COM" << c.portNumber; }
};

class PortOpenTest : public SimulatedPortTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(PortOpenTest, GivesTheStatusOfTheKindOfPort) {
    port.open(GetParam().portNumber);
    EXPECT_EQ(port.status(), GetParam().status);
    EXPECT_EQ(port.openPort(), GetParam().status == PortStatus::Ready ? GetParam().portNumber : 0);
    EXPECT_EQ(port.lastRefusal(), GetParam().refusal);
    EXPECT_EQ(port.openAttempts(), std::vector<int>{GetParam().portNumber});
}

INSTANTIATE_TEST_SUITE_P(
    Ports, PortOpenTest,
    ::testing::Values(OpenCase{3, PortStatus::Ready, ""}, OpenCase{4, PortStatus::Ready, ""},
                      OpenCase{5, PortStatus::Closed, ""},
                      OpenCase{6, PortStatus::Closed, "COM6 (simulated, skupina dialout)"},
                      OpenCase{7, PortStatus::Closed, ""}, OpenCase{0, PortStatus::Closed, ""},
                      OpenCase{-1, PortStatus::Closed, ""}, OpenCase{71, PortStatus::Closed, ""}));

TEST_F(SimulatedPortTest, OpenReleasesTheHeldPortFirst) {
    port.open(3);
    port.open(5);
    EXPECT_EQ(port.status(), PortStatus::Closed);
    EXPECT_EQ(port.openPort(), 0);
    EXPECT_FALSE(port.write(unit::kKeepAlive));
    port.open(6);
    port.open(3);
    EXPECT_EQ(port.lastRefusal(), "");
    EXPECT_EQ(port.openAttempts(), (std::vector<int>{3, 5, 6, 3}));
}

TEST_F(SimulatedPortTest, AnswersComeOnlyWhenTheTestAdvancesTheClock) {
    port.open(3);
    EXPECT_TRUE(port.write(0x105));  // only the low 8 bits go out
    EXPECT_EQ(port.read(), 0);
    port.advance(1);
    EXPECT_EQ(readAll(), Bytes{unit::kAck});
    EXPECT_EQ(port.sent(3), Bytes{unit::kKeepAlive});
    EXPECT_EQ(unit.received(), Bytes{unit::kKeepAlive});
}

TEST_F(SimulatedPortTest, BufferKeepsStaleBytesBeyondTheLastRead) {
    unit.holdKey({0x11, 0x22, 0x33});
    port.open(3);
    port.write(unit::kReadReader);
    port.advance(50);
    EXPECT_EQ(port.read(), 13);
    port.write(unit::kKeepAlive);
    port.advance(50);
    EXPECT_EQ(port.read(), 1);
    EXPECT_EQ(port.byteAt(0), unit::kAck);
    EXPECT_EQ(port.byteAt(1), 0x11);
    EXPECT_EQ(port.byteAt(3), 0x33);
    EXPECT_EQ(port.byteAt(-1), 0);
    EXPECT_EQ(port.byteAt(1000), 0);
}

TEST_F(SimulatedPortTest, ReadTakesAtMost950BytesAndLeavesTheRest) {
    UnitModel chatty(UnitModel::Config{.eraseMs = 2000, .progressIntervalMs = 1});
    port.attachUnit(8, &chatty);
    port.open(8);
    for (const std::uint8_t b : {unit::kEraseKeys, unit::kEraseMiddle, unit::kEraseKeysEnd}) {
        port.write(b);
    }
    port.advance(5000);
    EXPECT_EQ(port.read(), 950);
    EXPECT_EQ(port.read(), 950);
    EXPECT_EQ(port.read(), 2001 - 1900);
    EXPECT_EQ(port.byteAt(2001 - 1900 - 1), unit::kEraseDone);
}

TEST_F(SimulatedPortTest, PortWithoutUnitTakesBytesAndAnswersNothing) {
    port.open(4);
    EXPECT_TRUE(port.write(unit::kEndOfLink));
    port.advance(100);
    EXPECT_EQ(port.read(), 0);
    EXPECT_EQ(port.sent(4), Bytes{unit::kEndOfLink});
}

TEST_F(SimulatedPortTest, AnswersSentWhileClosedAreLost) {
    port.open(3);
    port.write(unit::kKeepAlive);
    port.close();
    EXPECT_EQ(port.status(), PortStatus::Closed);
    EXPECT_FALSE(port.write(unit::kKeepAlive));
    port.advance(10);
    port.open(3);
    EXPECT_EQ(port.read(), 0);
}

TEST_F(SimulatedPortTest, HungUpLineReadsNothingUntilOpenedAgain) {
    port.open(3);
    port.write(unit::kKeepAlive);
    port.hangUp();
    port.advance(10);
    EXPECT_EQ(port.read(), 0);
    EXPECT_FALSE(port.write(unit::kKeepAlive));
    port.open(3);
    port.write(unit::kKeepAlive);
    port.advance(10);
    EXPECT_EQ(readAll(), Bytes{unit::kAck});
}

TEST_F(SimulatedPortTest, UnitThatHangsUpLeavesItsPortAbsentUntilItIsBack) {
    unit.setFault(parseFault("hangup@0x05").value());
    port.open(3);
    EXPECT_TRUE(port.write(unit::kKeepAlive));
    EXPECT_TRUE(unit.hungUp());
    port.advance(10);
    EXPECT_EQ(port.read(), 0);
    EXPECT_FALSE(port.write(unit::kKeepAlive));
    port.open(3);
    EXPECT_EQ(port.status(), PortStatus::Closed);

    unit.reconnect();
    port.open(3);
    EXPECT_EQ(port.status(), PortStatus::Ready);
    port.write(unit::kKeepAlive);
    port.advance(10);
    EXPECT_EQ(readAll(), Bytes{unit::kAck});
}

}  // namespace
