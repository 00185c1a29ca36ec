#pragma once

#include <array>
#include <cstdint>
#include <functional>
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
//
// The platform code lives in serial_port_posix.cpp or serial_port_win32.cpp, chosen by
// CMake. On Windows port n is the device of kComPortNames[n]; on other systems it is
// resolved by comPortDevice() (com_port_names.h).
class SerialPort final : public PortLink {
public:
    static constexpr int kBufferSize = 1000;
    static constexpr int kMaxRead = 950;

    // How the two warnings reach the user; the program routes them to a message box.
    using WarningHandler = std::function<void(const std::string& text, const std::string& caption)>;
    static void setWarningHandler(WarningHandler handler);

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
    std::string lastRefusal() const override { return lastRefusal_; }

    bool isOpen() const { return isOpen_ != 0; }
    void setParityCheck(int on) { parityCheck_ = on; }

private:
    bool configure();
    static void warn(const char* text);

#ifdef _WIN32
    void* handle_;
#else
    int handle_;
#endif
    std::int32_t isOpen_ = 0;
    std::int32_t parityCheck_ = 0;
    std::int32_t status_ = 0;
    std::array<std::uint8_t, kBufferSize> rxBuffer_{};
    std::string lastRefusal_;
};

// The process-wide port, shared by every window.
extern SerialPort theSerialPort;
