#include "unit_model.h"

#include <algorithm>

#include "unit_commands.h"

namespace {

// Anything but kCodeAccepted refuses the code; a real unit answers NAK.
constexpr std::uint8_t kCodeRefused = 0x15;
constexpr std::uint8_t kNoKeyHeld = 0;
constexpr std::uint8_t kKeyHeld = 1;
constexpr std::size_t kMaxNameBytes = 49;
constexpr std::uint8_t kErased = 0xFF;      // a memory byte not written since the erase
constexpr std::uint8_t kDeletedKey = 0x00;  // what a delete leaves in the key bytes
constexpr std::uint8_t kCommentEnd = 0x00;

// Parameter bytes of the key write: record number (2), key code, floor mask, then the
// comment up to its closing 0x00. A comment is never longer than a record allows (one
// record-size byte), so more than that is not kept.
constexpr int kRecordNumberBytes = 2;
constexpr int kKeyEnd = kRecordNumberBytes + kKeyCodeSize;  // 14
constexpr int kFloorsEnd = kKeyEnd + kFloorMaskSize;        // 17
constexpr std::size_t kMaxKeptParams = kFloorsEnd + 256;

constexpr int kImageBytes = unit::kImageBlockSize * unit::kImageBlocks;

bool isErase(std::uint8_t command) {
    return command == unit::kEraseKeys || command == unit::kEraseLogs;
}

// Commands the unit never answers; a fault of unset command leaves them alone.
bool isSilentCommand(std::uint8_t command) {
    return command == unit::kEndOfLink || command == unit::kBeginAddKeys || command == unit::kEndAddKeys;
}

bool concerns(const Fault& fault, std::uint8_t command) {
    if (fault.command) {
        return *fault.command == command;
    }
    switch (fault.kind) {
        case FaultKind::SlowErase:
            return isErase(command);
        case FaultKind::RefuseCode:
            return command == unit::kAccessCode;
        default:
            return !isSilentCommand(command);
    }
}

}  // namespace

UnitModel::UnitModel() : UnitModel(Config{}) {}

UnitModel::UnitModel(const Config& config) : config_(config), accessCode_(config.accessCode) {
    memory_.fill(kErased);
}

void UnitModel::setFault(const Fault& fault) {
    faults_.clear();
    silenced_ = false;
    addFault(fault);
}

void UnitModel::addFault(const Fault& fault) {
    if (fault.kind != FaultKind::None) {
        faults_.push_back({fault});
    }
}

const Fault& UnitModel::fault() const {
    static const Fault none;
    return faults_.empty() ? none : faults_.front().fault;
}

void UnitModel::reconnect() {
    hungUp_ = false;
    output_.clear();
    finish();
    handshakeDone_ = false;
    loggedIn_ = false;
    std::erase_if(faults_, [](const FaultState& f) { return f.fault.kind == FaultKind::HangUp && f.active; });
}

void UnitModel::holdKey(const KeyCode& key) {
    heldKey_ = key;
    keyHeld_ = true;
    events_.push_back(key);
}

void UnitModel::releaseKey() {
    keyHeld_ = false;
}

void UnitModel::receive(std::uint8_t byte, Millis now) {
    if (hungUp_) {
        return;
    }
    received_.push_back(byte);
    if (command_ >= 0 && now - lastByteAt_ > config_.commandTimeoutMs) {
        finish();
    }
    lastByteAt_ = now;
    if (command_ < 0) {
        startCommand(byte, now);
    } else {
        continueCommand(byte, now);
    }
}

std::vector<std::uint8_t> UnitModel::takeOutput(Millis now, std::size_t limit) {
    std::vector<std::uint8_t> bytes;
    while (!output_.empty() && output_.front().due <= now && bytes.size() < limit) {
        bytes.push_back(output_.front().byte);
        output_.pop_front();
    }
    return bytes;
}

UnitModel::Millis UnitModel::nextOutputTime() const {
    return output_.empty() ? -1 : output_.front().due;
}

bool UnitModel::startsCommand(std::uint8_t byte) const {
    switch (byte) {
        case unit::kAccessCode:
            return handshakeDone_;
        case unit::kHandshake:
        case unit::kEndOfLink:
        case unit::kKeepAlive:
        case unit::kReadReader:
        case unit::kWriteKey:
        case unit::kDeleteKey:
        case unit::kEraseKeys:
        case unit::kEraseLogs:
        case unit::kLiftName:
        case unit::kRecordSize:
        case unit::kAccessTime:
        case unit::kRelayByte:
        case unit::kSetAccessCode:
        case unit::kClock:
        case unit::kImageWrite:
        case unit::kBeginAddKeys:
        case unit::kEndAddKeys:
            return true;
        default:
            return false;
    }
}

// Every command byte opens a new exchange: the answers are counted afresh, and each fault
// decides whether this is the exchange it hits.
void UnitModel::beginExchange(std::uint8_t command) {
    answerIndex_ = 0;
    for (FaultState& f : faults_) {
        f.active = false;
        if (!concerns(f.fault, command)) {
            continue;
        }
        const int seen = f.exchanges++;
        f.active = seen == f.fault.occurrence;
        if (f.active && f.fault.kind == FaultKind::Silence) {
            silenced_ = true;
        }
        if (f.active && f.fault.kind == FaultKind::HangUp) {
            hungUp_ = true;
            output_.clear();
        }
    }
}

