#pragma once

#include <QPushButton>

#include "fake_desktop.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "fuzzed_port.h"
#include "main_dialog.h"
#include "window_timers.h"

// Presses OK as a user would; a dialog that refuses to close (a field out of its range)
// is given up on.
inline int acceptIfValid(QDialog& d) {
    d.accept();
    return d.isVisible() ? static_cast<int>(QDialog::Rejected) : d.result();
}

// The main window over a port whose answers the fuzzer chooses, with a desktop that
// answers at once: OK to every box, Yes to every question, OK to every dialog. Its timers are stepped by hand, one tick of the running timer at a
// time, and what must hold whatever the unit answers is checked as it goes.
class FuzzedMainWindow {
public:
    static constexpr int kMainTimerIds[] = {MainDialog::kHandshakeTimer, MainDialog::kIdlePollTimer,
                                            MainDialog::kFactoryTimer,   MainDialog::kDeleteTimer,
                                            MainDialog::kWriteTimer,     MainDialog::kEraseTimer};

    explicit FuzzedMainWindow(FuzzInput& input) : port(input), dialog(port) {
        desktop.unscriptedAnswer = Desktop::Answer::Yes;
        desktop.modalHandler = acceptIfValid;
    }

    ~FuzzedMainWindow() {
        checkAfterFatal();
        FUZZ_CHECK((dialog.state().portOpen == 1) == (port.status() == PortStatus::Ready));
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
            const int id = dialog.timers().activeId();
            if (id == 0 || !going(id)) {
                return;
            }
            dialog.onTimer(id);
            FUZZ_CHECK(runningTimers() <= 1);
        }
    }

    void run(int maxTicks) {
        run(maxTicks, [](int) { return true; });
    }

    int runningTimers() {
        int running = 0;
        for (int id : kMainTimerIds) {
            running += dialog.timers().isActive(id) ? 1 : 0;
        }
        return running;
    }

    bool fatalReported() const { return dialog.logText().contains(QStringLiteral("Zásadní chyba")); }

    // After a fatal error the link is dead for good: no timer, every button disabled.
    void checkAfterFatal() {
        if (!fatalReported()) {
            return;
        }
        FUZZ_CHECK(runningTimers() == 0);
        for (int id = MainDialog::kAddKeysButton; id <= MainDialog::kArchiveButton; ++id) {
            FUZZ_CHECK(!dialog.button(id)->isEnabled());
        }
    }

    FakeDesktop desktop;
    FuzzedPort port;
    MainDialog dialog;
};
