#include "main_dialog.h"

#include "cp1250_literal.h"

#include "unit_commands.h"
#include "window.h"

namespace {
// The unit needs 3.6 s to clear a record before it answers.
constexpr int kDeleteCheckStep = 20;
}  // namespace

void MainDialog::beginKeyDelete(int record, bool writeAfter) {
    s_.deleteId = record;
    s_.editAfterDelete = writeAfter ? 1 : 0;
    discardInput();
    sendByte(unit::kDeleteKey);
    startOperation(kDeleteTimer, kDeletePeriod);
    s_.deleteStep = 0;
}

// Timer 6: sends the record number of deleteId after the 0x13 the handler sent, waits,
// and judges the answer; for an edit it hands over to the key write instead.
void MainDialog::stepKeyDelete() {
    logMark("*");
    const std::uint8_t high = static_cast<std::uint8_t>(s_.deleteId >> 8);
    const std::uint8_t low = static_cast<std::uint8_t>(s_.deleteId);
    switch (s_.deleteStep) {
        case 0:
            // The unit echoes the high byte alone before the low byte goes out.
            setLastSentByte(high);
            sendByte(high);
            break;
        case 1:
            sendEchoed(low);
            break;
        case kDeleteCheckStep: {
            if (s_.editAfterDelete == 1) {
                // The delete's answer is left on the line; the write's first step discards it.
                stopCurrentTimer();
                beginKeyWrite();
                return;
            }
            returnToIdle(s_.currentTimerId);
            const int n = readAnswer();
            if (n <= 1) {
                reportError(203, ErrorKind::Fatal, {});
            } else if (answerByte(0) != low) {
                reportError(201, ErrorKind::Fatal, {});
            } else if (answerByte(1) != unit::kAck) {
                reportError(202, ErrorKind::Fatal, {});
            } else {
                logLine(std::string("Klíč s ID "_cp) + std::to_string(s_.deleteId) +
                        std::string(" byl vymazán!"_cp));
                deleteKey(s_.image, s_.recordSize, s_.deleteId);
            }
            break;
        }
        default:  // waiting for the unit
            break;
    }
    s_.deleteStep += 1;
}
