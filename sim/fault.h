#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A fault the simulated unit injects into one run. It hits the answers of one exchange:
// the exchange that begins with `command` (any command when unset), its `nth` answer byte
// (counted from 0 within that exchange) where the kind concerns a single byte, and only
// the `occurrence`-th such exchange (counted from 0) of the run.
//
// An exchange is everything the unit answers from a command byte to the next command byte.
// An unset command stands for the exchanges the kind can concern: the erases for
// SlowErase, the access code for RefuseCode, and for the other kinds every command that
// is answered at all (the end of link, 0x76 and 0x7A are hit only when named).
//
// Written on the command line as  kind[@command[:nth[:occurrence]]], numbers in decimal or
// 0x-hex, the command "*" for any, for example  silence@0x23  wrong@0x20:1
// drop-echo@0x24:5  split@0x6B:5  stray@*:0:3  refuse-code  slow-erase  hangup@0x18.
enum class FaultKind {
    None,
    Silence,      // no answer at all from the exchange of `command` on
    WrongByte,    // answer byte `nth` replaced by its complement
    DropEcho,     // answer byte `nth` left out
    DoubleEcho,   // answer byte `nth` sent twice
    StrayByte,    // an extra byte 0x55 after answer byte `nth`
    SplitAnswer,  // answer bytes from `nth` on held back for kSplitDelayMs
    RefuseCode,   // every access code is refused
    SlowErase,    // erase progress bytes come further apart than 150 ms
    HangUp,       // the line is dropped when the exchange of `command` begins
};

struct Fault {
    FaultKind kind = FaultKind::None;
    std::optional<std::uint8_t> command;
    int nth = 0;
    int occurrence = 0;

    static constexpr int kSplitDelayMs = 60;
    static constexpr int kSlowEraseIntervalMs = 200;
    static constexpr std::uint8_t kStrayByte = 0x55;

    friend bool operator==(const Fault&, const Fault&) = default;
};

// Parses the command-line form; nothing for an unknown or malformed text.
std::optional<Fault> parseFault(std::string_view text);
// The command-line form, in the shortest spelling that parses back to the same fault.
std::string describe(const Fault& fault);
