#include <gtest/gtest.h>

#include <string>

#include "cp1250_literal.h"
#include "fake_window.h"
#include "key_dialog.h"
#include "key_samples.h"
#include "scripted_link.h"

using namespace keys_test;

namespace {

using N = Dialog::Notification;

// The message boxes of a run that showed one.
std::vector<std::string> oneBox(std::string_view text) {
    return {std::string(text)};
}

class KeyDialogTest : public testing::Test {
protected:
    void openAdding() {
        dialog.readerMode = 1;
        dialog.maxCommentLength = 50;
        window.init();
    }

    void openEditing(const KeyCode& key, const FloorMask& floors) {
        dialog.readerMode = 0;
        dialog.keyCode = key;
        dialog.floorMask = floors;
        dialog.maxCommentLength = 50;
        window.init();
    }

    // The user moves on from a field to another control of the dialog.
    void leave(int field) { window.command(field, N::FocusLost); }

    // Manual entry on, the text typed and the field left.
    void typeKey(std::string_view text) {
        window.click(KeyDialog::kManualEntryBox);
        window.type(KeyDialog::kKeyEdit, std::string(text));
        leave(KeyDialog::kKeyEdit);
    }

    bool floorTicked(int floor) { return window.control(KeyDialog::kFirstFloorBox + floor - 1).checked; }
    void clickFloor(int floor) { window.click(KeyDialog::kFirstFloorBox + floor - 1); }
    int tickedFloors() {
        int n = 0;
        for (int f = 1; f <= kFloors; ++f) {
            n += floorTicked(f) ? 1 : 0;
        }
        return n;
    }
    std::string keyField() const { return window.text(KeyDialog::kKeyEdit); }
    bool readerRuns() const { return window.timers().count(KeyDialog::kReaderTimer) != 0; }

