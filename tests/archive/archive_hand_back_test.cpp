// The main window's archive command: what it hands the dialog, and what it takes back.

#include <filesystem>

#include "archive_fixture.h"
#include "unit_commands.h"

namespace {

class HandBackTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path().empty());
        h.port.open(3);
        MainDialogState& s = h.dialog.state();
        s.image = randomImage(21);
        s.recordSize = 65;
        s.accessTime = 5;
        s.relayInvert = 1;
        s.mainRelayInvert = 0;
        s.linkState = LinkState::Connected;
        h.dialog.rebuildKeyList();
        s.listClicked = 1;
        h.window.setChecked(MainDialog::kFirstFloorCheck + 2, true);
        // The main window polls the unit when the archive is opened.
        h.dialog.returnToIdle(0);
    }

    // Runs the archive command; `act` plays the user inside the dialog's window, with its
    // timers stepped on the simulated unit. Confirmations are ticked and accepted. The
    // dialog must have opened, or the checks inside `act` were never made.
    void runArchive(const std::function<void(ArchiveDialog&, FakeWindow&, TimerStepper&)>& act) {
        archivesOpened = 0;
        h.window.modalHandler = [this, act](Dialog& d, FakeWindow& window) {
            if (dynamic_cast<ConfirmDialog*>(&d)) {
                window.click(ConfirmDialog::kTickBox);
                window.click(ConfirmDialog::kOkButton);
                return window.result();
            }
            auto& archive = dynamic_cast<ArchiveDialog&>(d);
            ++archivesOpened;
            TimerStepper stepper(window, h.port);
            act(archive, window, stepper);
            window.click(Dialog::kCancel);
            return window.result();
        };
        h.dialog.onArchive();
        EXPECT_EQ(archivesOpened, 1);
    }

    std::string imageFile(const ArchiveSettings& settings, const MemoryImage& image) {
        const std::string p = dir.file("image.zrd");
        EXPECT_TRUE(writeImageFile(p, settings, image).ok());
        return p;
    }

    void expectIdlePoll() {
        EXPECT_EQ(h.window.activeTimer(), MainDialog::kIdlePollTimer);
        EXPECT_EQ(h.window.timers().at(MainDialog::kIdlePollTimer), 500);
        EXPECT_EQ(h.dialog.state().currentTimerId, MainDialog::kIdlePollTimer);
    }

    TempFolder dir;
    MainHarness h;
    int archivesOpened = 0;
};

TEST_F(HandBackTest, DialogGetsACopyWhileTheMainTimerIsStopped) {
    runArchive([&](ArchiveDialog& d, FakeWindow& w, TimerStepper&) {
        EXPECT_EQ(d.image, randomImage(21));
        EXPECT_EQ(d.recordSize, 65);
        EXPECT_EQ(d.accessTime, 5);
        EXPECT_EQ(d.relayInverted, 1);
        EXPECT_EQ(d.mainRelayInverted, 0);
        EXPECT_EQ(h.window.activeTimer(), 0);
        EXPECT_EQ(h.dialog.state().listClicked, 0);
        EXPECT_FALSE(h.window.isChecked(MainDialog::kFirstFloorCheck + 2));
        EXPECT_EQ(w.activeTimer(), ArchiveDialog::kKeepAliveTimer);
        // Changes to the copy stay in the dialog unless a file was loaded.
        d.image.fill(0x11);
        d.recordSize = 20;
    });
    EXPECT_EQ(h.dialog.state().image, randomImage(21));
    EXPECT_EQ(h.dialog.state().recordSize, 65);
    expectIdlePoll();
}

TEST_F(HandBackTest, LoadedImageAndSettingsAreTakenBack) {
    const std::string file = imageFile({0, 40, 0, 1}, randomImage(22));
    runArchive([&](ArchiveDialog& d, FakeWindow& w, TimerStepper& stepper) {
        h.screen.fileAnswers.push_back(file);
        w.click(ArchiveDialog::kCopyToUnitButton);
        stepper.runUntil(
            [&] { return d.blockIndex >= 9 && w.activeTimer() == ArchiveDialog::kSettingsTimer; }, 1000);
    });
    const MainDialogState& s = h.dialog.state();
    EXPECT_EQ(h.unit.memory(), randomImage(22));
    EXPECT_EQ(s.image, randomImage(22));
    EXPECT_EQ(s.accessTime, 0);
    EXPECT_EQ(s.recordSize, 40);
    EXPECT_EQ(s.relayInvert, 0);
    EXPECT_EQ(s.mainRelayInvert, 1);
    EXPECT_EQ(s.keyList.rowCount(), [] {
        KeyList list;
        list.rebuild(randomImage(22), 40);
        return list.rowCount();
    }());
    EXPECT_EQ(shown(h.window.text(MainDialog::kSettingsStatic)),
              QStringLiteral("Trvalý přístup,     Počet znaků komentáře: 25,     Inverze relé: ne,     "
                             "Inverze hlavniho relé: ano"));
    expectIdlePoll();
}

