#include "confirm_dialog.h"

#include <QCheckBox>
#include <QFont>
#include <QPushButton>

#include "dialog_units.h"

ConfirmDialog::ConfirmDialog(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("ZYL key"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    const DialogUnits units(this);
    setFixedSize(units.toPixels(249, 28));

    // Created in the template's order, which is also the tab order: OK (disabled), Cancel,
    // then the tick box, so the focus starts on Cancel.
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QString::number(kOkButton));
    okButton_->setDefault(true);
    okButton_->setEnabled(false);
    units.place(okButton_, 141, 7, 50, 14);

    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QString::number(kCancelButton));
    units.place(cancelButton_, 192, 7, 50, 14);

    // A check box never wraps its text; a long sentence is clipped at the box's width.
    tickBox_ = new QCheckBox(this);
    tickBox_->setObjectName(QString::number(kTickBox));
    units.place(tickBox_, 7, 9, 133, 10);

    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(tickBox_, &QCheckBox::clicked, this, &ConfirmDialog::onTick);
}

void ConfirmDialog::onInitDialog() {
    if (initialised_) {
        return;
    }
    initialised_ = true;
    ticked = 0;
    tickBox_->setText(text);
    cancelButton_->setFocus();
}

void ConfirmDialog::onTick() {
    if (ticked == 1) {
        okButton_->setEnabled(false);
        ticked = 0;
    } else {
        okButton_->setEnabled(true);
        ticked = 1;
    }
}

void ConfirmDialog::showEvent(QShowEvent* event) {
    onInitDialog();
    QDialog::showEvent(event);
}
