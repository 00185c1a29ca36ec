#pragma once

#include <string>

#include "dialog.h"
#include "link_kind.h"

// Template 104.
extern const DialogTemplate kConnectDialogTemplate;

// Asks how the PC reaches the unit (USB or Bluetooth), whether to use one given COM port
// instead of searching them all, and the unit's access code. The caller sets `prompt` and
// `showLinkChoice`, runs the dialog, and on OK reads accessCode, linkKind, manualPort and
// portNumber. It touches no port and starts no timer.
class ConnectDialog : public Dialog {
public:
    enum ControlId {
        kOkButton = kOk,
        kBackButton = kCancel,
        kCodeEdit = 1027,
        kPortEdit = 1028,
        kUsbRadio = 1029,
        kBluetoothRadio = 1030,
        kLinkStatic = 1032,
        kPromptStatic = 1033,
        kManualPortCheck = 1034,
        kComStatic = 1035,
    };

    ConnectDialog();

    int manualPort = 0;
    int showLinkChoice = 0;
    LinkKind linkKind = LinkKind::Usb;
    int portNumber = 0;
    int accessCode = 0;
    std::string prompt;     // code page 1250
    std::string linkLabel;  // code page 1250

protected:
    void onInitDialog() override;
    void onCommand(int controlId, Notification notification) override;

private:
    // OK: takes the fields into the members; a field that is not a whole number in its
    // range refuses OK with a message and keeps the dialog open.
    void onOk();
    void onBack();
    void onManualPortClicked();
    void onUsbClicked();
    void onBluetoothClicked();
    bool takeNumber(int field, int low, int high, int& value);
};
