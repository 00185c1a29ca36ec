// Answers no well-behaved unit gives, replayed read by read through a scripted main window,
// on a window without a toolkit.

#include <gtest/gtest.h>

#include <vector>

#include "archive_dialog.h"
#include "fake_window.h"
#include "scripted_link.h"
#include "unit_commands.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class ScriptedArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Confirmations are answered OK at once.
        window.modalHandler = [](Dialog&, FakeWindow&) { return Dialog::kOk; };
        window.init();
    }

    void tick() { window.tick(window.activeTimer()); }
    // A tick of `id` whether it runs or not, as a test of one step needs.
    void tickOf(int id) { dialog.handleEvent(window, {Dialog::Event::Kind::Timer, id}); }

    // Starts an erase and runs it up to the step that reads the unit's acceptance.
    void eraseUpToAcceptance(bool keys) {
        window.click(keys ? ArchiveDialog::kEraseKeysButton : ArchiveDialog::kEraseLogsButton);
        tick();
        tick();
        tick();
    }

    FakeScreen screen;
    ScriptedLink link;
    ArchiveDialog dialog{link};
    FakeWindow window{dialog, screen};
};

TEST_F(ScriptedArchiveTest, KeepAliveFindsTheAcknowledgementAmongOtherBytes) {
    dialog.missCount = 2;
    tick();
    link.reads = {{0x55, unit::kAck, 0x55}};
    tick();
    EXPECT_EQ(dialog.missCount, 0);
    EXPECT_TRUE(link.reports.empty());
}

TEST_F(ScriptedArchiveTest, KeepAliveCountsAnAnswerWithoutAcknowledgementAsMissed) {
    for (int cycle = 0; cycle < 3; ++cycle) {
        tick();
        link.reads = {{unit::kBlockAccepted, unit::kEraseProgress}};
        tick();
    }
    EXPECT_EQ(link.errorCodes(), std::vector<int>{600});
    EXPECT_EQ(link.errorKinds(), std::vector<ErrorKind>{ErrorKind::Disconnect});
    EXPECT_EQ(window.activeTimer(), 0);
}

TEST_F(ScriptedArchiveTest, EraseAcceptanceMustBeTheFirstByte) {
    eraseUpToAcceptance(true);
    link.reads = {{unit::kEraseProgress, unit::kUnitPresent}};
    tick();
    EXPECT_EQ(link.errorCodes(), std::vector<int>{521});
    EXPECT_EQ(window.activeTimer(), 0);
}

TEST_F(ScriptedArchiveTest, BytesAfterTheEndOfAnEraseAreNotExamined) {
    eraseUpToAcceptance(false);
    link.reads = {{unit::kUnitPresent}, {unit::kEraseProgress, unit::kEraseDone, 0x55, 0x55}};
    tick();
    tick();
    EXPECT_TRUE(link.reports.empty());
    EXPECT_EQ(link.lines.front(), "Všechny logy byly smazány");
    EXPECT_EQ(link.imageClears, 0);
    EXPECT_EQ(window.activeTimer(), ArchiveDialog::kKeepAliveTimer);
}

TEST_F(ScriptedArchiveTest, BytesAfterAFailingByteAreNotExamined) {
    eraseUpToAcceptance(true);
    link.reads = {{unit::kUnitPresent}, {0x55, unit::kEraseDone}};
    tick();
    tick();
    EXPECT_EQ(link.errorCodes(), std::vector<int>{523});
    EXPECT_EQ(dialog.keysErased, 0);
    EXPECT_EQ(link.imageClears, 0);
    EXPECT_EQ(window.activeTimer(), 0);
}

TEST_F(ScriptedArchiveTest, ElevenProgressBytesInOneReadGiveOneMarkAndLeaveFive) {
    eraseUpToAcceptance(true);
    link.reads = {{unit::kUnitPresent}, Bytes(11, unit::kEraseProgress), {unit::kEraseDone}};
    tick();
    tick();
    EXPECT_EQ(link.lines.front(), "*");
    EXPECT_EQ(dialog.progressCount, 5);
    tick();
    ASSERT_GE(link.lines.size(), 2u);
    EXPECT_EQ(link.lines[0], "Všechny klíče byly smazány");
    EXPECT_EQ(link.lines[1], "*");
    EXPECT_EQ(link.imageClears, 1);
    EXPECT_EQ(dialog.keysErased, 1);
}

TEST_F(ScriptedArchiveTest, ImageWriteTakesOnlyAnAnswerThatStartsWithN) {
    dialog.imageChanged = 1;
    tickOf(ArchiveDialog::kWriteTimer);
    link.reads = {{0x55, unit::kImageReady}};
    tickOf(ArchiveDialog::kWriteTimer);
    EXPECT_EQ(link.errorCodes(), std::vector<int>{531});
    EXPECT_EQ(link.errorKinds(), std::vector<ErrorKind>{ErrorKind::Fatal});
}

TEST_F(ScriptedArchiveTest, BlockAnswerIsJudgedByItsFirstByteOnly) {
    dialog.step = 2;
    dialog.blockIndex = 1;
    link.reads = {{unit::kBlockAccepted, 0x55}, {0x55, unit::kAck}};
    tickOf(ArchiveDialog::kWriteTimer);
    EXPECT_TRUE(link.reports.empty());
    tickOf(ArchiveDialog::kWriteTimer);
    EXPECT_EQ(link.errorCodes(), std::vector<int>{532});
}

}  // namespace
