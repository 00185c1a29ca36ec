#include <gtest/gtest.h>

#include <functional>

#include "about_dialog.h"
#include "cp1250_literal.h"
#include "main_harness.h"
#include "scripted_port.h"

namespace {

using Notification = Dialog::Notification;

TEST(MainWindow, StartsWithOnlyTheConnectButtonAndAnEmptyLog) {
    MainHarness h;
    std::vector<int> visible;
    for (const ControlTemplate& c : kMainDialogTemplate.controls) {
        if (h.window.control(c.id).visible) {
            visible.push_back(c.id);
        }
    }
    EXPECT_EQ(visible, (std::vector<int>{MainDialog::kConnectButton, MainDialog::kLogBox}));
    EXPECT_TRUE(h.enabled(MainDialog::kConnectButton));
    EXPECT_EQ(h.window.focus(), MainDialog::kConnectButton);
    for (int id : {1000, 1001, 1002, 1003, 1005}) {
        EXPECT_FALSE(h.enabled(id)) << id;
    }
    EXPECT_TRUE(h.dialog.logText().empty());
    EXPECT_TRUE(h.window.logBox(MainDialog::kLogBox).empty());
    EXPECT_EQ(h.dialog.state().recordSize, 100);
    EXPECT_EQ(h.dialog.rowCount(MainDialog::kKeyListView), 0);
    EXPECT_EQ(h.window.activeTimer(), 0);
    EXPECT_EQ(h.dialog.state().editOnDoubleClick, 0);
}

// Enter presses the default button, which is the connect button.
TEST(MainWindow, EnterPressesTheConnectButton) {
    MainHarness h;
    int defaultButton = 0;
    for (const ControlTemplate& c : kMainDialogTemplate.controls) {
        if (c.style & control_style::kDefault) {
            defaultButton = c.id;
        }
    }
    ASSERT_EQ(defaultButton, MainDialog::kConnectButton);
    h.window.click(defaultButton);
    EXPECT_EQ(h.screen.modalRuns, 1);  // the connect dialog was asked for
}

TEST(MainWindow, NewestLogLineIsOnTopAndMarksGoInFrontOfIt) {
    MainHarness h;
    h.dialog.logLine("A");
    h.dialog.logLine("B");
    h.dialog.logMark("*");
    EXPECT_EQ(h.dialog.logText(), "*B\r\nA\r\n");
    EXPECT_EQ(h.window.logBox(MainDialog::kLogBox), "*B\r\nA\r\n");
    h.dialog.logLine({});
    EXPECT_EQ(h.dialog.logText(), "\r\n*B\r\nA\r\n");
}

// The log keeps every mark of a long run, and the box is told each of them (showing a very
// long run shortened is the box's own business).
TEST(MainWindow, LongRunOfMarksIsLoggedWholeAndEveryMarkReachesTheBox) {
    MainHarness h;
    h.dialog.logLine("A");
    h.dialog.logLine({});
    for (int mark = 0; mark < 1920; ++mark) {
        h.dialog.logMark("*");
    }
    EXPECT_EQ(h.dialog.logText(), std::string(1920, '*') + "\r\nA\r\n");
    h.dialog.logLine("B");
    h.dialog.logMark("*");
    EXPECT_EQ(h.window.logBox(MainDialog::kLogBox), "*B\r\n" + std::string(1920, '*') + "\r\nA\r\n");
}

TEST(MainWindow, EnableButtonsAlwaysEnablesConnect) {
    MainHarness h;
    h.dialog.state().buttonEnabled = {1, 1, 0, 0, 0, 0};
    h.dialog.enableButtons();
    EXPECT_TRUE(h.enabled(1000));
    EXPECT_TRUE(h.enabled(1001));
    EXPECT_FALSE(h.enabled(1002));
    EXPECT_TRUE(h.enabled(1004));
    EXPECT_EQ(h.dialog.state().editOnDoubleClick, 1);
    h.dialog.disableButtons();
    EXPECT_EQ(h.dialog.state().editOnDoubleClick, 0);
    EXPECT_FALSE(h.enabled(1004));
}

TEST(MainWindow, ErrorKindsReportAsTheyShould) {
    MainHarness h;
    h.dialog.startOperation(MainDialog::kFactoryTimer, MainDialog::kFactoryPeriod);

    h.dialog.reportError(301, ErrorKind::Logged, "text");
    EXPECT_EQ(h.window.activeTimer(), 0);  // even a logged error stops the operation
    EXPECT_TRUE(h.screen.boxes.empty());
    EXPECT_TRUE(h.dialog.logText().starts_with("Chyba 301 - text\r\n"));

    h.dialog.reportError(525, ErrorKind::Disconnect, {});
    ASSERT_EQ(h.screen.boxes.size(), 1u);
    EXPECT_EQ(h.screen.boxes[0].text, "Chyba 525 - ZYL odpojeno.");
    EXPECT_TRUE(h.screen.boxes[0].caption.empty());
    EXPECT_TRUE(h.dialog.logText().starts_with("Chyba 525 - ZYL odpojeno.\r\n"));
    for (int id = 1000; id <= 1005; ++id) {
        EXPECT_EQ(h.enabled(id), id == 1004) << id;
    }

    h.dialog.reportError(302, ErrorKind::Fatal, {});
    const std::string fatal = fatalMessage(302);
    ASSERT_EQ(h.screen.boxes.size(), 2u);
    EXPECT_EQ(h.screen.boxes[1].text, fatal);
    EXPECT_TRUE(h.dialog.logText().starts_with(fatal + "\r\n"));
    for (int id = 1000; id <= 1005; ++id) {
        EXPECT_FALSE(h.enabled(id)) << id;
    }
}

TEST(MainWindow, RefusedTimerShowsTimerErrorAndKeepsButtonsDisabled) {
    MainHarness h;
    h.screen.refusedTimers = {MainDialog::kFactoryTimer};
    EXPECT_EQ(h.dialog.startOperation(MainDialog::kFactoryTimer, MainDialog::kFactoryPeriod), -1);
    EXPECT_EQ(h.dialog.state().currentTimerId, -1);
    EXPECT_EQ(h.screen.boxTexts(), std::vector<std::string>{"Timer error!"});
    EXPECT_FALSE(h.enabled(1004));
}

TEST(MainWindow, AboutBoxComesFromTheSystemMenuCommand) {
    MainHarness h;
    EXPECT_EQ(kMainDialogTemplate.systemMenuItem.command, MainDialog::kAboutCommand);
    EXPECT_EQ(kMainDialogTemplate.systemMenuItem.text, "&About ZYL default...");
    std::string shown;
    h.window.modalHandler = [&shown](Dialog& d, FakeWindow& w) {
        EXPECT_NE(dynamic_cast<AboutDialog*>(&d), nullptr);
        EXPECT_EQ(d.dialogTemplate().caption, "ZYL default");
        for (const ControlTemplate& c : d.dialogTemplate().controls) {
            if (c.text.starts_with("ZYL default")) {
                shown = w.text(c.id);
            }
        }
        w.click(Dialog::kOk);
        EXPECT_EQ(w.result(), Dialog::kOk);
        return Dialog::kCancel;
    };
    h.window.sysCommand(0xF060);  // another command (close): not ours
    EXPECT_EQ(h.screen.modalRuns, 0);
    h.window.sysCommand(0x13);  // the low four bits are the system's own
    EXPECT_EQ(h.screen.modalRuns, 1);
    EXPECT_EQ(shown, "ZYL default Verze 130218");
}

// The scripted port records every byte the window tries to send, a port open or not.
TEST(MainWindow, ClosingSendsEndOfLinkOnlyWhenAPortIsOpen) {
    FakeScreen screen;
    {
        ScriptedPort port;
        MainDialog idle(port);
        FakeWindow window(idle, screen);
        window.init();
        window.close();
        EXPECT_EQ(window.result(), Dialog::kCancel);
        window.destroy();
        EXPECT_TRUE(port.sent.empty());
    }
    {
        ScriptedPort port;
        MainDialog connected(port);
        FakeWindow window(connected, screen);
        window.init();
        port.open(3);
        connected.state().portOpen = 1;
        window.destroy();
        EXPECT_EQ(port.sent, ScriptedPort::Bytes{0x04});
        EXPECT_EQ(port.status(), PortStatus::Closed);
    }
}

TEST(MainWindow, ClearImageEmptiesTheListAndFreesEverySlot) {
    MainHarness h;
    h.dialog.state().image.fill(0x11);
    h.dialog.rebuildKeyList();
    EXPECT_EQ(h.dialog.rowCount(MainDialog::kKeyListView), 654);
    h.dialog.clearImage();
    EXPECT_EQ(h.dialog.rowCount(MainDialog::kKeyListView), 0);
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
        EXPECT_EQ(h.window.control(MainDialog::kFirstFloorCheck + floor - 1).checked,
                  floor == 1 || floor == 16)
            << floor;
    }
    h.dialog.clearFloorChecks();
    EXPECT_FALSE(h.window.control(MainDialog::kFirstFloorCheck).checked);
}

