// The key dialog on its Qt window: what only the widgets show, and real key presses.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "fake_desktop.h"
#include "key_dialog.h"
#include "keys_test_support.h"
#include "qt_dialog_window.h"
#include "scripted_link.h"
#include "window_timers.h"

using namespace keys_test;

namespace {

class KeyDialogWindowTest : public testing::Test {
protected:
    void openAdding() {
        dialog.readerMode = 1;
        dialog.maxCommentLength = 50;
        window.show();
    }
    QLineEdit* keyField() const { return control<QLineEdit>(&window, KeyDialog::kKeyEdit); }
    QCheckBox* floorBox(int floor) const {
        return control<QCheckBox>(&window, KeyDialog::kFirstFloorBox + floor - 1);
    }

    FakeDesktop desktop;
    ScriptedLink link;
    KeyDialog dialog{link};
    QtDialogWindow window{dialog};
};

TEST_F(KeyDialogWindowTest, ShowsItsTitleACentredKeyAndTheFloorBoxesAboveTheirFrame) {
    openAdding();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("ZYL key - Přidat/upravit klíč"));
    EXPECT_EQ(keyField()->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_TRUE(control<QPushButton>(&window, KeyDialog::kOkButton)->isDefault());
    for (int f = 1; f <= kFloors; ++f) {
        QCheckBox* box = floorBox(f);
        EXPECT_EQ(box->x(), floorBox((f - 1) / 4 * 4 + 1)->x()) << f;
        EXPECT_EQ(box->y(), floorBox((f - 1) % 4 + 1)->y()) << f;
        EXPECT_EQ(window.childAt(box->geometry().center()), box) << f;
    }
    EXPECT_LT(floorBox(1)->x(), floorBox(5)->x());
    EXPECT_LT(floorBox(1)->y(), floorBox(4)->y());
}

TEST_F(KeyDialogWindowTest, EnterInTheKeyFieldParsesTheTypedCodeBeforeTheCallerReadsIt) {
    openAdding();
    control<QCheckBox>(&window, KeyDialog::kManualEntryBox)->click();
    keyField()->setFocus();
    QTest::keyClicks(keyField(), QStringLiteral("A200000001B81C02"));
    QTest::keyClick(keyField(), Qt::Key_Return);

    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), Dialog::kOk);
    EXPECT_EQ(dialog.keyCode, an27Key());
}

TEST_F(KeyDialogWindowTest, EnterAfterABadTypedCodeGivesTheMessageAndAClearedKey) {
    openAdding();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    control<QCheckBox>(&window, KeyDialog::kManualEntryBox)->click();
    keyField()->setFocus();
    QTest::keyClicks(keyField(), QStringLiteral("A200000001B81C02"));
    QTest::keyClick(keyField(), Qt::Key_Tab);
    ASSERT_EQ(dialog.keyCode, an27Key());  // a key for the bad code to clear
    keyField()->selectAll();
    QTest::keyClicks(keyField(), QStringLiteral("A300000001B81C02"));
    QTest::keyClick(keyField(), Qt::Key_Return);

    EXPECT_EQ(desktop.boxTexts(), QStringList{QStringLiteral("Chybný kód klíče!")});
    EXPECT_EQ(dialog.keyCode, KeyCode{});
}

TEST_F(KeyDialogWindowTest, EscapeClosesLikeZpet) {
    dialog.readerMode = 0;
    dialog.keyCode = numberedKey(5);
    dialog.floorMask = {0x00, 0x00, 0x80};
    window.show();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), Dialog::kCancel);
    EXPECT_EQ(dialog.floorMask, (FloorMask{0x00, 0x00, 0x80}));
    EXPECT_FALSE(window.timers().isActive(KeyDialog::kReaderTimer));
}

}  // namespace
