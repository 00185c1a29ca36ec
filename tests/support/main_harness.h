#pragma once

#include <QStringList>

#include "fake_desktop.h"
#include "main_dialog.h"
#include "simulated_port.h"
#include "timer_stepper.h"
#include "window_timers.h"
#include "unit_model.h"

// The main window on a simulated line: a unit on COM `unitPort` (every other port absent
// unless a test adds it), a fake desktop, and a stepper for the main window's timers.
struct MainHarness {
    explicit MainHarness(int unitPort = 3, UnitModel::Config config = {})
        : unit(config), dialog((port.attachUnit(unitPort, &unit), port)),
          stepper(dialog.timers(), port, [this](int id) { dialog.onTimer(id); }) {}

    // The log's lines, oldest first, without the empty text after the last line break.
    QStringList logLines() const {
        QStringList lines = dialog.logText().split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.back().isEmpty()) {
            lines.pop_back();
        }
        std::reverse(lines.begin(), lines.end());
        return lines;
    }

    // Accepts the connect dialog with its defaults (or with `setup` applied first).
    void acceptConnectDialog(std::function<void(QDialog&)> setup = {}) {
        desktop.modalHandler = [setup](QDialog& d) {
            if (setup) {
                setup(d);
            }
            d.accept();
            return d.isVisible() ? static_cast<int>(QDialog::Rejected) : d.result();
        };
    }

    FakeDesktop desktop;
    UnitModel unit;
    SimulatedPort port;
    MainDialog dialog;
    TimerStepper stepper;
};
