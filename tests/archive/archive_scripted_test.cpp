// Answers no well-behaved unit gives, replayed read by read through a scripted main window.

#include <gtest/gtest.h>

#include <QPushButton>
#include <QStringList>

#include <deque>
#include <vector>

#include "archive_dialog.h"
#include "fake_desktop.h"
#include "main_window_link.h"
#include "unit_commands.h"
#include "window_timers.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The main window as the archive sees it: each read returns the next scripted answer (none
// when the script has run out), and everything the dialog does to it is recorded.
class ScriptedLink : public MainWindowLink {
public:
    void sendByte(std::uint8_t b) override { sent.push_back(b); }
    int readAnswer() override {
        last.clear();
        if (!answers.empty()) {
            last = answers.front();
            answers.pop_front();
        }
        return static_cast<int>(last.size());
    }
    void discardInput() override { readAnswer(); }
    std::uint8_t answerByte(int position) override {
        return position < static_cast<int>(last.size()) ? last[static_cast<std::size_t>(position)] : 0;
    }
    void logLine(const QString& text) override { lines.push_front(text); }
    void logMark(const QString& text) override { lines.front().prepend(text); }
    void reportError(int code, ErrorKind kind, const QString& text) override {
        errors.push_back(code);
        EXPECT_EQ(text, QString());
        kinds.push_back(kind);
    }
    void clearImage() override { ++imageClears; }

    std::deque<Bytes> answers;
    Bytes last;
    Bytes sent;
    QStringList lines{QString()};  // newest first
    std::vector<int> errors;
    std::vector<ErrorKind> kinds;
    int imageClears = 0;
};

class ScriptedArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog.onInitDialog();
        desktop.modalHandler = [](QDialog& d) {
            d.accept();
            return static_cast<int>(QDialog::Accepted);
        };
    }

    void tick() { dialog.onTimer(dialog.timers().activeId()); }

    // Starts an erase and runs it up to the step that reads the unit's acceptance.
    void eraseUpToAcceptance(bool keys) {
        keys ? dialog.onEraseKeys() : dialog.onEraseLogs();
        tick();
        tick();
        tick();
    }

    FakeDesktop desktop;
    ScriptedLink link;
    ArchiveDialog dialog{link};
};

TEST_F(ScriptedArchiveTest, KeepAliveFindsTheAcknowledgementAmongOtherBytes) {
    dialog.missCount = 2;
    tick();
    link.answers = {{0x55, unit::kAck, 0x55}};
    tick();
    EXPECT_EQ(dialog.missCount, 0);
    EXPECT_TRUE(link.errors.empty());
}

TEST_F(ScriptedArchiveTest, KeepAliveCountsAnAnswerWithoutAcknowledgementAsMissed) {
    for (int cycle = 0; cycle < 3; ++cycle) {
        tick();
        link.answers = {{unit::kBlockAccepted, unit::kEraseProgress}};
        tick();
    }
    EXPECT_EQ(link.errors, std::vector<int>{600});
    EXPECT_EQ(link.kinds, std::vector<ErrorKind>{ErrorKind::Disconnect});
    EXPECT_EQ(dialog.timers().activeId(), 0);
}

TEST_F(ScriptedArchiveTest, EraseAcceptanceMustBeTheFirstByte) {
    eraseUpToAcceptance(true);
    link.answers = {{unit::kEraseProgress, unit::kUnitPresent}};
    tick();
    EXPECT_EQ(link.errors, std::vector<int>{521});
    EXPECT_EQ(dialog.timers().activeId(), 0);
}

TEST_F(ScriptedArchiveTest, BytesAfterTheEndOfAnEraseAreNotExamined) {
    eraseUpToAcceptance(false);
    link.answers = {{unit::kUnitPresent}, {unit::kEraseProgress, unit::kEraseDone, 0x55, 0x55}};
    tick();
    tick();
    EXPECT_TRUE(link.errors.empty());
    EXPECT_EQ(link.lines.front(), QStringLiteral("Všechny logy byly smazány"));
    EXPECT_EQ(link.imageClears, 0);
    EXPECT_EQ(dialog.timers().activeId(), ArchiveDialog::kKeepAliveTimer);
}

TEST_F(ScriptedArchiveTest, BytesAfterAFailingByteAreNotExamined) {
    eraseUpToAcceptance(true);
    link.answers = {{unit::kUnitPresent}, {0x55, unit::kEraseDone}};
    tick();
    tick();
    EXPECT_EQ(link.errors, std::vector<int>{523});
    EXPECT_EQ(dialog.keysErased, 0);
    EXPECT_EQ(link.imageClears, 0);
    EXPECT_EQ(dialog.timers().activeId(), 0);
}

TEST_F(ScriptedArchiveTest, ElevenProgressBytesInOneReadGiveOneMarkAndLeaveFive) {
    eraseUpToAcceptance(true);
    link.answers = {{unit::kUnitPresent}, Bytes(11, unit::kEraseProgress), {unit::kEraseDone}};
    tick();
    tick();
    EXPECT_EQ(link.lines.front(), QStringLiteral("*"));
    EXPECT_EQ(dialog.progressCount, 5);
    tick();
    EXPECT_EQ(link.lines.mid(0, 2),
              (QStringList{QStringLiteral("Všechny klíče byly smazány"), QStringLiteral("*")}));
    EXPECT_EQ(link.imageClears, 1);
    EXPECT_EQ(dialog.keysErased, 1);
}

TEST_F(ScriptedArchiveTest, ImageWriteTakesOnlyAnAnswerThatStartsWithN) {
    dialog.imageChanged = 1;
    dialog.onTimer(ArchiveDialog::kWriteTimer);
    link.answers = {{0x55, unit::kImageReady}};
    dialog.onTimer(ArchiveDialog::kWriteTimer);
    EXPECT_EQ(link.errors, std::vector<int>{531});
    EXPECT_EQ(link.kinds, std::vector<ErrorKind>{ErrorKind::Fatal});
}

TEST_F(ScriptedArchiveTest, BlockAnswerIsJudgedByItsFirstByteOnly) {
    dialog.step = 2;
    dialog.blockIndex = 1;
    link.answers = {{unit::kBlockAccepted, 0x55}, {0x55, unit::kAck}};
    dialog.onTimer(ArchiveDialog::kWriteTimer);
    EXPECT_TRUE(link.errors.empty());
    dialog.onTimer(ArchiveDialog::kWriteTimer);
    EXPECT_EQ(link.errors, std::vector<int>{532});
}

}  // namespace
