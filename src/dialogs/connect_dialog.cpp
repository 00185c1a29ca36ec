#include "connect_dialog.h"

#include <optional>

#include "cp1250_literal.h"
#include "port_link.h"
#include "unit_commands.h"
#include "whole_number.h"
#include "window.h"

ConnectDialog::ConnectDialog() : Dialog(kConnectDialogTemplate) {}

void ConnectDialog::onCommand(int controlId, Notification notification) {
    using N = Notification;
    static constexpr CommandRoute<ConnectDialog> kRoutes[] = {
        {kOkButton, N::Clicked, &ConnectDialog::onOk},
        {kBackButton, N::Clicked, &ConnectDialog::onBack},
        {kManualPortCheck, N::Clicked, &ConnectDialog::onManualPortClicked},
        {kUsbRadio, N::Clicked, &ConnectDialog::onUsbClicked},
        {kBluetoothRadio, N::Clicked, &ConnectDialog::onBluetoothClicked},
    };
    routeCommand<ConnectDialog>(*this, kRoutes, controlId, notification);
}

void ConnectDialog::onInitDialog() {
    window().setText(kPortEdit, std::to_string(portNumber));
    window().setText(kCodeEdit, std::to_string(accessCode));
    window().setText(kPromptStatic, prompt);
    window().setText(kLinkStatic, linkLabel);

    linkKind = LinkKind::Usb;
    window().setChecked(kUsbRadio, true);
    if (showLinkChoice == 1) {
        window().setVisible(kUsbRadio, true);
        window().setVisible(kBluetoothRadio, true);
        window().setText(kLinkStatic, "Připojit pomocí:"_cp);
        window().setText(kCodeEdit, std::to_string(unit::kFactoryAccessCode));
    }
    manualPort = 0;
    window().setChecked(kManualPortCheck, false);
    window().setEnabled(kPortEdit, false);
    window().setText(kPortEdit, "1");
    portNumber = 1;
    // The code is typed over at once, as in the first field of any dialog.
    window().setFocus(kCodeEdit);
}

void ConnectDialog::onManualPortClicked() {
    if (manualPort == 1) {
        window().setEnabled(kPortEdit, false);
        manualPort = 0;
    } else {
        window().setEnabled(kPortEdit, true);
        manualPort = 1;
    }
}

void ConnectDialog::onUsbClicked() {
    linkKind = LinkKind::Usb;
}

void ConnectDialog::onBluetoothClicked() {
    linkKind = LinkKind::Bluetooth;
}

// A whole number within low..high; anything else is refused with the toolkit's usual
// words, and the field gets the focus with its text selected.
bool ConnectDialog::takeNumber(int field, int low, int high, int& value) {
    const std::optional<int> number = wholeNumber(window().text(field));
    if (!number) {
        window().messageBox("Zadejte celé číslo."_cp);
    } else if (*number < low || *number > high) {
        window().messageBox(std::string("Zadejte celé číslo od "_cp) + std::to_string(low) + " do " +
                            std::to_string(high) + ".");
    } else {
        value = *number;
        return true;
    }
    window().setFocus(field);
    return false;
}

void ConnectDialog::onOk() {
    int port = portNumber;
    int code = accessCode;
    if (!takeNumber(kPortEdit, kFirstComPort, kLastComPort, port) || !takeNumber(kCodeEdit, 0, 9999, code)) {
        return;
    }
    portNumber = port;
    accessCode = code;
    endDialog(kOk);
}

void ConnectDialog::onBack() {
    endDialog(kCancel);
}
