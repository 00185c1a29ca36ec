#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "about_dialog.h"
#include "key_list_model.h"
#include "main_harness.h"

namespace {

TEST(MainWindow, StartsWithOnlyTheConnectButtonAndAnEmptyLog) {
    MainHarness h;
    h.dialog.show();
    QList<QWidget*> visible;
    for (QWidget* w : h.dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isVisibleTo(&h.dialog)) {
            visible << w;
        }
    }
    ASSERT_EQ(visible.size(), 2);
    EXPECT_TRUE(visible.contains(h.dialog.button(MainDialog::kConnectButton)));
    EXPECT_TRUE(visible.contains(h.dialog.logBox()));
    EXPECT_TRUE(h.dialog.button(MainDialog::kConnectButton)->isEnabled());
    for (int id : {1000, 1001, 1002, 1003, 1005}) {
        EXPECT_FALSE(h.dialog.button(id)->isEnabled()) << id;
    }
    EXPECT_TRUE(h.dialog.logText().isEmpty());
    EXPECT_TRUE(h.dialog.logBox()->toPlainText().isEmpty());
    EXPECT_EQ(h.dialog.state().recordSize, 100);
    EXPECT_EQ(h.dialog.keyListModel()->rowCount(), 0);
    EXPECT_EQ(h.dialog.timers().activeId(), 0);
    EXPECT_EQ(h.dialog.state().editOnDoubleClick, 0);
}

TEST(MainWindow, EnterPressesTheConnectButton) {
    MainHarness h;
    h.dialog.show();
    QTest::keyClick(&h.dialog, Qt::Key_Return);
    EXPECT_EQ(h.desktop.modalRuns, 1);  // the connect dialog was asked for
}

TEST(MainWindow, NewestLogLineIsOnTopAndMarksGoInFrontOfIt) {
    MainHarness h;
    h.dialog.logLine(QStringLiteral("A"));
    h.dialog.logLine(QStringLiteral("B"));
    h.dialog.logMark(QStringLiteral("*"));
    EXPECT_EQ(h.dialog.logText(), QStringLiteral("*B\r\nA\r\n"));
    QCoreApplication::processEvents();  // marks reach the box once the current event has returned
    EXPECT_EQ(h.dialog.logBox()->toPlainText(), QStringLiteral("*B\nA\n"));
    h.dialog.logLine(QString());
    EXPECT_EQ(h.dialog.logText(), QStringLiteral("\r\n*B\r\nA\r\n"));
}

TEST(MainWindow, LongRunOfMarksIsLoggedWholeAndShownShortened) {
    MainHarness h;
    h.dialog.logLine(QStringLiteral("A"));
    h.dialog.logLine(QString());
    for (int tick = 0; tick < 40; ++tick) {  // 40 ticks of 48 marks
        for (int mark = 0; mark < 48; ++mark) {
            h.dialog.logMark(QStringLiteral("*"));
        }
        QCoreApplication::processEvents();
        const int run = 48 * (tick + 1);
        const QString top = h.dialog.logBox()->toPlainText().section(QLatin1Char('\n'), 0, 0);
        ASSERT_EQ(top, run <= 1000 ? QString(run, QLatin1Char('*'))
                                   : QStringLiteral("…") + QString(1000, QLatin1Char('*')))
            << tick;
    }
    EXPECT_EQ(h.dialog.logText(), QString(1920, QLatin1Char('*')) + QStringLiteral("\r\nA\r\n"));
    h.dialog.logLine(QStringLiteral("B"));
    h.dialog.logMark(QStringLiteral("*"));
    QCoreApplication::processEvents();
    EXPECT_EQ(h.dialog.logBox()->toPlainText(),
              QStringLiteral("*B\n…") + QString(1000, QLatin1Char('*')) + QStringLiteral("\nA\n"));
}

TEST(MainWindow, EnableButtonsAlwaysEnablesConnect) {
    MainHarness h;
    h.dialog.state().buttonEnabled = {1, 1, 0, 0, 0, 0};
    h.dialog.enableButtons();
    EXPECT_TRUE(h.dialog.button(1000)->isEnabled());
    EXPECT_TRUE(h.dialog.button(1001)->isEnabled());
    EXPECT_FALSE(h.dialog.button(1002)->isEnabled());
    EXPECT_TRUE(h.dialog.button(1004)->isEnabled());
    EXPECT_EQ(h.dialog.state().editOnDoubleClick, 1);
    h.dialog.disableButtons();
    EXPECT_EQ(h.dialog.state().editOnDoubleClick, 0);
    EXPECT_FALSE(h.dialog.button(1004)->isEnabled());
}

