// The last stage of the factory reset on timer 8: the unit erases all keys, then all logs,
// sending a progress byte at least every 150 ms and 0x03 when done.

#include "main_dialog.h"
#include "port_link.h"
#include "unit_commands.h"

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
        case 3: {
            const int n = readAnswer();
            if (n >= 1 && answerByte(0) == unit::kUnitPresent) {
                logLine({});  // the progress marks collect on this line
            } else {
                stopCurrentTimer();
                reportError(keys ? 521 : 522, ErrorKind::Disconnect, {});
            }
            break;
        }
        default:
            eraseProgress(keys);
            return;
    }
    ++s_.eraseStep;
}

void MainDialog::eraseProgress(bool keys) {
    const int n = readAnswer();
    if (n == 0) {
        stopCurrentTimer();
        reportError(keys ? 525 : 526, ErrorKind::Disconnect, {});
        return;
    }
    for (int i = 0; i < n; ++i) {
        const std::uint8_t b = answerByte(i);
        if (b == unit::kEraseProgress) {
            if (++s_.progressCount > 5) {
                logMark(QStringLiteral("*"));
                s_.progressCount = 0;
            }
        } else if (b == unit::kEraseDone && keys) {
            logLine(QStringLiteral("Všechny klíce byly smazány"));
            clearImage();
            s_.eraseKeys = 0;
            s_.eraseStep = 0;  // the same timer runs on with the logs pass
            return;
        } else if (b == unit::kEraseDone) {
            logLine(QStringLiteral("Všechny logy byly smazány"));
            stopCurrentTimer();
            logLine(QStringLiteral("Tovarni nastavení uloženo"));
            sendByte(unit::kEndOfLink);
            link_.port().close();
            s_.portOpen = 0;
            enableButtons();
            return;
        } else {
            stopCurrentTimer();
            reportError(keys ? 523 : 524, ErrorKind::Disconnect, {});
            return;
        }
    }
}
