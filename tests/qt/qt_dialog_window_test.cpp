// The Qt window of a dialog: built from the template, every event reaching the dialog's one
// entry, start-up once per run, and the log box told only what was put on top.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <algorithm>
#include <string>
#include <vector>

#include "cp1250_literal.h"
#include "fake_desktop.h"
#include "qt_dialog_window.h"
#include "qt_log_box.h"

namespace {

constexpr ControlTemplate kControls[] = {
    {1, ControlKind::Button, "OK"_cp, 10, 60, 50, 14, control_style::kDefault},
    {2, ControlKind::Button, "Zpět"_cp, 70, 60, 50, 14},
    {10, ControlKind::Edit, ""_cp, 10, 10, 60, 12},
    {11, ControlKind::CheckBox, "Vše"_cp, 10, 26, 60, 10},
    {12, ControlKind::LogBox, ""_cp, 80, 10, 100, 40},
    {13, ControlKind::Static, "skrytý"_cp, 10, 40, 60, 8, control_style::kHidden},
};
constexpr DialogTemplate kTemplate{
    900, "Zkouška"_cp, 190, 80, "MS Sans Serif"_cp, 8, kControls, {0x10, "&O programu"_cp}};

constexpr ListColumn kColumns[] = {{"ID:", 50}};
constexpr ControlTemplate kListControls[] = {
    {1, ControlKind::Button, "OK"_cp, 10, 60, 50, 14, control_style::kDefault},
    {14, ControlKind::ReportList, ""_cp, 10, 5, 120, 50, 0, kColumns},
};
constexpr DialogTemplate kListTemplate{901, "Seznam"_cp, 190, 80, "MS Sans Serif"_cp, 8, kListControls};

// Writes down every event it gets; OK and Zpět end it, as a dialog without a table does.
class RecordingDialog : public Dialog {
public:
    explicit RecordingDialog(const DialogTemplate& t = kTemplate) : Dialog(t) {}
    std::vector<std::string> events;
    int inits = 0;

    int rowCount(int) const override { return 1; }

protected:
    void onInitDialog() override { ++inits; }
    void onCommand(int id, Notification n) override {
        events.push_back("command " + std::to_string(id) + " " + std::to_string(static_cast<int>(n)));
        Dialog::onCommand(id, n);
    }
    void onSysCommand(int command) override { events.push_back("sys " + std::to_string(command)); }
    void onClose() override {
        events.push_back("close");
        Dialog::onClose();
    }
    void onDestroy() override { events.push_back("destroy"); }
};

std::string clicked(int id) {
    return "command " + std::to_string(id) + " 0";
}

TEST(QtDialogWindow, BuildsTheTemplateAndForwardsItsEvents) {
    RecordingDialog dialog;
    QtDialogWindow window(dialog);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Zkouška"));
    window.show();
    window.showMinimized();
    window.showNormal();
    EXPECT_EQ(dialog.inits, 1) << "a restored window is not a new run";

    auto* box = window.findChild<QCheckBox*>(QStringLiteral("11"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Vše"));
    EXPECT_TRUE(window.findChild<QWidget*>(QStringLiteral("13"))->isHidden());
    box->click();
    EXPECT_TRUE(window.isChecked(11));

    auto* field = window.findChild<QLineEdit*>(QStringLiteral("10"));
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("a"));
    field->setText(QStringLiteral("ř"));
    EXPECT_EQ(window.text(10), "ř"_cp);

    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    const std::vector<std::string> seen(dialog.events.begin(), dialog.events.end());
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(seen[0], clicked(11));
    EXPECT_NE(std::find(seen.begin(), seen.end(), "command 10 4"), seen.end()) << "typing is Edited";
    EXPECT_EQ(seen[seen.size() - 2], clicked(Dialog::kCancel)) << "Esc is a click of Cancel";
    EXPECT_EQ(seen.back(), "destroy");
    EXPECT_EQ(window.result(), Dialog::kCancel);
}

TEST(QtDialogWindow, CloseBoxReachesTheDialogAndANewRunStartsAgain) {
    RecordingDialog dialog;
    QtDialogWindow window(dialog);
    window.show();
    window.close();
    EXPECT_EQ(dialog.events, (std::vector<std::string>{"close", clicked(Dialog::kCancel), "destroy"}));
    window.show();
    EXPECT_EQ(dialog.inits, 2);
}

TEST(QtDialogWindow, LogBoxIsOnlyPutInFrontOf) {
    RecordingDialog dialog;
    QtDialogWindow window(dialog);
    window.show();
    window.logLinePrepended(12, "první\r\n"_cp);
    window.logLinePrepended(12, "\r\n"_cp);
    window.logMarkPrepended(12, "*"_cp);
    window.logMarkPrepended(12, "*"_cp);
    auto* box = window.findChild<QPlainTextEdit*>(QStringLiteral("12"));
    EXPECT_EQ(box->toPlainText(), QStringLiteral("\nprvní\n")) << "marks wait for the event's end";
    FakeDesktop desktop;
    window.messageBox("pozor"_cp, {}, Window::Buttons::Ok);
    EXPECT_EQ(box->toPlainText(), QStringLiteral("**\nprvní\n")) << "but not behind a message box";
}

// List 1007's four notifications as on Windows: a click or double click anywhere in the
// list, also below its rows; Tab, Enter and Escape are the dialog's, not the list's keys.
TEST(QtDialogWindow, ReportListDeliversItsNotificationsAsOnWindows) {
    using Act = void (*)(QTreeView&);
    struct Row {
        const char* what;
        Act act;
        std::vector<std::string> events;
    };
    static constexpr auto below = [](QTreeView& view) { return QPoint(5, view.viewport()->height() - 3); };
    static constexpr auto onRow = [](QTreeView& view) {
        return view.visualRect(view.model()->index(0, 0)).center();
    };
    // As the system delivers it: the second press comes again as a double click.
    static constexpr auto doubleClick = [](QTreeView& view, QPoint at) {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at);
    };
    const std::string click = "command 14 0", doubleClicked = "command 14 1", keyDown = "command 14 5";
    const Row rows[] = {
        {"click on a row",
         [](QTreeView& v) { QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, onRow(v)); },
         {click}},
        {"click below the rows",
         [](QTreeView& v) { QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, below(v)); },
         {click}},
        {"double click on a row", [](QTreeView& v) { doubleClick(v, onRow(v)); }, {click, doubleClicked}},
        {"double click below the rows",
         [](QTreeView& v) { doubleClick(v, below(v)); },
         {click, doubleClicked}},
        {"arrow down", [](QTreeView& v) { QTest::keyClick(&v, Qt::Key_Down); }, {keyDown}},
        {"Escape",
         [](QTreeView& v) { QTest::keyClick(&v, Qt::Key_Escape); },
         {clicked(Dialog::kCancel), "destroy"}},
        {"Enter",
         [](QTreeView& v) { QTest::keyClick(&v, Qt::Key_Return); },
         {clicked(Dialog::kOk), "destroy"}},
        {"Tab", [](QTreeView& v) { QTest::keyClick(&v, Qt::Key_Tab); }, {"command 14 3"}},
    };
    for (const Row& row : rows) {
        RecordingDialog dialog(kListTemplate);
        QtDialogWindow window(dialog);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        auto* view = window.findChild<QTreeView*>(QStringLiteral("14"));
        view->setFocus();
        EXPECT_EQ(dialog.events.back(), "command 14 2") << "setting the focus";
        dialog.events.clear();
        row.act(*view);
        EXPECT_EQ(dialog.events, row.events) << row.what;
    }
}

}  // namespace
