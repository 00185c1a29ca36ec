#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "port_link.h"

// The one path between ZylTool and a ZYL unit: a COM port at 19200 baud, 8 data bits,
// no parity, one stop bit, no flow control, DTR and RTS off.
//
// Principles of operation:
// - open() releases (purging both queues) any port still held, then opens port 1..70
//   exclusively. A missing, busy, refused or out-of-range port leaves status() Closed and
//   shows nothing. A port whose line settings or time-outs are refused shows one of the
//   two warnings ("Not able to set COM parameters", "Not able to set Timeouts", caption
//   "Warning!") and stays held with status() Faulty until the next open releases it.
// - read() never blocks for more than about 10 ms: it returns at once with what is
//   waiting, or with the first byte that arrives within 10 ms, or with 0.
// - write() sends one byte; nobody looks at its result.
// - close() releases the port without purging; it never hangs on a dead line.
// - A terminal that is no port (the program's own controlling terminal, /dev/tty, /dev/ptmx)
//   counts as absent; nothing is written to it and its settings stay as they are.
// - A port another program holds counts as absent; lastBusy() names it (and the program,
//   where the system shows it) for the log.
// - A Bluetooth port connects while it opens, which may take seconds. open() keeps the
//   window alive meanwhile and calls the link-wait handler so that the program can say why
//   it waits; after 10 s the port counts as absent.
//
// serial_port.cpp holds what both platforms share (the hooks). The platform code lives in
// serial_port_posix.cpp or serial_port_win32.cpp, chosen by CMake, each with its own state
// in a private header (serial_port_posix.h, serial_port_win32.h) that only the backend and
// its tests include. On Windows port n is the device of kComPortNames[n]; on other systems
// it is resolved by comPortDevice() (com_port_names.h).
class SerialPort final : public PortLink {
public:
    static constexpr int kBufferSize = 1000;
    static constexpr int kMaxRead = 950;

    // How the two warnings reach the user; the program routes them to a message box.
    using WarningHandler = std::function<void(const std::string& text, const std::string& caption)>;
    static void setWarningHandler(WarningHandler handler);

    // Called while an open waits for its device: once when the wait begins, while it goes
    // on, and once when it gives up.
    using LinkWaitHandler = std::function<void(int portNumber, LinkWaitStep step)>;
    static void setLinkWaitHandler(LinkWaitHandler handler);

    SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;
    ~SerialPort() override;

    void open(int portNumber) override;
    PortStatus status() const override { return static_cast<PortStatus>(status_); }
    int read() override;
    std::uint8_t byteAt(int position) const override;
    bool write(int value) override;
    void close() override;
    int msSinceInput() const override;
    std::string lastRefusal() const override { return lastRefusal_; }
    std::string lastBusy() const override { return lastBusy_; }
    IgnoredFolder ignoredFolder() const override;
    bool namesBusyHolders() const override;

    bool isOpen() const { return isOpen_ != 0; }
    void setParityCheck(int on) { parityCheck_ = on; }

    // The platform's side: the device handle and what tests may stand in for (the radio,
    // the system's calls). Defined in the backend's private header.
    struct Device;
    Device& device() { return *device_; }

private:
    bool configure();
    static void warn(const char* text);

    std::unique_ptr<Device> device_;
    std::int32_t isOpen_ = 0;
    std::int32_t parityCheck_ = 0;
    std::int32_t status_ = 0;
    std::array<std::uint8_t, kBufferSize> rxBuffer_{};
    std::string lastRefusal_;
    std::string lastBusy_;
};

// The process-wide port, shared by every window.
extern SerialPort theSerialPort;
