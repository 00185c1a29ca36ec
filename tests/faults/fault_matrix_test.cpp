// Every exchange against every fault the simulated unit injects: each row of the fault
// matrix is run on the simulated line, stepped tick by tick, and every column checked.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <functional>
#include <memory>

#include "archive_dialog.h"
#include "confirm_dialog.h"
#include "fault_matrix.h"
#include "image_file.h"
#include "key_dialog.h"
#include "key_record.h"
#include "main_harness.h"
#include "shown_dialog.h"
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
const QString kKeyText = QStringLiteral("A200000001B81C02");
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

// What a run left behind, in the matrix's terms.
struct Result {
    QStringList boxes;
    QString log;    // the main window's log, newest entry first
    QString field;  // the key dialog's key field
    bool done = false;
    int buttons = 0;
    int timer = 0;      // of the window that ran the exchange
    int mainTimer = 0;  // of the main window while a dialog ran the exchange
    bool portHeld = false;
    bool ended = false;  // the run stopped on its own before the tick bound
};

template <class T>
T* control(const QWidget* window, int id) {
    return window->findChild<T*>(QString::number(id));
}

// The user moves on from a field to another control of the same window.
void leaveField(QWidget* field) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(field, &out);
}

bool logged(const QString& log, const QString& line) {
    for (QString entry : log.split(QStringLiteral("\r\n"))) {
        while (entry.startsWith(QLatin1Char('*'))) {
            entry.remove(0, 1);
        }
        if (entry == line) {
            return true;
        }
    }
    return false;
}

int mainButtons(const MainDialog& dialog) {
    int buttons = 0;
    for (int i = 0; i < 6; ++i) {
        buttons |= dialog.button(MainDialog::kAddKeysButton + i)->isEnabled() ? 1 << i : 0;
    }
    return buttons;
}

int archiveButtons(const ArchiveDialog& dialog) {
    static constexpr int kIds[] = {1036, 1038, 1041, 1040, 1039, 2};
    int buttons = 0;
    for (int i = 0; i < 6; ++i) {
        buttons |= dialog.button(kIds[i])->isEnabled() ? 1 << i : 0;
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
            h.desktop.time.second = h.desktop.time.minute;
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
        h.dialog.button(MainDialog::kConnectButton)->click();
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
        r.done = logged(h.dialog.logText(), QString::fromUtf8(kDoneLines[static_cast<int>(cell_.exchange)]));
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
        QtDialogWindow window(dialog, &h.dialog);
        window.show();
        TimerStepper reader(window.timers(), h.port, windowTicks(window));
        const auto commands = [this] {
            const auto& sent = h.port.sent(3);
            return std::count(sent.begin(), sent.end(), unit::kReadReader);
        };
        Result r;
        r.ended = stepUntil(reader, kReaderTicks, [&] { return commands() == 2; });
        r.field = control<QLineEdit>(&window, KeyDialog::kKeyEdit)->text();
        r.done = r.field == kKeyText;
        r.timer = window.timers().activeId();
        EXPECT_EQ(control<QPushButton>(&window, KeyDialog::kOkButton)->isEnabled(), cell_.report.code == 0)
            << "the dialog's OK";
        finishShared(r);
        r.buttons = mainButtons(h.dialog);
        r.mainTimer = h.dialog.timers().activeId();
        return r;
    }

    // One key typed in the key dialog, with a comment and floor 1, written to record 0.
    Result runKeyWrite() {
        connect();
        h.desktop.modalHandler = [shown = false](QDialog& d) mutable {
            if (shownDialog<KeyDialog>(d) == nullptr || shown) {
                return static_cast<int>(QDialog::Rejected);
            }
            shown = true;
            control<QCheckBox>(&d, KeyDialog::kManualEntryBox)->click();
            auto* key = control<QLineEdit>(&d, KeyDialog::kKeyEdit);
            key->setText(kKeyText);
            leaveField(key);
            auto* comment = control<QLineEdit>(&d, KeyDialog::kCommentEdit);
            comment->setText(QStringLiteral("abc"));
            leaveField(comment);
            control<QCheckBox>(&d, KeyDialog::kFirstFloorBox)->click();
            control<QPushButton>(&d, KeyDialog::kOkButton)->click();
            return d.result();
        };
        injectFault();
        h.dialog.onAddKeys();
        EXPECT_EQ(h.dialog.timers().activeId(), MainDialog::kWriteTimer);
        Result r;
        r.ended = stepUntil(h.stepper, kKeyWriteTicks, [this] { return operationOver(); });
        const auto record = [](const MemoryImage& memory) {
            const auto first = memory.begin() + 0 * kRecordSize;
            return std::vector<std::uint8_t>(first, first + kRecordSize);
        };
        r.done = logged(h.dialog.logText(), QStringLiteral("Klíč byl uložen")) &&
                 record(h.unit.memory()) == record(s().image);
        return finishMain(r);
    }

    Result runKeyDelete() {
        connect();
        storeKey();
        h.dialog.selectRow(h.dialog.rowOfRecord(kKeyRecord), -1);
        h.desktop.yesNoAnswers.push_back(Desktop::Answer::Yes);
        injectFault();
        h.dialog.onDeleteKey();
        EXPECT_EQ(h.dialog.timers().activeId(), MainDialog::kDeleteTimer);
        h.desktop.boxes.clear();  // the question
        Result r;
        r.ended = stepUntil(h.stepper, kKeyDeleteTicks, [this] { return operationOver(); });
        r.done = logged(h.dialog.logText(), QStringLiteral("Klíč s ID 3 byl vymazán!"));
        return finishMain(r);
    }

    // A key write or delete is over once the poll has taken over, or no timer runs.
    bool operationOver() {
        const int id = h.dialog.timers().activeId();
        return id == MainDialog::kIdlePollTimer || id == 0;
    }

    // The archive dialog opened over the connected main window, as the archive command
    // opens it (the main window's timer stopped); confirmations are ticked and accepted.
    Result runArchive() {
        connect();
        storeKey();
        ArchiveDialog dialog(h.dialog, &h.dialog);
        dialog.image = s().image;
        dialog.accessTime = 5;
        dialog.recordSize = kRecordSize;
        dialog.onInitDialog();
        h.desktop.modalHandler = [](QDialog& d) {
            auto* confirm = qobject_cast<ConfirmDialog*>(&d);
            if (confirm == nullptr) {
                return static_cast<int>(QDialog::Rejected);
            }
            confirm->tickBox()->click();
            confirm->okButton()->click();
            return confirm->result();
        };
        TimerStepper stepper(dialog.timers(), h.port, [&dialog](int id) { dialog.onTimer(id); });
        const auto running = [&dialog] { return dialog.timers().activeId(); };
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
                dialog.onEraseKeys();
                r.ended =
                    stepUntil(stepper, kEraseTicks, [&] { return running() != ArchiveDialog::kEraseTimer; });
                r.done = logged(h.dialog.logText(), QStringLiteral("Všechny klíče byly smazány"));
                break;
            case Exchange::ImageWrite:
            case Exchange::ArchiveSettings: {
                TempFolder dir;
                EXPECT_FALSE(dir.path().empty());
                MemoryImage image{};
                for (std::size_t i = 0; i < image.size(); ++i) {
                    image[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
                }
                const QString file = QString::fromStdString(dir.file("matrix.zrd"));
                EXPECT_TRUE(writeImageFile(file.toStdString(), {5, kRecordSize, 0, 0}, image).ok());
                h.desktop.fileAnswers.push_back(file);
                dialog.onCopyToUnit();
                EXPECT_EQ(running(), ArchiveDialog::kWriteTimer);
                r.ended = stepUntil(stepper, kImageWriteTicks,
                                    [&] { return running() != ArchiveDialog::kWriteTimer; });
                if (cell_.exchange == Exchange::ImageWrite) {
                    r.done = logged(h.dialog.logText(), QStringLiteral("Hotovo")) && h.unit.memory() == image;
                    break;
                }
                r.ended = r.ended && stepUntil(stepper, kSettingsTicks,
                                               [&] { return running() == 0 || dialog.blockIndex >= 9; });
                r.done = logged(h.dialog.logText(), QStringLiteral("Nastavena nová nastavení pro relé"));
                break;
            }
            default:
                break;
        }
        r.timer = running();
        r.buttons = archiveButtons(dialog);
        r.mainTimer = h.dialog.timers().activeId();
        finishShared(r);
        return r;
    }

    Result finishMain(Result& r) {
        r.timer = h.dialog.timers().activeId();
        r.buttons = mainButtons(h.dialog);
        finishShared(r);
        return r;
    }

    void finishShared(Result& r) {
        r.boxes = h.desktop.boxTexts();
        r.log = h.dialog.logText();
        r.portHeld = h.port.openPort() == 3;
    }

    const FaultCell& cell_;
    MainHarness h;
};

