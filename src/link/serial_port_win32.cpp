// SerialPort on Windows: a COM device opened exclusively, synchronous reads and writes,
// the read time-out of 10 ms kept by the driver itself.

#include "serial_port.h"

#include <windows.h>

#include <utility>

#include "com_port_names.h"

// Above COM9 the plain name no longer reaches the device; the device namespace does.
const char* const kComPortNames[71] = {
    "None",         "COM1",         "COM2",         "COM3",         "COM4",         "COM5",
    "COM6",         "COM7",         "COM8",         "COM9",         "\\\\.\\COM10", "\\\\.\\COM11",
    "\\\\.\\COM12", "\\\\.\\COM13", "\\\\.\\COM14", "\\\\.\\COM15", "\\\\.\\COM16", "\\\\.\\COM17",
    "\\\\.\\COM18", "\\\\.\\COM19", "\\\\.\\COM20", "\\\\.\\COM21", "\\\\.\\COM22", "\\\\.\\COM23",
    "\\\\.\\COM24", "\\\\.\\COM25", "\\\\.\\COM26", "\\\\.\\COM27", "\\\\.\\COM28", "\\\\.\\COM29",
    "\\\\.\\COM30", "\\\\.\\COM31", "\\\\.\\COM32", "\\\\.\\COM33", "\\\\.\\COM34", "\\\\.\\COM35",
    "\\\\.\\COM36", "\\\\.\\COM37", "\\\\.\\COM38", "\\\\.\\COM39", "\\\\.\\COM40", "\\\\.\\COM41",
    "\\\\.\\COM42", "\\\\.\\COM43", "\\\\.\\COM44", "\\\\.\\COM45", "\\\\.\\COM46", "\\\\.\\COM47",
    "\\\\.\\COM48", "\\\\.\\COM49", "\\\\.\\COM50", "\\\\.\\COM51", "\\\\.\\COM52", "\\\\.\\COM53",
    "\\\\.\\COM54", "\\\\.\\COM55", "\\\\.\\COM56", "\\\\.\\COM57", "\\\\.\\COM58", "\\\\.\\COM59",
    "\\\\.\\COM60", "\\\\.\\COM61", "\\\\.\\COM62", "\\\\.\\COM63", "\\\\.\\COM64", "\\\\.\\COM65",
    "\\\\.\\COM66", "\\\\.\\COM67", "\\\\.\\COM68", "\\\\.\\COM69", "\\\\.\\COM70",
};

SerialPort theSerialPort;

namespace {

// The unit's line: the settings block is built from zeros, so everything not named here
// (flow control, DTR and RTS, XON/XOFF, special characters) stays off.
static_assert(sizeof(DCB) == 28, "DCBlength must be 28");
constexpr DWORD kBaudRate = 19200;
constexpr BYTE kByteSize = 8;
constexpr char kErrorChar = static_cast<char>(0xFF);

// Input and output, pending and queued: nothing of the old port survives a new open.
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
static_assert(kPurgeAll == 0x0F);

constexpr DWORD kInputQueue = 1000;
constexpr DWORD kOutputQueue = 100;

// With both interval and multiplier at MAXDWORD a read returns at once with what is
// waiting, else with the first byte to arrive within the constant, else with nothing.
constexpr DWORD kReadWaitMs = 10;

constexpr const char* kWarningCaption = "Warning!";

SerialPort::WarningHandler& warningHandler() {
    static SerialPort::WarningHandler handler;
    return handler;
}

}  // namespace

void SerialPort::setWarningHandler(WarningHandler handler) {
    warningHandler() = std::move(handler);
}

// Windows connects a Bluetooth port inside CreateFileA, so no open waits for a link here
// and the handler is never called.
void SerialPort::setLinkWaitHandler(LinkWaitHandler) {}

void SerialPort::warn(const char* text) {
    if (const auto& handler = warningHandler()) {
        handler(text, kWarningCaption);
    } else {
        ::MessageBoxA(nullptr, text, kWarningCaption, MB_OK);
    }
}

SerialPort::SerialPort() : handle_(INVALID_HANDLE_VALUE) {}

SerialPort::~SerialPort() {
    close();
}

void SerialPort::open(int portNumber) {
    status_ = static_cast<std::int32_t>(PortStatus::Closed);
    if (handle_ != INVALID_HANDLE_VALUE) {
        ::PurgeComm(handle_, kPurgeAll);
        ::CloseHandle(handle_);
    }
    handle_ = portNumber >= kFirstComPort && portNumber <= kLastComPort
                  ? ::CreateFileA(kComPortNames[portNumber], GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr)
                  : INVALID_HANDLE_VALUE;
    isOpen_ = handle_ != INVALID_HANDLE_VALUE ? 1 : 0;
    if (isOpen_ == 0) {
        return;
    }
    status_ = static_cast<std::int32_t>(PortStatus::Ready);
    if (!configure()) {
        status_ = static_cast<std::int32_t>(PortStatus::Faulty);
    }
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = kReadWaitMs;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 0;
    if (!::SetCommTimeouts(handle_, &timeouts)) {
        warn("Not able to set Timeouts");
        status_ = static_cast<std::int32_t>(PortStatus::Faulty);
    }
    // Only a wish to the driver; a port that cannot size its queues still works.
    ::SetupComm(handle_, kInputQueue, kOutputQueue);
}

bool SerialPort::configure() {
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = kBaudRate;
    dcb.ByteSize = kByteSize;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fParity = parityCheck_ != 0 ? 1 : 0;
    dcb.fErrorChar = parityCheck_ != 0 ? 1 : 0;
    dcb.ErrorChar = kErrorChar;
    if (!::SetCommState(handle_, &dcb)) {
        warn("Not able to set COM parameters");
        return false;
    }
    return true;
}

int SerialPort::read() {
    if (handle_ == INVALID_HANDLE_VALUE) {
        return 0;
    }
    DWORD count = 0;
    if (!::ReadFile(handle_, rxBuffer_.data(), kMaxRead, &count, nullptr)) {
        return 0;
    }
    return static_cast<int>(count);
}

std::uint8_t SerialPort::byteAt(int position) const {
    return position >= 0 && position < kBufferSize ? rxBuffer_[static_cast<std::size_t>(position)] : 0;
}

bool SerialPort::write(int value) {
    if (handle_ == INVALID_HANDLE_VALUE) {
        return false;
    }
    const auto byte = static_cast<std::uint8_t>(value & 0xFF);
    DWORD written = 0;
    return ::WriteFile(handle_, &byte, 1, &written, nullptr) != 0;
}

void SerialPort::close() {
    if (handle_ == INVALID_HANDLE_VALUE) {
        return;
    }
    ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    isOpen_ = 0;
}
