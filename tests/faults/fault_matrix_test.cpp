// Every exchange against every fault the simulated unit injects: each row of the fault
// matrix is run on the simulated line, stepped tick by tick, and every column checked.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "archive_dialog.h"
#include "code_page_1250.h"
#include "confirm_dialog.h"
#include "fault_matrix.h"
#include "image_file.h"
#include "key_dialog.h"
#include "key_record.h"
#include "main_harness.h"
#include "temp_folder.h"
#include "unit_commands.h"

// Failures name the row by its exchange and fault.
static void PrintTo(const FaultCell& cell, std::ostream* os) {
    *os << exchangeName(cell.exchange) << ", " << cell.fault;
}

namespace {

// The key held at the reader, typed for the key write and stored at record 3 for the poll
// and the delete: a byte code whose CRC is the 1-Wire maker's own worked example.
const KeyCode kKey = {0x02, 0x1C, 0xB8, 0x01, 0x00, 0x00, 0x00, 0xA2, 0, 0, 0, 0};
const std::string kKeyText = "A200000001B81C02";
constexpr int kKeyRecord = 3;
constexpr int kRecordSize = 65;

// Tick bounds: far beyond what each operation needs.
constexpr int kResetTicks = 400;
constexpr int kPollCycles = 8;  // error 600 comes in the sixth
constexpr int kReaderTicks = 260;
constexpr int kKeyWriteTicks = 200;
constexpr int kKeyDeleteTicks = 40;
constexpr int kKeepAliveCycles = 6;  // error 600 comes in the third
constexpr int kEraseTicks = 100;
constexpr int kImageWriteTicks = 600;
constexpr int kSettingsTicks = 30;

// What a run left behind, in the matrix's terms (texts in UTF-8).
struct Result {
    std::vector<std::string> boxes;
    std::string log;    // the main window's log, newest entry first
    std::string field;  // the key dialog's key field
    bool done = false;
    int buttons = 0;
    int timer = 0;      // of the window that ran the exchange
    int mainTimer = 0;  // of the main window while a dialog ran the exchange
    bool portHeld = false;
    bool ended = false;  // the run stopped on its own before the tick bound
};

using N = Dialog::Notification;

// Whether the code page 1250 log holds `line` (UTF-8), "*" marks in front taken off.
bool logged(const std::string& log, std::string_view line) {
    const std::string text = cp1250ToUtf8(log);
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find("\r\n", at), text.size());
        std::string_view entry = std::string_view(text).substr(at, end - at);
        entry.remove_prefix(std::min(entry.find_first_not_of('*'), entry.size()));
        if (entry == line) {
            return true;
        }
        at = end + 2;
    }
    return false;
}

int mainButtons(FakeWindow& window) {
    int buttons = 0;
    for (int i = 0; i < 6; ++i) {
        buttons |= window.isEnabled(MainDialog::kAddKeysButton + i) ? 1 << i : 0;
    }
    return buttons;
}

int archiveButtons(FakeWindow& window) {
    static constexpr int kIds[] = {1036, 1038, 1041, 1040, 1039, 2};
    int buttons = 0;
    for (int i = 0; i < 6; ++i) {
        buttons |= window.isEnabled(kIds[i]) ? 1 << i : 0;
    }
    return buttons;
}

// Ticks until `done` holds or no timer runs; true unless the bound ran out first.
bool stepUntil(TimerStepper& stepper, int maxTicks, const std::function<bool()>& done) {
    return stepper.runUntil(done, maxTicks) >= 0;
}

// One row of the matrix on the simulated line: the unit on COM3 behind the main window.
class MatrixRun {
public:
    explicit MatrixRun(const FaultCell& cell) : cell_(cell) {
        if (cell.twist == Twist::MinuteEqualsSecond) {
            h.screen.time.second = h.screen.time.minute;
        }
    }

    Result run() {
        switch (cell_.exchange) {
            case Exchange::Handshake:
            case Exchange::LiftName:
            case Exchange::RecordSize:
            case Exchange::AccessTime:
            case Exchange::RelayByte:
            case Exchange::AccessCode:
            case Exchange::Clock:
            case Exchange::EraseKeys:
            case Exchange::EraseLogs:
                return runReset();
            case Exchange::PollReader:
            case Exchange::PollKeepAlive:
                return runIdlePoll();
            case Exchange::KeyDialogReader:
                return runKeyDialog();
            case Exchange::KeyWrite:
                return runKeyWrite();
            case Exchange::KeyDelete:
                return runKeyDelete();
            case Exchange::ArchiveKeepAlive:
            case Exchange::ArchiveErase:
            case Exchange::ImageWrite:
            case Exchange::ArchiveSettings:
                return runArchive();
        }
        return {};
    }

private:
    void injectFault() { h.unit.setFault(*parseFault(cell_.fault)); }

