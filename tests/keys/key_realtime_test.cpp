// Adding and deleting a key in real time: the program's own serial port and Qt timers
// against the simulated unit served on a pseudo-terminal, registered as COM1 in a private
// port folder, with a key held at its reader.

#include <gtest/gtest.h>

#include <memory>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "cp1250_literal.h"
#include "fake_desktop.h"
#include "key_dialog.h"
#include "keys_test_support.h"
#include "main_dialog.h"
#include "pty_unit.h"
#include "qt_main_window.h"
#include "serial_port.h"
#include "shown_dialog.h"
#include "unit_commands.h"
#include "window_timers.h"

using namespace keys_test;

namespace {

constexpr int kRecordSize = 65;  // the unit's factory comment length of 50

class KeyRealtimeTest : public testing::Test {
protected:
    void startUnit(const KeyCode& heldKey) {
        PtyUnitServer::Options options;
        options.comNumber = 1;
        options.heldKey = heldKey;
        ASSERT_TRUE(unit_.start(options)) << unit_.error();
    }

    FakeDesktop desktop_;
    PtyUnit unit_;
};

TEST_F(KeyRealtimeTest, KeyHeldAtTheReaderIsAddedAndDeletedInTheUnit) {
    const KeyCode key = an27Key();
    startUnit(key);

    QtMainWindow dialog(theSerialPort);
    theSerialPort.open(1);
    ASSERT_EQ(theSerialPort.status(), PortStatus::Ready);
    dialog.state().portOpen = 1;
    dialog.state().linkState = LinkState::Connected;  // as after the handshake
    dialog.state().recordSize = kRecordSize;
    dialog.dialog.rebuildKeyList();

    // The first key dialog waits for the key to show, the second is left with "Zpět".
    bool shown = false;
    desktop_.modalHandler = [&](QDialog& d) {
        auto* keyDialog = shownDialog<KeyDialog>(d) != nullptr ? &d : nullptr;
        if (keyDialog == nullptr || shown) {
            return Dialog::kCancel;
        }
        keyDialog->show();
        auto* keyField = control<QLineEdit>(keyDialog, KeyDialog::kKeyEdit);
        shown = QTest::qWaitFor([&] { return keyField->text() == textOf(key); }, 5000);
        control<QLineEdit>(keyDialog, KeyDialog::kCommentEdit)->setText(QStringLiteral("Vrátný"));
        control<QCheckBox>(keyDialog, KeyDialog::kFirstFloorBox + 1)->click();
        control<QPushButton>(keyDialog, KeyDialog::kOkButton)->click();
        return keyDialog->result();
    };
    dialog.dialog.onAddKeys();
    ASSERT_TRUE(shown);
    ASSERT_EQ(dialog.timers().activeId(), MainDialog::kWriteTimer);
    // 38 ticks of 200 ms for the key and floors, 7 for the comment, 11 to the end.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return dialog.timers().activeId() != MainDialog::kWriteTimer; }, 20000));
    EXPECT_TRUE(dialog.logText().contains(QStringLiteral("Klíč byl uložen")));
    EXPECT_EQ(dialog.timers().activeId(), MainDialog::kIdlePollTimer);
    const MemoryImage stored = dialog.state().image;

    dialog.dialog.selectRow(0, -1);
    desktop_.yesNoAnswers.push_back(Desktop::Answer::Yes);
    dialog.dialog.onDeleteKey();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return dialog.timers().activeId() != MainDialog::kDeleteTimer; }, 10000));
    EXPECT_TRUE(dialog.logText().contains(QStringLiteral("Klíč s ID 0 byl vymazán!")));
    EXPECT_EQ(dialog.timers().activeId(), MainDialog::kIdlePollTimer);
    EXPECT_EQ(desktop_.boxTexts(), QStringList{QStringLiteral("Opravdu chcete vymazat klíč s ID 0?")});

    dialog.timers().stop(MainDialog::kIdlePollTimer);
    unit_.stop();
    // The unit cleared the key; floors and comment stay, as they do in the image.
    const MemoryImage& memory = unit_.unit().memory();
    EXPECT_EQ(keyCodeOf(memory, 0, kRecordSize), KeyCode{});
    EXPECT_TRUE(std::equal(memory.begin() + kFloorOffset, memory.begin() + kRecordSize,
                           stored.begin() + kFloorOffset));
    EXPECT_TRUE(std::equal(memory.begin(), memory.begin() + kRecordSize, dialog.state().image.begin()));
    EXPECT_EQ(floorMaskOf(memory, 0, kRecordSize), (FloorMask{0x02, 0, 0}));
    EXPECT_EQ(listComment(memory, 0, kRecordSize), std::string("Vrátný"_cp));

    const Bytes in = unit_.received();
    const int begin = find(in, {unit::kBeginAddKeys});
    const int write = find(in, concat({{unit::kEndAddKeys, unit::kWriteKey, 0x00, 0x00}, bytesOf(key)}));
    const int erase = find(in, {unit::kDeleteKey, 0x00, 0x00});
    ASSERT_GE(begin, 0);
    EXPECT_GT(write, begin);
    EXPECT_GT(erase, write);
}

}  // namespace
