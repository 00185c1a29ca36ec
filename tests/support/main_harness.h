#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "code_page_1250.h"
#include "cp1250_literal.h"
#include "fake_window.h"
#include "main_dialog.h"
#include "simulated_port.h"
#include "timer_stepper.h"
#include "unit_model.h"

// The message (code page 1250) of a fatal report with `code`. Appended piece by piece:
// clang 14 fails on a declaration initialised from a _cp literal.
inline std::string fatalMessage(int code) {
    std::string message;
    message += "Zásadní chyba číslo "_cp;
    message += std::to_string(code);
    message += "!\r\nProsím vypněte a zapněte ZYL a tento program."_cp;
    return message;
}

// The main window on a simulated line: a unit on COM `unitPort` (every other port absent
// unless a test adds it), a fake window and screen, and a stepper for the window's timers.
// The window is started as the program starts it, and destroyed at the end.
struct MainHarness {
    explicit MainHarness(int unitPort = 3, UnitModel::Config config = {})
        : unit(config),
          dialog((port.attachUnit(unitPort, &unit), port)),
          window(dialog, screen),
          stepper(window, port) {
        window.init();
    }
    ~MainHarness() { window.destroy(); }

    // The log's lines in UTF-8, oldest first, without the empty text after the last line break.
    std::vector<std::string> logLines() const {
        std::vector<std::string> lines;
        const std::string text = cp1250ToUtf8(dialog.logText());
        std::size_t at = 0;
        while (at < text.size()) {
            const std::size_t end = std::min(text.find("\r\n", at), text.size());
            lines.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        std::reverse(lines.begin(), lines.end());
        return lines;
    }
    bool logged(std::string_view utf8Line) const {
        const std::vector<std::string> lines = logLines();
        return std::find(lines.begin(), lines.end(), utf8Line) != lines.end();
    }

    // Accepts the connect dialog with its defaults (or with `setup` applied first in its window).
    void acceptConnectDialog(std::function<void(FakeWindow&)> setup = {}) {
        window.modalHandler = [setup](Dialog&, FakeWindow& w) {
            if (setup) {
                setup(w);
            }
            w.click(Dialog::kOk);
            return w.ended() ? w.result() : Dialog::kCancel;
        };
    }

    bool enabled(int id) { return window.control(id).enabled; }

    FakeScreen screen;
    UnitModel unit;
    SimulatedPort port;
    MainDialog dialog;
    FakeWindow window;
    TimerStepper stepper;
};
