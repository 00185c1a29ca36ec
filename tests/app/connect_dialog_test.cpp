#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "connect_dialog.h"
#include "fake_desktop.h"

namespace {

template <typename T>
T* control(QDialog& d, int id) {
    return d.findChild<T*>(QString::number(id));
}

struct ConnectDialogTest : ::testing::Test {
    ConnectDialogTest() {
        dialog.prompt = QStringLiteral("Vložte přístupový kód:");
        dialog.showLinkChoice = 1;
        dialog.show();
    }
    void clickOk() { control<QPushButton>(dialog, 1)->click(); }

    FakeDesktop desktop;
    ConnectDialog dialog;
};

TEST_F(ConnectDialogTest, OpensWithTheFactoryDefaults) {
    EXPECT_TRUE(control<QRadioButton>(dialog, 1029)->isChecked());
    EXPECT_TRUE(control<QRadioButton>(dialog, 1030)->isVisible());
    EXPECT_FALSE(control<QLineEdit>(dialog, 1028)->isEnabled());
    EXPECT_EQ(control<QLineEdit>(dialog, 1028)->text(), QStringLiteral("1"));
    QLineEdit* code = control<QLineEdit>(dialog, 1027);
    EXPECT_EQ(code->echoMode(), QLineEdit::Password);
    EXPECT_EQ(code->text(), QStringLiteral("4827"));
    EXPECT_EQ(control<QLabel>(dialog, 1032)->text(), QStringLiteral("Připojit pomocí:"));
    EXPECT_EQ(control<QLabel>(dialog, 1033)->text(), QStringLiteral("Vložte přístupový kód:"));

    clickOk();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.accessCode, 4827);
    EXPECT_EQ(dialog.linkKind, 1);
    EXPECT_EQ(dialog.manualPort, 0);
    EXPECT_EQ(dialog.portNumber, 1);
}

TEST_F(ConnectDialogTest, LinkKindFollowsTheLastRadioClicked) {
    QTest::mouseClick(control<QRadioButton>(dialog, 1030), Qt::LeftButton);
    EXPECT_EQ(dialog.linkKind, 2);
    QTest::mouseClick(control<QRadioButton>(dialog, 1029), Qt::LeftButton);
    EXPECT_EQ(dialog.linkKind, 1);
}

TEST_F(ConnectDialogTest, ManualPortTogglesTheFieldButTheTypedNumberStillCounts) {
    QCheckBox* manual = control<QCheckBox>(dialog, 1034);
    QLineEdit* port = control<QLineEdit>(dialog, 1028);
    manual->click();
    EXPECT_TRUE(port->isEnabled());
    EXPECT_EQ(dialog.manualPort, 1);
    port->setText(QStringLiteral("12"));
    manual->click();
    EXPECT_FALSE(port->isEnabled());
    EXPECT_EQ(dialog.manualPort, 0);
    clickOk();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.portNumber, 12);
}

struct Refusal {
    const char* port;
    const char* code;
    const char* message;
};

class ConnectDialogRefuses : public ConnectDialogTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(ConnectDialogRefuses, AFieldOutsideItsRangeAndKeepsTheDialogOpen) {
    const Refusal r = GetParam();
    control<QCheckBox>(dialog, 1034)->click();
    control<QLineEdit>(dialog, 1028)->setText(QString::fromUtf8(r.port));
    control<QLineEdit>(dialog, 1027)->setText(QString::fromUtf8(r.code));
    control<QCheckBox>(dialog, 1034)->click();  // disabled again: still validated
    clickOk();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text, QString::fromUtf8(r.message));
    EXPECT_EQ(dialog.accessCode, 0);  // members untouched by a refused OK
}

INSTANTIATE_TEST_SUITE_P(
    Values, ConnectDialogRefuses,
    ::testing::Values(Refusal{"0", "4827", "Zadejte celé číslo od 1 do 70."},
                      Refusal{"71", "4827", "Zadejte celé číslo od 1 do 70."},
                      Refusal{"", "4827", "Zadejte celé číslo."},
                      Refusal{"COM3", "4827", "Zadejte celé číslo."},
                      Refusal{"3", "10000", "Zadejte celé číslo od 0 do 9999."},
                      Refusal{"3", "-1", "Zadejte celé číslo od 0 do 9999."},
                      Refusal{"3", "", "Zadejte celé číslo."},
                      Refusal{"3", "48a7", "Zadejte celé číslo."},
                      Refusal{"3", "99999999999999999999", "Zadejte celé číslo."}));

TEST_F(ConnectDialogTest, AcceptsTheRangeEndsAndBlanksAroundANumber) {
    control<QCheckBox>(dialog, 1034)->click();
    control<QLineEdit>(dialog, 1028)->setText(QStringLiteral("70"));
    control<QLineEdit>(dialog, 1027)->setText(QStringLiteral(" 0 "));
    clickOk();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.portNumber, 70);
    EXPECT_EQ(dialog.accessCode, 0);
}

TEST_F(ConnectDialogTest, BackLeavesTheMembersAsTheyWere) {
    control<QLineEdit>(dialog, 1027)->setText(QStringLiteral("1234"));
    control<QPushButton>(dialog, 2)->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.accessCode, 0);
}

}  // namespace