TEST(MainWindow, KeyListRowsShowIdCommentAndKey) {
    MainHarness h;
    MainDialogState& s = h.dialog.state();
    const KeyCode key{0x00, 0x00, 0x12, 0xAB, 0, 0, 0, 0, 0, 0, 0x01, 0x02};
    ASSERT_TRUE(writeRecord(s.image, s.recordSize, 3, key, {}, "Výtah"_cp));
    h.dialog.rebuildKeyList();
    ASSERT_EQ(h.dialog.rowCount(MainDialog::kKeyListView), 1);
    EXPECT_EQ(h.dialog.cellText(MainDialog::kKeyListView, 0, 0), "3");
    EXPECT_EQ(h.dialog.cellText(MainDialog::kKeyListView, 0, 1), "Výtah"_cp);
    EXPECT_EQ(h.dialog.cellText(MainDialog::kKeyListView, 0, 2), keyCodeText(key, ZeroBytes::Skip));
    const ControlTemplate* list = kMainDialogTemplate.control(MainDialog::kKeyListView);
    ASSERT_EQ(list->columns.size(), 3u);
    EXPECT_EQ(list->columns[1].heading, "Komentář:"_cp);
    EXPECT_EQ(list->columns[0].width + list->columns[1].width + list->columns[2].width, 50 + 400 + 116);
}

