#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "code_page_1250.h"
#include "cp1250_literal.h"
#include "key_bytes.h"
#include "key_dialog.h"
#include "key_list.h"
#include "main_harness.h"
#include "unit_commands.h"

namespace keys_test {

// What the user does in one key dialog: hold a key at the unit's reader (or type its
// code), write a comment (UTF-8 here), tick floors, press OK.
struct KeyEntry {
    KeyCode key;
    std::string comment;
    std::vector<int> floors;
    bool typed = false;
};

inline bool contains(const std::vector<std::string>& texts, std::string_view text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// The main window connected to a simulated unit on COM3 whose records are 65 bytes (the
// unit's factory comment length of 50), with every key command enabled.
class KeyFlowTest : public testing::Test {
protected:
    static constexpr int kRecordSize = 65;
    using N = Dialog::Notification;

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
    std::vector<std::string> lines() const { return h.logLines(); }
    // The message boxes shown, in UTF-8.
    std::vector<std::string> boxes() const {
        std::vector<std::string> texts;
        for (const FakeScreen::Box& b : h.screen.boxes) {
            texts.push_back(cp1250ToUtf8(b.text));
        }
        return texts;
    }
    // Lines with the progress marks that later ticks put in front of them taken off.
    int loggedCount(std::string_view text) const {
        int n = 0;
        for (const std::string& line : lines()) {
            n += std::string_view(line).substr(std::min(line.find_first_not_of('*'), line.size())) == text
                     ? 1
                     : 0;
        }
        return n;
    }
    bool logged(std::string_view text) const { return loggedCount(text) > 0; }
    // A fatal report: its message box and its two log lines on top.
    void expectFatal(int code) {
        const std::string message = fatalMessage(code);
        EXPECT_EQ(h.screen.boxTexts(), std::vector<std::string>{message});
        EXPECT_TRUE(h.dialog.logText().starts_with(message + "\r\n"));
        EXPECT_EQ(activeTimer(), 0);
        for (int id = MainDialog::kAddKeysButton; id <= MainDialog::kArchiveButton; ++id) {
            EXPECT_FALSE(h.enabled(id)) << id;
        }
    }
    int activeTimer() { return h.window.activeTimer(); }
    bool floorChecked(int floor) {
        return h.window.control(MainDialog::kFirstFloorCheck + floor - 1).checked;
    }

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
        h.window.selection(MainDialog::kKeyListView) = {row};
        h.window.command(MainDialog::kKeyListView, N::Clicked);
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
        h.window.modalHandler = [this, queue](Dialog& d, FakeWindow& w) {
            auto* dialog = dynamic_cast<KeyDialog*>(&d);
            if (dialog == nullptr || queue->empty()) {
                return Dialog::kCancel;
            }
            const KeyEntry entry = queue->front();
            queue->pop_front();
            shownKeyIds.push_back(dialog->keyId);
            fillKeyDialog(*dialog, w, entry);
            return pressOk(w);
        };
    }

    // OK; a dialog that refuses it stays open and is left with "Zpět".
    static int pressOk(FakeWindow& w) {
        w.click(KeyDialog::kOkButton);
        return w.ended() ? w.result() : Dialog::kCancel;
    }

    void fillKeyDialog(KeyDialog& dialog, FakeWindow& w, const KeyEntry& entry) {
        if (entry.typed) {
            w.click(KeyDialog::kManualEntryBox);
            w.type(KeyDialog::kKeyEdit, keyCodeText(entry.key));
            w.command(KeyDialog::kKeyEdit, N::FocusLost);
        } else if (dialog.readerMode == 1) {
            readAtReader(w, entry.key);
        }
        w.type(KeyDialog::kCommentEdit, utf8ToCp1250(entry.comment));
        w.command(KeyDialog::kCommentEdit, N::FocusLost);
        for (int floor : entry.floors) {
            w.click(KeyDialog::kFirstFloorBox + floor - 1);
        }
    }

    // The key is held at the unit's reader until the dialog shows it.
    void readAtReader(FakeWindow& w, const KeyCode& key) {
        h.unit.holdKey(key);
        TimerStepper reader(w, h.port);
        reader.runUntil([&] { return w.text(KeyDialog::kKeyEdit) == keyCodeText(key); }, 50);
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
