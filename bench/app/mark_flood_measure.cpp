// What a long erase costs the window: the main window's real erase (timer 8) against a unit
// that sends progress bytes without pause at the line's rate, 1 920 bytes a second (48 "*"
// marks a tick), with the log box shown. Prints the share of a core the process used and
// the longest stall of the event loop (the longest time one event kept it from turning).
//
//   mark_flood_measure [--minutes N] [--prefill-minutes M]
//
// --prefill-minutes puts M minutes' worth of marks on the top line before the measured
// minutes begin (in one logMark, outside the measurement), so the 10th minute of an erase
// is measured with --prefill-minutes 9 --minutes 1 in one minute. Runs offscreen unless
// QT_QPA_PLATFORM says otherwise.

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include "code_page_1250.h"
#include "main_dialog.h"
#include "port_link.h"
#include "qt_dialog_window.h"
#include "unit_commands.h"
#include "window_timers.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kLineBytesPerSecond = 1920;  // 19 200 baud, 10 bits a byte
constexpr int kTerminalBuffer = 4096;      // what the kernel keeps of a line nobody reads
constexpr int kMarksPerMinute = kLineBytesPerSecond / 6 * 60;

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

// A unit that accepts the erase command and then sends 0x0A at the line's rate forever.
class FloodPort final : public PortLink {
public:
    void open(int) override {}
    PortStatus status() const override { return PortStatus::Ready; }
    int read() override {
        if (!accepted_) {
            if (!commandSent_) {
                return 0;
            }
            accepted_ = true;
            since_ = Clock::now();
            buffer_[0] = unit::kUnitPresent;
            return 1;
        }
        const auto now = Clock::now();
        const auto due = static_cast<long long>(ms(now - since_) * kLineBytesPerSecond / 1000.0);
        since_ += std::chrono::microseconds(due * 1'000'000 / kLineBytesPerSecond);
        backlog_ = std::min<long long>(backlog_ + due, kTerminalBuffer);
        const int n = static_cast<int>(std::min<long long>(backlog_, 950));
        backlog_ -= n;
        std::fill_n(buffer_, n, unit::kEraseProgress);
        return n;
    }
    std::uint8_t byteAt(int position) const override {
        return position >= 0 && position < 950 ? buffer_[position] : 0;
    }
    bool write(int value) override {
        commandSent_ = commandSent_ || value == unit::kEraseKeysEnd;
        return true;
    }
    void close() override {}

private:
    bool commandSent_ = false;
    bool accepted_ = false;
    Clock::time_point since_;
    long long backlog_ = 0;
    std::uint8_t buffer_[950] = {};
};

// Times every event the loop delivers at its own level (not those sent from inside one):
// the longest is the longest the window stood still.
class MeasuringApp : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        if (depth_++ > 0) {
            const bool handled = QApplication::notify(receiver, event);
            --depth_;
            return handled;
        }
        const auto start = Clock::now();
        const bool handled = QApplication::notify(receiver, event);
        longestMs = std::max(longestMs, ms(Clock::now() - start));
        --depth_;
        return handled;
    }

    double longestMs = 0;

private:
    int depth_ = 0;
};

int intOption(int argc, char** argv, const char* name, int otherwise) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            return std::atoi(argv[i + 1]);
        }
    }
    return otherwise;
}

void runFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

int main(int argc, char** argv) {
    const int minutes = std::max(1, intOption(argc, argv, "--minutes", 1));
    const int prefillMinutes = std::max(0, intOption(argc, argv, "--prefill-minutes", 0));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    MeasuringApp app(argc, argv);
    FloodPort port;
    MainDialog dialog(port);
    QtDialogWindow window(dialog);
    window.show();
    runFor(200);

    MainDialogState& s = dialog.state();
    s.portOpen = 1;
    s.eraseKeys = 1;
    s.eraseStep = 0;
    s.currentTimerId = dialog.startOperation(MainDialog::kEraseTimer, MainDialog::kErasePeriod);
    runFor(1000);  // the command's three ticks and its acceptance: marks are coming
    if (s.eraseStep != 4) {
        std::fprintf(stderr, "mark_flood_measure: the erase did not start\n");
        return 1;
    }
    if (prefillMinutes > 0) {
        dialog.logMark(std::string(prefillMinutes * kMarksPerMinute, '*'));
        runFor(500);
    }

    std::printf("Progress marks at %d bytes/s, %d min after %d min of marks (%s):\n", kLineBytesPerSecond,
                minutes, prefillMinutes, qPrintable(QApplication::platformName()));
    const std::size_t marksBefore = dialog.logText().size();
    for (int minute = 1; minute <= minutes; ++minute) {
        app.longestMs = 0;
        const double cpu0 = cpuMs();
        const auto wall0 = Clock::now();
        runFor(60'000);
        const double wall = ms(Clock::now() - wall0);
        const double cpu = cpuMs() - cpu0;
        std::printf("  minute %2d: CPU %.1f %% of a core, longest stall %.1f ms\n", prefillMinutes + minute,
                    100.0 * cpu / wall, app.longestMs);
        std::fflush(stdout);
        if (window.timers().activeId() != MainDialog::kEraseTimer) {
            const std::string log = dialog.logText();
            std::fprintf(stderr, "mark_flood_measure: the erase stopped: %s\n",
                         cp1250ToUtf8(log.substr(0, log.find("\r\n"))).c_str());
            return 1;
        }
    }
    const std::size_t marks = dialog.logText().size() - marksBefore;
    std::printf("  marks logged: %lld (%.0f a second; the line's rate makes 320)\n",
                static_cast<long long>(marks), marks / (minutes * 60.0));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("Peak RSS: %.1f MiB\n", usage.ru_maxrss / 1024.0);
    dialog.stopCurrentTimer();
    s.portOpen = 0;
    return 0;
}
