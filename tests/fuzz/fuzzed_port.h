#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "fuzz_input.h"
#include "port_link.h"

// A port whose unit answers whatever the fuzzer chose. Each read takes one answer from the
// input: a length byte, then that many bytes. The length byte's low six bits are the count
// (0..63); bit 6 multiplies it by 15, up to 945 bytes, near the 950 a read can hold. Once
// the input is used up every read is empty, as on a dead line. The receive buffer keeps
// stale bytes past the last count, like the real port's; what is written goes nowhere.
class FuzzedPort final : public PortLink {
public:
    static constexpr int kBufferSize = 1000;
    static constexpr std::uint8_t kCountBits = 0x3F;
    static constexpr std::uint8_t kLongAnswer = 0x40;
    static constexpr int kLongAnswerFactor = 15;

    explicit FuzzedPort(FuzzInput& input) : input_(input) {}

    void open(int) override { status_ = PortStatus::Ready; }
    PortStatus status() const override { return status_; }

    int read() override {
        if (status_ != PortStatus::Ready) {
            return 0;
        }
        const std::uint8_t length = input_.takeByte();
        int count = length & kCountBits;
        if ((length & kLongAnswer) != 0) {
            count *= kLongAnswerFactor;
        }
        const std::string answer = input_.takeBytes(static_cast<std::size_t>(count));
        std::copy(answer.begin(), answer.end(), buffer_.begin());
        return static_cast<int>(answer.size());
    }

    std::uint8_t byteAt(int position) const override {
        return position >= 0 && position < kBufferSize ? buffer_[static_cast<std::size_t>(position)] : 0;
    }

    bool write(int) override { return status_ == PortStatus::Ready; }

    void close() override { status_ = PortStatus::Closed; }

private:
    FuzzInput& input_;
    std::array<std::uint8_t, kBufferSize> buffer_{};
    PortStatus status_ = PortStatus::Closed;
};
