#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "fake_desktop.h"
#include "key_dialog.h"
#include "keys_test_support.h"
#include "scripted_link.h"
#include "window_timers.h"

using namespace keys_test;

namespace {

// The floor box of floor f (1..24).
QCheckBox* floorBox(const KeyDialog& d, int floor) {
    return control<QCheckBox>(&d, KeyDialog::kFirstFloorBox + floor - 1);
}

int tickedFloors(const KeyDialog& d) {
    int n = 0;
    for (int f = 1; f <= kFloors; ++f) {
        n += floorBox(d, f)->isChecked() ? 1 : 0;
    }
    return n;
}

class KeyDialogTest : public testing::Test {
protected:
    QLineEdit* keyField() const { return control<QLineEdit>(&dialog, KeyDialog::kKeyEdit); }
    QLineEdit* commentField() const { return control<QLineEdit>(&dialog, KeyDialog::kCommentEdit); }
    QLineEdit* idField() const { return control<QLineEdit>(&dialog, KeyDialog::kIdEdit); }
    QCheckBox* manualBox() const { return control<QCheckBox>(&dialog, KeyDialog::kManualEntryBox); }
    QCheckBox* allBox() const { return control<QCheckBox>(&dialog, KeyDialog::kAllFloorsBox); }

    void openAdding() {
        dialog.readerMode = 1;
        dialog.maxCommentLength = 50;
        dialog.show();
    }

    void openEditing(const KeyCode& key, const FloorMask& floors) {
        dialog.readerMode = 0;
        dialog.keyCode = key;
        dialog.floorMask = floors;
        dialog.maxCommentLength = 50;
        dialog.show();
    }

    // Manual entry on, the text typed and the field left.
    void typeKey(const QString& text) {
        manualBox()->click();
        keyField()->setText(text);
        leaveField(keyField());
    }

