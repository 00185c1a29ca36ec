#include "key_flow_fixture.h"

using namespace keys_test;

namespace {

// Ten keys stored on both sides, records 0..9, each with a comment of its own.
class KeyDeleteFlowTest : public KeyFlowTest {
protected:
    KeyDeleteFlowTest() {
        for (int record = 0; record < 10; ++record) {
            storeKey(record, numberedKey(record + 1), {static_cast<std::uint8_t>(record), 0, 0},
                     "klic " + std::to_string(record));
        }
    }

    void select(int record) { h.dialog.selectRow(h.dialog.rowOfRecord(record), -1); }
};

TEST_F(KeyDeleteFlowTest, DeletingRecordSevenWithYesClearsItInTheUnit) {
    select(7);
    h.desktop.yesNoAnswers.push_back(Desktop::Answer::Yes);
    h.dialog.onDeleteKey();

    ASSERT_EQ(h.desktop.boxes.size(), 1u);
    EXPECT_EQ(h.desktop.boxes[0].text, QStringLiteral("Opravdu chcete vymazat klíč s ID 7?"));
    EXPECT_EQ(h.desktop.boxes[0].caption, QStringLiteral("ZYL - Vymazání klíče"));
    EXPECT_EQ(h.desktop.boxes[0].buttons, Desktop::Buttons::YesNo);
    EXPECT_EQ(s().keyList.rowCount(), 9);  // gone from the list before the unit is asked
    EXPECT_EQ(keyCodeOf(s().image, 7, kRecordSize), KeyCode{});
    EXPECT_EQ(activeTimer(), MainDialog::kDeleteTimer);
    EXPECT_EQ(sent().back(), unit::kDeleteKey);

    runToIdle();

    EXPECT_EQ(activeTimer(), MainDialog::kIdlePollTimer);
    EXPECT_TRUE(logged(QStringLiteral("Klíč s ID 7 byl vymazán!")));
    EXPECT_EQ(keyCodeOf(h.unit.memory(), 7, kRecordSize), KeyCode{});
    EXPECT_EQ(unitRecord(7), imageRecord(7));  // floors and comment stay on both sides
    EXPECT_EQ(unitRecord(6), imageRecord(6));
    EXPECT_GE(find(sent(), {unit::kDeleteKey, 0x00, 0x07}), 0);
    EXPECT_EQ(h.desktop.boxes.size(), 1u);
}

TEST_F(KeyDeleteFlowTest, DeletingRecordSevenWithNoKeepsRecordListAndTimer) {
    h.dialog.returnToIdle(0);
    select(7);
    s().listClicked = 1;
    const MemoryImage before = s().image;
    h.desktop.yesNoAnswers.push_back(Desktop::Answer::No);
    h.dialog.onDeleteKey();

    EXPECT_EQ(h.desktop.boxTexts(), QStringList{QStringLiteral("Opravdu chcete vymazat klíč s ID 7?")});
    EXPECT_TRUE(s().image == before);
    EXPECT_EQ(s().keyList.rowCount(), 10);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(activeTimer(), MainDialog::kIdlePollTimer);
    EXPECT_EQ(s().listClicked, 0);
}

TEST_F(KeyDeleteFlowTest, ClickedRowIsDeletedWhenTheProgramHighlightedNone) {
    clickRow(h.dialog.rowOfRecord(4));
    h.desktop.yesNoAnswers.push_back(Desktop::Answer::Yes);
    h.dialog.onDeleteKey();
    EXPECT_EQ(h.desktop.boxTexts(), QStringList{QStringLiteral("Opravdu chcete vymazat klíč s ID 4?")});
    runToIdle();
    EXPECT_EQ(keyCodeOf(h.unit.memory(), 4, kRecordSize), KeyCode{});
}

TEST_F(KeyDeleteFlowTest, EditingDeletesAndWritesTheRecordAgain) {
    select(2);
    h.desktop.modalHandler = [this](QDialog& d) {
        auto* dialog = shownDialog<KeyDialog>(d);
        EXPECT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->readerMode, 0);
        EXPECT_EQ(dialog->keyId, 2);
        EXPECT_EQ(dialog->comment, "klic 2");
        EXPECT_EQ(dialog->maxCommentLength, 50);
        fillKeyDialog(d, {numberedKey(3), QStringLiteral("Ředitel"), {3}});
        EXPECT_EQ(control<QLineEdit>(&d, KeyDialog::kKeyEdit)->text(), textOf(numberedKey(3)));
        control<QPushButton>(&d, KeyDialog::kOkButton)->click();
        return d.result();
    };
    h.dialog.onEditKey();

    EXPECT_EQ(activeTimer(), MainDialog::kDeleteTimer);
    EXPECT_EQ(s().editAfterDelete, 1);
    EXPECT_EQ(listComment(s().image, 2, kRecordSize), utf8ToCp1250("Ředitel"));
    EXPECT_EQ(floorMaskOf(s().image, 2, kRecordSize), (FloorMask{0x06, 0, 0}));

