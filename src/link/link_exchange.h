#pragma once

#include <cstdint>

#include "link_primitives.h"
#include "port_link.h"

// The link primitives on a port, and the echo chain used where the unit echoes each data
// byte.
class LinkExchange final : public LinkPrimitives {
public:
    explicit LinkExchange(PortLink& port) : port_(port) {}

    void sendByte(std::uint8_t b) override { port_.write(b); }
    int readAnswer() override { return port_.read(); }
    void discardInput() override { port_.read(); }
    std::uint8_t answerByte(int position) override { return port_.byteAt(position); }
    int msSinceInput() override { return port_.msSinceInput(); }

    // Reads what arrived since the previous step (it should be exactly the echo of the
    // previous byte), sends b, and advances lastSentByte to b only when that echo was
    // right. Returns 0 for a good echo, else 1; a broken chain shows in the final check.
    int sendEchoed(std::uint8_t b);

    std::uint8_t lastSentByte() const { return lastSentByte_; }
    void setLastSentByte(std::uint8_t b) { lastSentByte_ = b; }

    PortLink& port() { return port_; }

private:
    PortLink& port_;
    std::uint8_t lastSentByte_ = 0;
};
