#include <gtest/gtest.h>

#include <algorithm>

#include "fake_window.h"
#include "key_dialog.h"
#include "key_samples.h"
#include "scripted_link.h"
#include "unit_commands.h"

using namespace keys_test;

namespace {

// The unit's answer to the read-key command.
Bytes readerAnswer(const KeyCode& key, std::uint8_t status = 1) {
    Bytes answer{status};
    answer.insert(answer.end(), key.begin(), key.end());
    return answer;
}

Bytes slice(const Bytes& bytes, std::size_t from, std::size_t to) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 bytes.begin() + static_cast<std::ptrdiff_t>(to));
}

class KeyReaderTest : public testing::Test {
protected:
    void open(int readerMode, const KeyCode& key = {}) {
        dialog.readerMode = readerMode;
        dialog.keyCode = key;
        window.init();
    }

    void tick() { window.tick(KeyDialog::kReaderTimer); }

    // One whole cycle: the command, then one read finding `answer`.
    void cycle(const Bytes& answer) {
        tick();
        link.reads.push_back(answer);
        tick();
    }

    int commandsSent() const {
        return static_cast<int>(std::count(link.sent.begin(), link.sent.end(), unit::kReadReader));
    }
    std::string field() const { return window.text(KeyDialog::kKeyEdit); }

    FakeScreen screen;
    ScriptedLink link;
    KeyDialog dialog{link};
    FakeWindow window{dialog, screen};
};

TEST_F(KeyReaderTest, FirstTickDiscardsAndSendsTheReadCommand) {
    open(1);
    const int discards = link.discards;
    tick();
    EXPECT_EQ(link.sent, Bytes{unit::kReadReader});
    EXPECT_EQ(link.discards, discards + 1);
    tick();  // waiting: reads, sends nothing
    EXPECT_EQ(link.sent.size(), 1u);
}

TEST_F(KeyReaderTest, HeldByteCodeShowsSixteenDigitsMostSignificantFirst) {
    open(1);
    cycle(readerAnswer(an27Key()));
    EXPECT_EQ(field(), "A200000001B81C02");
    EXPECT_EQ(dialog.keyCode, an27Key());
}

TEST_F(KeyReaderTest, HeldCharacterCodeShowsItsTwelveCharacters) {
    open(1);
    cycle(readerAnswer(charKey("ABCDEF012345")));
    EXPECT_EQ(field(), "ABCDEF012345");
}

TEST_F(KeyReaderTest, AnswerSplitFiveAndEightIsTakenAfterTheSecondRead) {
    open(1);
    const Bytes answer = readerAnswer(numberedKey(1));
    tick();
    link.reads.push_back(slice(answer, 0, 5));
    tick();
    EXPECT_EQ(field(), "------------");
    link.reads.push_back(slice(answer, 5, 13));
    tick();
    EXPECT_EQ(field(), keyCodeText(numberedKey(1)));
    tick();  // a new cycle starts
    EXPECT_EQ(commandsSent(), 2);
}

TEST_F(KeyReaderTest, AnswerSplitTwelveAndOneIsTakenOnlyWithTheThirteenthByte) {
    open(1);
    const Bytes answer = readerAnswer(numberedKey(2));
    tick();
    link.reads.push_back(slice(answer, 0, 12));
    tick();
    tick();  // an empty read in between
    EXPECT_EQ(field(), "------------");
    EXPECT_EQ(commandsSent(), 1);
    link.reads.push_back(slice(answer, 12, 13));
    tick();
    EXPECT_EQ(field(), keyCodeText(numberedKey(2)));
}

TEST_F(KeyReaderTest, BytesBeyondTheThirteenthAreDroppedAndTheCycleCompletes) {
    open(1);
    Bytes answer = readerAnswer(numberedKey(3));
    answer.push_back(0x55);
    answer.push_back(0x66);
    cycle(answer);
    EXPECT_EQ(field(), keyCodeText(numberedKey(3)));
    tick();
    EXPECT_EQ(commandsSent(), 2);
}

