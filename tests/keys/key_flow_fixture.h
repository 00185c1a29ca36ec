#pragma once

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "code_page_1250.h"
#include "key_dialog.h"
#include "key_list.h"
#include "key_list_model.h"
#include "keys_test_support.h"
#include "main_harness.h"
#include "shown_dialog.h"
#include "unit_commands.h"

namespace keys_test {

// What the user does in one key dialog: hold a key at the unit's reader (or type its
// code), write a comment, tick floors, press OK.
struct KeyEntry {
    KeyCode key;
    QString comment;
    std::vector<int> floors;
    bool typed = false;
};

// The main window connected to a simulated unit on COM3 whose records are 65 bytes (the
// unit's factory comment length of 50), with every key command enabled.
class KeyFlowTest : public testing::Test {
protected:
    static constexpr int kRecordSize = 65;

    KeyFlowTest() {
        h.port.open(3);
        s().portOpen = 1;
        s().recordSize = kRecordSize;
        h.dialog.rebuildKeyList();
        s().buttonEnabled = MainDialogState::kConnectedButtons;
        s().linkState = LinkState::Connected;
        h.dialog.enableButtons();
    }

    MainDialogState& s() { return h.dialog.state(); }
    const Bytes& sent() const { return h.port.sent(3); }
    QStringList lines() const { return h.logLines(); }
    // Lines with the progress marks that later ticks put in front of them taken off.
    int loggedCount(const QString& text) const {
        int n = 0;
        for (QString line : lines()) {
            while (line.startsWith(QLatin1Char('*'))) {
                line.remove(0, 1);
            }
            n += line == text ? 1 : 0;
        }
        return n;
    }
    bool logged(const QString& text) const { return loggedCount(text) > 0; }
    // A fatal report: its message box and its two log lines on top.
    void expectFatal(int code) {
        const QString message =
            QStringLiteral("Zásadní chyba číslo %1!\r\nProsím vypněte a zapněte ZYL a tento program.")
                .arg(code);
        EXPECT_EQ(h.desktop.boxTexts(), QStringList{message});
        EXPECT_TRUE(h.dialog.logText().startsWith(message + QStringLiteral("\r\n")));
        EXPECT_EQ(activeTimer(), 0);
        for (int id = MainDialog::kAddKeysButton; id <= MainDialog::kArchiveButton; ++id) {
            EXPECT_FALSE(h.dialog.button(id)->isEnabled()) << id;
        }
    }
    int activeTimer() { return h.dialog.timers().activeId(); }

    // A key both sides already hold: the program's image and the unit's memory.
    void storeKey(int record, const KeyCode& key, const FloorMask& floors = {},
                  const std::string& comment = {}) {
        ASSERT_TRUE(writeRecord(s().image, kRecordSize, record, key, floors, comment));
        std::copy_n(s().image.begin() + record * kRecordSize, kRecordSize,
                    h.unit.memory().begin() + record * kRecordSize);
        h.dialog.rebuildKeyList();
    }

    // The user selects a row of the key list with the mouse.
    void clickRow(int row) {
        h.dialog.keyListView()->selectionModel()->select(
            h.dialog.keyListModel()->index(row, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        h.dialog.onListClick();
    }

    static Bytes recordBytes(const MemoryImage& memory, int record) {
        const auto first = memory.begin() + record * kRecordSize;
        return Bytes(first, first + kRecordSize);
    }
    Bytes unitRecord(int record) const { return recordBytes(h.unit.memory(), record); }
    Bytes imageRecord(int record) { return recordBytes(s().image, record); }

    // Key dialogs are answered from `entries` in turn; once they run out, "Zpět".
    void answerKeyDialogs(std::vector<KeyEntry> entries) {
        auto queue = std::make_shared<std::deque<KeyEntry>>(entries.begin(), entries.end());
        h.desktop.modalHandler = [this, queue](QDialog& d) {
            auto* dialog = shownDialog<KeyDialog>(d);
            if (dialog == nullptr || queue->empty()) {
                return static_cast<int>(QDialog::Rejected);
            }
            const KeyEntry entry = queue->front();
            queue->pop_front();
            shownKeyIds.push_back(dialog->keyId);
            fillKeyDialog(d, entry);
            control<QPushButton>(&d, KeyDialog::kOkButton)->click();
            return d.result();
        };
    }

    // In the key dialog's window.
    void fillKeyDialog(QDialog& window, const KeyEntry& entry) {
        window.show();
        auto* keyField = control<QLineEdit>(&window, KeyDialog::kKeyEdit);
        if (entry.typed) {
            control<QCheckBox>(&window, KeyDialog::kManualEntryBox)->click();
            keyField->setText(textOf(entry.key));
            leaveField(keyField);
        } else if (shownDialog<KeyDialog>(window)->readerMode == 1) {
            readAtReader(window, entry.key);
        }
        auto* commentField = control<QLineEdit>(&window, KeyDialog::kCommentEdit);
        commentField->setText(entry.comment);
        leaveField(commentField);
        for (int floor : entry.floors) {
            control<QCheckBox>(&window, KeyDialog::kFirstFloorBox + floor - 1)->click();
        }
    }

    // The key is held at the unit's reader until the dialog shows it.
    void readAtReader(QDialog& window, const KeyCode& key) {
        auto* keyField = control<QLineEdit>(&window, KeyDialog::kKeyEdit);
        auto& w = dynamic_cast<QtDialogWindow&>(window);
        h.unit.holdKey(key);
        TimerStepper reader(w.timers(), h.port, windowTicks(w));
        reader.runUntil([&] { return keyField->text() == textOf(key); }, 50);
        h.unit.releaseKey();
    }

    // Steps the main window until its key write or delete has ended, in the idle poll or
    // with no timer left after an error.
    void runToIdle() {
        h.stepper.runUntil([this] {
            const int id = activeTimer();
            return id == MainDialog::kIdlePollTimer || id == 0;
        });
    }

    static Fault fault(FaultKind kind, std::uint8_t command, int nth = 0) {
        Fault f;
        f.kind = kind;
        f.command = command;
        f.nth = nth;
        return f;
    }

    MainHarness h;
    std::vector<int> shownKeyIds;
};

}  // namespace keys_test
