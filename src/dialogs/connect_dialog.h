#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// Asks how the PC reaches the unit (USB or Bluetooth), whether to use one given COM port
// instead of searching them all, and the unit's access code. The caller sets `prompt` and
// `showLinkChoice`, runs the dialog, and on OK reads accessCode, linkKind, manualPort and
// portNumber. It touches no port and starts no timer.
class ConnectDialog : public QDialog {
    Q_OBJECT
public:
    enum ControlId {
        kCodeEdit = 1027, kPortEdit = 1028, kUsbRadio = 1029, kBluetoothRadio = 1030,
        kLinkStatic = 1032, kPromptStatic = 1033, kManualPortCheck = 1034, kComStatic = 1035,
    };

    explicit ConnectDialog(QWidget* parent = nullptr);

    int manualPort = 0;
    int showLinkChoice = 0;
    int linkKind = 1;
    int portNumber = 0;
    int accessCode = 0;
    QString prompt;
    QString linkLabel;

    // OK: takes the fields into the members; a field that is not a whole number in its
    // range refuses OK with a message and keeps the dialog open.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void onInitDialog();
    void onManualPortClicked();
    bool takeNumber(QLineEdit* field, int low, int high, int& value);

    QLineEdit* codeEdit_;
    QLineEdit* portEdit_;
    QRadioButton* usbRadio_;
    QRadioButton* bluetoothRadio_;
    QLabel* linkStatic_;
    QLabel* promptStatic_;
    QCheckBox* manualPortCheck_;
};