void UnitModel::startCommand(std::uint8_t command, Millis now) {
    if (!startsCommand(command)) {
        return;
    }
    beginExchange(command);
    if (hungUp_) {
        return;
    }
    switch (command) {
        case unit::kEndOfLink:
            handshakeDone_ = false;
            loggedIn_ = false;
            return;
        case unit::kKeepAlive:
            answer({unit::kAck}, now);
            return;
        case unit::kReadReader:
            answer({keyHeld_ ? kKeyHeld : kNoKeyHeld}, now);
            for (const std::uint8_t b : heldKey_) {
                answer({keyHeld_ ? b : std::uint8_t{0}}, now);
            }
            return;
        case unit::kBeginAddKeys:
        case unit::kEndAddKeys:
            return;
        default:
            // Parameter bytes follow.
            command_ = command;
            params_.clear();
            paramCount_ = 0;
            return;
    }
}

// One parameter byte of the command under way; `k` counts them from 1.
void UnitModel::continueCommand(std::uint8_t byte, Millis now) {
    const int k = ++paramCount_;
    if (command_ != unit::kImageWrite && params_.size() < kMaxKeptParams) {
        params_.push_back(byte);
    }
    switch (command_) {
        case unit::kHandshake: {
            static constexpr std::uint8_t kRest[] = {unit::kHandshakeZ, unit::kHandshakeY, unit::kHandshakeL};
            const bool expected = k == 1 ? byte == unit::kHandshakeUsb || byte == unit::kHandshakeBluetooth
                                         : byte == kRest[k - 2];
            if (!expected) {
                finish();
            } else if (k == 4) {
                handshakeDone_ = true;
                answer({unit::kUnitPresent}, now);
                finish();
            }
            return;
        }
        case unit::kAccessCode:
            if (k == 2) {
                const int code = params_[0] << 8 | params_[1];
                loggedIn_ = code == accessCode_ && !faultActive(FaultKind::RefuseCode);
                answer({loggedIn_ ? unit::kCodeAccepted : kCodeRefused}, now);
                handshakeDone_ = false;
                finish();
            }
            return;
        case unit::kLiftName:
            // Each byte is echoed; the terminator's echo is followed by one more 0xFF.
            answer({byte}, now);
            if (byte == unit::kNameEnd) {
                answer({unit::kNameEnd}, now);
                const std::size_t length = std::min(params_.size() - 1, kMaxNameBytes);
                liftName_.assign(params_.begin(), params_.begin() + static_cast<std::ptrdiff_t>(length));
                finish();
            }
            return;
        case unit::kRecordSize:
            recordSize_ = byte;
            answer({unit::kAck}, now);
            finish();
            return;
        case unit::kAccessTime:
            accessTime_ = byte;
            answer({unit::kAck}, now);
            finish();
            return;
        case unit::kRelayByte:
            relayByte_ = byte;
            answer({unit::kAck}, now);
            finish();
            return;
        case unit::kSetAccessCode:
            // The high byte is echoed alone; the low byte's echo comes with the acknowledgement.
            if (k == 1) {
                answer({byte}, now);
            } else {
                answer({byte, unit::kAck}, now);
                accessCode_ = params_[0] << 8 | params_[1];
                finish();
            }
            return;
        case unit::kClock:
            answer({byte}, now);
            if (k == 6) {
                clock_ = {params_[0], params_[1], params_[2], params_[3], params_[4], params_[5]};
                answer({unit::kAck}, now, config_.clockAckDelayMs);
                finish();
            }
            return;
        case unit::kEraseKeys:
        case unit::kEraseLogs: {
            const std::uint8_t last =
                command_ == unit::kEraseKeys ? unit::kEraseKeysEnd : unit::kEraseLogsEnd;
            if (byte != (k == 1 ? unit::kEraseMiddle : last)) {
                finish();
            } else if (k == 2) {
                if (command_ == unit::kEraseKeys) {
                    memory_.fill(kErased);
                    ++keyErasures_;
                } else {
                    events_.clear();
                    ++logErasures_;
                }
                scheduleErase(now);
                finish();
            }
            return;
        }
        case unit::kWriteKey:
            if (k <= kFloorsEnd) {
                answer({byte}, now);
            }
            if (k == kFloorsEnd) {
                storeKeyAndFloors();
                answer({unit::kAck}, now, config_.answerDelayMs + config_.workDelayMs);
            } else if (k > kFloorsEnd && byte == kCommentEnd) {
                // The comment goes unanswered up to its closing 0x00.
                storeComment();
                answer({unit::kAck}, now);
                finish();
            }
            return;
        case unit::kDeleteKey:
            answer({byte}, now);
            if (k == 2) {
                const int base = (params_[0] << 8 | params_[1]) * recordSize_;
                for (int i = 0; i < kKeyCodeSize && base + i < kImageSize; ++i) {
                    memory_[static_cast<std::size_t>(base + i)] = kDeletedKey;
                }
                answer({unit::kAck}, now, config_.answerDelayMs + config_.workDelayMs);
                finish();
            }
            return;
        case unit::kImageWrite: {
            if (k == 1 && byte != unit::kImageWrite2) {
                finish();
            } else if (k == 2) {
                if (byte == unit::kImageWrite3) {
                    answer({unit::kImageReady}, now);
                } else {
                    finish();
                }
            } else if (k > 2) {
                const int address = k - 3;
                memory_[static_cast<std::size_t>(address)] = byte;
                if ((address + 1) % unit::kImageBlockSize == 0) {
                    ++blocksReceived_;
                    const bool alternate =
                        config_.blockAcceptedEvery > 0 && blocksReceived_ % config_.blockAcceptedEvery == 0;
                    // A block takes about 67 ms on the wire at 19200 baud; a pseudo-terminal
                    // has no line speed, so the unit answers only after that time, as it
                    // would at the far end of a real line.
                    answer({alternate ? unit::kBlockAccepted : unit::kAck}, now, config_.blockAckDelayMs);
                }
                if (address + 1 == kImageBytes) {
                    finish();
                }
            }
            return;
        }
        default:
            finish();
            return;
    }
}

