// How the timer operations keep time in real time: the factory reset, the idle poll and the
// archive's image write, run with the program's own serial port and Qt timers against the
// simulated unit served on a pseudo-terminal (in this process, registered as COM1 in a port
// folder of its own). Every tick of a window timer is timed where Qt delivers it, so
// nothing in the program is changed for the measurement.
//
//   realtime_measure [--idle-seconds N] [--image-blocks N] [--erase-ms MS] [--busy]
//
// Prints the reset's wall time against the protocol's own minimum, and for each operation
// the ticks' jitter (the gap between two ticks of one timer less its period: p50, p99,
// max) and the longest tick handler; then the process's peak RSS.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "archive_dialog.h"
#include "confirm_dialog.h"
#include "connect_dialog.h"
#include "fake_desktop.h"
#include "image_file.h"
#include "main_dialog.h"
#include "pty_unit_server.h"
#include "qt_dialog_window.h"
#include "qt_main_window.h"
#include "scoped_env.h"
#include "serial_port.h"
#include "temp_folder.h"
#include "unit_commands.h"
#include "window_timers.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Tick {
    const WindowTimers* owner;
    int id;
    int periodMs;
    double startMs;  // from the start of the measurement
    double durationMs;
};

// Times every timer event of a WindowTimers' QTimer: the tick of a window timer.
class MeasuringApp : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        if (event->type() != QEvent::Timer) {
            return QApplication::notify(receiver, event);
        }
        auto* timer = qobject_cast<QTimer*>(receiver);
        auto* owner = timer != nullptr ? qobject_cast<WindowTimers*>(timer->parent()) : nullptr;
        if (owner == nullptr || !timer->isActive()) {
            return QApplication::notify(receiver, event);
        }
        // A window runs one timer at a time, so the active one is the one ticking.
        const int id = owner->activeId();
        const int period = owner->period(id);
        const auto start = Clock::now();
        const bool handled = QApplication::notify(receiver, event);
        const auto end = Clock::now();
        ticks.push_back({owner, id, period, ms(start - origin), ms(end - start)});
        return handled;
    }

    static double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

    Clock::time_point origin = Clock::now();
    std::vector<Tick> ticks;
};

// Answers like a user who knows what to do: the connect dialog with COM1 typed by hand,
// yes to the archive's question, OK to every message (each printed).
void answerAsAUser(FakeDesktop& desktop) {
    desktop.onBox = [](const QString& text) {
        std::printf("  message box: %s\n",
                    qPrintable(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" "))));
    };
    desktop.modalHandler = [](QDialog& dialog) {
        auto* window = qobject_cast<QtDialogWindow*>(&dialog);
        if (window != nullptr && dynamic_cast<ConfirmDialog*>(&window->dialog()) != nullptr) {
            dialog.findChild<QCheckBox*>(QString::number(ConfirmDialog::kTickBox))->click();
            dialog.findChild<QPushButton*>(QString::number(ConfirmDialog::kOkButton))->click();
        } else if (window != nullptr && dynamic_cast<ConnectDialog*>(&window->dialog()) != nullptr) {
            dialog.findChild<QCheckBox*>(QString::number(ConnectDialog::kManualPortCheck))->click();
            dialog.findChild<QLineEdit*>(QString::number(ConnectDialog::kPortEdit))
                ->setText(QStringLiteral("1"));
            dialog.accept();
        } else {
            dialog.reject();
        }
        return dialog.result();
    };
}

struct Spread {
    double p50 = 0, p99 = 0, max = 0;
    std::size_t count = 0;
};

Spread spreadOf(std::vector<double> values) {
    Spread s;
    s.count = values.size();
    if (values.empty()) {
        return s;
    }
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) {
        return values[std::min(values.size() - 1,
                               static_cast<std::size_t>(std::ceil(q * values.size())) - 1)];
    };
    s.p50 = at(0.50);
    s.p99 = at(0.99);
    s.max = values.back();
    return s;
}

// Jitter of the ticks in [from, to): for two ticks in a row of the same timer (nothing else
// ticking between them on that window), |gap - period|.
Spread jitterOf(const std::vector<Tick>& ticks, std::size_t from, std::size_t to) {
    std::vector<double> jitter;
    for (std::size_t i = from + 1; i < to; ++i) {
        const Tick& a = ticks[i - 1];
        const Tick& b = ticks[i];
        if (a.owner == b.owner && a.id == b.id && a.periodMs == b.periodMs) {
            jitter.push_back(std::abs(b.startMs - a.startMs - a.periodMs));
        }
    }
    return spreadOf(jitter);
}

double longestHandler(const std::vector<Tick>& ticks, std::size_t from, std::size_t to) {
    double longest = 0;
    for (std::size_t i = from; i < to; ++i) {
        longest = std::max(longest, ticks[i].durationMs);
    }
    return longest;
}

void printTicks(const char* what, const std::vector<Tick>& ticks, std::size_t from, std::size_t to) {
    const Spread j = jitterOf(ticks, from, to);
    std::printf("  %-12s %5zu ticks  jitter p50 %.3f ms  p99 %.3f ms  max %.3f ms  longest handler %.3f ms\n",
                what, to - from, j.p50, j.p99, j.max, longestHandler(ticks, from, to));
}

// Keeps the event loop turning without sleeping (--busy): what is left of the jitter then
// is the program's and Qt's own, without the system's wake-up latency.
bool busyLoop = false;

