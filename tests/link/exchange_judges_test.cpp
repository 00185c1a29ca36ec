#include "exchange_judges.h"

#include <gtest/gtest.h>

#include <vector>

#include "link_exchange.h"
#include "scripted_port.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The main window and the archive dialog judge the same answers with their own codes and
// limits; each row says what one read means to them.
struct Read {
    explicit Read(const Bytes& answer, int quietMs = PortLink::kLongAgoMs) {
        port.script(answer);
        port.quietMs = quietMs;
        n = link.readAnswer();
    }
    ScriptedPort port;
    LinkExchange link{port};
    int n = 0;
};

struct AckRow {
    Bytes answer;
    AckCodes codes;
    int error;
};

TEST(ExchangeJudges, AcknowledgedSettingTakesOnlyAnAckFirst) {
    const AckRow rows[] = {
        {{0x06}, {302, 303}, 0},   {{0x06, 0x15}, {306, 307}, 0}, {{0x15, 0x06}, {302, 303}, 302},
        {{0x07}, {321, 322}, 321}, {{}, {304, 305}, 305},         {{0x00}, {306, 307}, 306},
    };
    for (const AckRow& row : rows) {
        Read read(row.answer);
        EXPECT_EQ(acknowledgementError(read.n, read.link, row.codes), row.error)
            << "answer of " << row.answer.size() << " bytes, codes " << row.codes.wrong;
    }
}

TEST(ExchangeJudges, EraseIsAcceptedByUnitPresentFirst) {
    struct Row {
        Bytes answer;
        ErasePass pass;
        int error;
    };
    const Row rows[] = {
        {{0x07}, ErasePass::Keys, 0},         {{0x07, 0x0A}, ErasePass::Logs, 0},
        {{0x0A, 0x07}, ErasePass::Keys, 521}, {{}, ErasePass::Keys, 521},
        {{}, ErasePass::Logs, 522},           {{0x06}, ErasePass::Logs, 522},
    };
    for (const Row& row : rows) {
        Read read(row.answer);
        EXPECT_EQ(eraseAcceptError(read.n, read.link, row.pass), row.error);
    }
}

TEST(ExchangeJudges, EraseProgressMarksEverySixthByteUntilDoneAStrayByteOrSilence) {
    using Outcome = EraseProgress::Outcome;
    struct Row {
        Bytes answer;
        ErasePass pass;
        int countBefore;
        Outcome outcome;
        int marks;
        int code;
        int countAfter;
        int quietMs = 150;  // since the unit last sent
    };
    const Bytes six(6, 0x0A);
    Bytes thirteen(13, 0x0A);
    Bytes sixThenDoneThenSix = six;
    sixThenDoneThenSix.push_back(0x03);
    sixThenDoneThenSix.insert(sixThenDoneThenSix.end(), six.begin(), six.end());
    const Row rows[] = {
        {{0x0A}, ErasePass::Keys, 0, Outcome::Erasing, 0, 0, 1},
        {six, ErasePass::Keys, 0, Outcome::Erasing, 1, 0, 0},
        {{0x0A}, ErasePass::Logs, 5, Outcome::Erasing, 1, 0, 0},  // carried over from earlier ticks
        {thirteen, ErasePass::Logs, 0, Outcome::Erasing, 2, 0, 1},
        {sixThenDoneThenSix, ErasePass::Keys, 0, Outcome::Done, 1, 0, 0},  // nothing after 0x03 counts
        {{0x03}, ErasePass::Logs, 2, Outcome::Done, 0, 0, 2},
        {{0x0A, 0x55, 0x03}, ErasePass::Keys, 0, Outcome::Failed, 0, 523, 1},
        {{0x07}, ErasePass::Logs, 0, Outcome::Failed, 0, 524, 0},
        {{}, ErasePass::Keys, 3, Outcome::Failed, 0, 525, 3},
        {{}, ErasePass::Logs, 0, Outcome::Failed, 0, 526, 0},
        // A tick that comes right after a late one, before the unit's next byte could.
        {{}, ErasePass::Keys, 3, Outcome::Erasing, 0, 0, 3, 149},
    };
    for (const Row& row : rows) {
        Read read(row.answer, row.quietMs);
        int count = row.countBefore;
        const EraseProgress p = judgeEraseProgress(read.n, read.link, row.pass, count);
        SCOPED_TRACE(testing::Message() << row.answer.size() << " bytes, count " << row.countBefore);
        EXPECT_EQ(p.outcome, row.outcome);
        EXPECT_EQ(p.marks, row.marks);
        EXPECT_EQ(p.code, row.code);
        EXPECT_EQ(count, row.countAfter);
    }
}

TEST(ExchangeJudges, KeepAliveIsLostPastTheCallersLimitOfCyclesWithoutAck) {
    struct Row {
        Bytes answer;
        int missesBefore;
        int limit;  // 5 for the main window's idle poll, 2 for the archive's keep-alive
        bool lost;
        int missesAfter;
    };
    const Row rows[] = {
        {{0x06}, 5, 5, false, 0}, {{0x15, 0x06, 0x15}, 2, 2, false, 0},
        {{}, 4, 5, false, 5},     {{}, 5, 5, true, 6},
        {{0x15}, 1, 2, false, 2}, {{0x15}, 2, 2, true, 3},
        {{}, 0, 2, false, 1},
    };
    for (const Row& row : rows) {
        Read read(row.answer);
        int misses = row.missesBefore;
        EXPECT_EQ(keepAliveLost(read.n, read.link, misses, row.limit), row.lost);
        EXPECT_EQ(misses, row.missesAfter);
    }
}

}  // namespace