    runToIdle();

    EXPECT_EQ(activeTimer(), MainDialog::kIdlePollTimer);
    EXPECT_TRUE(h.desktop.boxes.empty());
    EXPECT_FALSE(logged(QStringLiteral("Klíč s ID 2 byl vymazán!")));
    EXPECT_TRUE(logged(QStringLiteral("Klíč byl uložen")));
    EXPECT_EQ(unitRecord(2), imageRecord(2));
    EXPECT_EQ(keyCodeOf(h.unit.memory(), 2, kRecordSize), numberedKey(3));
    const int deleteAt = find(sent(), {unit::kDeleteKey, 0x00, 0x02});
    const int writeAt = find(sent(), {unit::kWriteKey, 0x00, 0x02});
    ASSERT_GE(deleteAt, 0);
    EXPECT_EQ(writeAt, deleteAt + 3);  // the delete's answer is left to the write's first read
}

TEST_F(KeyDeleteFlowTest, CancelledEditPollsEverySecond) {
    select(2);
    const MemoryImage before = s().image;
    h.desktop.modalHandler = [](QDialog&) { return static_cast<int>(QDialog::Rejected); };
    h.dialog.onEditKey();

    EXPECT_EQ(activeTimer(), MainDialog::kIdlePollTimer);
    EXPECT_EQ(h.dialog.timers().period(MainDialog::kIdlePollTimer), 1000);
    EXPECT_TRUE(s().image == before);
    EXPECT_TRUE(sent().empty());
}

// The dialog reports the link lost through the main window, as its reader does; closed
// with "Zpět" or, had OK stayed enabled, with OK, nothing follows.
class KeyEditLinkLostTest : public KeyDeleteFlowTest, public testing::WithParamInterface<int> {};

TEST_P(KeyEditLinkLostTest, EditEndsWithNoTimerAndNothingSent) {
    select(2);
    const MemoryImage before = s().image;
    h.desktop.modalHandler = [this](QDialog&) {
        h.dialog.reportError(501, ErrorKind::Disconnect, QString());
        return GetParam();
    };
    h.dialog.onEditKey();

    EXPECT_EQ(activeTimer(), 0);
    EXPECT_TRUE(sent().empty());
    EXPECT_TRUE(s().image == before);
    EXPECT_TRUE(h.dialog.button(MainDialog::kConnectButton)->isEnabled());
    EXPECT_FALSE(h.dialog.button(MainDialog::kEditKeyButton)->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(ClosedWith, KeyEditLinkLostTest,
                         testing::Values(static_cast<int>(QDialog::Rejected),
                                         static_cast<int>(QDialog::Accepted)),
                         [](const testing::TestParamInfo<int>& info) {
                             return info.param == QDialog::Accepted ? "Ok" : "Zpet";
                         });

TEST_F(KeyDeleteFlowTest, EditAndDeleteWithNothingSelectedOnlyLog) {
    h.dialog.returnToIdle(0);
    h.dialog.onEditKey();
    h.dialog.onDeleteKey();

    EXPECT_EQ(lines(), (QStringList{QStringLiteral("Nebyl vybrán žádný klíč!"),
                                    QStringLiteral("Nebyl vybrán žádný klíč!")}));
    EXPECT_EQ(h.desktop.modalRuns, 0);
    EXPECT_TRUE(h.desktop.boxes.empty());
    EXPECT_EQ(activeTimer(), MainDialog::kIdlePollTimer);
}

struct DeleteFault {
    const char* name;
    FaultKind kind;
    int nth;  // answer byte of the 0x13 exchange: echoes 0 and 1, then 0x06
    int code;
};

class KeyDeleteFaultTest : public KeyDeleteFlowTest, public testing::WithParamInterface<DeleteFault> {};

TEST_P(KeyDeleteFaultTest, FaultyAnswerIsAFatalError) {
    const DeleteFault& row = GetParam();
    h.unit.setFault(fault(row.kind, unit::kDeleteKey, row.nth));
    select(7);
    h.desktop.yesNoAnswers.push_back(Desktop::Answer::Yes);
    h.dialog.onDeleteKey();
    h.desktop.boxes.clear();
    runToIdle();

    expectFatal(row.code);
    EXPECT_FALSE(logged(QStringLiteral("Klíč s ID 7 byl vymazán!")));
}

INSTANTIATE_TEST_SUITE_P(
    Errors, KeyDeleteFaultTest,
    testing::Values(DeleteFault{"E201WrongLowByteEcho", FaultKind::WrongByte, 1, 201},
                    DeleteFault{"E202WrongAcknowledgement", FaultKind::WrongByte, 2, 202},
                    DeleteFault{"E203MissingAcknowledgement", FaultKind::DropEcho, 2, 203}),
    [](const testing::TestParamInfo<DeleteFault>& info) { return info.param.name; });

}  // namespace
