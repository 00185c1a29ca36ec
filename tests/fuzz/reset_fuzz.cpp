// The factory reset fed arbitrary answers: the connect dialog filled with what the fuzzer
// typed, then the handshake, the settings write and the erase, tick by tick, until no timer
// runs. Input: a flags byte (bit 0 Bluetooth, bit 1 a port typed by hand), the access code
// and the port number as typed texts, then the unit's answers (see FuzzedPort).

#include "connect_dialog.h"
#include "fuzzed_main_window.h"

namespace {

// A reset that runs to its end: 9 handshake ticks a port, 70 ports, the settings write,
// then an erase as long as the answers last.
constexpr int kMaxTicks = 70 * 9 + 100;
constexpr std::size_t kMaxTyped = 12;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::uint8_t flags = input.takeByte();
    const std::string code = input.takeText(kMaxTyped);
    const std::string port = input.takeText(kMaxTyped);

    FuzzedMainWindow w(input);
    w.window.modalHandler = [&](Dialog& d, FakeWindow& connect) {
        if ((flags & 1) != 0) {
            connect.click(ConnectDialog::kBluetoothRadio);
        }
        if ((flags & 2) != 0) {
            connect.click(ConnectDialog::kManualPortCheck);
            connect.type(ConnectDialog::kPortEdit, port);
        }
        connect.type(ConnectDialog::kCodeEdit, code);
        return acceptIfValid(d, connect);
    };
    w.window.click(MainDialog::kConnectButton);
    w.run(kMaxTicks + 2 * static_cast<int>(size));
    // The answers run out long before the ticks do, and a reset always ends when they do.
    FUZZ_CHECK(w.runningTimers() == 0);
    return 0;
}
