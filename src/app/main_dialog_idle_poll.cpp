#include "exchange_judges.h"
#include "main_dialog.h"
#include "unit_commands.h"

namespace {

// The link counts as lost after this many poll cycles in a row without an acknowledgement.
constexpr int kMaxMissedPolls = 5;

}  // namespace

bool MainDialog::beginIdlePoll(int periodMs) {
    if (!startMainTimer(kIdlePollTimer, periodMs)) {
        return false;
    }
    s_.pollStep = 0;
    enableButtons();
    return true;
}

// Timer 2: asks the reader for a held key and selects its row, and keeps the link alive.
// Step 0 only runs after a start; steps 1..4 then repeat, one cycle every four ticks.
void MainDialog::stepIdlePoll() {
    switch (s_.pollStep) {
        case 0:
            break;
        case 1:
            discardInput();
            sendByte(unit::kReadReader);
            break;
        case 2:
            // Anything but a whole reader answer is ignored; status 0 means no key is held.
            if (readAnswer() == unit::kReaderAnswerSize) {
                for (int i = 0; i < kKeyCodeSize; ++i) {
                    s_.readerKey[i] = answerByte(i + 1);
                }
                if (answerByte(0) != 0) {
                    selectKeyByCode();
                }
            }
            break;
        case 3:
            sendByte(unit::kKeepAlive);
            break;
        case 4:
            s_.pollStep = 0;
            if (keepAliveLost(readAnswer(), *this, s_.missedPolls, kMaxMissedPolls)) {
                reportError(600, ErrorKind::Disconnect, {});
            }
            break;
    }
    s_.pollStep += 1;
}
