#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "unit_commands.h"
#include "unit_model.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Millis = UnitModel::Millis;

UnitModel unitWith(const char* fault) {
    UnitModel unit;
    unit.setFault(parseFault(fault).value());
    return unit;
}

void send(UnitModel& unit, const Bytes& bytes, Millis at) {
    for (const std::uint8_t b : bytes) {
        unit.receive(b, at);
    }
}

struct ByteFaultCase {
    const char* fault;
    Bytes sent;
    Bytes answered;

    friend void PrintTo(const ByteFaultCase& c, std::ostream* os) { *os << c.fault; }
};

class ByteFaultTest : public ::testing::TestWithParam<ByteFaultCase> {};

TEST_P(ByteFaultTest, ChangesOnlyTheChosenAnswerByte) {
    UnitModel unit = unitWith(GetParam().fault);
    send(unit, GetParam().sent, 0);
    EXPECT_EQ(unit.takeOutput(10'000), GetParam().answered);
}

// The access-code write answers high, low, 0x06; the keep-alive 0x06.
INSTANTIATE_TEST_SUITE_P(
    Kinds, ByteFaultTest,
    ::testing::Values(ByteFaultCase{"wrong@0x20:1", {0x20, 0x12, 0xDB}, {0x12, 0x24, 0x06}},
                      ByteFaultCase{"drop-echo@0x20:1", {0x20, 0x12, 0xDB}, {0x12, 0x06}},
                      ByteFaultCase{"double-echo@0x20:0", {0x20, 0x12, 0xDB}, {0x12, 0x12, 0xDB, 0x06}},
                      ByteFaultCase{"stray@0x20:1", {0x20, 0x12, 0xDB}, {0x12, 0xDB, 0x55, 0x06}},
                      ByteFaultCase{"wrong@0x05:0:1", {0x05, 0x05, 0x05}, {0x06, 0xF9, 0x06}},
                      ByteFaultCase{"drop-echo@0x24:5", {0x24, 13, 1, 2, 3, 4, 5}, {13, 1, 2, 3, 4, 0x06}},
                      // With no command named, the first exchange answered is hit, not the 0x04.
                      ByteFaultCase{"stray", {0x04, 0x05, 0x05}, {0x06, 0x55, 0x06}}));

TEST(FaultedUnit, SplitAnswerHoldsBackTheRestOfTheAnswer) {
    UnitModel unit = unitWith("split@0x6B:5");
    send(unit, {0x6B}, 100);
    EXPECT_EQ(unit.takeOutput(101).size(), 5u);
    EXPECT_TRUE(unit.takeOutput(100 + Fault::kSplitDelayMs).empty());
    EXPECT_EQ(unit.takeOutput(101 + Fault::kSplitDelayMs).size(), 8u);
}

TEST(FaultedUnit, SilenceLastsFromTheNamedExchangeOn) {
    UnitModel unit = unitWith("silence@0x23");
    send(unit, {0x05}, 0);
    EXPECT_EQ(unit.takeOutput(1), Bytes{unit::kAck});
    send(unit, {0x23, 0x30, 0x05, 0x01, 0xA7, 0x5A, 0x59, 0x4C}, 100);
    EXPECT_TRUE(unit.takeOutput(10'000).empty());
    EXPECT_EQ(unit.recordSize(), 0x30);  // the unit still works, it only says nothing
}

TEST(FaultedUnit, RefuseCodeRefusesEveryCode) {
    UnitModel unit = unitWith("refuse-code");
    for (const Millis at : {0, 500}) {
        send(unit, {0x01, 0xA7, 0x5A, 0x59, 0x4C, 0x07, 0x12, 0xDB}, at);
        EXPECT_EQ(unit.takeOutput(at + 1), (Bytes{unit::kUnitPresent, 0x15}));
        EXPECT_FALSE(unit.loggedIn());
    }
}

TEST(FaultedUnit, SlowEraseLeavesGapsLongerThanTheProgramWaits) {
    UnitModel unit = unitWith("slow-erase");
    send(unit, {0x05}, 0);  // not an erase: the fault waits for the first one
    unit.takeOutput(1);
    send(unit, {0x18, 0x08, 0x11}, 100);
    std::vector<Millis> progress;
    for (Millis t = 100; t <= 2000; ++t) {
        for (const std::uint8_t b : unit.takeOutput(t)) {
            if (b == unit::kEraseProgress) {
                progress.push_back(t);
            }
        }
    }
    ASSERT_GE(progress.size(), 2u);
    EXPECT_EQ(progress[1] - progress[0], Fault::kSlowEraseIntervalMs);
}

TEST(FaultedUnit, HangUpDropsTheLineUntilItIsBack) {
    UnitModel unit = unitWith("hangup@0x18");
    send(unit, {0x23, 0x20, 0x05}, 0);
    send(unit, {0x18}, 1);
    EXPECT_TRUE(unit.hungUp());
    EXPECT_TRUE(unit.takeOutput(100).empty());  // the unanswered keep-alive is lost with the line
    const auto received = unit.received().size();
    send(unit, {0x08, 0x11}, 200);
    EXPECT_EQ(unit.received().size(), received);

    unit.reconnect();
    EXPECT_FALSE(unit.hungUp());
    EXPECT_EQ(unit.fault().kind, FaultKind::None);
    send(unit, {0x18, 0x08, 0x11}, 300);
    EXPECT_EQ(unit.takeOutput(301), Bytes{unit::kUnitPresent});
    EXPECT_EQ(unit.recordSize(), 0x20);
}

TEST(FaultedUnit, FaultsAddedTogetherEachTakeEffect) {
    UnitModel unit;
    unit.addFault(parseFault("wrong@0x05").value());
    unit.addFault(parseFault("stray@0x6B:12").value());
    send(unit, {0x05, 0x6B}, 0);
    Bytes expected{0xF9};
    expected.resize(14, 0x00);
    expected.push_back(0x55);
    EXPECT_EQ(unit.takeOutput(1), expected);
}

}  // namespace
