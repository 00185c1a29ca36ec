#pragma once

#include "confirm_dialog.h"
#include "cp1250_literal.h"
#include "fake_window.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "fuzzed_port.h"
#include "main_dialog.h"

// Presses OK as a user would (ticking a confirmation's box first); a dialog that refuses to
// close (a field out of its range) is given up on.
inline int acceptIfValid(Dialog& dialog, FakeWindow& window) {
    if (dynamic_cast<ConfirmDialog*>(&dialog) != nullptr) {
        window.click(ConfirmDialog::kTickBox);
    }
    window.click(Dialog::kOk);
    return window.ended() ? window.result() : Dialog::kCancel;
}

// The main window over a port whose answers the fuzzer chooses, in a fake window that
// answers at once: OK to every box, Yes to every question, OK to every dialog. Its timers
// are stepped by hand, one tick of the running timer at a time, and what must hold
// whatever the unit answers is checked as it goes.
class FuzzedMainWindow {
public:
    static constexpr int kMainTimerIds[] = {MainDialog::kHandshakeTimer, MainDialog::kIdlePollTimer,
                                            MainDialog::kFactoryTimer,   MainDialog::kDeleteTimer,
                                            MainDialog::kWriteTimer,     MainDialog::kEraseTimer};

    explicit FuzzedMainWindow(FuzzInput& input) : port(input), dialog(port), window(dialog, screen) {
        screen.unscriptedAnswer = Window::Answer::Yes;
        window.modalHandler = acceptIfValid;
        window.init();
    }

    ~FuzzedMainWindow() {
        checkAfterFatal();
        FUZZ_CHECK((dialog.state().portOpen == 1) == (port.status() == PortStatus::Ready));
        window.destroy();
    }

    // The port as the search leaves it for a unit that was found and accepted the code.
    void connect() {
        port.open(1);
        MainDialogState& s = dialog.state();
        s.portOpen = 1;
        s.comPort = 1;
        s.buttonEnabled = MainDialogState::kConnectedButtons;
        s.linkState = LinkState::Connected;
    }

    // Ticks of the running main-window timer while `going` holds for its id, at most
    // maxTicks.
    template <typename Going>
    void run(int maxTicks, Going going) {
        for (int ticks = 0; ticks < maxTicks; ++ticks) {
            const int id = window.activeTimer();
            if (id == 0 || !going(id)) {
                return;
            }
            window.tick(id);
            FUZZ_CHECK(runningTimers() <= 1);
        }
    }

    void run(int maxTicks) {
        run(maxTicks, [](int) { return true; });
    }

    int runningTimers() const {
        int running = 0;
        for (int id : kMainTimerIds) {
            running += window.timers().count(id) != 0 ? 1 : 0;
        }
        return running;
    }

    bool fatalReported() const { return dialog.logText().find("Zásadní chyba"_cp) != std::string::npos; }

    // After a fatal error the link is dead for good: no timer, every button disabled.
    void checkAfterFatal() {
        if (!fatalReported()) {
            return;
        }
        FUZZ_CHECK(runningTimers() == 0);
        for (int id = MainDialog::kAddKeysButton; id <= MainDialog::kArchiveButton; ++id) {
            FUZZ_CHECK(!window.isEnabled(id));
        }
    }

    FakeScreen screen;
    FuzzedPort port;
    MainDialog dialog;
    FakeWindow window;
};