    MainDialogState& s() { return h.dialog.state(); }

    // The factory reset from the connect button; the faulted exchange is one of its steps.
    Result runReset() {
        injectFault();
        h.acceptConnectDialog();
        h.window.click(MainDialog::kConnectButton);
        Result r;
        r.ended = h.stepper.runToEnd(kResetTicks) >= 0;
        static const char* const kDoneLines[] = {"ZYL připojen na COM3.",
                                                 "Název výtahu vymazán",
                                                 "Nastaven počet znaků komentáře na 50",
                                                 "Nastaven čas přístupu na 5s",
                                                 "Nastavena nastavení pro relé",
                                                 "Nastaven přístupový kód 4827",
                                                 "Nastaven aktuální čas",
                                                 "Všechny klíce byly smazány",
                                                 "Všechny logy byly smazány"};
        r.done = logged(h.dialog.logText(), kDoneLines[static_cast<int>(cell_.exchange)]);
        return finishMain(r);
    }

    // The main window connected to the unit, as after a handshake, with every key command
    // enabled; no timer runs yet.
    void connect() {
        h.port.open(3);
        s().portOpen = 1;
        s().recordSize = kRecordSize;
        h.dialog.rebuildKeyList();
        s().buttonEnabled = MainDialogState::kConnectedButtons;
        s().linkState = LinkState::Connected;
        h.dialog.enableButtons();
    }

    // The key of record 3 on both sides.
    void storeKey() {
        ASSERT_TRUE(writeRecord(s().image, kRecordSize, kKeyRecord, kKey, {0x01, 0, 0}, "vratny"));
        std::copy_n(s().image.begin() + kKeyRecord * kRecordSize, kRecordSize,
                    h.unit.memory().begin() + kKeyRecord * kRecordSize);
        h.dialog.rebuildKeyList();
    }

    // Eight cycles of the poll, or fewer when it ends in an error; "done" is judged after
    // the first.
    Result runIdlePoll() {
        connect();
        storeKey();
        h.unit.holdKey(kKey);
        h.dialog.returnToIdle(0);
        injectFault();
        Result r;
        for (int i = 0; i < 5; ++i) {
            h.stepper.tick();
        }
        r.done = cell_.exchange == Exchange::PollReader
                     ? s().selectedRow == h.dialog.rowOfRecord(kKeyRecord) && s().selectedRow >= 0
                     : s().missedPolls == 0;
        // The poll has no end of its own: it runs its cycles unless an error stops it.
        h.stepper.runUntil([] { return false; }, 4 * kPollCycles - 4);
        r.ended = true;
        return finishMain(r);
    }

    // The key dialog adding by reader, with the key held; the run ends when the first
    // cycle is through (the second read command goes out) or the dialog gave the link up.
    Result runKeyDialog() {
        connect();
        h.unit.holdKey(kKey);
        injectFault();
        KeyDialog dialog(h.dialog);
        dialog.readerMode = 1;
        FakeWindow window(dialog, h.screen);
        window.init();
        TimerStepper reader(window, h.port);
        const auto commands = [this] {
            const auto& sent = h.port.sent(3);
            return std::count(sent.begin(), sent.end(), unit::kReadReader);
        };
        Result r;
        r.ended = stepUntil(reader, kReaderTicks, [&] { return commands() == 2; });
        r.field = cp1250ToUtf8(window.text(KeyDialog::kKeyEdit));
        r.done = r.field == kKeyText;
        r.timer = window.activeTimer();
        EXPECT_EQ(window.isEnabled(KeyDialog::kOkButton), cell_.report.code == 0) << "the dialog's OK";
        finishShared(r);
        r.buttons = mainButtons(h.window);
        r.mainTimer = h.window.activeTimer();
        return r;
    }

    // One key typed in the key dialog, with a comment and floor 1, written to record 0.
    Result runKeyWrite() {
        connect();
        h.window.modalHandler = [shown = false](Dialog& d, FakeWindow& w) mutable {
            if (dynamic_cast<KeyDialog*>(&d) == nullptr || shown) {
                return Dialog::kCancel;
            }
            shown = true;
            w.click(KeyDialog::kManualEntryBox);
            w.type(KeyDialog::kKeyEdit, kKeyText);
            w.command(KeyDialog::kKeyEdit, N::FocusLost);
            w.type(KeyDialog::kCommentEdit, "abc");
            w.command(KeyDialog::kCommentEdit, N::FocusLost);
            w.click(KeyDialog::kFirstFloorBox);
            w.click(KeyDialog::kOkButton);
            return w.ended() ? w.result() : Dialog::kCancel;
        };
        injectFault();
        h.dialog.onAddKeys();
        EXPECT_EQ(h.window.activeTimer(), MainDialog::kWriteTimer);
        Result r;
        r.ended = stepUntil(h.stepper, kKeyWriteTicks, [this] { return operationOver(); });
        const auto record = [](const MemoryImage& memory) {
            const auto first = memory.begin() + 0 * kRecordSize;
            return std::vector<std::uint8_t>(first, first + kRecordSize);
        };
        r.done =
            logged(h.dialog.logText(), "Klíč byl uložen") && record(h.unit.memory()) == record(s().image);
        return finishMain(r);
    }

