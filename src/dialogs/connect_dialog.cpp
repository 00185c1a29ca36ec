#include "connect_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "desktop.h"
#include "dialog_units.h"
#include "port_link.h"
#include "unit_commands.h"

ConnectDialog::ConnectDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ZYL key"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    const DialogUnits du(this);
    setFixedSize(du.toPixels(180, 94));

    // Created in tab order: the code first, so the focus starts there.
    promptStatic_ = new QLabel(QStringLiteral("Vložte přístupový kód"), this);
    promptStatic_->setObjectName(QString::number(kPromptStatic));
    promptStatic_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    du.place(promptStatic_, 7, 44, 166, 8);

    codeEdit_ = new QLineEdit(this);
    codeEdit_->setObjectName(QString::number(kCodeEdit));
    codeEdit_->setEchoMode(QLineEdit::Password);
    du.place(codeEdit_, 55, 55, 70, 12);

    linkStatic_ = new QLabel(QStringLiteral("Připojit přes:"), this);
    linkStatic_->setObjectName(QString::number(kLinkStatic));
    du.place(linkStatic_, 7, 9, 62, 8);

    usbRadio_ = new QRadioButton(QStringLiteral("USB"), this);
    usbRadio_->setObjectName(QString::number(kUsbRadio));
    du.place(usbRadio_, 72, 8, 36, 10);
    usbRadio_->setVisible(false);
    bluetoothRadio_ = new QRadioButton(QStringLiteral("Bluetooth"), this);
    bluetoothRadio_->setObjectName(QString::number(kBluetoothRadio));
    du.place(bluetoothRadio_, 112, 8, 60, 10);
    bluetoothRadio_->setVisible(false);

    manualPortCheck_ = new QCheckBox(QStringLiteral("Nastavit port ručně"), this);
    manualPortCheck_->setObjectName(QString::number(kManualPortCheck));
    du.place(manualPortCheck_, 7, 25, 86, 10);

    auto* comStatic = new QLabel(QStringLiteral("COM"), this);
    comStatic->setObjectName(QString::number(kComStatic));
    du.place(comStatic, 100, 26, 18, 8);

    portEdit_ = new QLineEdit(this);
    portEdit_->setObjectName(QString::number(kPortEdit));
    portEdit_->setEnabled(false);
    du.place(portEdit_, 120, 24, 30, 12);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    du.place(ok, 36, 74, 50, 14);
    auto* back = new QPushButton(QStringLiteral("Zpět"), this);
    back->setObjectName(QStringLiteral("2"));
    back->setAutoDefault(false);
    du.place(back, 94, 74, 50, 14);

    connect(ok, &QPushButton::clicked, this, &ConnectDialog::accept);
    connect(back, &QPushButton::clicked, this, &ConnectDialog::reject);
    connect(manualPortCheck_, &QCheckBox::clicked, this, [this] { onManualPortClicked(); });
    connect(usbRadio_, &QRadioButton::clicked, this, [this] { linkKind = 1; });
    connect(bluetoothRadio_, &QRadioButton::clicked, this, [this] { linkKind = 2; });
}

void ConnectDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    onInitDialog();
}

void ConnectDialog::onInitDialog() {
    portEdit_->setText(QString::number(portNumber));
    codeEdit_->setText(QString::number(accessCode));
    promptStatic_->setText(prompt);
    linkStatic_->setText(linkLabel);

    linkKind = 1;
    usbRadio_->setChecked(true);
    if (showLinkChoice == 1) {
        usbRadio_->setVisible(true);
        bluetoothRadio_->setVisible(true);
        linkStatic_->setText(QStringLiteral("Připojit pomocí:"));
        codeEdit_->setText(QString::number(unit::kFactoryAccessCode));
    }
    manualPort = 0;
    manualPortCheck_->setChecked(false);
    portEdit_->setEnabled(false);
    portEdit_->setText(QStringLiteral("1"));
    portNumber = 1;
    codeEdit_->setFocus();
}

void ConnectDialog::onManualPortClicked() {
    if (manualPort == 1) {
        portEdit_->setEnabled(false);
        manualPort = 0;
    } else {
        portEdit_->setEnabled(true);
        manualPort = 1;
    }
}

// A whole number (blanks around it allowed) within low..high; anything else is refused
// with the toolkit's usual words, and the field gets the focus.
bool ConnectDialog::takeNumber(QLineEdit* field, int low, int high, int& value) {
    bool ok = false;
    const int number = field->text().trimmed().toInt(&ok);
    if (!ok) {
        Desktop::current().messageBox(this, QStringLiteral("Zadejte celé číslo."));
    } else if (number < low || number > high) {
        Desktop::current().messageBox(this, QStringLiteral("Zadejte celé číslo od %1 do %2.").arg(low).arg(high));
    } else {
        value = number;
        return true;
    }
    field->setFocus();
    field->selectAll();
    return false;
}

void ConnectDialog::accept() {
    int port = portNumber;
    int code = accessCode;
    if (!takeNumber(portEdit_, kFirstComPort, kLastComPort, port) || !takeNumber(codeEdit_, 0, 9999, code)) {
        return;
    }
    portNumber = port;
    accessCode = code;
    QDialog::accept();
}