// Each command and notification of the template reaches its handler, told by what the
// handler does first.
struct Route {
    const char* name;
    int id;
    Notification notification;
    std::function<void(MainHarness&)> before;
    std::function<bool(MainHarness&)> reached;
};

void PrintTo(const Route& r, std::ostream* os) {
    *os << r.name;
}

class MainWindowRoute : public testing::TestWithParam<Route> {};

TEST_P(MainWindowRoute, ReachesItsHandler) {
    const Route& r = GetParam();
    MainHarness h;
    if (r.before) {
        r.before(h);
    }
    h.window.command(r.id, r.notification);
    EXPECT_TRUE(r.reached(h));
}

bool opensADialog(MainHarness& h) {
    return h.screen.modalRuns == 1;
}
bool findsNoKey(MainHarness& h) {
    return h.logged("Nebyl vybrán žádný klíč!");
}
bool listClicked(MainHarness& h) {
    return h.dialog.state().listClicked == 1;
}
void selectRowZero(MainHarness& h) {
    h.dialog.state().image[0] = 0x31;
    h.dialog.rebuildKeyList();
    h.dialog.selectRow(0, -1);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, MainWindowRoute,
    testing::Values(Route{"connect", 1004, Notification::Clicked, {}, opensADialog},
                    Route{"settings",
                          1003,
                          Notification::Clicked,
                          {},
                          [](MainHarness& h) { return h.window.activeTimer() == MainDialog::kFactoryTimer; }},
                    Route{"add", 1000, Notification::Clicked, {}, opensADialog},
                    Route{"edit", 1001, Notification::Clicked, {}, findsNoKey},
                    Route{"delete", 1002, Notification::Clicked, {}, findsNoKey},
                    Route{"archive", 1005, Notification::Clicked, {}, opensADialog},
                    Route{"help",
                          1006,
                          Notification::Clicked,
                          {},
                          [](MainHarness& h) { return h.screen.opened.size() == 1; }},
                    Route{"listClick", 1007, Notification::Clicked, {}, listClicked},
                    Route{"listFocus", 1007, Notification::FocusGained, {}, listClicked},
                    Route{"listDoubleClick", 1007, Notification::DoubleClicked,
                          [](MainHarness& h) { h.dialog.state().editOnDoubleClick = 1; },
                          [](MainHarness& h) { return findsNoKey(h) && listClicked(h); }},
                    Route{"listKeyDown", 1007, Notification::KeyDown, selectRowZero,
                          [](MainHarness& h) {
                              return h.dialog.state().selectedRow == -1 &&
                                     h.window.selection(MainDialog::kKeyListView).empty();
                          }},
                    Route{"escape",
                          Dialog::kCancel,
                          Notification::Clicked,
                          {},
                          [](MainHarness& h) { return h.window.result() == Dialog::kCancel; }},
                    Route{"notRouted",
                          1009,
                          Notification::Clicked,
                          {},
                          [](MainHarness& h) { return !h.window.ended() && h.screen.modalRuns == 0; }}),
    [](const testing::TestParamInfo<Route>& info) { return std::string(info.param.name); });

}  // namespace