TEST_F(HandBackTest, LoadThenEraseOfKeysSetsBothFlagsAndTheImageEndsCleared) {
    const std::string file = imageFile({9, 40, 1, 1}, randomImage(23));
    runArchive([&](ArchiveDialog& d, FakeWindow& w, TimerStepper& stepper) {
        h.screen.fileAnswers.push_back(file);
        w.click(ArchiveDialog::kCopyToUnitButton);
        stepper.runUntil(
            [&] { return d.blockIndex >= 9 && w.activeTimer() == ArchiveDialog::kSettingsTimer; }, 1000);
        w.click(ArchiveDialog::kEraseKeysButton);
        stepper.runUntil([&] { return w.activeTimer() == ArchiveDialog::kKeepAliveTimer; }, 100);
        EXPECT_EQ(d.imageChanged, 1);
        EXPECT_EQ(d.keysErased, 1);
        // The erase has already cleared the main window's image; the dialog keeps the file's.
        EXPECT_EQ(h.dialog.state().image, MemoryImage{});
        EXPECT_EQ(d.image, randomImage(23));
    });
    // Taken back first, then cleared: the settings are the file's, the image is empty.
    const MainDialogState& s = h.dialog.state();
    EXPECT_EQ(s.image, MemoryImage{});
    EXPECT_EQ(s.keyList.rowCount(), 0);
    EXPECT_EQ(s.recordSize, 40);
    EXPECT_EQ(s.accessTime, 9);
    EXPECT_TRUE(
        shown(h.window.text(MainDialog::kSettingsStatic)).startsWith(QStringLiteral("Čas přístupu: 9,")));
    expectIdlePoll();
}

TEST_F(HandBackTest, EraseOfLogsHandsNothingBack) {
    runArchive([&](ArchiveDialog&, FakeWindow& w, TimerStepper& stepper) {
        w.click(ArchiveDialog::kEraseLogsButton);
        stepper.runUntil([&] { return w.activeTimer() == ArchiveDialog::kKeepAliveTimer; }, 100);
    });
    EXPECT_EQ(h.unit.logErasures(), 1);
    EXPECT_EQ(h.dialog.state().image, randomImage(21));
    expectIdlePoll();
}

TEST_F(HandBackTest, DamagedFileChangesNothingAndStartsNoTransfer) {
    for (const int length : {3, 1000}) {
        const std::string good = imageFile({9, 40, 1, 1}, randomImage(24));
        std::filesystem::resize_file(good, length);
        runArchive([&](ArchiveDialog& d, FakeWindow& w, TimerStepper&) {
            h.screen.fileAnswers.push_back(good);
            w.click(ArchiveDialog::kCopyToUnitButton);
            EXPECT_EQ(d.imageChanged, 0);
            EXPECT_EQ(w.activeTimer(), ArchiveDialog::kKeepAliveTimer);
        });
    }
    EXPECT_EQ(h.logLines(), (std::vector<std::string>{"Chyba 510 - Soubor je poškozen",
                                                      "Chyba 511 - Soubor je poškozen na pozici 1000"}));
    const MainDialogState& s = h.dialog.state();
    EXPECT_EQ(s.image, randomImage(21));
    EXPECT_EQ(s.recordSize, 65);
    EXPECT_EQ(s.accessTime, 5);
    EXPECT_EQ(s.relayInvert, 1);
    EXPECT_EQ(h.unit.imageBlocksReceived(), 0);
    EXPECT_EQ(std::count(h.port.sent(3).begin(), h.port.sent(3).end(), unit::kImageWrite), 0);
    expectIdlePoll();
}

TEST_F(HandBackTest, ClosingDuringAWriteRestartsTheIdlePoll) {
    const std::string file = imageFile({9, 40, 1, 1}, randomImage(25));
    runArchive([&](ArchiveDialog&, FakeWindow& w, TimerStepper& stepper) {
        h.screen.fileAnswers.push_back(file);
        w.click(ArchiveDialog::kCopyToUnitButton);
        for (int i = 0; i < 20; ++i) {
            stepper.tick();
        }
    });
    EXPECT_EQ(h.unit.imageBlocksReceived(), 18);
    // The load was taken back although the unit holds only part of it.
    EXPECT_EQ(h.dialog.state().image, randomImage(25));
    expectIdlePoll();
}

// A fatal error or a lost link reported inside the dialog stands after it closes: the main
// window does not poll again, so it stays dead (every button off) or not connected.
TEST_F(HandBackTest, AFailureInTheDialogIsNotUndoneWhenItCloses) {
    h.unit.setFault(*parseFault("silence@0x05"));
    runArchive([&](ArchiveDialog&, FakeWindow&, TimerStepper& stepper) { stepper.runToEnd(); });
    EXPECT_EQ(h.screen.boxTexts(), std::vector<std::string>{"Chyba 600 - ZYL odpojeno."});
    EXPECT_EQ(h.window.activeTimer(), 0);
    for (int id = 1000; id <= 1005; ++id) {
        EXPECT_EQ(h.enabled(id), id == 1004) << id;
    }
}

}  // namespace