TEST(MainWindow, ErrorKindsReportAsTheyShould) {
    MainHarness h;
    h.dialog.startOperation(MainDialog::kFactoryTimer, MainDialog::kFactoryPeriod);

    h.dialog.reportError(301, ErrorKind::Logged, QStringLiteral("text"));
    EXPECT_EQ(h.dialog.timers().activeId(), 0);  // even a logged error stops the operation
    EXPECT_TRUE(h.desktop.boxes.empty());
    EXPECT_TRUE(h.dialog.logText().startsWith(QStringLiteral("Chyba 301 - text\r\n")));

    h.dialog.reportError(525, ErrorKind::Disconnect, QString());
    ASSERT_EQ(h.desktop.boxes.size(), 1u);
    EXPECT_EQ(h.desktop.boxes[0].text, QStringLiteral("Chyba 525 - ZYL odpojeno."));
    EXPECT_TRUE(h.dialog.logText().startsWith(QStringLiteral("Chyba 525 - ZYL odpojeno.\r\n")));
    for (int id = 1000; id <= 1005; ++id) {
        EXPECT_EQ(h.dialog.button(id)->isEnabled(), id == 1004) << id;
    }

    h.dialog.reportError(302, ErrorKind::Fatal, QString());
    const QString fatal =
        QStringLiteral("Zásadní chyba číslo 302!\r\nProsím vypněte a zapněte ZYL a tento program.");
    ASSERT_EQ(h.desktop.boxes.size(), 2u);
    EXPECT_EQ(h.desktop.boxes[1].text, fatal);
    EXPECT_TRUE(h.dialog.logText().startsWith(fatal + QStringLiteral("\r\n")));
    for (int id = 1000; id <= 1005; ++id) {
        EXPECT_FALSE(h.dialog.button(id)->isEnabled()) << id;
    }
}

TEST(MainWindow, RefusedTimerShowsTimerErrorAndKeepsButtonsDisabled) {
    MainHarness h;
    WindowTimers::setStartPolicy([](int) { return false; });
    EXPECT_EQ(h.dialog.startOperation(MainDialog::kFactoryTimer, MainDialog::kFactoryPeriod), -1);
    WindowTimers::setStartPolicy({});
    EXPECT_EQ(h.dialog.state().currentTimerId, -1);
    ASSERT_EQ(h.desktop.boxes.size(), 1u);
    EXPECT_EQ(h.desktop.boxes[0].text, QStringLiteral("Timer error!"));
    EXPECT_FALSE(h.dialog.button(1004)->isEnabled());
}

TEST(MainWindow, AboutBoxComesFromTheSystemMenuCommand) {
    MainHarness h;
    QString shown;
    h.desktop.modalHandler = [&shown](QDialog& d) {
        EXPECT_NE(qobject_cast<AboutDialog*>(&d), nullptr);
        EXPECT_EQ(d.windowTitle(), QStringLiteral("ZYL default"));
        shown = d.findChild<QLabel*>(QStringLiteral("version"))->text();
        return static_cast<int>(QDialog::Accepted);
    };
    h.dialog.onSysCommand(0xF060);  // another command (close): not ours
    EXPECT_EQ(h.desktop.modalRuns, 0);
    h.dialog.onSysCommand(0x13);  // the low four bits are the system's own
    EXPECT_EQ(h.desktop.modalRuns, 1);
    EXPECT_EQ(shown, QStringLiteral("ZYL default Verze 130218"));
}

TEST(MainWindow, ClosingSendsEndOfLinkOnlyWhenAPortIsOpen) {
    UnitModel unit;
    SimulatedPort port;
    port.attachUnit(3, &unit);
    FakeDesktop desktop;
    {
        MainDialog idle(port);
    }
    EXPECT_TRUE(port.sent(3).empty());
    {
        MainDialog connected(port);
        port.open(3);
        connected.state().portOpen = 1;
    }
    EXPECT_EQ(port.sent(3), std::vector<std::uint8_t>{0x04});
    EXPECT_EQ(port.openPort(), 0);
}

TEST(MainWindow, ClearImageEmptiesTheListAndFreesEverySlot) {
    MainHarness h;
    h.dialog.state().image.fill(0x11);
    h.dialog.rebuildKeyList();
    EXPECT_EQ(h.dialog.keyListModel()->rowCount(), 654);
    h.dialog.clearImage();
    EXPECT_EQ(h.dialog.keyListModel()->rowCount(), 0);
    EXPECT_EQ(h.dialog.state().keyList.freeSlots()[0], 0);
    EXPECT_EQ(h.dialog.state().keyList.freeSlots()[653], 653);
    EXPECT_EQ(h.dialog.state().keyList.freeSlots()[654], 0xFFFF);
}

TEST(MainWindow, ShowFloorsTicksTheRecordsFloors) {
    MainHarness h;
    MainDialogState& s = h.dialog.state();
    s.image[0] = 0x31;  // a used record 0 with floors 1 and 16
    s.image[12] = 0x01;
    s.image[13] = 0x80;
    h.dialog.rebuildKeyList();
    h.dialog.showFloors(0);
    for (int floor = 1; floor <= 24; ++floor) {
        EXPECT_EQ(h.dialog.floorCheck(floor)->isChecked(), floor == 1 || floor == 16) << floor;
    }
    h.dialog.clearFloorChecks();
    EXPECT_FALSE(h.dialog.floorCheck(1)->isChecked());
}

}  // namespace
