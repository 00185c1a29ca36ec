#include <gtest/gtest.h>

#include <algorithm>

#include "connect_dialog.h"
#include "main_harness.h"

namespace {

// Accepts the connect dialog with one port named by hand.
void acceptManualPort(MainHarness& h, int port) {
    h.acceptConnectDialog([port](FakeWindow& w) {
        w.click(ConnectDialog::kManualPortCheck);
        w.type(ConnectDialog::kPortEdit, std::to_string(port));
    });
}

TEST(PortSearch, SkipsMissingHeldAndUnitlessPortsUntilTheUnit) {
    MainHarness h(4);
    h.port.addHeldPort(2);
    h.port.addEmptyPort(3);
    h.acceptConnectDialog();
    h.window.click(MainDialog::kConnectButton);
    // The search stops at the first port that opens and starts the handshake there.
    EXPECT_EQ(h.dialog.state().comPort, 3);
    EXPECT_EQ(h.dialog.state().portOpen, 1);
    EXPECT_EQ(h.window.activeTimer(), MainDialog::kHandshakeTimer);
    EXPECT_EQ(h.window.timers().at(MainDialog::kHandshakeTimer), 50);
    EXPECT_EQ(h.port.sent(3), std::vector<std::uint8_t>{0x04});
    EXPECT_FALSE(h.enabled(MainDialog::kConnectButton));

    h.stepper.runUntil([&] { return h.logged("ZYL připojen na COM4."); });
    const std::vector<std::string> expected = {
        "Hledám ZYL...",     "Nalezen Port COM3",   "ZYL nenalezen na COM3",
        "Nalezen Port COM4", "ZYL nalezen na COM4", "ZYL připojen na COM4.",
    };
    EXPECT_EQ(h.logLines(), expected);
    EXPECT_EQ(h.port.openAttempts(), (std::vector<int>{1, 2, 3, 4}));
}

TEST(PortSearch, NoPortAtAllEndsWithNotFound) {
    MainHarness h(99);  // no unit on any port 1..70
    h.acceptConnectDialog();
    h.window.click(MainDialog::kConnectButton);
    EXPECT_EQ(h.logLines(), (std::vector<std::string>{"Hledám ZYL...", "ZYL nenalezeno!"}));
    EXPECT_EQ(h.port.openAttempts().size(), 70u);
    EXPECT_TRUE(h.enabled(MainDialog::kConnectButton));
    EXPECT_EQ(h.window.activeTimer(), 0);
}

TEST(PortSearch, UnitlessCom70ResumesAt71AndEndsWithNotFound) {
    MainHarness h(99);
    h.port.addEmptyPort(70);
    h.acceptConnectDialog();
    h.window.click(MainDialog::kConnectButton);
    h.stepper.runToEnd();
    const std::vector<std::string> expected = {"Hledám ZYL...", "Nalezen Port COM70",
                                               "ZYL nenalezen na COM70", "ZYL nenalezeno!"};
    EXPECT_EQ(h.logLines(), expected);
    EXPECT_EQ(h.dialog.state().comPort, 71);
    EXPECT_EQ(h.dialog.state().portOpen, 0);
    EXPECT_EQ(h.port.openPort(), 0);
}

// The notes on skipped ports read top-down as the box shows them (newest line on top),
// each line short enough for the box, which does not wrap.
TEST(PortSearch, SkippedPortsAreNamedAfterNotFoundInLinesThatFitTheBox) {
    MainHarness h(99);
    h.port.addRefusedPort(5);
    h.port.addHeldPort(2);
    h.port.addHeldPort(7);
    h.port.setIgnoredFolder({"/run/user/1000/zyltool", FolderFault::OpenToOthers});
    h.acceptConnectDialog();
    h.window.click(MainDialog::kConnectButton);

    std::vector<std::string> shown = h.logLines();
    std::reverse(shown.begin(), shown.end());
    const std::vector<std::string> expected = {
        "Porty bez oprávnění: COM5 (simulated, skupina dialout) - přidejte",
        "  uživatele do skupiny, která k nim dává přístup (obvykle dialout), a",
        "  přihlaste se znovu.",
        "Porty obsazené jiným programem: COM2 (simulated), COM7 (simulated) -",
        "  ukončete program, který port drží (často ModemManager nebo brltty),",
        "  a zkuste to znovu.",
        "Složka portů /run/user/1000/zyltool se nepoužívá: mají k ní přístup i",
        "  jiní uživatelé (nastavte chmod 700).",
        "ZYL nenalezeno!",
        "Hledám ZYL...",
    };
    EXPECT_EQ(shown, expected);
    // One character a byte, as the box counts them.
    for (const std::string& line : shown) {
        EXPECT_LE(utf8ToCp1250(line).size(), 70u) << line;
    }
}

TEST(PortSearch, BusyPortsOnWindowsAreNamedWithoutTheirHolder) {
    MainHarness h(99);
    h.port.setNamesBusyHolders(false);
    h.port.addHeldPort(4);
    h.acceptConnectDialog();
    h.window.click(MainDialog::kConnectButton);
    std::vector<std::string> shown = h.logLines();
    std::reverse(shown.begin(), shown.end());
    const std::vector<std::string> expected = {
        "Porty obsazené jiným programem: COM4 (simulated) - ukončete program,",
        "  který port používá (Windows ho nejmenuje), a zkuste to znovu.",
        "ZYL nenalezeno!",
        "Hledám ZYL...",
    };
    EXPECT_EQ(shown, expected);
}

// A slow open says why the search waits, in the words of the link the user chose.
TEST(PortSearch, OpenWaitLinesFollowTheChosenLink) {
    struct Case {
        int radio;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {ConnectDialog::kUsbRadio, {"Čekám na COM2...", "COM2 se neotevřel včas."}},
        {ConnectDialog::kBluetoothRadio,
         {"Čekám na spojení Bluetooth na COM2...", "Spojení Bluetooth na COM2 se nenavázalo včas."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.radio);
        MainHarness h(99);
        h.port.setWhileOpening([&h](int port) {
            if (port == 2) {
                h.dialog.onLinkWait(port, LinkWaitStep::Begun);
                h.dialog.onLinkWait(port, LinkWaitStep::Pending);
                h.dialog.onLinkWait(port, LinkWaitStep::TimedOut);
            }
        });
        h.acceptConnectDialog([&c](FakeWindow& w) { w.click(c.radio); });
        h.window.click(MainDialog::kConnectButton);
        const std::vector<std::string> expected = {"Hledám ZYL...", c.lines[0], c.lines[1],
                                                   "ZYL nenalezeno!"};
        EXPECT_EQ(h.logLines(), expected);
    }
}

// A logout while a port opens destroys the window under the search: the port that opened
// gets nothing and is let go, and no further port is tried.
TEST(PortSearch, LogoutWhileAPortOpensEndsTheSearchUntouched) {
    MainHarness h(3);
    h.port.setWhileOpening([&h](int port) {
        if (port == 3) {
            h.window.destroy();
        }
    });
    h.acceptConnectDialog();
    h.window.click(MainDialog::kConnectButton);
    EXPECT_TRUE(h.port.sent(3).empty());
    EXPECT_EQ(h.port.openPort(), 0);
    EXPECT_EQ(h.port.openAttempts(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(h.window.activeTimer(), 0);
    EXPECT_EQ(h.logLines(), std::vector<std::string>{"Hledám ZYL..."});
}

TEST(PortSearch, ManualPortWithAUnitConnectsThere) {
    MainHarness h(5);
    h.port.addEmptyPort(1);
    acceptManualPort(h, 5);
    h.window.click(MainDialog::kConnectButton);
    EXPECT_EQ(h.dialog.state().searchAll, 0);
    EXPECT_EQ(h.port.openAttempts(), std::vector<int>{5});
    h.stepper.runUntil([&] { return h.logged("ZYL připojen na COM5."); });
    EXPECT_EQ(h.logLines()[1], "Nalezen Port COM5");
}

TEST(PortSearch, ManualPortWithoutAUnitTriesNoOtherPort) {
    MainHarness h(6);
    h.port.addEmptyPort(5);
    acceptManualPort(h, 5);
    h.window.click(MainDialog::kConnectButton);
    h.stepper.runToEnd();
    const std::vector<std::string> expected = {"Hledám ZYL...", "Nalezen Port COM5", "ZYL nenalezen na COM5"};
    EXPECT_EQ(h.logLines(), expected);
    EXPECT_EQ(h.port.openAttempts(), std::vector<int>{5});
    EXPECT_TRUE(h.enabled(MainDialog::kConnectButton));
}

TEST(PortSearch, MissingManualPortEndsAtOnce) {
    MainHarness h(6);
    acceptManualPort(h, 5);
    h.window.click(MainDialog::kConnectButton);
    EXPECT_EQ(h.logLines(), (std::vector<std::string>{"Hledám ZYL...", "ZYL nenalezeno!"}));
    EXPECT_EQ(h.dialog.state().searchAll, 0);
}

TEST(PortSearch, RefusedHandshakeTimerLeavesThePortOpenAndButtonsDisabled) {
    MainHarness h(3);
    h.acceptConnectDialog();
    h.screen.refusedTimers = {MainDialog::kHandshakeTimer};
    h.window.click(MainDialog::kConnectButton);
    EXPECT_EQ(h.screen.boxTexts(), std::vector<std::string>{"Timer error!"});
    EXPECT_EQ(h.dialog.state().portOpen, 1);
    EXPECT_EQ(h.port.openPort(), 3);
    EXPECT_FALSE(h.enabled(MainDialog::kConnectButton));
}

}  // namespace
