#include "key_flow_fixture.h"

using namespace keys_test;

namespace {

using KeyWriteFlowTest = KeyFlowTest;

// The bytes of one record write as they go out after 0x11: record number, key, floors,
// then the comment with its closing 0x00.
Bytes writeBytes(int record, const KeyCode& key, const FloorMask& floors, const std::string& comment) {
    return concat(
        {{unit::kWriteKey, static_cast<std::uint8_t>(record >> 8), static_cast<std::uint8_t>(record)},
         bytesOf(key),
         Bytes(floors.begin(), floors.end()),
         bytesOf(comment),
         {0x00}});
}

TEST_F(KeyWriteFlowTest, TwoKeysReadAtTheReaderAreStoredInTheUnitAsInTheImage) {
    answerKeyDialogs({{numberedKey(1), QStringLiteral("Vrátný"), {1, 24}},
                      {numberedKey(2), QStringLiteral("Úklid"), {5}}});
    h.dialog.onAddKeys();

    EXPECT_EQ(h.desktop.modalRuns, 3);
    EXPECT_EQ(shownKeyIds, (std::vector<int>{0, 1}));
    EXPECT_EQ(s().writeList[0], 0);
    EXPECT_EQ(s().writeList[1], 1);
    EXPECT_EQ(s().writeList[2], -1);
    EXPECT_EQ(lines().mid(0, 3), (QStringList{QStringLiteral("Klíč byl zaznamenán"),
                                              QStringLiteral("Klíč byl zaznamenán"), QString()}));
    EXPECT_EQ(sent().front(), unit::kBeginAddKeys);
    EXPECT_EQ(sent().back(), unit::kWriteKey);
    EXPECT_EQ(sent()[sent().size() - 2], unit::kEndAddKeys);
    EXPECT_EQ(activeTimer(), MainDialog::kWriteTimer);
    EXPECT_FALSE(h.dialog.button(MainDialog::kConnectButton)->isEnabled());

    runToIdle();

    ASSERT_EQ(activeTimer(), MainDialog::kIdlePollTimer);
    EXPECT_EQ(h.dialog.timers().period(MainDialog::kIdlePollTimer), 500);
    EXPECT_EQ(loggedCount(QStringLiteral("Klíč byl uložen")), 2);
    EXPECT_TRUE(logged(QStringLiteral("Ukladam klic s id 0")));
    EXPECT_TRUE(logged(QStringLiteral("Ukladam klic s id 1")));
    EXPECT_EQ(loggedCount(QStringLiteral("Prvni cast OK")), 2);
    EXPECT_EQ(loggedCount(QStringLiteral("Odesilam patra")), 6);
    for (int record : {0, 1}) {
        EXPECT_EQ(unitRecord(record), imageRecord(record)) << record;
    }
    EXPECT_EQ(unitRecord(0)[kCommentOffset], 'V');
    EXPECT_EQ(unitRecord(0)[kCommentOffset + 2], 0xE1);  // "á" in code page 1250
    EXPECT_EQ(floorMaskOf(h.unit.memory(), 0, kRecordSize), (FloorMask{0x01, 0x00, 0x80}));
    EXPECT_EQ(s().keyList.rowCount(), 2);
    EXPECT_TRUE(h.dialog.button(MainDialog::kAddKeysButton)->isEnabled());

    const std::string vratny = utf8ToCp1250("Vrátný");
    EXPECT_GE(find(sent(), writeBytes(0, numberedKey(1), {0x01, 0x00, 0x80}, vratny)), 0);
    EXPECT_GE(find(sent(), writeBytes(1, numberedKey(2), {0x10, 0x00, 0x00}, utf8ToCp1250("Úklid"))), 0);
}

TEST_F(KeyWriteFlowTest, EachNewKeyTakesTheLowestFreeRecord) {
    storeKey(0, numberedKey(10));
    storeKey(2, numberedKey(12));
    answerKeyDialogs(
        {{numberedKey(1), {}, {}, true}, {numberedKey(2), {}, {}, true}, {numberedKey(3), {}, {}, true}});
    h.dialog.onAddKeys();

    EXPECT_EQ(shownKeyIds, (std::vector<int>{1, 3, 4}));
    runToIdle();
    for (int record : {1, 3, 4}) {
        EXPECT_EQ(unitRecord(record), imageRecord(record)) << record;
    }
}

TEST_F(KeyWriteFlowTest, CommentFillingTheRecordIsFollowedByAnExtraZeroAndNoAcknowledgementIsJudged) {
    const QString full(50, QLatin1Char('x'));
    // A wrong acknowledgement of the comment would be error 104 if it were judged.
    h.unit.setFault(fault(FaultKind::WrongByte, unit::kWriteKey, 18));
    answerKeyDialogs({{numberedKey(1), full, {}, true}});
    h.dialog.onAddKeys();
    runToIdle();

    EXPECT_TRUE(h.desktop.boxes.empty());
    EXPECT_EQ(activeTimer(), MainDialog::kIdlePollTimer);
    EXPECT_TRUE(logged(QStringLiteral("Komentar ulozen - pozn. 1001")));
    const int at = find(sent(), writeBytes(0, numberedKey(1), {}, std::string(50, 'x')));
    ASSERT_GE(at, 0);
    const std::size_t after = static_cast<std::size_t>(at) + 3 + 12 + 3 + 50 + 1;
    EXPECT_TRUE(after == sent().size() || sent()[after] != 0x00);  // one 0x00, not two
    EXPECT_EQ(unitRecord(0), imageRecord(0));
    EXPECT_EQ(loggedCount(QStringLiteral("Klíč byl uložen")), 1);
}

TEST_F(KeyWriteFlowTest, EmptyCommentSendsOnlyTheClosingZero) {
    answerKeyDialogs({{numberedKey(1), {}, {2}, true}});
    h.dialog.onAddKeys();
    runToIdle();

    EXPECT_GE(find(sent(), writeBytes(0, numberedKey(1), {0x02, 0, 0}, {})), 0);
    EXPECT_EQ(unitRecord(0), imageRecord(0));
    EXPECT_FALSE(logged(QStringLiteral("Komentar ulozen - pozn. 1001")));
    EXPECT_EQ(activeTimer(), MainDialog::kIdlePollTimer);
}

// Records of 15 bytes hold no comment: the closing 0x00 follows the floors at once and its
// acknowledgement is judged, as for an empty comment; the next record's first key byte
// (record 1 is stored) must not go out as a comment.
struct NoCommentRow {
    const char* name;
    FaultKind kind;  // on the comment's 0x06 (answer 18)
    int code;        // 0: stored
};

class NoCommentRecordTest : public KeyFlowTest, public testing::WithParamInterface<NoCommentRow> {};

TEST_P(NoCommentRecordTest, RecordSizeFifteenSendsTheClosingZeroAtOnce) {
    constexpr int kNoComment = 15;
    h.unit.receive(unit::kRecordSize, 0);
    h.unit.receive(kNoComment, 0);
    h.unit.takeOutput(1000);
    s().recordSize = kNoComment;
    ASSERT_TRUE(writeRecord(s().image, kNoComment, 1, numberedKey(2), {}, {}));
    std::copy_n(s().image.begin() + kNoComment, kNoComment, h.unit.memory().begin() + kNoComment);
    h.dialog.rebuildKeyList();
    h.unit.setFault(fault(GetParam().kind, unit::kWriteKey, 18));

    answerKeyDialogs({{numberedKey(1), {}, {3}, true}});
    h.dialog.onAddKeys();
    runToIdle();

    const Bytes record = writeBytes(0, numberedKey(1), {0x04, 0, 0}, {});
    const int at = find(sent(), record);
    ASSERT_GE(at, 0);
    EXPECT_EQ(static_cast<std::size_t>(at) + record.size(), sent().size()) << "nothing after the 0x00";
    EXPECT_FALSE(logged(QStringLiteral("Komentar ulozen - pozn. 1001")));
    if (GetParam().code != 0) {
        expectFatal(GetParam().code);
        return;
    }
    EXPECT_TRUE(h.desktop.boxes.empty());
    EXPECT_EQ(activeTimer(), MainDialog::kIdlePollTimer);
    EXPECT_TRUE(logged(QStringLiteral("Klíč byl uložen")));
    EXPECT_EQ(Bytes(h.unit.memory().begin(), h.unit.memory().begin() + 2 * kNoComment),
              Bytes(s().image.begin(), s().image.begin() + 2 * kNoComment));
}

INSTANTIATE_TEST_SUITE_P(Ends, NoCommentRecordTest,
                         testing::Values(NoCommentRow{"Stored", FaultKind::None, 0},
                                         NoCommentRow{"E104WrongAcknowledgement", FaultKind::WrongByte, 104},
                                         NoCommentRow{"E105NoAcknowledgement", FaultKind::DropEcho, 105}),
                         [](const testing::TestParamInfo<NoCommentRow>& info) { return info.param.name; });

TEST_F(KeyWriteFlowTest, LongerCommentIsCutToTheRecord) {
    answerKeyDialogs({{numberedKey(1), QString(60, QLatin1Char('y')), {}, true}});
    h.dialog.onAddKeys();
    EXPECT_TRUE(h.desktop.boxTexts().contains(
        QStringLiteral("Zadaný komentář je příliš dlouhý,\npočet znaků komentáře je maximálně 50.")));
    runToIdle();
    EXPECT_EQ(listComment(h.unit.memory(), 0, kRecordSize), std::string(50, 'y'));
}

TEST_F(KeyWriteFlowTest, WrongEchoAmongTheKeyBytesDoesNotStopTheWrite) {
    h.unit.setFault(fault(FaultKind::WrongByte, unit::kWriteKey, 5));
    answerKeyDialogs({{numberedKey(1), QStringLiteral("a"), {}, true}});
    h.dialog.onAddKeys();
    runToIdle();

    EXPECT_TRUE(h.desktop.boxes.empty());
    EXPECT_EQ(activeTimer(), MainDialog::kIdlePollTimer);
    EXPECT_TRUE(logged(QStringLiteral("Klíč byl uložen")));
    EXPECT_EQ(unitRecord(0), imageRecord(0));
}

TEST_F(KeyWriteFlowTest, HundredKeysThenNoFurtherDialog) {
    std::vector<KeyEntry> entries;
    for (int i = 0; i < 101; ++i) {
        entries.push_back({numberedKey(i + 1), {}, {}, true});
    }
    answerKeyDialogs(entries);
    h.dialog.onAddKeys();

    EXPECT_EQ(h.desktop.modalRuns, 100);
    EXPECT_EQ(s().addedCount, 100);
    EXPECT_EQ(s().writeList[99], 99);
    EXPECT_EQ(s().writeList[100], -1);
    EXPECT_EQ(sent(), (Bytes{unit::kBeginAddKeys, unit::kEndAddKeys, unit::kWriteKey}));
    runToIdle();
    EXPECT_EQ(loggedCount(QStringLiteral("Klíč byl uložen")), 100);
    for (int record = 0; record < 100; ++record) {
        ASSERT_EQ(unitRecord(record), imageRecord(record)) << record;
    }
}

TEST_F(KeyWriteFlowTest, ZpetInTheFirstDialogSendsBeginAndEndAndStartsThePoll) {
    answerKeyDialogs({});
    h.dialog.onAddKeys();

    EXPECT_EQ(h.desktop.modalRuns, 1);
    EXPECT_EQ(sent(), (Bytes{unit::kBeginAddKeys, unit::kEndAddKeys}));
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(activeTimer(), MainDialog::kIdlePollTimer);
    EXPECT_EQ(h.dialog.timers().period(MainDialog::kIdlePollTimer), 500);
    EXPECT_EQ(s().pollStep, 0);
}

TEST_F(KeyWriteFlowTest, RefusedKeyOpensTheNextDialogAndStoresNothing) {
    storeKey(0, numberedKey(1));
    answerKeyDialogs(
        {{numberedKey(1), {}, {}, true}, {KeyCode{}, {}, {}, true}, {numberedKey(2), {}, {}, true}});
    h.dialog.onAddKeys();

    EXPECT_EQ(h.desktop.modalRuns, 4);
    EXPECT_EQ(h.desktop.boxTexts(), (QStringList{QStringLiteral("Tento klíč je již uložen!"),
                                                 QStringLiteral("Neplatné číslo klíče!")}));
    EXPECT_TRUE(logged(QStringLiteral("Chyba 112 - Tento klíč je již uložen")));
    EXPECT_TRUE(logged(QStringLiteral("Chyba 110 - Neplatné číslo klíče")));
    EXPECT_EQ(shownKeyIds, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(s().writeList[0], 1);
    EXPECT_EQ(s().writeList[1], -1);
    runToIdle();
    EXPECT_EQ(unitRecord(1), imageRecord(1));
}

// The mended fault: with no free record left the add command opens no dialog.
TEST_F(KeyWriteFlowTest, FullKeyMemoryOpensNoDialogAndReturnsToThePoll) {
    for (int record = 0; record < listedCount(kRecordSize); ++record) {
        s().image[record * kRecordSize] = 0x01;
    }
    h.dialog.rebuildKeyList();
    ASSERT_EQ(s().keyList.firstFreeSlot(), kEndMark);
    const MemoryImage before = s().image;
    answerKeyDialogs({{numberedKey(1), {}, {}, true}});
    h.dialog.onAddKeys();

    const QString full = QStringLiteral("Paměť klíčů ve ZYL je plná, další klíč nelze přidat.");
    EXPECT_EQ(h.desktop.modalRuns, 0);
    EXPECT_EQ(h.desktop.boxTexts(), QStringList{full});
    EXPECT_EQ(lines(), QStringList{full});
    EXPECT_EQ(sent(), (Bytes{unit::kBeginAddKeys, unit::kEndAddKeys}));
    EXPECT_EQ(activeTimer(), MainDialog::kIdlePollTimer);
    EXPECT_TRUE(s().image == before);
}

TEST_F(KeyWriteFlowTest, KeyMemoryFillingUpDuringARunStoresTheKeysAlreadyTaken) {
    for (int record = 0; record < listedCount(kRecordSize) - 1; ++record) {
        s().image[record * kRecordSize] = 0x01;
    }
    h.dialog.rebuildKeyList();
    const int last = listedCount(kRecordSize) - 1;
    answerKeyDialogs({{numberedKey(1), {}, {}, true}, {numberedKey(2), {}, {}, true}});
    h.dialog.onAddKeys();

    EXPECT_EQ(h.desktop.modalRuns, 1);
    EXPECT_EQ(shownKeyIds, std::vector<int>{last});
    EXPECT_EQ(h.desktop.boxTexts(),
              QStringList{QStringLiteral("Paměť klíčů ve ZYL je plná, další klíč nelze přidat.")});
    EXPECT_EQ(activeTimer(), MainDialog::kWriteTimer);
    runToIdle();
    EXPECT_EQ(unitRecord(last), imageRecord(last));
}

TEST_F(KeyWriteFlowTest, RefusedWriteTimerShowsTimerError) {
    answerKeyDialogs({{numberedKey(1), {}, {}, true}});
    WindowTimers::setStartPolicy([](int id) { return id != MainDialog::kWriteTimer; });
    h.dialog.onAddKeys();
    WindowTimers::setStartPolicy({});

    EXPECT_EQ(h.desktop.boxTexts(), QStringList{QStringLiteral("Timer error!")});
    EXPECT_EQ(activeTimer(), 0);
}

TEST_F(KeyWriteFlowTest, SilentReaderInTheKeyDialogReportsError501AndDisablesOk) {
    h.unit.setFault(fault(FaultKind::Silence, unit::kReadReader));
    bool okEnabled = true;
    h.desktop.modalHandler = [&](QDialog& d) {
        auto& window = dynamic_cast<QtDialogWindow&>(d);
        TimerStepper reader(window.timers(), h.port, windowTicks(window));
        EXPECT_EQ(reader.runToEnd(500), 202);  // the command, then 201 empty reads
        okEnabled = control<QPushButton>(&d, KeyDialog::kOkButton)->isEnabled();
        control<QPushButton>(&d, KeyDialog::kBackButton)->click();
        return d.result();
    };
    h.dialog.onAddKeys();

    EXPECT_FALSE(okEnabled);
    EXPECT_EQ(h.desktop.boxTexts(), QStringList{QStringLiteral("Chyba 501 - ZYL odpojeno.")});
    EXPECT_TRUE(logged(QStringLiteral("Chyba 501 - ZYL odpojeno.")));
    EXPECT_TRUE(h.dialog.button(MainDialog::kConnectButton)->isEnabled());
    EXPECT_FALSE(h.dialog.button(MainDialog::kAddKeysButton)->isEnabled());
    // With no key taken there is nothing to put back, and the window stays disconnected.
    EXPECT_FALSE(logged(QStringLiteral("Zaznamenané klíče nebyly do ZYL uloženy.")));
    EXPECT_EQ(sent().back(), unit::kEndAddKeys);
    EXPECT_EQ(activeTimer(), 0);
}

// Record 1 was deleted and keeps its old floors and comment on both sides; the first key
// of the run goes there, and the unit falls silent in the second dialog.
TEST_F(KeyWriteFlowTest, LinkLostInALaterDialogPutsTheTakenKeysRecordsBackAndWritesNothing) {
    storeKey(0, numberedKey(9));
    storeKey(1, numberedKey(8), {0x05, 0, 0}, "stary");
    deleteKey(s().image, kRecordSize, 1);
    deleteKey(h.unit.memory(), kRecordSize, 1);
    h.dialog.rebuildKeyList();
    const MemoryImage before = s().image;
    int shown = 0;
    h.desktop.modalHandler = [&](QDialog& d) {
        if (shown++ == 0) {
            fillKeyDialog(d, {numberedKey(1), QStringLiteral("Vrátný"), {2}, true});
            control<QPushButton>(&d, KeyDialog::kOkButton)->click();
            return d.result();
        }
        h.unit.setFault(fault(FaultKind::Silence, unit::kReadReader));
        auto& window = dynamic_cast<QtDialogWindow&>(d);
        TimerStepper reader(window.timers(), h.port, windowTicks(window));
        reader.runToEnd(500);
        control<QPushButton>(&d, KeyDialog::kBackButton)->click();
        return d.result();
    };
    h.dialog.onAddKeys();

    EXPECT_EQ(shown, 2);
    EXPECT_EQ(sent().front(), unit::kBeginAddKeys);
    EXPECT_EQ(sent().back(), unit::kEndAddKeys);
    EXPECT_EQ(std::count(sent().begin(), sent().end(), unit::kWriteKey), 0);
    EXPECT_TRUE(s().image == before);
    EXPECT_EQ(s().keyList.rowCount(), 1);
    EXPECT_EQ(s().keyList.firstFreeSlot(), 1);
    EXPECT_EQ(lines().back(), QStringLiteral("Zaznamenané klíče nebyly do ZYL uloženy."));  // the newest
    EXPECT_TRUE(logged(QStringLiteral("Klíč byl zaznamenán")));
    EXPECT_EQ(activeTimer(), 0);
    EXPECT_TRUE(h.dialog.button(MainDialog::kConnectButton)->isEnabled());
    EXPECT_FALSE(h.dialog.button(MainDialog::kAddKeysButton)->isEnabled());
}

struct WriteFault {
    const char* name;
    FaultKind kind;
    int nth;  // answer byte of the 0x11 exchange: echoes 0..16, 0x06 17, comment's 0x06 18
    int code;
};

class KeyWriteFaultTest : public KeyFlowTest, public testing::WithParamInterface<WriteFault> {};

TEST_P(KeyWriteFaultTest, FaultyAnswerStopsTheWriteWithAFatalError) {
    const WriteFault& row = GetParam();
    h.unit.setFault(fault(row.kind, unit::kWriteKey, row.nth));
    answerKeyDialogs({{numberedKey(1), QStringLiteral("abc"), {}, true}});
    h.dialog.onAddKeys();
    runToIdle();

    expectFatal(row.code);
    EXPECT_FALSE(logged(QStringLiteral("Klíč byl uložen")));
}

INSTANTIATE_TEST_SUITE_P(
    Errors, KeyWriteFaultTest,
    testing::Values(WriteFault{"E101WrongLastFloorEcho", FaultKind::WrongByte, 16, 101},
                    WriteFault{"E102WrongAcknowledgement", FaultKind::WrongByte, 17, 102},
                    WriteFault{"E103MissingAcknowledgement", FaultKind::DropEcho, 17, 103},
                    WriteFault{"E104WrongCommentAcknowledgement", FaultKind::WrongByte, 18, 104},
                    WriteFault{"E105MissingCommentAcknowledgement", FaultKind::DropEcho, 18, 105}),
    [](const testing::TestParamInfo<WriteFault>& info) { return info.param.name; });

}  // namespace
