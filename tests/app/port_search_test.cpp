#include <gtest/gtest.h>

#include <algorithm>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "main_harness.h"

namespace {

// Accepts the connect dialog with one port named by hand.
void acceptManualPort(MainHarness& h, int port) {
    h.acceptConnectDialog([port](QDialog& d) {
        d.findChild<QCheckBox*>(QStringLiteral("1034"))->click();
        d.findChild<QLineEdit*>(QStringLiteral("1028"))->setText(QString::number(port));
    });
}

TEST(PortSearch, SkipsMissingHeldAndUnitlessPortsUntilTheUnit) {
    MainHarness h(4);
    h.port.addHeldPort(2);
    h.port.addEmptyPort(3);
    h.acceptConnectDialog();
    h.dialog.button(MainDialog::kConnectButton)->click();
    // The search stops at the first port that opens and starts the handshake there.
    EXPECT_EQ(h.dialog.state().comPort, 3);
    EXPECT_EQ(h.dialog.state().portOpen, 1);
    EXPECT_EQ(h.dialog.timers().activeId(), MainDialog::kHandshakeTimer);
    EXPECT_EQ(h.dialog.timers().period(MainDialog::kHandshakeTimer), 50);
    EXPECT_EQ(h.port.sent(3), std::vector<std::uint8_t>{0x04});
    EXPECT_FALSE(h.dialog.button(MainDialog::kConnectButton)->isEnabled());

    h.stepper.runUntil([&] { return h.logLines().contains(QStringLiteral("ZYL připojen na COM4.")); });
    const QStringList expected = {
        QStringLiteral("Hledám ZYL..."),       QStringLiteral("Nalezen Port COM3"),
        QStringLiteral("ZYL nenalezen na COM3"), QStringLiteral("Nalezen Port COM4"),
        QStringLiteral("ZYL nalezen na COM4"),   QStringLiteral("ZYL připojen na COM4."),
    };
    EXPECT_EQ(h.logLines(), expected);
    EXPECT_EQ(h.port.openAttempts(), (std::vector<int>{1, 2, 3, 4}));
}

TEST(PortSearch, NoPortAtAllEndsWithNotFound) {
    MainHarness h(99);  // no unit on any port 1..70
    h.acceptConnectDialog();
    h.dialog.button(MainDialog::kConnectButton)->click();
    EXPECT_EQ(h.logLines(), (QStringList{QStringLiteral("Hledám ZYL..."), QStringLiteral("ZYL nenalezeno!")}));
    EXPECT_EQ(h.port.openAttempts().size(), 70u);
    EXPECT_TRUE(h.dialog.button(MainDialog::kConnectButton)->isEnabled());
    EXPECT_EQ(h.dialog.timers().activeId(), 0);
}

TEST(PortSearch, UnitlessCom70ResumesAt71AndEndsWithNotFound) {
    MainHarness h(99);
    h.port.addEmptyPort(70);
    h.acceptConnectDialog();
    h.dialog.button(MainDialog::kConnectButton)->click();
    h.stepper.runToEnd();
    const QStringList expected = {QStringLiteral("Hledám ZYL..."), QStringLiteral("Nalezen Port COM70"),
                                  QStringLiteral("ZYL nenalezen na COM70"), QStringLiteral("ZYL nenalezeno!")};
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
    h.dialog.button(MainDialog::kConnectButton)->click();

    QStringList shown = h.logLines();
    std::reverse(shown.begin(), shown.end());
    const QStringList expected = {
        QStringLiteral("Porty bez oprávnění: COM5 (simulated, skupina dialout) - přidejte"),
        QStringLiteral("  uživatele do skupiny, která k nim dává přístup (obvykle dialout), a"),
        QStringLiteral("  přihlaste se znovu."),
        QStringLiteral("Porty obsazené jiným programem: COM2 (simulated), COM7 (simulated) -"),
        QStringLiteral("  ukončete program, který port drží (často ModemManager nebo brltty),"),
        QStringLiteral("  a zkuste to znovu."),
        QStringLiteral("Složka portů /run/user/1000/zyltool se nepoužívá: mají k ní přístup i"),
        QStringLiteral("  jiní uživatelé (nastavte chmod 700)."),
        QStringLiteral("ZYL nenalezeno!"),
        QStringLiteral("Hledám ZYL..."),
    };
    EXPECT_EQ(shown, expected);
    for (const QString& line : shown) {
        EXPECT_LE(line.size(), 70) << line.toStdString();
    }
}

TEST(PortSearch, ManualPortWithAUnitConnectsThere) {
    MainHarness h(5);
    h.port.addEmptyPort(1);
    acceptManualPort(h, 5);
    h.dialog.button(MainDialog::kConnectButton)->click();
    EXPECT_EQ(h.dialog.state().searchAll, 0);
    EXPECT_EQ(h.port.openAttempts(), std::vector<int>{5});
    h.stepper.runUntil([&] { return h.logLines().contains(QStringLiteral("ZYL připojen na COM5.")); });
    EXPECT_EQ(h.logLines()[1], QStringLiteral("Nalezen Port COM5"));
}

TEST(PortSearch, ManualPortWithoutAUnitTriesNoOtherPort) {
    MainHarness h(6);
    h.port.addEmptyPort(5);
    acceptManualPort(h, 5);
    h.dialog.button(MainDialog::kConnectButton)->click();
    h.stepper.runToEnd();
    const QStringList expected = {QStringLiteral("Hledám ZYL..."), QStringLiteral("Nalezen Port COM5"),
                                  QStringLiteral("ZYL nenalezen na COM5")};
    EXPECT_EQ(h.logLines(), expected);
    EXPECT_EQ(h.port.openAttempts(), std::vector<int>{5});
    EXPECT_TRUE(h.dialog.button(MainDialog::kConnectButton)->isEnabled());
}

TEST(PortSearch, MissingManualPortEndsAtOnce) {
    MainHarness h(6);
    acceptManualPort(h, 5);
    h.dialog.button(MainDialog::kConnectButton)->click();
    EXPECT_EQ(h.logLines(), (QStringList{QStringLiteral("Hledám ZYL..."), QStringLiteral("ZYL nenalezeno!")}));
    EXPECT_EQ(h.dialog.state().searchAll, 0);
}

TEST(PortSearch, RefusedHandshakeTimerLeavesThePortOpenAndButtonsDisabled) {
    MainHarness h(3);
    h.acceptConnectDialog();
    WindowTimers::setStartPolicy([](int id) { return id != MainDialog::kHandshakeTimer; });
    h.dialog.button(MainDialog::kConnectButton)->click();
    WindowTimers::setStartPolicy({});
    EXPECT_EQ(h.desktop.boxTexts(), QStringList{QStringLiteral("Timer error!")});
    EXPECT_EQ(h.dialog.state().portOpen, 1);
    EXPECT_EQ(h.port.openPort(), 3);
    EXPECT_FALSE(h.dialog.button(MainDialog::kConnectButton)->isEnabled());
}

}  // namespace
