// zyldemo: the factory reset as a user would run it, without a user. It opens the program's
// own main window (offscreen when there is no display), presses "Připojit ZYL a nahrát
// tovární nastavení", accepts the connect dialog with its defaults, prints every new log
// line as it appears, and saves a screenshot of the window at the end.
//
//   zyldemo [--screenshot FILE] [--timeout SECONDS]
//
// Exits 0 only when "Tovarni nastavení uloženo" was logged. SIGTERM, SIGINT and SIGHUP end
// it as they end the program: 0x04 to a connected unit, the port released.

#include <cstdio>

#include <QDialog>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include "code_page_1250.h"
#include "connect_dialog.h"
#include "desktop.h"
#include "main_dialog.h"
#include "qt_dialog_window.h"
#include "serial_port.h"
#include "window_timers.h"
#include "zyl_app.h"

namespace {

const QString kDone = QStringLiteral("Tovarni nastavení uloženo");

// Answers the program's dialogs the way the demo's user does: OK to the connect dialog with
// its defaults, OK to every message (printed, so nothing is hidden).
class ScriptedDesktop : public Desktop {
public:
    Answer messageBox(QWidget*, const QString& text, const QString& caption, Buttons) override {
        std::printf("[okno%s] %s\n", caption.isEmpty() ? "" : qPrintable(QStringLiteral(" ") + caption),
                    qPrintable(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" "))));
        std::fflush(stdout);
        return Answer::Ok;
    }
    int runModal(QDialog& dialog) override {
        auto& window = static_cast<QtDialogWindow&>(dialog);
        window.show();
        if (dynamic_cast<ConnectDialog*>(&window.dialog())) {
            window.accept();
        } else {
            window.reject();
        }
        return window.result();
    }
};

QStringList oldestFirst(const std::string& logText) {
    QStringList lines = QString::fromStdString(cp1250ToUtf8(logText)).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.back().isEmpty()) {
        lines.pop_back();
    }
    std::reverse(lines.begin(), lines.end());
    return lines;
}

}  // namespace

int main(int argc, char** argv) {
    ZylApp app(argc, argv);

    QString screenshot;
    int timeoutSeconds = 120;
    const QStringList args = QApplication::arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--screenshot")) {
            screenshot = args[i + 1];
        } else if (args[i] == QLatin1String("--timeout")) {
            timeoutSeconds = args[i + 1].toInt();
        }
    }

    ScriptedDesktop desktop;
    Desktop::install(&desktop);
    SerialPort::setWarningHandler([&desktop](const std::string& text, const std::string& caption) {
        desktop.messageBox(nullptr, QString::fromStdString(text), QString::fromStdString(caption),
                           Desktop::Buttons::Ok);
    });

    MainDialog dialog(theSerialPort);
    QtDialogWindow window(dialog);
    window.show();

    int printed = 0;
    int result = 1;
    // The click returns only when the port search has ended; the search repaints the window
    // on the way, and the watch must not take that for the end.
    bool clicking = false;
    QTimer watch;
    auto finish = [&](int code) {
        watch.stop();
        result = code;
        if (!screenshot.isEmpty()) {
            window.grab().save(screenshot);
        }
        QApplication::quit();
    };
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QStringList lines = oldestFirst(dialog.logText());
        // The newest line collects "*" marks while the unit erases; print a line once the
        // next one has begun, so each line is printed whole.
        for (; printed < lines.size() - 1; ++printed) {
            std::printf("%s\n", qPrintable(lines[printed]));
        }
        std::fflush(stdout);
        const bool idle =
            !clicking && window.timers().activeId() == 0 && window.isEnabled(MainDialog::kConnectButton);
        if (idle && !lines.isEmpty()) {
            std::printf("%s\n", qPrintable(lines.back()));
            finish(lines.back() == kDone ? 0 : 1);
        }
    });
    watch.start(20);
    QTimer::singleShot(300, &window, [&] {
        clicking = true;
        static_cast<QPushButton*>(window.control(MainDialog::kConnectButton))->click();
        clicking = false;
    });
    QTimer::singleShot(timeoutSeconds * 1000, [&] {
        std::printf("zyldemo: no result within %d s\n", timeoutSeconds);
        finish(1);
    });
    QApplication::exec();
    Desktop::install(nullptr);
    return result;
}
