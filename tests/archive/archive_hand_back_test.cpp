// The main window's archive command: what it hands the dialog, and what it takes back.

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "archive_fixture.h"
#include "qt_dialog_window.h"
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
        h.dialog.floorCheck(3)->setChecked(true);
        // The main window polls the unit when the archive is opened.
        h.dialog.returnToIdle(0);
    }

    // Runs the archive command; `act` plays the user inside the dialog's window, with its
    // timers stepped on the simulated unit. Confirmations are ticked and accepted.
    void runArchive(const std::function<void(ArchiveDialog&, QtDialogWindow&, TimerStepper&)>& act) {
        h.desktop.modalHandler = [this, act](QDialog& d) {
            auto& window = dynamic_cast<QtDialogWindow&>(d);
            if (dynamic_cast<ConfirmDialog*>(&window.dialog())) {
                click(window, ConfirmDialog::kTickBox);
                click(window, ConfirmDialog::kOkButton);
                return window.result();
            }
            auto& archive = dynamic_cast<ArchiveDialog&>(window.dialog());
            TimerStepper stepper(window.timers(), h.port, [&](int id) {
                archive.handleEvent(window, {Dialog::Event::Kind::Timer, id});
            });
            act(archive, window, stepper);
            window.reject();
            return window.result();
        };
        h.dialog.onArchive();
    }

    static void click(QtDialogWindow& window, int id) {
        qobject_cast<QAbstractButton*>(window.control(id))->click();
    }

    QString imageFile(const ArchiveSettings& settings, const MemoryImage& image) {
        const QString p = QString::fromStdString(dir.file("image.zrd"));
        EXPECT_TRUE(writeImageFile(QFile::encodeName(p).toStdString(), settings, image).ok());
        return p;
    }

    void expectIdlePoll() {
        EXPECT_EQ(h.dialog.timers().activeId(), MainDialog::kIdlePollTimer);
        EXPECT_EQ(h.dialog.timers().period(MainDialog::kIdlePollTimer), 500);
        EXPECT_EQ(h.dialog.state().currentTimerId, MainDialog::kIdlePollTimer);
    }

    TempFolder dir;
    MainHarness h;
};

TEST_F(HandBackTest, DialogGetsACopyWhileTheMainTimerIsStopped) {
    runArchive([&](ArchiveDialog& d, QtDialogWindow& w, TimerStepper&) {
        EXPECT_EQ(d.image, randomImage(21));
        EXPECT_EQ(d.recordSize, 65);
        EXPECT_EQ(d.accessTime, 5);
        EXPECT_EQ(d.relayInverted, 1);
        EXPECT_EQ(d.mainRelayInverted, 0);
        EXPECT_EQ(h.dialog.timers().activeId(), 0);
        EXPECT_EQ(h.dialog.state().listClicked, 0);
        EXPECT_FALSE(h.dialog.floorCheck(3)->isChecked());
        EXPECT_EQ(w.timers().activeId(), ArchiveDialog::kKeepAliveTimer);
        // Changes to the copy stay in the dialog unless a file was loaded.
        d.image.fill(0x11);
        d.recordSize = 20;
    });
    EXPECT_EQ(h.dialog.state().image, randomImage(21));
    EXPECT_EQ(h.dialog.state().recordSize, 65);
    expectIdlePoll();
}

TEST_F(HandBackTest, LoadedImageAndSettingsAreTakenBack) {
    const QString file = imageFile({0, 40, 0, 1}, randomImage(22));
    runArchive([&](ArchiveDialog& d, QtDialogWindow& w, TimerStepper& stepper) {
        h.desktop.fileAnswers.push_back(file);
        click(w, ArchiveDialog::kCopyToUnitButton);
        stepper.runUntil(
            [&] { return d.blockIndex >= 9 && w.timers().activeId() == ArchiveDialog::kSettingsTimer; },
            1000);
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
    EXPECT_EQ(h.dialog.settingsStatic()->text(),
              QStringLiteral("Trvalý přístup,     Počet znaků komentáře: 25,     Inverze relé: ne,     "
                             "Inverze hlavniho relé: ano"));
    expectIdlePoll();
}

TEST_F(HandBackTest, LoadThenEraseOfKeysSetsBothFlagsAndTheImageEndsCleared) {
    const QString file = imageFile({9, 40, 1, 1}, randomImage(23));
    runArchive([&](ArchiveDialog& d, QtDialogWindow& w, TimerStepper& stepper) {
        h.desktop.fileAnswers.push_back(file);
        click(w, ArchiveDialog::kCopyToUnitButton);
        stepper.runUntil(
            [&] { return d.blockIndex >= 9 && w.timers().activeId() == ArchiveDialog::kSettingsTimer; },
            1000);
        click(w, ArchiveDialog::kEraseKeysButton);
        stepper.runUntil([&] { return w.timers().activeId() == ArchiveDialog::kKeepAliveTimer; }, 100);
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
    EXPECT_TRUE(h.dialog.settingsStatic()->text().startsWith(QStringLiteral("Čas přístupu: 9,")));
    expectIdlePoll();
}

TEST_F(HandBackTest, EraseOfLogsHandsNothingBack) {
    runArchive([&](ArchiveDialog&, QtDialogWindow& w, TimerStepper& stepper) {
        click(w, ArchiveDialog::kEraseLogsButton);
        stepper.runUntil([&] { return w.timers().activeId() == ArchiveDialog::kKeepAliveTimer; }, 100);
    });
    EXPECT_EQ(h.unit.logErasures(), 1);
    EXPECT_EQ(h.dialog.state().image, randomImage(21));
    expectIdlePoll();
}

TEST_F(HandBackTest, DamagedFileChangesNothingAndStartsNoTransfer) {
    for (const int length : {3, 1000}) {
        const QString good = imageFile({9, 40, 1, 1}, randomImage(24));
        QFile::resize(good, length);
        runArchive([&](ArchiveDialog& d, QtDialogWindow& w, TimerStepper&) {
            h.desktop.fileAnswers.push_back(good);
            click(w, ArchiveDialog::kCopyToUnitButton);
            EXPECT_EQ(d.imageChanged, 0);
            EXPECT_EQ(w.timers().activeId(), ArchiveDialog::kKeepAliveTimer);
        });
    }
    const QStringList lines = h.logLines();
    EXPECT_EQ(lines, (QStringList{QStringLiteral("Chyba 510 - Soubor je poškozen"),
                                  QStringLiteral("Chyba 511 - Soubor je poškozen na pozici 1000")}));
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
    const QString file = imageFile({9, 40, 1, 1}, randomImage(25));
    runArchive([&](ArchiveDialog&, QtDialogWindow& w, TimerStepper& stepper) {
        h.desktop.fileAnswers.push_back(file);
        click(w, ArchiveDialog::kCopyToUnitButton);
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
    runArchive([&](ArchiveDialog&, QtDialogWindow&, TimerStepper& stepper) { stepper.runToEnd(); });
    EXPECT_EQ(h.desktop.boxTexts(), QStringList{QStringLiteral("Chyba 600 - ZYL odpojeno.")});
    EXPECT_EQ(h.dialog.timers().activeId(), 0);
    for (int id = 1000; id <= 1005; ++id) {
        EXPECT_EQ(h.dialog.button(id)->isEnabled(), id == 1004) << id;
    }
}

}  // namespace
