// The time from the program's start to the first paint of its main window, and its peak
// RSS then. It starts the way zyltool does (ZylApp, MainDialog run modally) and closes the
// window as soon as it has painted. Meant for a real display or Xvfb:
//
//   xvfb-run -a first_paint_measure $(date +%s%N)
//
// The argument is the launch time in ns since the epoch; without it the start is the
// process's start time as the kernel keeps it (10 ms steps).

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <QDialog>
#include <QEvent>
#include <QTimer>

#include "desktop.h"
#include "main_dialog.h"
#include "qt_dialog_window.h"
#include "serial_port.h"
#include "zyl_app.h"

namespace {

double nowMs(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

// Milliseconds from the process's start, from /proc/self/stat (field 22, in clock ticks
// since boot).
double sinceProcessStartMs() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
    }
    const double startMs = std::stod(field) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
    return nowMs(CLOCK_BOOTTIME) - startMs;
}

class FirstPaint : public QObject {
public:
    explicit FirstPaint(QDialog& window) : window_(window) { window.installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Paint && atMs < 0) {
            atMs = nowMs(CLOCK_REALTIME);
            fromStartMs = sinceProcessStartMs();
            QTimer::singleShot(0, &window_, [this] { window_.reject(); });
        }
        return false;
    }

    double atMs = -1;
    double fromStartMs = -1;

private:
    QDialog& window_;
};

}  // namespace

int main(int argc, char** argv) {
    const double launchedMs = argc > 1 ? std::atof(argv[1]) / 1e6 : -1;
    ZylApp app(argc, argv);
    MainDialog dialog(theSerialPort);
    QtDialogWindow window(dialog);
    FirstPaint paint(window);
    Desktop::current().runModal(window);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    if (paint.atMs < 0) {
        std::fprintf(stderr, "first_paint_measure: the window was never painted\n");
        return 1;
    }
    if (launchedMs > 0) {
        std::printf("first paint %.1f ms after launch", paint.atMs - launchedMs);
    } else {
        std::printf("first paint %.0f ms after the process started", paint.fromStartMs);
    }
    std::printf(", peak RSS %.1f MiB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
