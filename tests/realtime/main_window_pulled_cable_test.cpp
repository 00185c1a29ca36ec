// The cable pulled in the middle of each exchange of the main window, in real time: what
// the program reports, that the window never stops handling events, that it sits still
// while the line is dead, and that it connects again once the unit is back on COM1.

#include "pulled_cable_fixture.h"
#include "unit_commands.h"

namespace {

// A key in record 0 of a record size the unit already has, for the key write.
void storeOneKey(QtMainWindow& dialog) {
    MainDialogState& s = dialog.state();
    s.recordSize = 65;
    const KeyCode key = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xE9};
    writeRecord(s.image, s.recordSize, 0, key, {0x02, 0x00, 0x00}, "Vr\xE1tn\xFD");
    dialog.dialog.rebuildKeyList();
    s.writeList[0] = 0;
    s.writeList[1] = -1;
}

TEST_F(PulledCableTest, DuringTheHandshakeTheUnitIsNotFound) {
    plugIn({*parseFault("hangup@0x01")});
    QtMainWindow dialog(theSerialPort);
    watch_.start();
    pressConnect(dialog);
    ASSERT_TRUE(waitFor([&] { return idle(dialog); }, 5000));

    EXPECT_EQ(topLine(dialog), QStringLiteral("ZYL nenalezen na COM1"));
    EXPECT_TRUE(desktop_.boxes.empty());
    EXPECT_EQ(dialog.state().portOpen, 0);
    EXPECT_FALSE(theSerialPort.isOpen());
    expectOnlyConnectEnabled(dialog);
    expectQuietAfterReport("handshake, hang-up at 0x01");
    expectResetSucceeds(dialog);
}

TEST_F(PulledCableTest, DuringTheSettingsWriteTheMissingAcknowledgementIsFatal) {
    plugIn({*parseFault("hangup@0x23")});
    {
        QtMainWindow dialog(theSerialPort);
        watch_.start();
        pressConnect(dialog);
        ASSERT_TRUE(waitFor([&] { return !desktop_.boxes.empty(); }, 10000));

        EXPECT_EQ(desktop_.boxTexts(), QStringList{fatalMessage(303)});
        EXPECT_TRUE(dialog.logText().startsWith(fatalMessage(303) + QStringLiteral("\r\n")));
        expectDead(dialog);
        expectQuietAfterReport("settings write, hang-up at 0x23");
    }
    // The user does as the message says: the program starts again.
    QtMainWindow restarted(theSerialPort);
    expectResetSucceeds(restarted);
}

TEST_F(PulledCableTest, AtTheEraseOfTheLogsTheMissingAcceptanceIsADisconnection) {
    plugIn({*parseFault("hangup@0x28")});
    QtMainWindow dialog(theSerialPort);
    watch_.start();
    pressConnect(dialog);
    ASSERT_TRUE(waitFor([&] { return !desktop_.boxes.empty(); }, 20000));

    EXPECT_EQ(desktop_.boxTexts(), QStringList{disconnectMessage(522)});
    EXPECT_EQ(topLine(dialog), disconnectMessage(522));
    EXPECT_TRUE(dialog.logText().contains(QStringLiteral("Všechny klíce byly smazány")));
    EXPECT_EQ(dialog.timers().activeId(), 0);
    expectOnlyConnectEnabled(dialog);
    expectQuietAfterReport("erase, hang-up at 0x28");
    expectResetSucceeds(dialog);
}

TEST_F(PulledCableTest, InTheMiddleOfTheEraseTheSilentTickIsADisconnection) {
    plugIn({}, 1, 3000);
    QtMainWindow dialog(theSerialPort);
    watch_.start();
    pressConnect(dialog);
    // Pulled while the unit sends its progress bytes for the keys.
    ASSERT_TRUE(
        waitFor([&] { return dialog.state().eraseKeys == 1 && dialog.state().eraseStep >= 4; }, 20000));
    waitMs(500);
    pullCable();
    ASSERT_TRUE(waitFor([&] { return !desktop_.boxes.empty(); }, 5000));

    EXPECT_EQ(desktop_.boxTexts(), QStringList{disconnectMessage(525)});
    EXPECT_EQ(topLine(dialog), disconnectMessage(525));
    expectOnlyConnectEnabled(dialog);
    expectQuietAfterReport("erase, cable pulled during the progress bytes");
    plugIn();
    expectResetSucceeds(dialog);
}

TEST_F(PulledCableTest, DuringTheIdlePollSixSilentCyclesAreADisconnection) {
    plugIn({*parseFault("hangup@0x6B")});
    QtMainWindow dialog(theSerialPort);
    connectDirectly(dialog);
    watch_.start();
    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = cpuMs();
    dialog.dialog.returnToIdle(0);
    // Six cycles of four 500 ms ticks without an acknowledgement: about 12 s.
    ASSERT_TRUE(waitFor([&] { return !desktop_.boxes.empty(); }, 20000));
    const double deadShare = (cpuMs() - cpuBefore) / static_cast<double>(wall.elapsed());
    std::printf("[figures] idle poll: %lld ms to the report, CPU while the line was dead %.1f %%\n",
                static_cast<long long>(wall.elapsed()), deadShare * 100.0);

    EXPECT_EQ(desktop_.boxTexts(), QStringList{disconnectMessage(600)});
    EXPECT_EQ(topLine(dialog), disconnectMessage(600));
    EXPECT_EQ(dialog.timers().activeId(), 0);
    expectOnlyConnectEnabled(dialog);
    EXPECT_LT(deadShare, 0.30);
    expectQuietAfterReport("idle poll, hang-up at 0x6B");
    expectResetSucceeds(dialog);
}

TEST_F(PulledCableTest, DuringTheKeyWriteTheMissingConfirmationIsFatal) {
    plugIn({*parseFault("hangup@0x11")});
    {
        QtMainWindow dialog(theSerialPort);
        connectDirectly(dialog);
        storeOneKey(dialog);
        watch_.start();
        QElapsedTimer wall;
        wall.start();
        const double cpuBefore = cpuMs();
        // As the add-keys command starts the write.
        dialog.dialog.logLine({});
        dialog.dialog.sendByte(unit::kWriteKey);
        dialog.dialog.startOperation(MainDialog::kWriteTimer, MainDialog::kWritePeriod);
        dialog.state().writeIndex = 0;
        dialog.state().writeStep = 0;
        // 38 ticks of 200 ms to the first check.
        ASSERT_TRUE(waitFor([&] { return !desktop_.boxes.empty(); }, 15000));
        const double deadShare = (cpuMs() - cpuBefore) / static_cast<double>(wall.elapsed());
        std::printf("[figures] key write: %lld ms to the report, CPU while the line was dead %.1f %%\n",
                    static_cast<long long>(wall.elapsed()), deadShare * 100.0);

        EXPECT_EQ(desktop_.boxTexts(), QStringList{fatalMessage(103)});
        EXPECT_TRUE(dialog.logText().startsWith(fatalMessage(103) + QStringLiteral("\r\n")));
        expectDead(dialog);
        EXPECT_LT(deadShare, 0.30);
        expectQuietAfterReport("key write, hang-up at 0x11");
    }
    QtMainWindow restarted(theSerialPort);
    expectResetSucceeds(restarted);
}

}  // namespace
