// The connect dialog on its Qt window: what only the widgets show, and real clicks.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "connect_dialog.h"
#include "fake_desktop.h"
#include "qt_dialog_window.h"

namespace {

template <typename T>
T* control(QDialog& d, int id) {
    return d.findChild<T*>(QString::number(id));
}

struct ConnectDialogWindowTest : ::testing::Test {
    ConnectDialogWindowTest() {
        dialog.showLinkChoice = 1;
        window.show();
    }

    FakeDesktop desktop;
    ConnectDialog dialog;
    QtDialogWindow window{dialog};
};

TEST_F(ConnectDialogWindowTest, TheCodeIsMaskedAndItsFieldComesFirstInTabOrder) {
    QLineEdit* code = control<QLineEdit>(window, ConnectDialog::kCodeEdit);
    EXPECT_EQ(code->echoMode(), QLineEdit::Password);
    EXPECT_EQ(code->text(), QStringLiteral("4827"));
    QWidget* first = window.nextInFocusChain();
    while (first->focusPolicy() == Qt::NoFocus) {
        first = first->nextInFocusChain();
    }
    EXPECT_EQ(first, code);
}

TEST_F(ConnectDialogWindowTest, LinkKindFollowsTheLastRadioClicked) {
    QTest::mouseClick(control<QRadioButton>(window, ConnectDialog::kBluetoothRadio), Qt::LeftButton);
    EXPECT_EQ(dialog.linkKind, LinkKind::Bluetooth);
    EXPECT_FALSE(control<QRadioButton>(window, ConnectDialog::kUsbRadio)->isChecked());
    QTest::mouseClick(control<QRadioButton>(window, ConnectDialog::kUsbRadio), Qt::LeftButton);
    EXPECT_EQ(dialog.linkKind, LinkKind::Usb);
}

// Start-up ran again on every show; a restored window kept nothing of what was chosen.
TEST_F(ConnectDialogWindowTest, ARestoredWindowKeepsWhatTheUserChose) {
    QTest::mouseClick(control<QRadioButton>(window, ConnectDialog::kBluetoothRadio), Qt::LeftButton);
    control<QLineEdit>(window, ConnectDialog::kCodeEdit)->setText(QStringLiteral("1234"));
    window.showMinimized();
    window.showNormal();
    EXPECT_TRUE(control<QRadioButton>(window, ConnectDialog::kBluetoothRadio)->isChecked());
    control<QPushButton>(window, Dialog::kOk)->click();
    EXPECT_EQ(window.result(), Dialog::kOk);
    EXPECT_EQ(dialog.linkKind, LinkKind::Bluetooth);
    EXPECT_EQ(dialog.accessCode, 1234);
}

}  // namespace