    Result runKeyDelete() {
        connect();
        storeKey();
        h.dialog.selectRow(h.dialog.rowOfRecord(kKeyRecord), -1);
        h.screen.yesNoAnswers.push_back(Window::Answer::Yes);
        injectFault();
        h.dialog.onDeleteKey();
        EXPECT_EQ(h.window.activeTimer(), MainDialog::kDeleteTimer);
        h.screen.boxes.clear();  // the question
        Result r;
        r.ended = stepUntil(h.stepper, kKeyDeleteTicks, [this] { return operationOver(); });
        r.done = logged(h.dialog.logText(), "Klíč s ID 3 byl vymazán!");
        return finishMain(r);
    }

    // A key write or delete is over once the poll has taken over, or no timer runs.
    bool operationOver() {
        const int id = h.window.activeTimer();
        return id == MainDialog::kIdlePollTimer || id == 0;
    }

    // The archive dialog opened over the connected main window, as the archive command
    // opens it (the main window's timer stopped); confirmations are ticked and accepted.
    Result runArchive() {
        connect();
        storeKey();
        ArchiveDialog dialog(h.dialog);
        dialog.image = s().image;
        dialog.accessTime = 5;
        dialog.recordSize = kRecordSize;
        FakeWindow window(dialog, h.screen);
        window.modalHandler = [](Dialog& d, FakeWindow& w) {
            if (dynamic_cast<ConfirmDialog*>(&d) == nullptr) {
                return Dialog::kCancel;
            }
            w.click(ConfirmDialog::kTickBox);
            w.click(ConfirmDialog::kOkButton);
            return w.ended() ? w.result() : Dialog::kCancel;
        };
        window.init();
        TimerStepper stepper(window, h.port);
        const auto running = [&window] { return window.activeTimer(); };
        injectFault();

        Result r;
        switch (cell_.exchange) {
            case Exchange::ArchiveKeepAlive:
                stepper.tick();
                stepper.tick();
                r.done = dialog.missCount == 0;
                stepper.runUntil([] { return false; }, 2 * kKeepAliveCycles - 2);
                r.ended = true;
                break;
            case Exchange::ArchiveErase:
                window.click(ArchiveDialog::kEraseKeysButton);
                r.ended =
                    stepUntil(stepper, kEraseTicks, [&] { return running() != ArchiveDialog::kEraseTimer; });
                r.done = logged(h.dialog.logText(), "Všechny klíče byly smazány");
                break;
            case Exchange::ImageWrite:
            case Exchange::ArchiveSettings: {
                TempFolder dir;
                EXPECT_FALSE(dir.path().empty());
                MemoryImage image{};
                for (std::size_t i = 0; i < image.size(); ++i) {
                    image[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
                }
                const std::string file = dir.file("matrix.zrd");
                EXPECT_TRUE(writeImageFile(file, {5, kRecordSize, 0, 0}, image).ok());
                h.screen.fileAnswers.push_back(file);
                window.click(ArchiveDialog::kCopyToUnitButton);
                EXPECT_EQ(running(), ArchiveDialog::kWriteTimer);
                r.ended = stepUntil(stepper, kImageWriteTicks,
                                    [&] { return running() != ArchiveDialog::kWriteTimer; });
                if (cell_.exchange == Exchange::ImageWrite) {
                    r.done = logged(h.dialog.logText(), "Hotovo") && h.unit.memory() == image;
                    break;
                }
                r.ended = r.ended && stepUntil(stepper, kSettingsTicks,
                                               [&] { return running() == 0 || dialog.blockIndex >= 9; });
                r.done = logged(h.dialog.logText(), "Nastavena nová nastavení pro relé");
                break;
            }
            default:
                break;
        }
        r.timer = running();
        r.buttons = archiveButtons(window);
        r.mainTimer = h.window.activeTimer();
        finishShared(r);
        return r;
    }

    Result finishMain(Result& r) {
        r.timer = h.window.activeTimer();
        r.buttons = mainButtons(h.window);
        finishShared(r);
        return r;
    }

    void finishShared(Result& r) {
        for (const std::string& box : h.screen.boxTexts()) {
            r.boxes.push_back(cp1250ToUtf8(box));
        }
        r.log = cp1250ToUtf8(h.dialog.logText());
        r.portHeld = h.port.openPort() == 3;
    }

    const FaultCell& cell_;
    MainHarness h;
};

// The newest log entry is `entry` ("*" marks in front taken off); "" means nothing logged.
bool newestEntryIs(std::string_view log, const std::string& entry) {
    log.remove_prefix(std::min(log.find_first_not_of('*'), log.size()));
    return entry.empty() ? log.empty() : log.starts_with(entry + "\r\n");
}

std::string joined(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& text : texts) {
        all += (all.empty() ? "" : " | ") + text;
    }
    return all;
}

