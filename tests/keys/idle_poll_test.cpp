#include "key_flow_fixture.h"

using namespace keys_test;

namespace {

// Keys on records 0..4, record 3 with floors 1 and 16; the poll running.
class IdlePollTest : public KeyFlowTest {
protected:
    IdlePollTest() {
        for (int record = 0; record < 5; ++record) {
            storeKey(record, numberedKey(record + 1),
                     record == 3 ? FloorMask{0x01, 0x80, 0x00} : FloorMask{});
        }
        h.dialog.returnToIdle(0);
    }

    // One cycle: the start tick when it is due, then steps 1..4.
    void cycles(int n) {
        for (int i = 0; i < n * 4; ++i) {
            h.stepper.tick();
        }
    }

    int ticked() {
        int n = 0;
        for (int floor = 1; floor <= kFloors; ++floor) {
            n += floorChecked(floor) ? 1 : 0;
        }
        return n;
    }
};

TEST_F(IdlePollTest, CycleAsksTheReaderThenSendsTheKeepAlive) {
    h.stepper.tick();  // step 0 sends nothing
    EXPECT_TRUE(sent().empty());
    cycles(2);
    EXPECT_EQ(sent(), (Bytes{unit::kReadReader, unit::kKeepAlive, unit::kReadReader, unit::kKeepAlive}));
    EXPECT_EQ(s().missedPolls, 0);
    EXPECT_EQ(s().pollStep, 1);
}

TEST_F(IdlePollTest, KeyHeldAtTheReaderSelectsItsRowAndShowsItsFloors) {
    h.unit.holdKey(numberedKey(4));
    h.stepper.tick();
    cycles(1);

    EXPECT_EQ(s().readerKey, numberedKey(4));
    EXPECT_EQ(s().selectedRow, 3);
    EXPECT_TRUE(floorChecked(1));
    EXPECT_TRUE(floorChecked(16));
    EXPECT_EQ(ticked(), 2);
}

TEST_F(IdlePollTest, UnknownKeyAtTheReaderLeavesTheSelection) {
    h.dialog.selectRow(1, -1);
    h.unit.holdKey(numberedKey(99));
    h.stepper.tick();
    cycles(1);

    EXPECT_EQ(s().readerKey, numberedKey(99));
    EXPECT_EQ(s().selectedRow, 1);
}

TEST_F(IdlePollTest, NoKeyAtTheReaderStillTakesItsCodeButSelectsNothing) {
    s().readerKey = numberedKey(4);  // kept instead of the reader's zeros, this would show
    h.stepper.tick();
    cycles(1);
    EXPECT_EQ(s().readerKey, KeyCode{});
    EXPECT_EQ(s().selectedRow, -1);
}

TEST_F(IdlePollTest, ShortReaderAnswerIsIgnored) {
    s().readerKey = numberedKey(50);
    h.unit.holdKey(numberedKey(2));
    h.unit.setFault(fault(FaultKind::DropEcho, unit::kReadReader, 12));
    h.stepper.tick();
    cycles(1);
    EXPECT_EQ(s().readerKey, numberedKey(50));
    EXPECT_EQ(s().selectedRow, -1);
}

TEST_F(IdlePollTest, SixCyclesWithoutAcknowledgementReportError600) {
    h.unit.setFault(fault(FaultKind::Silence, unit::kKeepAlive));
    h.stepper.tick();
    cycles(5);
    EXPECT_EQ(s().missedPolls, 5);
    EXPECT_TRUE(h.screen.boxes.empty());
    cycles(1);

    EXPECT_EQ(boxes(), std::vector<std::string>{"Chyba 600 - ZYL odpojeno."});
    EXPECT_EQ(lines().back(), "Chyba 600 - ZYL odpojeno.");
    EXPECT_EQ(activeTimer(), 0);
    EXPECT_TRUE(h.enabled(MainDialog::kConnectButton));
    EXPECT_FALSE(h.enabled(MainDialog::kAddKeysButton));
}

TEST_F(IdlePollTest, AcknowledgementAnywhereInTheAnswerCounts) {
    h.stepper.tick();
    for (int i = 0; i < 8; ++i) {
        h.stepper.tick();  // step 1: the reader command
        h.stepper.tick();  // step 2: its answer
        // A late reader answer lands ahead of the keep-alive's 0x06.
        h.port.write(unit::kReadReader);
        h.stepper.tick();  // step 3
        h.stepper.tick();  // step 4 reads 13 reader bytes, then 0x06
        EXPECT_EQ(s().missedPolls, 0) << i;
    }
    EXPECT_EQ(activeTimer(), MainDialog::kIdlePollTimer);
}

TEST_F(IdlePollTest, MissedPollsSurviveARestartOfThePoll) {
    h.unit.setFault(fault(FaultKind::Silence, unit::kKeepAlive));
    h.stepper.tick();
    cycles(6);
    ASSERT_EQ(h.screen.boxes.size(), 1u);

    h.dialog.returnToIdle(0);
    h.stepper.tick();
    cycles(1);
    EXPECT_EQ(boxes(), (std::vector<std::string>{"Chyba 600 - ZYL odpojeno.", "Chyba 600 - ZYL odpojeno."}));
}

}  // namespace
