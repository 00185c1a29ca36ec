// The last stage of the factory reset on timer 8: the unit erases all keys, then all logs,
// sending a progress byte at least every 150 ms and 0x03 when done.

#include "cp1250_literal.h"
#include "exchange_judges.h"
#include "main_dialog.h"
#include "port_link.h"
#include "unit_commands.h"

// The keys pass first; the logs pass follows on the same timer.
void MainDialog::beginErase() {
    s_.eraseKeys = 1;
    if (!startMainTimer(kEraseTimer, kErasePeriod)) {
        return;
    }
    s_.eraseStep = 0;
}

void MainDialog::stepErase() {
    const bool keys = s_.eraseKeys == 1;
    switch (s_.eraseStep) {
        case 0:
            discardInput();
            sendByte(keys ? unit::kEraseKeys : unit::kEraseLogs);
            break;
        case 1:
            sendByte(unit::kEraseMiddle);
            break;
        case 2:
            sendByte(keys ? unit::kEraseKeysEnd : unit::kEraseLogsEnd);
            break;
        case 3:
            if (const int code =
                    eraseAcceptError(readAnswer(), *this, keys ? ErasePass::Keys : ErasePass::Logs)) {
                stopCurrentTimer();
                reportError(code, ErrorKind::Disconnect, {});
            } else {
                logLine({});  // the progress marks collect on this line
            }
            break;
        default:
            eraseProgress();
            return;
    }
    ++s_.eraseStep;
}

void MainDialog::eraseProgress() {
    const bool keys = s_.eraseKeys == 1;
    const EraseProgress progress =
        judgeEraseProgress(readAnswer(), *this, keys ? ErasePass::Keys : ErasePass::Logs, s_.progressCount);
    for (int i = 0; i < progress.marks; ++i) {
        logMark("*");
    }
    switch (progress.outcome) {
        case EraseProgress::Outcome::Erasing:
            break;
        case EraseProgress::Outcome::Done:
            if (keys) {
                logLine("Všechny klíce byly smazány"_cp);
                clearImage();
                s_.eraseKeys = 0;
                s_.eraseStep = 0;  // the same timer runs on with the logs pass
                break;
            }
            logLine("Všechny logy byly smazány"_cp);
            stopCurrentTimer();
            logLine("Tovarni nastavení uloženo"_cp);
            sendByte(unit::kEndOfLink);
            link_.port().close();
            s_.portOpen = 0;
            enableButtons();
            break;
        case EraseProgress::Outcome::Failed:
            stopCurrentTimer();
            reportError(progress.code, ErrorKind::Disconnect, {});
            break;
    }
}
