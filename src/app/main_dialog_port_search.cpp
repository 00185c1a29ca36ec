// The connect command and the port search: ports are opened one after another until one
// opens and takes the line settings; the handshake then decides whether a unit is there.

#include <QCoreApplication>

#include "connect_dialog.h"
#include "desktop.h"
#include "main_dialog.h"
#include "port_link.h"
#include "unit_commands.h"

void MainDialog::onConnect() {
    ConnectDialog dialog(this);
    dialog.prompt = QStringLiteral("Vložte přístupový kód:");
    dialog.showLinkChoice = 1;
    s_.listClicked = 0;
    clearFloorChecks();
    if (Desktop::current().runModal(dialog) != QDialog::Accepted) {
        return;
    }
    s_.accessCode = dialog.accessCode;
    s_.linkKind = static_cast<LinkKind>(dialog.linkKind);
    logLine(QStringLiteral("Hledám ZYL..."));
    refusedPorts_.clear();
    s_.searchAll = 1;
    if (dialog.manualPort == 1) {
        searchPorts(dialog.portNumber, dialog.portNumber);
        s_.searchAll = 0;
    } else {
        searchPorts(kFirstComPort, kLastComPort);
    }
}

void MainDialog::searchPorts(int first, int last) {
    PortLink& port = link_.port();
    for (int p = first; p <= last; ++p) {
        s_.comPort = p;
        port.open(p);
        if (port.status() == PortStatus::Ready) {
            s_.portOpen = 1;
            discardInput();
            sendByte(unit::kEndOfLink);
            logLine(QStringLiteral("Nalezen Port COM%1").arg(p));
            s_.connectStep = 0;
            startOperation(kHandshakeTimer, kHandshakePeriod);
            return;
        }
        s_.portOpen = 0;
        if (const std::string refusal = port.lastRefusal(); !refusal.empty()) {
            refusedPorts_ << QString::fromStdString(refusal);
        }
        // Repaint between tries: opening a port can take a moment (a Bluetooth port connects
        // when it is opened). User input waits, since the buttons are still enabled here.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    logLine(QStringLiteral("ZYL nenalezeno!"));
    logRefusedPorts();
    enableButtons();
}

// A port the user may not open counts as absent, but a Linux user should not be left
// guessing why a unit that is plugged in was not found.
void MainDialog::logRefusedPorts() {
    if (refusedPorts_.isEmpty()) {
        return;
    }
    logLine(QStringLiteral("Porty bez oprávnění: %1 - přidejte uživatele do skupiny, která k nim dává "
                           "přístup (obvykle dialout), a přihlaste se znovu.")
                .arg(refusedPorts_.join(QStringLiteral(", "))));
}
