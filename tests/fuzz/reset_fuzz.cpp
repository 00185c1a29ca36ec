// The factory reset fed arbitrary answers: the connect dialog filled with what the fuzzer
// typed, then the handshake, the settings write and the erase, tick by tick, until no timer
// runs. Input: a flags byte (bit 0 Bluetooth, bit 1 a port typed by hand), the access code
// and the port number as typed texts, then the unit's answers (see FuzzedPort).

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "connect_dialog.h"
#include "fuzzed_main_window.h"
#include "offscreen_app.h"

namespace {

// A reset that runs to its end: 9 handshake ticks a port, 70 ports, the settings write,
// then an erase as long as the answers last.
constexpr int kMaxTicks = 70 * 9 + 100;
constexpr std::size_t kMaxTyped = 12;

template <typename Control>
Control* control(QDialog& dialog, int id) {
    return dialog.findChild<Control*>(QString::number(id));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startOffscreenApp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::uint8_t flags = input.takeByte();
    const QString code = QString::fromLatin1(input.takeText(kMaxTyped));
    const QString port = QString::fromLatin1(input.takeText(kMaxTyped));

    FuzzedMainWindow w(input);
    w.desktop.modalHandler = [&](QDialog& d) {
        if ((flags & 1) != 0) {
            control<QRadioButton>(d, ConnectDialog::kBluetoothRadio)->click();
        }
        if ((flags & 2) != 0) {
            control<QCheckBox>(d, ConnectDialog::kManualPortCheck)->click();
            control<QLineEdit>(d, ConnectDialog::kPortEdit)->setText(port);
        }
        control<QLineEdit>(d, ConnectDialog::kCodeEdit)->setText(code);
        return acceptIfValid(d);
    };
    w.dialog.button(MainDialog::kConnectButton)->click();
    w.run(kMaxTicks + 2 * static_cast<int>(size));
    // The answers run out long before the ticks do, and a reset always ends when they do.
    FUZZ_CHECK(w.runningTimers() == 0);
    return 0;
}
