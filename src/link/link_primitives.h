#pragma once

#include <cstdint>

// The byte-level primitives every exchange with the unit is made of, as each window that
// talks to the unit has them: one byte per write, one read per step, and the bytes of the
// step's read by position. The main window owns the real ones; its dialogs borrow them.
class LinkPrimitives {
public:
    virtual ~LinkPrimitives() = default;

    virtual void sendByte(std::uint8_t b) = 0;
    // Reads what arrived since the previous step; returns how many bytes it holds.
    virtual int readAnswer() = 0;
    // A read whose bytes nobody looks at: what a late or stray answer left is gone.
    virtual void discardInput() = 0;
    virtual std::uint8_t answerByte(int position) = 0;
    // How long the unit has sent nothing, as the port measures it (PortLink::msSinceInput).
    virtual int msSinceInput() = 0;
};
