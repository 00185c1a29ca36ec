// What the user interface costs the program: one more line in the log at 100 and at
// 100,000 lines (with and without painting it), and the key list rebuilt from a full image
// of record size 15. Runs offscreen unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>

#include <array>
#include <memory>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTreeView>

#include "cp1250_literal.h"
#include "key_list.h"
#include "key_record.h"
#include "main_dialog.h"
#include "port_link.h"
#include "qt_dialog_window.h"

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

constexpr std::string_view kLine = "Nastaven čas přístupu na 5s"_cp;

// The main dialog in its Qt window.
struct MainWindow {
    MainWindow() : window(dialog) { dialog.handleEvent(window, {Dialog::Event::Kind::Init}); }
    MainDialog dialog{noPort};
    QtDialogWindow window;
};

// A main window whose log holds `lines` lines; shown (offscreen) when `shown`.
std::unique_ptr<MainWindow> windowWithLog(int lines, bool shown) {
    auto main = std::make_unique<MainWindow>();
    for (int i = 0; i < lines; ++i) {
        main->dialog.logLine(kLine);
    }
    if (shown) {
        main->window.show();
        QApplication::processEvents();
    }
    return main;
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
    std::unique_ptr<MainWindow> main = windowWithLog(lines, kShown);
    int added = 0;
    int marks = 0;
    for (auto _ : state) {
        if (kMark) {
            main->dialog.logMark("*");
        } else {
            main->dialog.logLine(kLine);
            ++added;
        }
        if (kShown) {
            QCoreApplication::sendPostedEvents();  // a mark reaches the box after its event
            static_cast<QPlainTextEdit*>(main->window.control(MainDialog::kLogBox))->viewport()->repaint();
        }
        if (kMark && ++marks == kMarksPerLine) {
            state.PauseTiming();
            main->dialog.logLine({});
            ++added;
            marks = 0;
            state.ResumeTiming();
        }
        if (added >= growth) {
            state.PauseTiming();
            main = windowWithLog(lines, kShown);
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
    MainWindow main;
    fillWithKeys(main.dialog);
    auto* list = static_cast<QTreeView*>(main.window.control(MainDialog::kKeyListView));
    if (kShown) {
        list->setVisible(true);
        list->resize(570, 400);
        main.window.show();
        QApplication::processEvents();
    }
    for (auto _ : state) {
        main.dialog.rebuildKeyList();
        if (kShown) {
            list->viewport()->repaint();
        }
    }
    state.counters["rows"] = main.dialog.state().keyList.rowCount();
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