void UnitModel::answer(std::initializer_list<std::uint8_t> bytes, Millis now, int delayMs) {
    const Millis due = now + (delayMs < 0 ? config_.answerDelayMs : delayMs);
    for (const std::uint8_t b : bytes) {
        sendAt(b, due);
    }
}

// One answer byte of the current exchange, through the faults that hit it.
void UnitModel::sendAt(std::uint8_t byte, Millis due) {
    const int index = answerIndex_++;
    if (silenced_) {
        return;
    }
    int copies = 1;
    bool stray = false;
    for (const FaultState& f : faults_) {
        if (!f.active) {
            continue;
        }
        const bool hit = index == f.fault.nth;
        switch (f.fault.kind) {
            case FaultKind::WrongByte:
                byte = hit ? static_cast<std::uint8_t>(~byte) : byte;
                break;
            case FaultKind::DropEcho:
                copies = hit ? 0 : copies;
                break;
            case FaultKind::DoubleEcho:
                copies = hit ? 2 : copies;
                break;
            case FaultKind::StrayByte:
                stray = stray || hit;
                break;
            case FaultKind::SplitAnswer:
                due += index >= f.fault.nth ? Fault::kSplitDelayMs : 0;
                break;
            default:
                break;
        }
    }
    for (int i = 0; i < copies; ++i) {
        enqueue(byte, due);
    }
    if (stray) {
        enqueue(Fault::kStrayByte, due);
    }
}

// The line carries one byte after the other: nothing overtakes a byte queued before it.
void UnitModel::enqueue(std::uint8_t byte, Millis due) {
    if (!output_.empty()) {
        due = std::max(due, output_.back().due);
    }
    output_.push_back({due, byte});
}

bool UnitModel::faultActive(FaultKind kind) const {
    return std::any_of(faults_.begin(), faults_.end(), [kind](const FaultState& f) {
        return f.fault.kind == kind && (f.active || kind == FaultKind::RefuseCode);
    });
}

// 0x07 at once, a progress byte every interval while the erase lasts, 0x03 at its end.
void UnitModel::scheduleErase(Millis now) {
    const int interval =
        faultActive(FaultKind::SlowErase) ? Fault::kSlowEraseIntervalMs : config_.progressIntervalMs;
    const Millis accepted = now + config_.answerDelayMs;
    sendAt(unit::kUnitPresent, accepted);
    for (Millis t = interval; interval > 0 && t < config_.eraseMs; t += interval) {
        sendAt(unit::kEraseProgress, accepted + t);
    }
    sendAt(unit::kEraseDone, accepted + std::max(config_.eraseMs, 0));
}

void UnitModel::storeKeyAndFloors() {
    const int base = (params_[0] << 8 | params_[1]) * recordSize_;
    for (int i = 0; i < kKeyCodeSize + kFloorMaskSize && base + i < kImageSize; ++i) {
        memory_[static_cast<std::size_t>(base + i)] =
            params_[static_cast<std::size_t>(kRecordNumberBytes + i)];
    }
}

// The comment as far as the record holds it, the rest of the record zero-filled.
void UnitModel::storeComment() {
    const int base = (params_[0] << 8 | params_[1]) * recordSize_;
    const int commentBytes = paramCount_ - kFloorsEnd - 1;  // without the 0x00
    for (int i = 0; i < recordSize_ - kCommentOffset; ++i) {
        const int address = base + kCommentOffset + i;
        if (address >= kImageSize) {
            break;
        }
        memory_[static_cast<std::size_t>(address)] =
            i < commentBytes ? params_[static_cast<std::size_t>(kFloorsEnd + i)] : std::uint8_t{0};
    }
}

void UnitModel::finish() {
    command_ = -1;
    params_.clear();
    paramCount_ = 0;
}