// The newest log entry is `entry` ("*" marks in front taken off); "" means nothing logged.
bool newestEntryIs(QString log, const QString& entry) {
    while (log.startsWith(QLatin1Char('*'))) {
        log.remove(0, 1);
    }
    return entry.isEmpty() ? log.isEmpty() : log.startsWith(entry + QStringLiteral("\r\n"));
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
    const OwnerWindow window = windowOf(cell.exchange);
    const QString message = QString::fromStdString(reportMessage(cell.report));
    const bool boxed = cell.report.code != 0 && cell.report.kind != ErrorKind::Logged;
    EXPECT_EQ(r.boxes.join(QStringLiteral(" | ")).toStdString(), boxed ? message.toStdString() : "")
        << "message boxes";
    if (window == OwnerWindow::KeyDialog) {
        EXPECT_EQ(r.field.toStdString(), cell.shows) << "key field";
        if (boxed) {
            EXPECT_TRUE(newestEntryIs(r.log, message)) << "log: " << r.log.left(120).toStdString();
        }
    } else {
        const QString shows = cell.shows != nullptr ? QString::fromUtf8(cell.shows) : message;
        EXPECT_TRUE(newestEntryIs(r.log, shows)) << "log: " << r.log.left(120).toStdString();
    }
    EXPECT_EQ(r.done, cell.done) << exchangeDone(cell.exchange);
    EXPECT_EQ(r.buttons, cell.buttons) << "buttons now: " << buttonsText(window, r.buttons);
    EXPECT_EQ(r.timer, cell.timer) << windowName(window) << " timer";
    if (window != OwnerWindow::Main) {
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
                                                   "StrayByte", "SplitAnswer", "HangUp"};
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

// The table covers every cell of the matrix at least once.
TEST(FaultMatrixTable, CoversEveryExchangeAgainstEveryFault) {
    bool covered[kExchangeCount][kFaultColumnCount] = {};
    for (const FaultCell& cell : faultMatrix()) {
        FaultColumn column{};
        ASSERT_TRUE(columnOf(cell, column)) << cell.fault;
        covered[static_cast<int>(cell.exchange)][static_cast<int>(column)] = true;
    }
    for (int e = 0; e < kExchangeCount; ++e) {
        for (int c = 0; c < kFaultColumnCount; ++c) {
            EXPECT_TRUE(covered[e][c])
                << exchangeName(static_cast<Exchange>(e)) << " / " << columnName(static_cast<FaultColumn>(c));
        }
    }
}

}  // namespace