TEST_F(KeyReaderTest, StatusZeroKeepsNoKeyAndCountsNoEmptyReads) {
    open(1);
    for (int i = 0; i < 5; ++i) {
        cycle(readerAnswer(numberedKey(4), 0));
    }
    EXPECT_EQ(field(), "------------");
    EXPECT_EQ(dialog.keyCode, KeyCode{});
    EXPECT_EQ(dialog.idleReadCount(), 0);
}

TEST_F(KeyReaderTest, KeyTakenAwayStaysInTheField) {
    open(1);
    cycle(readerAnswer(numberedKey(5)));
    cycle(readerAnswer(KeyCode{}, 0));
    EXPECT_EQ(field(), keyCodeText(numberedKey(5)));
    EXPECT_EQ(dialog.keyCode, numberedKey(5));
}

TEST_F(KeyReaderTest, CorruptedCrcBlanksTheFieldAndClearsTheKey) {
    open(1);
    cycle(readerAnswer(numberedKey(6)));
    KeyCode corrupted = numberedKey(7);
    corrupted[3] ^= 0x04;
    cycle(readerAnswer(corrupted));
    EXPECT_EQ(field(), "------------");
    EXPECT_EQ(dialog.keyCode, KeyCode{});
}

TEST_F(KeyReaderTest, EditModeSendsTheCommandButChangesNothing) {
    const KeyCode stored = numberedKey(8);
    open(0, stored);
    for (int i = 0; i < 3; ++i) {
        cycle(readerAnswer(numberedKey(9)));
    }
    EXPECT_EQ(commandsSent(), 3);
    EXPECT_EQ(field(), keyCodeText(stored));
    EXPECT_EQ(dialog.keyCode, stored);
}

TEST_F(KeyReaderTest, ManualEntryKeepsTheTypedTextAndItsKey) {
    open(1);
    window.click(KeyDialog::kManualEntryBox);
    window.type(KeyDialog::kKeyEdit, "A200000001B81C02");
    window.command(KeyDialog::kKeyEdit, Dialog::Notification::FocusLost);
    cycle(readerAnswer(numberedKey(10)));
    cycle(readerAnswer(numberedKey(11)));
    EXPECT_EQ(field(), "A200000001B81C02");
    EXPECT_EQ(dialog.keyCode, an27Key());
    EXPECT_EQ(commandsSent(), 2);
}

TEST_F(KeyReaderTest, SilentUnitIsReportedLostAtTheTwoHundredAndFirstEmptyRead) {
    open(0, numberedKey(12));
    tick();
    for (int i = 0; i < KeyDialog::kMaxIdleReads; ++i) {
        tick();
    }
    EXPECT_TRUE(link.reports.empty());
    EXPECT_EQ(dialog.idleReadCount(), 200);
    tick();
    ASSERT_EQ(link.reports.size(), 1u);
    EXPECT_EQ(link.reports[0].code, 501);
    EXPECT_EQ(link.reports[0].kind, ErrorKind::Disconnect);
    EXPECT_TRUE(link.reports[0].text.empty());
    EXPECT_FALSE(window.isEnabled(KeyDialog::kOkButton));
    EXPECT_TRUE(window.timers().empty());
    EXPECT_EQ(commandsSent(), 1);
}

TEST_F(KeyReaderTest, AnyByteResetsTheEmptyReadCount) {
    open(1);
    tick();
    for (int i = 0; i < 150; ++i) {
        tick();
    }
    link.reads.push_back({0});
    tick();
    EXPECT_EQ(dialog.idleReadCount(), 0);
    for (int i = 0; i < KeyDialog::kMaxIdleReads; ++i) {
        tick();
    }
    EXPECT_TRUE(link.reports.empty());
    tick();
    EXPECT_EQ(link.reports.size(), 1u);
}

TEST_F(KeyReaderTest, TicksOfOtherTimersAreIgnored) {
    open(1);
    dialog.handleEvent(window, {Dialog::Event::Kind::Timer, 2});
    EXPECT_TRUE(link.sent.empty());
}

}  // namespace
