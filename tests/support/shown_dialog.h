#pragma once

#include <QDialog>

#include <functional>

#include "dialog.h"
#include "qt_dialog_window.h"

// What a modal handler of FakeDesktop was handed is a window; these reach the dialog behind
// it and drive its timers by hand.

// The window's dialog when it is a D, else nullptr.
template <class D>
D* shownDialog(QDialog& window) {
    auto* w = qobject_cast<QtDialogWindow*>(&window);
    return w == nullptr ? nullptr : dynamic_cast<D*>(&w->dialog());
}

// A TimerStepper's tick for the window's timers: the tick reaches the dialog as the
// window's own timer would send it.
inline std::function<void(int)> windowTicks(QtDialogWindow& window) {
    return [&window](int id) { window.dialog().handleEvent(window, {Dialog::Event::Kind::Timer, id}); };
}
