#include "key_dialog.h"

#include <algorithm>

#include "key_code.h"
#include "main_window_link.h"
#include "window.h"

// The reader exchange: each cycle sends the read-key command and collects the unit's
// 13-byte answer over as many ticks as it takes. exchangeStep is 0 before the command of
// the cycle is sent, afterwards 1 + the answer bytes received so far.
void KeyDialog::onTimer(int id) {
    if (id != kReaderTimer) {
        return;
    }
    switch (exchangeStep) {
        case 0:
            link_.discardInput();
            link_.sendByte(unit::kReadReader);
            exchangeStep = 1;
            return;
        default: {
            const int n = link_.readAnswer();
            idleReads = n == 0 ? idleReads + 1 : 0;
            if (idleReads > kMaxIdleReads) {
                window().stopTimer(timerId);
                link_.reportError(501, ErrorKind::Disconnect, {});
                window().setEnabled(kOkButton, false);
                return;
            }
            // Editing and typing by hand keep the answer out; bytes past the 13th are dropped.
            for (int i = 0; i < n; ++i) {
                const int position = exchangeStep - 1 + i;
                if (position < unit::kReaderAnswerSize && readerMode == 1) {
                    answer[position] = link_.answerByte(i);
                }
            }
            exchangeStep += n;
            if (exchangeStep < unit::kReaderAnswerSize + 1) {
                return;
            }
            if (readerMode == 1 && manualEntry == 0) {
                renderKeyText();
            }
            exchangeStep = 0;
            return;
        }
    }
}

// A key taken away from the reader (status 0) leaves the last code shown; a code that
// fails its check blanks the field and the key code.
void KeyDialog::renderKeyText() {
    if (answer[0] != 0) {
        std::copy(answer.begin() + 1, answer.end(), keyCode.begin());
    }
    showKeyText(renderReaderKey(keyCode));
}
