// The connect handshake on timer 1: five bytes that ask whether a ZYL unit is on the port,
// then the access code.

#include "cp1250_literal.h"
#include "main_dialog.h"
#include "port_link.h"
#include "unit_commands.h"

void MainDialog::beginHandshake() {
    s_.connectStep = 0;
    startOperation(kHandshakeTimer, kHandshakePeriod);
}

bool MainDialog::answerHolds(std::uint8_t b) {
    const int n = readAnswer();
    for (int i = 0; i < n; ++i) {
        if (answerByte(i) == b) {
            return true;
        }
    }
    return false;
}

void MainDialog::stepHandshake() {
    switch (s_.connectStep) {
        case 0:
            sendByte(unit::kHandshake);
            break;
        case 1:
            sendByte(s_.linkKind == LinkKind::Usb ? unit::kHandshakeUsb : unit::kHandshakeBluetooth);
            break;
        case 2:
            sendByte(unit::kHandshakeZ);
            break;
        case 3:
            sendByte(unit::kHandshakeY);
            break;
        case 4:
            sendByte(unit::kHandshakeL);
            break;
        case 5:
            if (!answerHolds(unit::kUnitPresent)) {
                s_.portOpen = 0;
                stopCurrentTimer();
                link_.port().close();
                logLine("ZYL nenalezen na COM" + std::to_string(s_.comPort));
                s_.comPort += 1;
                if (s_.searchAll) {
                    searchPorts(s_.comPort, kLastComPort);
                } else {
                    enableButtons();
                }
                return;
            }
            logLine("ZYL nalezen na COM" + std::to_string(s_.comPort));
            sendByte(unit::kAccessCode);
            break;
        case 6:
            sendByte((s_.accessCode >> 8) & 0xFF);
            break;
        case 7:
            sendByte(s_.accessCode & 0xFF);
            break;
        case 8:
            stopCurrentTimer();
            if (answerHolds(unit::kCodeAccepted)) {
                logLine(std::string("ZYL připojen na COM"_cp) + std::to_string(s_.comPort) + ".");
                s_.linkState = LinkState::Connected;
                s_.buttonEnabled = MainDialogState::kConnectedButtons;
                loadFactoryDefaults();
            } else {
                logLine("ZYL nepřipojen!"_cp);
                link_.port().close();
                s_.portOpen = 0;
                enableButtons();
            }
            return;
    }
    ++s_.connectStep;
}
