#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

#include "fault.h"
#include "key_record.h"
#include "memory_image.h"

// A ZYL unit as the program sees it over the serial line: it takes the bytes the PC sends
// and schedules its answers with the delays a unit needs. It has no clock of its own: the
// caller passes the time of every call (milliseconds from any origin, never decreasing),
// so the same model serves real time on a pseudo-terminal and tests that step it.
//
// The unit sends one byte after the other: answers leave in the order they were given,
// and one that is due early waits behind one that is due later. A unit fresh from the
// factory is erased (every memory byte 0xFF). Bytes outside any exchange that start no
// command are ignored; 0x07 starts the access code only right after a handshake. A
// command whose parameter bytes stop coming for commandTimeoutMs is dropped, so a program
// that died in the middle of one finds the unit listening again.
class UnitModel {
public:
    using Millis = std::int64_t;

    struct Config {
        int accessCode = 4827;
        int eraseMs = 1500;            // how long each erase (keys, logs) takes
        int progressIntervalMs = 100;  // 0x0A progress bytes while erasing
        int answerDelayMs = 1;         // a unit answers within about a millisecond
        int clockAckDelayMs = 2000;    // 0x06 after the clock's seconds
        int workDelayMs = 5;           // a key record stored or cleared, then 0x06 after the echo
        int blockAcceptedEvery = 0;    // every such image block is answered 0x0D instead of 0x06 (0: none)
        int blockAckDelayMs = 70;      // an image block's answer, after the block's time on the line
        int commandTimeoutMs = 10000;  // longer than any pause inside an exchange
    };

    struct Clock {
        int year = 0;  // the two digits the PC sends (year modulo 100)
        int month = 0, day = 0, hour = 0, minute = 0, second = 0;
    };

    UnitModel();
    explicit UnitModel(const Config& config);

    // PC -> unit: one byte at time `now`. Nothing arrives while the line is hung up.
    void receive(std::uint8_t byte, Millis now);
    // Unit -> PC: the answer bytes due by `now`, in order, at most `limit` of them, taken
    // out of the queue.
    std::vector<std::uint8_t> takeOutput(Millis now,
                                         std::size_t limit = std::numeric_limits<std::size_t>::max());
    // When the next answer byte falls due; -1 when nothing is queued.
    Millis nextOutputTime() const;

    // setFault replaces every fault with this one (FaultKind::None: no fault); addFault
    // adds one, each fault counting its exchanges for itself.
    void setFault(const Fault& fault);
    void addFault(const Fault& fault);
    // The first fault (a fault of kind None when there is none).
    const Fault& fault() const;
    // The line was dropped by a HangUp fault; the transport closes it.
    bool hungUp() const { return hungUp_; }
    // The line is back after a hang-up: nothing queued, no command under way, nobody logged
    // in, the spent HangUp faults gone; memory and settings stay.
    void reconnect();

    // A key held at the reader: status 1 and its code in every reader answer until released.
    // Each key presented is an event in the unit's log.
    void holdKey(const KeyCode& key);
    void releaseKey();

    // What the unit holds.
    const MemoryImage& memory() const { return memory_; }
    MemoryImage& memory() { return memory_; }
    int recordSize() const { return recordSize_; }
    int accessTime() const { return accessTime_; }
    std::uint8_t relayByte() const { return relayByte_; }
    const std::string& liftName() const { return liftName_; }  // code page 1250
    int accessCode() const { return accessCode_; }
    const Clock& clock() const { return clock_; }
    bool loggedIn() const { return loggedIn_; }
    int keyErasures() const { return keyErasures_; }
    int logErasures() const { return logErasures_; }
    int imageBlocksReceived() const { return blocksReceived_; }     // since the unit was created
    const std::vector<KeyCode>& events() const { return events_; }  // keys presented since the log erase
    const std::vector<std::uint8_t>& received() const { return received_; }  // every byte in

private:
    struct Pending {
        Millis due;
        std::uint8_t byte;
    };
    struct FaultState {
        Fault fault;
        int exchanges = 0;    // exchanges of the fault's command seen so far
        bool active = false;  // the current exchange is the one the fault hits
    };

    bool startsCommand(std::uint8_t byte) const;
    void beginExchange(std::uint8_t command);
    void startCommand(std::uint8_t command, Millis now);
    void continueCommand(std::uint8_t byte, Millis now);
    void answer(std::initializer_list<std::uint8_t> bytes, Millis now, int delayMs = -1);
    void sendAt(std::uint8_t byte, Millis due);
    void enqueue(std::uint8_t byte, Millis due);
    bool faultActive(FaultKind kind) const;
    void scheduleErase(Millis now);
    void storeKeyAndFloors();
    void storeComment();
    void finish();

    Config config_;
    std::vector<FaultState> faults_;
    bool silenced_ = false;
    int answerIndex_ = 0;  // answer bytes of the current exchange so far
    bool hungUp_ = false;

    std::deque<Pending> output_;
    std::vector<std::uint8_t> received_;

    // The command being received (-1: none), its parameter bytes so far and their count
    // (the image's data bytes are counted, not kept).
    int command_ = -1;
    std::vector<std::uint8_t> params_;
    int paramCount_ = 0;
    Millis lastByteAt_ = 0;
    bool handshakeDone_ = false;
    bool loggedIn_ = false;

    MemoryImage memory_{};
    int recordSize_ = 65;
    int accessTime_ = 5;
    std::uint8_t relayByte_ = 0;
    std::string liftName_;
    int accessCode_ = 4827;
    Clock clock_;
    KeyCode heldKey_{};
    bool keyHeld_ = false;
    std::vector<KeyCode> events_;
    int keyErasures_ = 0;
    int logErasures_ = 0;
    int blocksReceived_ = 0;
};
