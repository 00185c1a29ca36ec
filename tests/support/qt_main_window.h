#pragma once

#include <QPushButton>
#include <QString>

#include "code_page_1250.h"
#include "main_dialog.h"
#include "qt_dialog_window.h"
#include "window_timers.h"

// The main window as the program shows it: the main dialog's logic in its Qt window, on a
// port of the test's choosing. Shown at once, so its start-up has run.
struct QtMainWindow {
    explicit QtMainWindow(PortLink& port) : dialog(port), window(dialog) { window.show(); }

    QPushButton* button(int id) const { return static_cast<QPushButton*>(window.control(id)); }
    // The log as the user reads it.
    QString logText() const { return QString::fromStdString(cp1250ToUtf8(dialog.logText())); }
    WindowTimers& timers() { return window.timers(); }
    MainDialogState& state() { return dialog.state(); }

    // No operation runs and the connect button takes a click again.
    bool idle() { return window.timers().activeId() == 0 && window.isEnabled(MainDialog::kConnectButton); }

    MainDialog dialog;
    QtDialogWindow window;
};
