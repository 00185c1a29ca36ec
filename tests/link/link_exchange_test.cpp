#include "link_exchange.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "scripted_port.h"
#include "unit_commands.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct EchoCase {
    const char* name;
    Bytes arrival;
    int result;
    std::uint8_t lastSentAfter;
};

class SendEchoedTest : public ::testing::TestWithParam<EchoCase> {};

// The byte goes out whatever came back; only the right echo, alone, moves the chain on.
TEST_P(SendEchoedTest, SendsTheByteAndAdvancesOnlyOnTheEcho) {
    ScriptedPort port;
    port.script(GetParam().arrival);
    LinkExchange link(port);
    link.setLastSentByte(unit::kAccessCode);

    EXPECT_EQ(link.sendEchoed(0x12), GetParam().result);
    EXPECT_EQ(port.sent, (Bytes{0x12}));
    EXPECT_EQ(link.lastSentByte(), GetParam().lastSentAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Arrivals, SendEchoedTest,
    ::testing::Values(EchoCase{"Echo", {unit::kAccessCode}, 0, 0x12},
                      EchoCase{"EchoAndStray", {unit::kAccessCode, unit::kAck}, 1, unit::kAccessCode},
                      EchoCase{"Nothing", {}, 1, unit::kAccessCode},
                      EchoCase{"WrongByte", {unit::kAck}, 1, unit::kAccessCode}),
    [](const ::testing::TestParamInfo<EchoCase>& info) { return info.param.name; });

}  // namespace