class FaultMatrix : public ::testing::TestWithParam<FaultCell> {};

TEST_P(FaultMatrix, EndsAsTabled) {
    const FaultCell& cell = GetParam();
    ASSERT_TRUE(parseFault(cell.fault)) << cell.fault;
    FaultColumn column{};
    ASSERT_TRUE(columnOf(cell, column)) << cell.fault;

    MatrixRun run(cell);
    const Result r = run.run();

    EXPECT_TRUE(r.ended) << "the run reached its tick bound";
    const ExchangeWindow window = windowOf(cell.exchange);
    const std::string message = reportMessage(cell.report);
    const bool boxed = cell.report.code != 0 && cell.report.kind != ErrorKind::Logged;
    EXPECT_EQ(joined(r.boxes), boxed ? message : "") << "message boxes";
    if (window == ExchangeWindow::KeyDialog) {
        EXPECT_EQ(r.field, cell.shows) << "key field";
        if (boxed) {
            EXPECT_TRUE(newestEntryIs(r.log, message)) << "log: " << r.log.substr(0, 120);
        }
    } else {
        const std::string shows = cell.shows != nullptr ? std::string(cell.shows) : message;
        EXPECT_TRUE(newestEntryIs(r.log, shows)) << "log: " << r.log.substr(0, 120);
    }
    EXPECT_EQ(r.done, cell.done) << exchangeDone(cell.exchange);
    EXPECT_EQ(r.buttons, cell.buttons) << "buttons now: " << buttonsText(window, r.buttons);
    EXPECT_EQ(r.timer, cell.timer) << windowName(window) << " timer";
    if (window != ExchangeWindow::Main) {
        EXPECT_EQ(r.mainTimer, 0) << "the main window's timer runs under the dialog";
    }
    EXPECT_EQ(r.portHeld, cell.portHeld);
}

// "RecordSize_Silence", with a number after it for a further row of the same cell.
std::string rowName(const ::testing::TestParamInfo<FaultCell>& info) {
    static constexpr const char* kExchangeNames[] = {
        "Handshake", "LiftName",  "RecordSize",       "AccessTime",   "RelayByte",     "AccessCode",
        "Clock",     "EraseKeys", "EraseLogs",        "PollReader",   "PollKeepAlive", "KeyDialog",
        "KeyWrite",  "KeyDelete", "ArchiveKeepAlive", "ArchiveErase", "ImageWrite",    "ArchiveSettings"};
    static constexpr const char* kColumnNames[] = {"Silence",   "WrongByte",   "DroppedByte", "DoubledByte",
                                                   "StrayByte", "SplitAnswer", "HangUp",      "SlowErase"};
    const auto cells = faultMatrix();
    FaultColumn column{};
    columnOf(info.param, column);
    int same = 0;
    for (std::size_t i = 0; i < info.index; ++i) {
        FaultColumn other{};
        same += cells[i].exchange == info.param.exchange && columnOf(cells[i], other) && other == column;
    }
    std::string name = std::string(kExchangeNames[static_cast<int>(info.param.exchange)]) + "_" +
                       kColumnNames[static_cast<int>(column)];
    return same == 0 ? name : name + std::to_string(same + 1);
}

INSTANTIATE_TEST_SUITE_P(Cells, FaultMatrix, ::testing::ValuesIn(faultMatrix().begin(), faultMatrix().end()),
                         rowName);

// The table covers every cell of the matrix that a fault can hit at least once, and no other.
TEST(FaultMatrixTable, CoversEveryExchangeAgainstEveryFault) {
    bool covered[kExchangeCount][kFaultColumnCount] = {};
    for (const FaultCell& cell : faultMatrix()) {
        FaultColumn column{};
        ASSERT_TRUE(columnOf(cell, column)) << cell.fault;
        EXPECT_TRUE(columnApplies(cell.exchange, column)) << cell.fault;
        covered[static_cast<int>(cell.exchange)][static_cast<int>(column)] = true;
    }
    for (int e = 0; e < kExchangeCount; ++e) {
        for (int c = 0; c < kFaultColumnCount; ++c) {
            EXPECT_EQ(covered[e][c], columnApplies(static_cast<Exchange>(e), static_cast<FaultColumn>(c)))
                << exchangeName(static_cast<Exchange>(e)) << " / " << columnName(static_cast<FaultColumn>(c));
        }
    }
}

}  // namespace