    FakeDesktop desktop;
    ScriptedLink link;
    KeyDialog dialog{link};
};

TEST_F(KeyDialogTest, AddingStartsWithNoKeyNoFloorsAndTheReaderRunning) {
    dialog.keyId = 17;
    dialog.comment = QStringLiteral("Vrátný");
    dialog.keyCode = numberedKey(1);
    dialog.floorMask = {0xFF, 0x01, 0x80};
    openAdding();

    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ZYL key - Přidat/upravit klíč"));
    EXPECT_EQ(keyField()->text(), QStringLiteral("------------"));
    EXPECT_FALSE(keyField()->isEnabled());
    EXPECT_EQ(keyField()->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_EQ(idField()->text(), QStringLiteral("17"));
    EXPECT_FALSE(idField()->isEnabled());
    EXPECT_EQ(commentField()->text(), QStringLiteral("Vrátný"));
    EXPECT_EQ(tickedFloors(dialog), 0);
    EXPECT_EQ(dialog.keyCode, KeyCode{});
    EXPECT_EQ(dialog.floorMask, FloorMask{});
    EXPECT_TRUE(manualBox()->isVisible());
    EXPECT_EQ(control<QLabel>(&dialog, KeyDialog::kHintStatic)->text(),
              QStringLiteral("Přidávání klíčů ukončíte tlačítkem Zpět"));
    EXPECT_EQ(link.discards, 1);
    EXPECT_EQ(dialog.timers().period(KeyDialog::kReaderTimer), 50);
}

TEST_F(KeyDialogTest, TemplateHasTwentyFourFloorBoxesInSixColumnsOfFour) {
    openAdding();
    for (int f = 1; f <= kFloors; ++f) {
        QCheckBox* box = floorBox(dialog, f);
        ASSERT_NE(box, nullptr) << f;
        EXPECT_EQ(box->text(), QString::number(f));
        const QCheckBox* firstOfColumn = floorBox(dialog, (f - 1) / 4 * 4 + 1);
        const QCheckBox* firstOfRow = floorBox(dialog, (f - 1) % 4 + 1);
        EXPECT_EQ(box->x(), firstOfColumn->x()) << f;
        EXPECT_EQ(box->y(), firstOfRow->y()) << f;
    }
    EXPECT_LT(floorBox(dialog, 1)->x(), floorBox(dialog, 5)->x());
    EXPECT_LT(floorBox(dialog, 1)->y(), floorBox(dialog, 4)->y());
    EXPECT_TRUE(control<QPushButton>(&dialog, KeyDialog::kOkButton)->isDefault());
    EXPECT_EQ(control<QPushButton>(&dialog, KeyDialog::kBackButton)->text(), QStringLiteral("Zpět"));
}

TEST_F(KeyDialogTest, EditingShowsTheStoredKeyWithFloorsOneAndTwentyFour) {
    const KeyCode key = numberedKey(3);
    openEditing(key, {0x01, 0x00, 0x80});

    EXPECT_EQ(keyField()->text(), textOf(key));
    EXPECT_TRUE(manualBox()->isHidden());
    EXPECT_TRUE(control<QLabel>(&dialog, KeyDialog::kHintStatic)->text().isEmpty());
    EXPECT_TRUE(floorBox(dialog, 1)->isChecked());
    EXPECT_TRUE(floorBox(dialog, 24)->isChecked());
    EXPECT_EQ(tickedFloors(dialog), 2);
    EXPECT_EQ(dialog.keyCode, key);
}

TEST_F(KeyDialogTest, EditingShowsACharacterCodeAsItsTwelveCharacters) {
    openEditing(charKey("ABCDEF012345"), {});
    EXPECT_EQ(keyField()->text(), QStringLiteral("ABCDEF012345"));
}

TEST_F(KeyDialogTest, ClosingWithZpetStillRebuildsTheFloorMaskAndStopsTheReader) {
    openEditing(numberedKey(3), {0x01, 0x00, 0x80});
    floorBox(dialog, 2)->click();
    dialog.reject();

    EXPECT_EQ(dialog.floorMask, (FloorMask{0x03, 0x00, 0x80}));
    EXPECT_FALSE(dialog.timers().isActive(KeyDialog::kReaderTimer));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(KeyDialogTest, VseTicksEveryFloorThenUnticksEveryFloorIncludingOnesTickedByHand) {
    openAdding();
    floorBox(dialog, 3)->click();
    allBox()->click();
    EXPECT_EQ(tickedFloors(dialog), 24);

    floorBox(dialog, 7)->click();  // unticked by hand
    floorBox(dialog, 7)->click();  // and ticked again
    allBox()->click();
    EXPECT_EQ(tickedFloors(dialog), 0);

    floorBox(dialog, 9)->click();
    dialog.accept();
    EXPECT_EQ(dialog.floorMask, (FloorMask{0x00, 0x01, 0x00}));
}

TEST_F(KeyDialogTest, ManualEntrySwitchClearsTheKeyEachWay) {
    openAdding();
    dialog.keyCode = numberedKey(4);  // as if the reader had found one

    manualBox()->click();
    EXPECT_TRUE(dialog.manualEntryOn());
    EXPECT_TRUE(keyField()->isEnabled());
    EXPECT_TRUE(keyField()->text().isEmpty());
    EXPECT_EQ(dialog.keyCode, KeyCode{});

    keyField()->setText(QStringLiteral("A200000001B81C02"));
    leaveField(keyField());
    EXPECT_NE(dialog.keyCode, KeyCode{});

    manualBox()->click();
    EXPECT_FALSE(dialog.manualEntryOn());
    EXPECT_FALSE(keyField()->isEnabled());
    EXPECT_EQ(keyField()->text(), QStringLiteral("------------"));
    EXPECT_EQ(dialog.keyCode, KeyCode{});
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(KeyDialogTest, LeavingTheKeyFieldWithoutManualEntryParsesNothing) {
    openAdding();
    leaveField(keyField());
    EXPECT_TRUE(desktop.boxes.empty());
}

struct TypedKey {
    const char* name;
    const char* typed;
    bool valid;
    KeyCode expected;
};

class TypedKeyTest : public KeyDialogTest, public testing::WithParamInterface<TypedKey> {};

TEST_P(TypedKeyTest, TypedKeyIsParsedOnLeavingTheField) {
    const TypedKey& row = GetParam();
    openAdding();
    typeKey(QString::fromUtf8(row.typed));

    EXPECT_EQ(dialog.keyCode, row.expected);
    if (row.valid) {
        EXPECT_TRUE(desktop.boxes.empty());
    } else {
        ASSERT_EQ(desktop.boxes.size(), 1u);
        EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("Chybný kód klíče!"));
        EXPECT_EQ(keyField()->text(), QString::fromUtf8(row.typed));  // the text stays
    }
}

INSTANTIATE_TEST_SUITE_P(
    KeyCodes, TypedKeyTest,
    testing::Values(
        TypedKey{"SixteenZeroDigitsAreValid", "0000000000000000", true, KeyCode{}},
        TypedKey{"PublishedSerialWithItsCrc", "A200000001B81C02", true, an27Key()},
        TypedKey{"PublishedSerialLowercase", "a200000001b81c02", true, an27Key()},
        TypedKey{"WrongCrcIsRefused", "A300000001B81C02", false, KeyCode{}},
        TypedKey{"OneSerialBitChangedIsRefused", "A200000001B81C03", false, KeyCode{}},
        TypedKey{"LowercaseCharacterCodeStoredUppercase", "abcdef012345", true, charKey("ABCDEF012345")},
        TypedKey{"UppercaseCharacterCode", "ABCDEF012345", true, charKey("ABCDEF012345")},
        TypedKey{"TwelveZeroDigitsAreACharacterCode", "000000000000", true, charKey("000000000000")},
        TypedKey{"TwelveDecimalDigitsAreACharacterCode", "123456789001", true, charKey("123456789001")},
        TypedKey{"CharacterCodeWithNonZeroXorIsRefused", "ABCDEF012344", false, KeyCode{}},
        TypedKey{"NonHexCharacterIsRefused", "00000000000G", false, KeyCode{}},
        TypedKey{"NonHexInByteCodeIsRefused", "A20000000 B81C02", false, KeyCode{}},
        TypedKey{"WrongLengthIsRefused", "12345", false, KeyCode{}},
        TypedKey{"EmptyFieldIsRefused", "", false, KeyCode{}},
        TypedKey{"AccentedLetterCountsAsOneCharacter", "ABCDEF01234Á", false, KeyCode{}}),
    [](const testing::TestParamInfo<TypedKey>& info) { return info.param.name; });

TEST_F(KeyDialogTest, EnterInTheKeyFieldParsesTheTypedCodeBeforeTheCallerReadsIt) {
    openAdding();
    manualBox()->click();
    QTest::keyClicks(keyField(), QStringLiteral("A200000001B81C02"));
    dialog.accept();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.keyCode, an27Key());
}

TEST_F(KeyDialogTest, EnterAfterABadTypedCodeGivesTheMessageAndAClearedKey) {
    openAdding();
    manualBox()->click();
    QTest::keyClicks(keyField(), QStringLiteral("A300000001B81C02"));
    dialog.accept();

    EXPECT_EQ(desktop.boxTexts(), QStringList{QStringLiteral("Chybný kód klíče!")});
    EXPECT_EQ(dialog.keyCode, KeyCode{});
}

TEST_F(KeyDialogTest, ATypedCodeAlreadyParsedIsNotParsedAgainOnOk) {
    openAdding();
    typeKey(QStringLiteral("A300000001B81C02"));
    dialog.accept();
    EXPECT_EQ(desktop.boxes.size(), 1u);
}

TEST_F(KeyDialogTest, CommentWarningComesAtOneCharacterOverTheMaximum) {
    openAdding();
    dialog.maxCommentLength = 10;

    commentField()->setText(QStringLiteral("ěščřžýáíéů"));  // ten characters, twenty UTF-8 bytes
    leaveField(commentField());
    EXPECT_TRUE(desktop.boxes.empty());

    commentField()->setText(QStringLiteral("ěščřžýáíéůx"));
    leaveField(commentField());
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text,
              QStringLiteral("Zadaný komentář je příliš dlouhý,\npočet znaků komentáře je maximálně 10."));
    EXPECT_EQ(commentField()->text(), QStringLiteral("ěščřžýáíéůx"));
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(KeyDialogTest, OkTakesTheCommentAndTheRecordNumber) {
    dialog.keyId = 12;
    openAdding();
    commentField()->setText(QStringLiteral("Správce"));
    dialog.accept();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.comment, QStringLiteral("Správce"));
    EXPECT_EQ(dialog.keyId, 12);
}

TEST_F(KeyDialogTest, RecordNumberOutsideItsRangeKeepsTheDialogOpen) {
    openAdding();
    for (const char* bad : {"40001", "-1", "abc", ""}) {
        desktop.boxes.clear();
        idField()->setText(QString::fromLatin1(bad));
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible()) << bad;
        EXPECT_EQ(desktop.boxes.size(), 1u) << bad;
        EXPECT_TRUE(dialog.timers().isActive(KeyDialog::kReaderTimer)) << bad;
    }
    idField()->setText(QStringLiteral("40000"));
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.keyId, 40000);
}

TEST_F(KeyDialogTest, EscapeClosesLikeZpet) {
    openEditing(numberedKey(5), {0x00, 0x00, 0x80});
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.floorMask, (FloorMask{0x00, 0x00, 0x80}));
    EXPECT_FALSE(dialog.timers().isActive(KeyDialog::kReaderTimer));
}

TEST_F(KeyDialogTest, RefusedTimerShowsTimerErrorAndSkipsTheRestOfStartUp) {
    WindowTimers::setStartPolicy([](int) { return false; });
    dialog.floorMask = {0x01, 0, 0};
    openAdding();
    WindowTimers::setStartPolicy({});

    EXPECT_EQ(desktop.boxTexts(), QStringList{QStringLiteral("Timer error!")});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(link.discards, 0);
    EXPECT_TRUE(keyField()->text().isEmpty());
    EXPECT_EQ(tickedFloors(dialog), 0);
}

}  // namespace