    FakeScreen screen;
    ScriptedLink link;
    KeyDialog dialog{link};
    FakeWindow window{dialog, screen};
};

TEST_F(KeyDialogTest, AddingStartsWithNoKeyNoFloorsAndTheReaderRunning) {
    dialog.keyId = 17;
    dialog.comment = "Vrátný"_cp;
    dialog.keyCode = numberedKey(1);
    dialog.floorMask = {0xFF, 0x01, 0x80};
    openAdding();

    EXPECT_EQ(keyField(), "------------");
    EXPECT_FALSE(window.isEnabled(KeyDialog::kKeyEdit));
    EXPECT_EQ(window.text(KeyDialog::kIdEdit), "17");
    EXPECT_FALSE(window.isEnabled(KeyDialog::kIdEdit));
    EXPECT_EQ(window.text(KeyDialog::kCommentEdit), "Vrátný"_cp);
    EXPECT_EQ(tickedFloors(), 0);
    EXPECT_EQ(dialog.keyCode, KeyCode{});
    EXPECT_EQ(dialog.floorMask, FloorMask{});
    EXPECT_TRUE(window.isVisible(KeyDialog::kManualEntryBox));
    EXPECT_EQ(window.text(KeyDialog::kHintStatic), "Přidávání klíčů ukončíte tlačítkem Zpět"_cp);
    EXPECT_EQ(link.discards, 1);
    EXPECT_EQ(window.timers(), (std::map<int, int>{{KeyDialog::kReaderTimer, 50}}));
}

TEST_F(KeyDialogTest, TemplateHasTwentyFourFloorBoxesInSixColumnsOfFour) {
    const DialogTemplate& t = kKeyDialogTemplate;
    EXPECT_EQ(t.caption, "ZYL key - Přidat/upravit klíč"_cp);
    auto box = [&](int floor) { return t.control(KeyDialog::kFirstFloorBox + floor - 1); };
    for (int f = 1; f <= kFloors; ++f) {
        ASSERT_NE(box(f), nullptr) << f;
        EXPECT_EQ(box(f)->kind, ControlKind::CheckBox);
        EXPECT_EQ(box(f)->text, std::to_string(f));
        EXPECT_EQ(box(f)->x, box((f - 1) / 4 * 4 + 1)->x) << f;
        EXPECT_EQ(box(f)->y, box((f - 1) % 4 + 1)->y) << f;
    }
    EXPECT_LT(box(1)->x, box(5)->x);
    EXPECT_LT(box(1)->y, box(4)->y);
    // The frame comes first, so the boxes lie above it.
    EXPECT_EQ(t.controls.front().id, KeyDialog::kFloorGroup);
    EXPECT_NE(t.control(KeyDialog::kOkButton)->style & control_style::kDefault, 0u);
    EXPECT_NE(t.control(KeyDialog::kKeyEdit)->style & control_style::kCentered, 0u);
    EXPECT_EQ(t.control(KeyDialog::kBackButton)->text, "Zpět"_cp);
}

TEST_F(KeyDialogTest, EditingShowsTheStoredKeyWithFloorsOneAndTwentyFour) {
    const KeyCode key = numberedKey(3);
    openEditing(key, {0x01, 0x00, 0x80});

    EXPECT_EQ(keyField(), keyCodeText(key));
    EXPECT_FALSE(window.isVisible(KeyDialog::kManualEntryBox));
    EXPECT_TRUE(window.text(KeyDialog::kHintStatic).empty());
    EXPECT_TRUE(floorTicked(1));
    EXPECT_TRUE(floorTicked(24));
    EXPECT_EQ(tickedFloors(), 2);
    EXPECT_EQ(dialog.keyCode, key);
}

TEST_F(KeyDialogTest, EditingShowsACharacterCodeAsItsTwelveCharacters) {
    openEditing(charKey("ABCDEF012345"), {});
    EXPECT_EQ(keyField(), "ABCDEF012345");
}

TEST_F(KeyDialogTest, ClosingWithZpetStillRebuildsTheFloorMaskAndStopsTheReader) {
    openEditing(numberedKey(3), {0x01, 0x00, 0x80});
    clickFloor(2);
    window.click(KeyDialog::kBackButton);

    EXPECT_EQ(dialog.floorMask, (FloorMask{0x03, 0x00, 0x80}));
    EXPECT_FALSE(readerRuns());
    EXPECT_EQ(window.result(), Dialog::kCancel);
}

TEST_F(KeyDialogTest, VseTicksEveryFloorThenUnticksEveryFloorIncludingOnesTickedByHand) {
    openAdding();
    clickFloor(3);
    window.click(KeyDialog::kAllFloorsBox);
    EXPECT_EQ(tickedFloors(), 24);

    clickFloor(7);  // unticked by hand
    clickFloor(7);  // and ticked again
    window.click(KeyDialog::kAllFloorsBox);
    EXPECT_EQ(tickedFloors(), 0);

    clickFloor(9);
    window.click(KeyDialog::kOkButton);
    EXPECT_EQ(dialog.floorMask, (FloorMask{0x00, 0x01, 0x00}));
}

TEST_F(KeyDialogTest, ManualEntrySwitchClearsTheKeyEachWay) {
    openAdding();
    dialog.keyCode = numberedKey(4);  // as if the reader had found one

    window.click(KeyDialog::kManualEntryBox);
    EXPECT_TRUE(dialog.manualEntryOn());
    EXPECT_TRUE(window.isEnabled(KeyDialog::kKeyEdit));
    EXPECT_TRUE(keyField().empty());
    EXPECT_EQ(dialog.keyCode, KeyCode{});

    window.type(KeyDialog::kKeyEdit, "A200000001B81C02");
    leave(KeyDialog::kKeyEdit);
    EXPECT_NE(dialog.keyCode, KeyCode{});

    window.click(KeyDialog::kManualEntryBox);
    EXPECT_FALSE(dialog.manualEntryOn());
    EXPECT_FALSE(window.isEnabled(KeyDialog::kKeyEdit));
    EXPECT_EQ(keyField(), "------------");
    EXPECT_EQ(dialog.keyCode, KeyCode{});
    EXPECT_TRUE(screen.boxes.empty());
}

TEST_F(KeyDialogTest, LeavingTheKeyFieldWithoutManualEntryParsesNothing) {
    openAdding();
    leave(KeyDialog::kKeyEdit);
    EXPECT_TRUE(screen.boxes.empty());
}

struct TypedKey {
    const char* name;
    std::string_view typed;  // code page 1250
    bool valid;
    KeyCode expected;
};

class TypedKeyTest : public KeyDialogTest, public testing::WithParamInterface<TypedKey> {};

TEST_P(TypedKeyTest, TypedKeyIsParsedOnLeavingTheField) {
    const TypedKey& row = GetParam();
    openAdding();
    typeKey(row.typed);

    EXPECT_EQ(dialog.keyCode, row.expected);
    if (row.valid) {
        EXPECT_TRUE(screen.boxes.empty());
    } else {
        EXPECT_EQ(screen.boxTexts(), oneBox("Chybný kód klíče!"_cp));
        EXPECT_EQ(keyField(), row.typed);  // the text stays
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
        TypedKey{"AccentedLetterCountsAsOneCharacter", "ABCDEF01234Á"_cp, false, KeyCode{}}),
    [](const testing::TestParamInfo<TypedKey>& info) { return info.param.name; });

TEST_F(KeyDialogTest, EnterInTheKeyFieldParsesTheTypedCodeBeforeTheCallerReadsIt) {
    openAdding();
    window.click(KeyDialog::kManualEntryBox);
    window.setFocus(KeyDialog::kKeyEdit);
    window.control(KeyDialog::kKeyEdit).text = "A200000001B81C02";
    window.click(KeyDialog::kOkButton);  // Enter: the focus stays in the field

    EXPECT_EQ(window.result(), Dialog::kOk);
    EXPECT_EQ(dialog.keyCode, an27Key());
}

TEST_F(KeyDialogTest, EnterAfterABadTypedCodeGivesTheMessageAndAClearedKey) {
    openAdding();
    typeKey("A200000001B81C02");
    ASSERT_EQ(dialog.keyCode, an27Key());                  // a key for the bad code to clear
    window.type(KeyDialog::kKeyEdit, "A300000001B81C02");  // typed, the focus elsewhere meanwhile
    window.click(KeyDialog::kOkButton);

    EXPECT_EQ(screen.boxTexts(), oneBox("Chybný kód klíče!"_cp));
    EXPECT_EQ(dialog.keyCode, KeyCode{});
}

TEST_F(KeyDialogTest, ATypedCodeAlreadyParsedIsNotParsedAgainOnOk) {
    openAdding();
    typeKey("A300000001B81C02");
    window.click(KeyDialog::kOkButton);
    EXPECT_EQ(screen.boxes.size(), 1u);
}

TEST_F(KeyDialogTest, TheCloseBoxParsesATypedCodeAndClosesLikeZpet) {
    openAdding();
    clickFloor(5);
    window.click(KeyDialog::kManualEntryBox);
    window.type(KeyDialog::kKeyEdit, "12345");
    window.close();

    EXPECT_EQ(screen.boxTexts(), oneBox("Chybný kód klíče!"_cp));
    EXPECT_EQ(window.result(), Dialog::kCancel);
    EXPECT_EQ(dialog.floorMask, (FloorMask{0x10, 0x00, 0x00}));
    EXPECT_FALSE(readerRuns());
}

TEST_F(KeyDialogTest, FieldsLeftAsTheDialogClosesAreNotChecked) {
    openAdding();
    window.click(KeyDialog::kManualEntryBox);
    window.type(KeyDialog::kKeyEdit, "12345");
    window.type(KeyDialog::kCommentEdit, std::string(51, 'x'));
    window.click(KeyDialog::kOkButton);
    ASSERT_TRUE(window.ended());
    const std::size_t shown = screen.boxes.size();

    // The window going away takes the focus from its fields.
    leave(KeyDialog::kKeyEdit);
    leave(KeyDialog::kCommentEdit);
    EXPECT_EQ(screen.boxes.size(), shown);
}

TEST_F(KeyDialogTest, CommentWarningComesAtOneCharacterOverTheMaximum) {
    openAdding();
    dialog.maxCommentLength = 10;

    window.type(KeyDialog::kCommentEdit, std::string("ěščřžýáíéů"_cp));
    leave(KeyDialog::kCommentEdit);
    EXPECT_TRUE(screen.boxes.empty());

    window.type(KeyDialog::kCommentEdit, std::string("ěščřžýáíéůx"_cp));
    leave(KeyDialog::kCommentEdit);
    EXPECT_EQ(screen.boxTexts(),
              oneBox("Zadaný komentář je příliš dlouhý,\npočet znaků komentáře je maximálně 10."_cp));
    EXPECT_EQ(window.text(KeyDialog::kCommentEdit), "ěščřžýáíéůx"_cp);
    EXPECT_FALSE(window.ended());
}

TEST_F(KeyDialogTest, OkTakesTheCommentAndTheRecordNumber) {
    dialog.keyId = 12;
    openAdding();
    window.type(KeyDialog::kCommentEdit, std::string("Správce"_cp));
    window.click(KeyDialog::kOkButton);

    EXPECT_EQ(window.result(), Dialog::kOk);
    EXPECT_EQ(dialog.comment, "Správce"_cp);
    EXPECT_EQ(dialog.keyId, 12);
}

TEST_F(KeyDialogTest, RecordNumberOutsideItsRangeKeepsTheDialogOpen) {
    openAdding();
    for (const char* bad : {"40001", "-1", "abc", ""}) {
        screen.boxes.clear();
        window.control(KeyDialog::kIdEdit).text = bad;
        window.click(KeyDialog::kOkButton);
        EXPECT_FALSE(window.ended()) << bad;
        EXPECT_EQ(screen.boxTexts(), oneBox("Zadejte prosím celé číslo v rozsahu 0 až 40000."_cp)) << bad;
        EXPECT_TRUE(readerRuns()) << bad;
    }
    window.control(KeyDialog::kIdEdit).text = "40000";
    window.click(KeyDialog::kOkButton);
    EXPECT_EQ(window.result(), Dialog::kOk);
    EXPECT_EQ(dialog.keyId, 40000);
}

TEST_F(KeyDialogTest, EscapeClosesLikeZpet) {
    openEditing(numberedKey(5), {0x00, 0x00, 0x80});
    window.click(Dialog::kCancel);  // what the window makes of Esc
    EXPECT_EQ(window.result(), Dialog::kCancel);
    EXPECT_EQ(dialog.floorMask, (FloorMask{0x00, 0x00, 0x80}));
    EXPECT_FALSE(readerRuns());
}

TEST_F(KeyDialogTest, RefusedTimerShowsTimerErrorAndSkipsTheRestOfStartUp) {
    screen.refusedTimers = {KeyDialog::kReaderTimer};
    dialog.floorMask = {0x01, 0, 0};
    openAdding();

    EXPECT_EQ(screen.boxTexts(), oneBox("Timer error!"));
    EXPECT_FALSE(window.ended());
    EXPECT_EQ(link.discards, 0);
    EXPECT_TRUE(keyField().empty());
    EXPECT_EQ(tickedFloors(), 0);
}

}  // namespace