// Runs the event loop until done() holds or timeoutMs pass; a check every 10 ms, so the
// loop sleeps between events as the program's own does (unless busyLoop).
bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    if (busyLoop) {
        while (!done() && !deadline.hasExpired()) {
            QCoreApplication::processEvents();
        }
        return done();
    }
    QEventLoop loop;
    QTimer check;
    check.setInterval(10);
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done() || deadline.hasExpired()) {
            loop.quit();
        }
    });
    check.start();
    loop.exec();
    return done();
}

int intOption(int argc, char** argv, const char* name, int otherwise) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            return std::atoi(argv[i + 1]);
        }
    }
    return otherwise;
}

bool flag(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    busyLoop = flag(argc, argv, "--busy");
    const int idleSeconds = intOption(argc, argv, "--idle-seconds", 60);
    const int imageBlocks = std::clamp(intOption(argc, argv, "--image-blocks", 120), 1, unit::kImageBlocks);
    const int eraseMs = intOption(argc, argv, "--erase-ms", 1500);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // A port folder of its own, so that COM1 is the simulated unit and nothing else.
    const TempFolder folder;
    if (folder.path().empty()) {
        std::fprintf(stderr, "realtime_measure: no temporary folder\n");
        return 1;
    }
    const ScopedEnv runtimeDir("XDG_RUNTIME_DIR", folder.path().c_str());

    MeasuringApp app(argc, argv);
    FakeDesktop desktop;
    answerAsAUser(desktop);

    PtyUnitServer::Options options;
    options.comNumber = 1;
    options.unit.eraseMs = eraseMs;
    PtyUnitServer server(options);
    if (!server.start()) {
        std::fprintf(stderr, "realtime_measure: %s\n", server.error().c_str());
        return 1;
    }
    std::thread serving([&server] { server.run(); });
    int status = 0;
    {
        QtMainWindow dialog(theSerialPort);

        // The factory reset, from the click to the end of the tick that logs its last line.
        std::printf("Factory reset (unit erase time %d ms):\n", eraseMs);
        std::size_t first = app.ticks.size();
        const double clicked = MeasuringApp::ms(Clock::now() - app.origin);
        dialog.button(MainDialog::kConnectButton)->click();
        const bool reset = waitUntil([&] { return dialog.idle(); }, 60000);
        std::size_t last = app.ticks.size();
        if (!reset || !dialog.logText().startsWith(QStringLiteral("Tovarni nastavení uloženo"))) {
            std::fprintf(stderr, "realtime_measure: the reset did not complete\n");
            status = 1;
        } else {
            std::map<int, int> perTimer;
            double minimum = 0;
            for (std::size_t i = first; i < last; ++i) {
                perTimer[app.ticks[i].id] += 1;
                minimum += app.ticks[i].periodMs;
            }
            const double wall = app.ticks[last - 1].startMs + app.ticks[last - 1].durationMs - clicked;
            std::printf("  ticks: %d of 50 ms, %d of 200 ms, %d of 150 ms\n",
                        perTimer[MainDialog::kHandshakeTimer], perTimer[MainDialog::kFactoryTimer],
                        perTimer[MainDialog::kEraseTimer]);
            std::printf("  wall %.1f ms, protocol minimum %.0f ms, over by %.1f ms = %.3f %%\n", wall,
                        minimum, wall - minimum, 100.0 * (wall - minimum) / minimum);
            printTicks("reset", app.ticks, first, last);
        }

        // The idle poll of a connected window.
        theSerialPort.open(1);
        dialog.state().portOpen = 1;
        first = app.ticks.size();
        dialog.dialog.returnToIdle(0);
        waitUntil([] { return false; }, idleSeconds * 1000);
        last = app.ticks.size();
        std::printf("Idle poll (%d s):\n", idleSeconds);
        printTicks("idle poll", app.ticks, first, last);
        dialog.dialog.stopCurrentTimer();

        // The archive's image write, for as many blocks as asked.
        const std::string image = folder.file("archive.zrd");
        MemoryImage bytes{};
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<std::uint8_t>(i * 7);
        }
        writeImageFile(image, {5, 65, 0, 0}, bytes);
        desktop.fileAnswers.push_back(QString::fromStdString(image));
        ArchiveDialog archive(dialog.dialog);
        QtDialogWindow window(archive, &dialog.window);
        window.show();
        window.findChild<QPushButton*>(QString::number(ArchiveDialog::kCopyToUnitButton))->click();
        first = app.ticks.size();  // the keep-alive has been stopped
        // After the last block the settings write takes over on a timer of its own.
        const auto written = [&] {
            return window.timers().activeId() == ArchiveDialog::kSettingsTimer ? unit::kImageBlocks
                                                                               : archive.blockIndex;
        };
        waitUntil([&] { return archive.step == 2 && written() >= imageBlocks; }, 600000);
        last = app.ticks.size();
        std::printf("Image write (%d blocks):\n", written());
        // The write's two ticks before the first block are left out.
        printTicks("image write", app.ticks, std::min(first + 2, last), last);
        window.reject();
        dialog.dialog.stopCurrentTimer();
    }
    server.stop();
    serving.join();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("Peak RSS: %.1f MiB\n", usage.ru_maxrss / 1024.0);
    return status;
}
