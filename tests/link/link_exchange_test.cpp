#include "link_exchange.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "unit_commands.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A port whose next read brings the given bytes, and that records what was written.
class ScriptedPort final : public PortLink {
public:
    explicit ScriptedPort(Bytes arrival) : arrival_(std::move(arrival)) {}

    void open(int) override {}
    PortStatus status() const override { return PortStatus::Ready; }
    int read() override {
        std::copy(arrival_.begin(), arrival_.end(), buffer_.begin());
        const int n = static_cast<int>(arrival_.size());
        arrival_.clear();
        return n;
    }
    std::uint8_t byteAt(int position) const override {
        return position >= 0 && position < 1000 ? buffer_[static_cast<std::size_t>(position)] : 0;
    }
    bool write(int value) override {
        sent.push_back(static_cast<std::uint8_t>(value));
        return true;
    }
    void close() override {}

    Bytes sent;

private:
    Bytes arrival_;
    std::array<std::uint8_t, 1000> buffer_{};
};

struct EchoCase {
    const char* name;
    Bytes arrival;
    int result;
    std::uint8_t lastSentAfter;
};

class SendEchoedTest : public ::testing::TestWithParam<EchoCase> {};

// The byte goes out whatever came back; only the right echo, alone, moves the chain on.
TEST_P(SendEchoedTest, SendsTheByteAndAdvancesOnlyOnTheEcho) {
    ScriptedPort port(GetParam().arrival);
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
