// What the user interface costs the program: one more line in the log at 100 and at
// 100,000 lines (with and without painting it), and the key list rebuilt from a full image
// of record size 15. Runs offscreen unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>

#include <array>
#include <memory>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTreeView>

#include "key_list.h"
#include "key_record.h"
#include "main_dialog.h"
#include "port_link.h"

namespace {

// A port with nothing behind it: the benchmarks never touch the link.
class NoPort final : public PortLink {
public:
    void open(int) override {}
    PortStatus status() const override { return PortStatus::Closed; }
    int read() override { return 0; }
    std::uint8_t byteAt(int) const override { return 0; }
    bool write(int) override { return false; }
    void close() override {}
};

NoPort noPort;

const QString kLine = QStringLiteral("Nastaven čas přístupu na 5s");

// A main window whose log holds `lines` lines; shown (offscreen) when `shown`.
std::unique_ptr<MainDialog> windowWithLog(int lines, bool shown) {
    auto dialog = std::make_unique<MainDialog>(noPort);
    for (int i = 0; i < lines; ++i) {
        dialog->logLine(kLine);
    }
    if (shown) {
        dialog->show();
        QApplication::processEvents();
    }
    return dialog;
}

// One more log line (or progress mark) at about state.range(0) lines. The log only grows, so
// the window is made again, outside the timing, each time it has grown by a tenth. Marks
// collect in front of the top line, at most 64 of them (the image write's), as the program
// puts them: then a new line begins.
template <bool kMark, bool kShown>
void oneMoreLogEntry(benchmark::State& state) {
    constexpr int kMarksPerLine = 64;
    const int lines = static_cast<int>(state.range(0));
    const int growth = std::max(lines / 10, 10);
    std::unique_ptr<MainDialog> dialog = windowWithLog(lines, kShown);
    int added = 0;
    int marks = 0;
    for (auto _ : state) {
        if (kMark) {
            dialog->logMark(QStringLiteral("*"));
        } else {
            dialog->logLine(kLine);
            ++added;
        }
        if (kShown) {
            QCoreApplication::sendPostedEvents(dialog.get());  // a mark reaches the box after its event
            dialog->logBox()->viewport()->repaint();
        }
        if (kMark && ++marks == kMarksPerLine) {
            state.PauseTiming();
            dialog->logLine(QString());
            ++added;
            marks = 0;
            state.ResumeTiming();
        }
        if (added >= growth) {
            state.PauseTiming();
            dialog = windowWithLog(lines, kShown);
            added = 0;
            marks = 0;
            state.ResumeTiming();
        }
    }
}

void logLine(benchmark::State& state) {
    oneMoreLogEntry<false, false>(state);
}
void logMark(benchmark::State& state) {
    oneMoreLogEntry<true, false>(state);
}
void logLineShown(benchmark::State& state) {
    oneMoreLogEntry<false, true>(state);
}
void logMarkShown(benchmark::State& state) {
    oneMoreLogEntry<true, true>(state);
}
BENCHMARK(logLine)->Arg(100)->Arg(100'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(logMark)->Arg(100)->Arg(100'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(logLineShown)->Arg(100)->Arg(100'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(logMarkShown)->Arg(100)->Arg(100'000)->Unit(benchmark::kMicrosecond);

// Every listed record of a record size 15 image holds a key: the longest list there is.
void fillWithKeys(MainDialog& dialog) {
    MainDialogState& s = dialog.state();
    s.recordSize = kMinRecordSize;
    for (int record = 0; record < recordCount(kMinRecordSize); ++record) {
        const KeyCode key = {static_cast<std::uint8_t>(record), static_cast<std::uint8_t>(record >> 8), 0x5A};
        writeRecord(s.image, kMinRecordSize, record, key, {0x0F, 0x00, 0x80}, "");
    }
}

// MainDialog::rebuildKeyList: the rows and free slots, and the view model's reset. With the
// list hidden, as in this edition; shown (at the size of its three columns, a screenful of
// rows), the view is painted too.
template <bool kShown>
void rebuildFullKeyList(benchmark::State& state) {
    MainDialog dialog(noPort);
    fillWithKeys(dialog);
    if (kShown) {
        dialog.keyListView()->setVisible(true);
        dialog.keyListView()->resize(570, 400);
        dialog.show();
        QApplication::processEvents();
    }
    for (auto _ : state) {
        dialog.rebuildKeyList();
        if (kShown) {
            dialog.keyListView()->viewport()->repaint();
        }
    }
    state.counters["rows"] = dialog.state().keyList.rowCount();
}

void rebuildKeyList(benchmark::State& state) {
    rebuildFullKeyList<false>(state);
}
void rebuildKeyListShown(benchmark::State& state) {
    rebuildFullKeyList<true>(state);
}
BENCHMARK(rebuildKeyList)->Unit(benchmark::kMicrosecond);
BENCHMARK(rebuildKeyListShown)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
