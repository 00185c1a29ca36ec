#pragma once

#include <algorithm>
#include <array>
#include <deque>
#include <vector>

#include "port_link.h"

// A port whose reads return scripted answers, one per read, for exchanges whose exact
// read-by-read shape matters; a read with nothing scripted returns 0. Every byte written is
// recorded. The buffer keeps stale bytes like the real port's.
class ScriptedPort final : public PortLink {
public:
    using Bytes = std::vector<std::uint8_t>;

    void script(std::initializer_list<Bytes> answers) { answers_.insert(answers_.end(), answers); }
    void script(const Bytes& answer) { answers_.push_back(answer); }

    void open(int) override { status_ = PortStatus::Ready; }
    PortStatus status() const override { return status_; }
    int read() override {
        if (answers_.empty()) {
            return 0;
        }
        const Bytes answer = answers_.front();
        answers_.pop_front();
        const int n = static_cast<int>(std::min<std::size_t>(answer.size(), 950));
        std::copy_n(answer.begin(), n, buffer_.begin());
        return n;
    }
    std::uint8_t byteAt(int position) const override {
        return position >= 0 && position < 1000 ? buffer_[position] : 0;
    }
    bool write(int value) override {
        sent.push_back(static_cast<std::uint8_t>(value));
        return true;
    }
    void close() override { status_ = PortStatus::Closed; }
    int msSinceInput() const override { return quietMs; }

    Bytes sent;
    int quietMs = kLongAgoMs;

private:
    std::deque<Bytes> answers_;
    std::array<std::uint8_t, 1000> buffer_{};
    PortStatus status_ = PortStatus::Closed;
};
