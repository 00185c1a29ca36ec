#include "main_dialog.h"

#include "cp1250_literal.h"
#include "unit_commands.h"

namespace {

// Steps of timer 7 for one record. After 0x11 (sent by beginKeyWrite) the record number
// and the key and floor bytes go out echoed, one per tick; the unit then takes 4.2 s before
// it confirms them. The comment follows one byte per tick up to its first 0x00, and eleven
// more ticks end the record.
enum class WritePhase {
    RecordHigh,
    RecordLow,
    KeyByte,
    FloorByte,
    Wait,
    FirstPartCheck,
    CommentByte,
    CommentAck,
    Drain,
    RecordDone
};

struct PhaseStart {
    int firstStep;
    WritePhase phase;
};

// Each phase runs from its first step up to the next row's.
constexpr PhaseStart kPhases[] = {
    {0, WritePhase::RecordHigh},       // record number, high byte
    {1, WritePhase::RecordLow},        // record number, low byte
    {2, WritePhase::KeyByte},          // record bytes 0..11
    {14, WritePhase::FloorByte},       // record bytes 12..14
    {17, WritePhase::Wait},            // the unit stores the first part
    {38, WritePhase::FirstPartCheck},  // judged, then the comment's first byte
    {39, WritePhase::CommentByte},     // up to the comment's first 0x00
    {1000, WritePhase::CommentAck},    // the comment's acknowledgement
    {1001, WritePhase::Drain},         // what else the unit sends
    {1010, WritePhase::RecordDone},
};

constexpr int firstStepOf(WritePhase phase) {
    for (const PhaseStart& row : kPhases) {
        if (row.phase == phase) {
            return row.firstStep;
        }
    }
    return -1;
}

constexpr int kFirstKeyStep = firstStepOf(WritePhase::KeyByte);
constexpr int kCommentAckStep = firstStepOf(WritePhase::CommentAck);
// The first part's check sends the comment's first byte (record byte 15) as well.
constexpr int kCommentStepToOffset = firstStepOf(WritePhase::FirstPartCheck) - kCommentOffset;

WritePhase phaseOf(int step) {
    WritePhase phase = WritePhase::RecordHigh;
    for (const PhaseStart& row : kPhases) {
        if (step >= row.firstStep) {
            phase = row.phase;
        }
    }
    return phase;
}

}  // namespace

bool MainDialog::beginKeyWrite() {
    sendByte(unit::kWriteKey);
    if (!startMainTimer(kWriteTimer, kWritePeriod)) {
        return false;
    }
    s_.writeStep = 0;
    s_.writeIndex = 0;
    return true;
}

// Timer 7: writes the records of writeList from the image, one after another, then
// returns to the idle poll.
void MainDialog::stepKeyWrite() {
    const int record = s_.writeList[s_.writeIndex];
    const int base = record * s_.recordSize;
    const int step = s_.writeStep;
    if (step % 5 == 0) {
        logMark("*");
    }
    switch (phaseOf(step)) {
        case WritePhase::RecordHigh: {
            discardInput();
            const std::uint8_t high = static_cast<std::uint8_t>(record >> 8);
            setLastSentByte(high);
            sendByte(high);
            logLine("Ukladam klic s id " + std::to_string(record));
            logLine({});
            break;
        }
        case WritePhase::RecordLow:
            sendEchoed(static_cast<std::uint8_t>(record));
            break;
        case WritePhase::KeyByte:  // record bytes 0..11 in steps 2..13
            sendEchoed(s_.image[base + step - kFirstKeyStep]);
            break;
        case WritePhase::FloorByte:  // record bytes 12..14 in steps 14..16
            logLine("Odesilam patra");
            logLine({});
            sendEchoed(s_.image[base + step - kFirstKeyStep]);
            break;
        case WritePhase::Wait:
            break;
        case WritePhase::FirstPartCheck: {
            // Only this answer is judged: a broken echo earlier on goes unnoticed.
            const int n = readAnswer();
            if (n <= 1) {
                reportError(103, ErrorKind::Fatal, {});
                return;
            }
            if (answerByte(0) != s_.image[base + kFloorOffset + kFloorMaskSize - 1]) {
                reportError(101, ErrorKind::Fatal, {});
                return;
            }
            if (answerByte(1) != unit::kAck) {
                reportError(102, ErrorKind::Fatal, {});
                return;
            }
            logLine("Prvni cast OK");
            logLine({});
            [[fallthrough]];
        }
        case WritePhase::CommentByte: {
            // The comment goes out unechoed up to and including its first 0x00; one that
            // fills the record gets a 0x00 of its own, and then no acknowledgement is judged.
            // A record without comment bytes (size 15) ends at once, as an empty comment: the
            // byte after it is the next record's.
            const int offset = s_.writeStep - kCommentStepToOffset;
            const std::uint8_t c = offset < s_.recordSize ? s_.image[base + offset] : 0;
            sendByte(c);
            if (c == 0) {
                s_.writeStep = kCommentAckStep;
                return;
            }
            if (offset > s_.recordSize - 2) {
                s_.writeStep = kCommentAckStep + 1;
                sendByte(0);
                logLine("Komentar ulozen - pozn. 1001");
                return;
            }
            break;
        }
        case WritePhase::CommentAck: {
            const int n = readAnswer();
            if (n <= 0) {
                reportError(105, ErrorKind::Fatal, {});
                return;
            }
            if (answerByte(0) != unit::kAck) {
                reportError(104, ErrorKind::Fatal, {});
                return;
            }
            break;
        }
        case WritePhase::Drain:
            readAnswer();
            break;
        case WritePhase::RecordDone:
            readAnswer();
            logLine("Klíč byl uložen"_cp);
            if (s_.writeList[s_.writeIndex + 1] != -1) {
                s_.writeIndex += 1;
                logLine({});
                sendByte(unit::kWriteKey);
                s_.writeStep = 0;
                return;
            }
            returnToIdle(s_.currentTimerId);
            break;
    }
    s_.writeStep += 1;
}
