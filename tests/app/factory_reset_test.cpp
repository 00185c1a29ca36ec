#include <gtest/gtest.h>

#include "connect_dialog.h"
#include "cp1250_literal.h"
#include "main_harness.h"
#include "scripted_port.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::vector<std::string> kResetLog = {
    "Hledám ZYL...",
    "Nalezen Port COM3",
    "ZYL nalezen na COM3",
    "ZYL připojen na COM3.",
    "Název výtahu vymazán",
    "Nastaven počet znaků komentáře na 50",
    "Nastaven čas přístupu na 5s",
    "Nastavena nastavení pro relé",
    "Nastaven přístupový kód 4827",
    "Nastaven aktuální čas",
};

// Strips the progress marks from a line, telling how many there were.
std::string withoutMarks(const std::string& line, int* marks = nullptr) {
    const std::size_t n = std::min(line.find_first_not_of('*'), line.size());
    if (marks) {
        *marks = static_cast<int>(n);
    }
    return line.substr(n);
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "|";
    }
    return text;
}

TEST(FactoryReset, RunsFromTheButtonToFactorySettingsSaved) {
    MainHarness h;
    h.unit.memory().fill(0x5A);
    h.dialog.state().image.fill(0x33);
    h.acceptConnectDialog();
    h.window.click(MainDialog::kConnectButton);
    const int ticks = h.stepper.runToEnd();
    ASSERT_GT(ticks, 0);

    const std::vector<std::string> log = h.logLines();
    ASSERT_EQ(log.size(), kResetLog.size() + 5) << joined(log);
    for (std::size_t i = 0; i < kResetLog.size(); ++i) {
        EXPECT_EQ(log[i], kResetLog[i]) << i;
    }
    int keyMarks = 0, logMarks = 0;
    EXPECT_EQ(withoutMarks(log[10], &keyMarks), "");
    EXPECT_EQ(log[11], "Všechny klíce byly smazány");
    EXPECT_EQ(withoutMarks(log[12], &logMarks), "");
    EXPECT_EQ(log[13], "Všechny logy byly smazány");
    EXPECT_EQ(log[14], "Tovarni nastavení uloženo");
    EXPECT_GT(keyMarks, 0);
    EXPECT_GT(logMarks, 0);

    const Bytes expected = {0x04, 0x01, 0xA7, 0x5A, 0x59, 0x4C, 0x07, 0x12, 0xDB,  // search, handshake, code
                            0x1E, 0xFF,                                            // empty lift name
                            0x23, 0x41, 0x1F, 0x05, 0x19, 0x00,                    // size, time, relays
                            0x20, 0x12, 0xDB,                                      // access code
                            0x24, 26,   12,   7,    10,   30,   15,                // the PC's clock
                            0x18, 0x08, 0x11, 0x28, 0x08, 0x13,                    // erase keys, logs
                            0x04};
    EXPECT_EQ(h.port.sent(3), expected);

    const MainDialogState& s = h.dialog.state();
    EXPECT_EQ(s.portOpen, 0);
    EXPECT_EQ(h.port.openPort(), 0);
    EXPECT_EQ(h.window.activeTimer(), 0);
    EXPECT_EQ(s.recordSize, 65);
    EXPECT_EQ(s.accessTime, 5);
    EXPECT_EQ(s.accessCode, 4827);
    EXPECT_TRUE(std::all_of(s.image.begin(), s.image.end(), [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(h.dialog.rowCount(MainDialog::kKeyListView), 0);
    // Every button has its flag again, and connect is enabled for the next unit.
    for (int id = 1000; id <= 1005; ++id) {
        EXPECT_TRUE(h.enabled(id)) << id;
    }
    EXPECT_TRUE(h.screen.boxes.empty());

    EXPECT_EQ(h.unit.recordSize(), 65);
    EXPECT_EQ(h.unit.accessTime(), 5);
    EXPECT_EQ(h.unit.relayByte(), 0x00);
    EXPECT_EQ(h.unit.accessCode(), 4827);
    EXPECT_EQ(h.unit.liftName(), std::string());
    EXPECT_EQ(h.unit.keyErasures(), 1);
    EXPECT_EQ(h.unit.logErasures(), 1);
    EXPECT_EQ(h.unit.clock().year, 26);
    EXPECT_EQ(h.unit.clock().second, 15);
}

// The log box is only ever told what was put in front of the log, lines and marks alike, so
// the text the box builds from those pieces is the log itself.
TEST(FactoryReset, TheBoxBuiltFromThePrependsIsTheLog) {
    MainHarness h;
    h.acceptConnectDialog();
    h.window.click(MainDialog::kConnectButton);
    h.stepper.runToEnd();
    ASSERT_TRUE(h.logged("Tovarni nastavení uloženo"));
    EXPECT_EQ(h.window.logBox(MainDialog::kLogBox), h.dialog.logText());
}

TEST(FactoryReset, BluetoothSendsA6AndACodeBelow256SendsZeroFirst) {
    UnitModel::Config config;
    config.accessCode = 200;
    MainHarness h(3, config);
    h.acceptConnectDialog([](FakeWindow& w) {
        w.click(ConnectDialog::kBluetoothRadio);
        w.type(ConnectDialog::kCodeEdit, "200");
    });
    h.window.click(MainDialog::kConnectButton);
    h.stepper.runUntil([&] { return h.logged("ZYL připojen na COM3."); });
    const Bytes expected = {0x04, 0x01, 0xA6, 0x5A, 0x59, 0x4C, 0x07, 0x00, 0xC8};
    EXPECT_EQ(h.port.sent(3), expected);
    EXPECT_EQ(h.dialog.state().linkKind, LinkKind::Bluetooth);
}

TEST(FactoryReset, RefusedCodeClosesThePortAndTriesNoOtherPort) {
    MainHarness h;
    h.port.addEmptyPort(4);
    h.unit.setFault(*parseFault("refuse-code"));
    h.acceptConnectDialog();
    h.window.click(MainDialog::kConnectButton);
    h.stepper.runToEnd();
    const std::vector<std::string> log = h.logLines();
    EXPECT_EQ(log.back(), "ZYL nepřipojen!");
    EXPECT_EQ(log.size(), 4u);
    EXPECT_EQ(h.dialog.state().portOpen, 0);
    EXPECT_EQ(h.port.openPort(), 0);
    EXPECT_TRUE(h.port.sent(4).empty());
    EXPECT_TRUE(h.enabled(MainDialog::kConnectButton));
    EXPECT_FALSE(h.enabled(MainDialog::kAddKeysButton));
    EXPECT_TRUE(h.screen.boxes.empty());
}

TEST(FactoryReset, CancelledConnectDialogChangesNothing) {
    MainHarness h;
    h.window.click(MainDialog::kConnectButton);  // the fake window cancels it
    EXPECT_EQ(h.screen.modalRuns, 1);
    EXPECT_TRUE(h.dialog.logText().empty());
    EXPECT_TRUE(h.port.openAttempts().empty());
    EXPECT_EQ(h.window.activeTimer(), 0);
}

TEST(FactoryReset, LiftNameOfSixtyCharactersSendsFortyNineAndTheTerminator) {
    MainHarness h;
    h.port.open(3);
    h.dialog.state().portOpen = 1;
    h.dialog.loadFactoryDefaults();
    h.dialog.state().liftName = std::string(60, 'N');
    int ticks = 0;
    h.stepper.runUntil([&] { return h.dialog.state().writeLiftName == 0 || ++ticks > 100; });
    const Bytes& sent = h.port.sent(3);
    Bytes expected = {0x1E};
    expected.insert(expected.end(), 49, 'N');
    expected.push_back(0xFF);
    EXPECT_EQ(sent, expected);
    EXPECT_EQ(ticks, 52);  // steps 0..51: the check is at step 51
    EXPECT_EQ(h.unit.liftName(), std::string(49, 'N'));
    EXPECT_EQ(h.logLines().back(), "Název výtahu vymazán");
}

// A timer keeps its beat: a tick that came late is followed by the next on time, a moment
// later, before the unit can have sent again. That empty read is no lost line.
TEST(FactoryReset, AnEmptyReadRightAfterALateTickIsNoDisconnection) {
    MainHarness h;
    h.acceptConnectDialog();
    h.window.click(MainDialog::kConnectButton);
    h.stepper.runUntil([&] { return h.dialog.state().eraseStep >= 4; });
    h.stepper.tick();
    h.window.tick(MainDialog::kEraseTimer);
    EXPECT_TRUE(h.screen.boxes.empty());
    h.stepper.runToEnd();
    EXPECT_TRUE(h.logged("Tovarni nastavení uloženo"));
}

// Progress bytes are counted across answers: six make one mark in front of the top line.
TEST(FactoryReset, TwelveProgressBytesGiveTwoMarks) {
    ScriptedPort port;
    FakeScreen screen;
    MainDialog dialog(port);
    FakeWindow window(dialog, screen);
    window.init();
    window.startTimer(MainDialog::kEraseTimer, MainDialog::kErasePeriod);
    port.open(1);
    dialog.state().portOpen = 1;
    dialog.state().eraseKeys = 1;
    dialog.state().progressCount = 0;
    port.script({{}, {0x07}, ScriptedPort::Bytes(12, 0x0A), {0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x03, 0x77}});
    for (int tick = 0; tick < 6; ++tick) {
        window.tick(MainDialog::kEraseTimer);
    }
    EXPECT_EQ(port.sent, (ScriptedPort::Bytes{0x18, 0x08, 0x11}));
    // Twelve bytes: two marks. Five more and then 0x03: no third mark, and the byte after
    // 0x03 is not looked at (it would have been error 523).
    EXPECT_EQ(dialog.logText(), "Všechny klíce byly smazány\r\n**\r\n"_cp);
    EXPECT_EQ(dialog.state().progressCount, 5);
    EXPECT_EQ(dialog.state().eraseKeys, 0);
    EXPECT_EQ(dialog.state().eraseStep, 0);
    EXPECT_TRUE(screen.boxes.empty());
}

// The settings button and the command id 1011 both load the factory settings.
TEST(FactoryReset, SettingsButtonAndCommand1011LoadTheFactorySettings) {
    for (const int id : {MainDialog::kSettingsButton, MainDialog::kSettingsStatic}) {
        MainHarness h;
        h.window.click(id);
        EXPECT_EQ(h.window.activeTimer(), MainDialog::kFactoryTimer) << id;
        EXPECT_EQ(h.dialog.state().recordSize, 65) << id;
        EXPECT_EQ(h.dialog.state().writeLiftName, 1) << id;
    }
}

}  // namespace
