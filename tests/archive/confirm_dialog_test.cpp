// The confirmation's logic on a window without a toolkit: its template and its tick box.

#include <gtest/gtest.h>

#include "confirm_dialog.h"
#include "cp1250_literal.h"
#include "fake_window.h"

namespace {

class ConfirmLogicTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog.text = "Chci smazat VŠECHNY klíče z ZYL"_cp;
        window.init();
    }

    FakeScreen screen;
    ConfirmDialog dialog;
    FakeWindow window{dialog, screen};
};

TEST_F(ConfirmLogicTest, OpensUntickedWithTheSentenceOkDisabledAndFocusOnCancel) {
    EXPECT_EQ(window.control(ConfirmDialog::kTickBox).text, "Chci smazat VŠECHNY klíče z ZYL"_cp);
    EXPECT_FALSE(window.control(ConfirmDialog::kTickBox).checked);
    EXPECT_EQ(dialog.ticked, 0);
    EXPECT_FALSE(window.control(ConfirmDialog::kOkButton).enabled);
    EXPECT_TRUE(window.control(ConfirmDialog::kCancelButton).enabled);
    EXPECT_EQ(window.focus(), ConfirmDialog::kCancelButton);
}

// Enter clicks the default button, so OK may be it only while disabled.
TEST_F(ConfirmLogicTest, OkIsTheDefaultButtonButDisabled) {
    EXPECT_EQ(dialog.dialogTemplate().caption, "ZYL key"_cp);
    EXPECT_EQ(dialog.dialogTemplate().control(ConfirmDialog::kOkButton)->style,
              control_style::kDefault | control_style::kDisabled);
}

// Clicks on the box, then whether OK is enabled and `ticked` afterwards.
struct TickCase {
    int clicks;
    bool okEnabled;
};

class ConfirmTickTest : public ConfirmLogicTest, public ::testing::WithParamInterface<TickCase> {};

TEST_P(ConfirmTickTest, EachClickOnTheBoxTogglesOk) {
    for (int i = 0; i < GetParam().clicks; ++i) {
        window.click(ConfirmDialog::kTickBox);
    }
    EXPECT_EQ(window.control(ConfirmDialog::kOkButton).enabled, GetParam().okEnabled);
    EXPECT_EQ(dialog.ticked, GetParam().okEnabled ? 1 : 0);
    EXPECT_EQ(window.control(ConfirmDialog::kTickBox).checked, GetParam().okEnabled);
    EXPECT_FALSE(window.ended());
}

INSTANTIATE_TEST_SUITE_P(Archive, ConfirmTickTest,
                         ::testing::Values(TickCase{1, true}, TickCase{2, false}, TickCase{3, true}));

// How the run ends after the box was ticked: OK confirms, every other way refuses.
struct EndCase {
    const char* name;
    void (*end)(FakeWindow&);
    int result;
};

class ConfirmEndTest : public ConfirmLogicTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(ConfirmEndTest, EndsWithItsResult) {
    window.click(ConfirmDialog::kTickBox);
    GetParam().end(window);
    EXPECT_EQ(window.result(), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Archive, ConfirmEndTest,
    ::testing::Values(EndCase{"Ok", [](FakeWindow& w) { w.click(ConfirmDialog::kOkButton); }, Dialog::kOk},
                      EndCase{"Cancel", [](FakeWindow& w) { w.click(ConfirmDialog::kCancelButton); },
                              Dialog::kCancel},
                      EndCase{"CloseBox", [](FakeWindow& w) { w.close(); }, Dialog::kCancel}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfirmLogicTest, EachRunStartsUnticked) {
    window.click(ConfirmDialog::kTickBox);
    window.click(ConfirmDialog::kOkButton);
    window.destroy();
    FakeWindow again(dialog, screen);
    again.init();
    EXPECT_EQ(dialog.ticked, 0);
    EXPECT_FALSE(again.control(ConfirmDialog::kOkButton).enabled);
}

}  // namespace
