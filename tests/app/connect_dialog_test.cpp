#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "connect_dialog.h"
#include "cp1250_literal.h"
#include "fake_window.h"

namespace {

using C = ConnectDialog;

struct ConnectDialogTest : ::testing::Test {
    ConnectDialogTest() {
        dialog.prompt = "Vložte přístupový kód:"_cp;
        dialog.showLinkChoice = 1;
        window.init();
    }

    FakeScreen screen;
    ConnectDialog dialog;
    FakeWindow window{dialog, screen};
};

TEST_F(ConnectDialogTest, OpensWithTheFactoryDefaults) {
    EXPECT_TRUE(window.isChecked(C::kUsbRadio));
    EXPECT_TRUE(window.isVisible(C::kBluetoothRadio));
    EXPECT_FALSE(window.isEnabled(C::kPortEdit));
    EXPECT_EQ(window.text(C::kPortEdit), "1");
    EXPECT_EQ(window.text(C::kCodeEdit), "4827");
    EXPECT_EQ(window.text(C::kLinkStatic), "Připojit pomocí:"_cp);
    EXPECT_EQ(window.text(C::kPromptStatic), "Vložte přístupový kód:"_cp);

    window.click(Dialog::kOk);
    EXPECT_EQ(window.result(), Dialog::kOk);
    EXPECT_EQ(dialog.accessCode, 4827);
    EXPECT_EQ(dialog.linkKind, LinkKind::Usb);
    EXPECT_EQ(dialog.manualPort, 0);
    EXPECT_EQ(dialog.portNumber, 1);
}

TEST_F(ConnectDialogTest, LinkKindFollowsTheLastRadioClicked) {
    window.click(C::kBluetoothRadio);
    EXPECT_EQ(dialog.linkKind, LinkKind::Bluetooth);
    window.click(C::kUsbRadio);
    EXPECT_EQ(dialog.linkKind, LinkKind::Usb);
}

TEST_F(ConnectDialogTest, ManualPortTogglesTheFieldButTheTypedNumberStillCounts) {
    window.click(C::kManualPortCheck);
    EXPECT_TRUE(window.isEnabled(C::kPortEdit));
    EXPECT_EQ(dialog.manualPort, 1);
    window.type(C::kPortEdit, "12");
    window.click(C::kManualPortCheck);
    EXPECT_FALSE(window.isEnabled(C::kPortEdit));
    EXPECT_EQ(dialog.manualPort, 0);
    window.click(Dialog::kOk);
    EXPECT_EQ(window.result(), Dialog::kOk);
    EXPECT_EQ(dialog.portNumber, 12);
}

// A restored window sends its start-up again; what the user chose stays.
TEST_F(ConnectDialogTest, StartUpRunsOnceAlthoughTheWindowStartsAgain) {
    window.click(C::kBluetoothRadio);
    window.click(C::kManualPortCheck);
    window.type(C::kPortEdit, "7");
    window.type(C::kCodeEdit, "1234");
    window.init();

    EXPECT_EQ(window.text(C::kPortEdit), "7");
    EXPECT_TRUE(window.isEnabled(C::kPortEdit));
    window.click(Dialog::kOk);
    EXPECT_EQ(dialog.linkKind, LinkKind::Bluetooth);
    EXPECT_EQ(dialog.manualPort, 1);
    EXPECT_EQ(dialog.portNumber, 7);
    EXPECT_EQ(dialog.accessCode, 1234);
}

struct Refusal {
    const char* port;
    const char* code;
    std::string_view message;
    int field;  // where the focus goes
};

class ConnectDialogRefuses : public ConnectDialogTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(ConnectDialogRefuses, AFieldOutsideItsRangeAndKeepsTheDialogOpen) {
    const Refusal r = GetParam();
    window.click(C::kManualPortCheck);
    window.type(C::kPortEdit, r.port);
    window.type(C::kCodeEdit, r.code);
    window.click(C::kManualPortCheck);  // disabled again: still validated
    window.click(Dialog::kOk);
    EXPECT_FALSE(window.ended());
    EXPECT_EQ(screen.boxTexts(), std::vector<std::string>{std::string(r.message)});
    EXPECT_EQ(window.focus(), r.field);
    EXPECT_EQ(dialog.accessCode, 0);  // members untouched by a refused OK
}

INSTANTIATE_TEST_SUITE_P(
    Values, ConnectDialogRefuses,
    ::testing::Values(Refusal{"0", "4827", "Zadejte celé číslo od 1 do 70."_cp, C::kPortEdit},
                      Refusal{"71", "4827", "Zadejte celé číslo od 1 do 70."_cp, C::kPortEdit},
                      Refusal{"", "4827", "Zadejte celé číslo."_cp, C::kPortEdit},
                      Refusal{"COM3", "4827", "Zadejte celé číslo."_cp, C::kPortEdit},
                      Refusal{"3", "10000", "Zadejte celé číslo od 0 do 9999."_cp, C::kCodeEdit},
                      Refusal{"3", "-1", "Zadejte celé číslo od 0 do 9999."_cp, C::kCodeEdit},
                      Refusal{"3", "", "Zadejte celé číslo."_cp, C::kCodeEdit},
                      Refusal{"3", "48a7", "Zadejte celé číslo."_cp, C::kCodeEdit},
                      Refusal{"3", "99999999999999999999", "Zadejte celé číslo."_cp, C::kCodeEdit},
                      Refusal{"3", "+-5", "Zadejte celé číslo."_cp, C::kCodeEdit},
                      Refusal{"3", "4 827", "Zadejte celé číslo."_cp, C::kCodeEdit}));

TEST_F(ConnectDialogTest, AcceptsTheRangeEndsSignsAndBlanksAroundANumber) {
    window.click(C::kManualPortCheck);
    window.type(C::kPortEdit, "+70");
    window.type(C::kCodeEdit, std::string(" 0\t\xA0"));
    window.click(Dialog::kOk);
    EXPECT_EQ(window.result(), Dialog::kOk);
    EXPECT_EQ(dialog.portNumber, 70);
    EXPECT_EQ(dialog.accessCode, 0);
}

TEST_F(ConnectDialogTest, BackAndTheCloseBoxLeaveTheMembersAsTheyWere) {
    window.destroy();
    for (const bool closeBox : {false, true}) {
        FakeWindow w(dialog, screen);
        w.init();
        w.type(C::kCodeEdit, "1234");
        if (closeBox) {
            w.close();
        } else {
            w.click(Dialog::kCancel);
        }
        EXPECT_EQ(w.result(), Dialog::kCancel) << closeBox;
        EXPECT_EQ(dialog.accessCode, 0) << closeBox;
        w.destroy();
    }
}

}  // namespace
