// The serial port against the simulated unit, as the connect handshake uses it: bytes go out
// one per write, answers come back through read() and byteAt().

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <initializer_list>

#include "serial_port.h"
#include "unit_commands.h"
#include "unit_ports.h"

namespace {

// Generous: a loaded machine under Wine answers in milliseconds.
constexpr std::chrono::seconds kAnswerWait{3};

void send(SerialPort& port, std::initializer_list<int> values) {
    for (const int value : values) {
        ASSERT_TRUE(port.write(value));
    }
}

// Reads until the byte turns up among the answers, or the wait runs out.
bool answerContains(SerialPort& port, std::uint8_t wanted) {
    const auto giveUp = std::chrono::steady_clock::now() + kAnswerWait;
    while (std::chrono::steady_clock::now() < giveUp) {
        const int count = port.read();
        for (int i = 0; i < count; ++i) {
            if (port.byteAt(i) == wanted) {
                return true;
            }
        }
    }
    return false;
}

void handshake(SerialPort& port, int linkByte) {
    send(port, {unit::kHandshake, linkByte, unit::kHandshakeZ, unit::kHandshakeY, unit::kHandshakeL});
    ASSERT_TRUE(answerContains(port, unit::kUnitPresent)) << "no unit answered the handshake";
    send(port, {unit::kAccessCode, (kUnitAccessCode >> 8) & 0xFF, kUnitAccessCode & 0xFF});
    ASSERT_TRUE(answerContains(port, unit::kCodeAccepted)) << "the access code was not accepted";
    send(port, {unit::kEndOfLink});
}

TEST(UnitExchange, HandshakeAndAccessCodeAreAnswered) {
    if (unitPorts().empty()) {
        GTEST_SKIP() << kNoUnitPorts;
    }
    for (const int number : unitPorts()) {
        SCOPED_TRACE(number);
        SerialPort port;
        port.open(number);
        ASSERT_EQ(port.status(), PortStatus::Ready);
        handshake(port, unit::kHandshakeUsb);
    }
}

// The unit only knows 0xA7; it answers only if the ninth bit stayed behind.
TEST(UnitExchange, WriteSendsOnlyTheLowEightBits) {
    if (unitPorts().empty()) {
        GTEST_SKIP() << kNoUnitPorts;
    }
    SerialPort port;
    port.open(unitPorts().front());
    ASSERT_EQ(port.status(), PortStatus::Ready);
    handshake(port, 0x100 | unit::kHandshakeUsb);
}

}  // namespace
