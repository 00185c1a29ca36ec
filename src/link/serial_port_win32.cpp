// SerialPort on Windows: a COM device opened exclusively, synchronous reads and writes,
// the read time-out of 10 ms kept by the driver itself. Every call to Windows goes through
// the device's table of calls (serial_port_win32.h).

#include "serial_port_win32.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <utility>

#include "com_port_names.h"
#include "serial_port_hooks.h"

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
// For a driver that holds to the documented rules only: XON/XOFF stays off either way.
constexpr char kXonChar = 0x11;
constexpr char kXoffChar = 0x13;

// Input and output, pending and queued: nothing of the old port survives a new open.
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
static_assert(kPurgeAll == 0x0F);

constexpr DWORD kInputQueue = 1000;
constexpr DWORD kOutputQueue = 100;

// With both interval and multiplier at MAXDWORD a read returns at once with what is
// waiting, else with the first byte to arrive within the constant, else with nothing.
constexpr DWORD kReadWaitMs = 10;

// One open on the helper thread, shared with the window's thread; whichever of the two is
// last frees it. A handle that arrives after the window gave up is closed at once.
struct PendingOpen {
    enum State { Running, Done, GivenUp };

    WindowsCalls calls;
    const char* name;
    HANDLE handle = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_SUCCESS;
    std::atomic<int> state{Running};
};

DWORD WINAPI runOpen(LPVOID parameter) {
    const std::unique_ptr<std::shared_ptr<PendingOpen>> shared(
        static_cast<std::shared_ptr<PendingOpen>*>(parameter));
    PendingOpen& open = **shared;
    const HANDLE handle =
        open.calls.createFile(open.name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    open.error = ::GetLastError();
    open.handle = handle;
    if (open.state.exchange(PendingOpen::Done) == PendingOpen::GivenUp && handle != INVALID_HANDLE_VALUE) {
        open.calls.closeHandle(handle);
    }
    return 0;
}

// Sent messages are delivered inside PeekMessage itself; paint and posted ones are
// dispatched here. Keyboard and mouse input stays queued until the search is over.
void dispatchWaitingMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0,
                          PM_REMOVE | PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ::DispatchMessageW(&message);
    }
}

// The window's thread waits for the helper, answering its window meanwhile, and says every
// second that it still waits; true when the open returned within the bound.
bool awaitOpen(const WindowsCalls& calls, HANDLE thread, int portNumber) {
    constexpr DWORD kWake = QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE;
    const ULONGLONG start = calls.getTickCount64();
    for (bool told = false;;) {
        const ULONGLONG waited = calls.getTickCount64() - start;
        if (waited >= SerialPort::Device::kBoundMs) {
            serial_port_detail::reportLinkWait(portNumber, LinkWaitStep::TimedOut);
            return false;
        }
        const auto slice = static_cast<DWORD>(
            std::min<ULONGLONG>(SerialPort::Device::kWaitLineMs, SerialPort::Device::kBoundMs - waited));
        switch (calls.msgWaitForMultipleObjects(1, &thread, FALSE, slice, kWake)) {
            case WAIT_OBJECT_0:
                return true;
            case WAIT_OBJECT_0 + 1:
                dispatchWaitingMessages();
                break;
            case WAIT_TIMEOUT:
                serial_port_detail::reportLinkWait(portNumber,
                                                   told ? LinkWaitStep::Pending : LinkWaitStep::Begun);
                told = true;
                break;
            default:
                return false;
        }
    }
}

struct Opened {
    HANDLE handle;
    DWORD error;
};

// Windows connects a Bluetooth port inside CreateFileA, for seconds when the unit is out
// of reach, so the call runs on a helper thread. Everything else of the port stays on the
// window's thread.
Opened openDevice(const WindowsCalls& calls, int portNumber) {
    auto pending = std::make_shared<PendingOpen>();
    pending->calls = calls;
    pending->name = kComPortNames[portNumber];
    auto* shared = new std::shared_ptr<PendingOpen>(pending);
    const HANDLE thread = ::CreateThread(nullptr, 0, runOpen, shared, 0, nullptr);
    if (thread == nullptr) {
        runOpen(shared);
        return {pending->handle, pending->error};
    }
    const bool returned = awaitOpen(calls, thread, portNumber);
    if (!returned) {
        calls.cancelSynchronousIo(thread);
        // It may have returned just now, after the last look.
        if (pending->state.exchange(PendingOpen::GivenUp) == PendingOpen::Done &&
            pending->handle != INVALID_HANDLE_VALUE) {
            calls.closeHandle(pending->handle);
        }
    }
    ::CloseHandle(thread);
    return returned ? Opened{pending->handle, pending->error}
                    : Opened{INVALID_HANDLE_VALUE, ERROR_SEM_TIMEOUT};
}

}  // namespace

void serial_port_detail::showWarningUnhandled(const char* text, const char* caption) {
    ::MessageBoxA(nullptr, text, caption, MB_OK | MB_TASKMODAL);
}

SerialPort::SerialPort() : device_(std::make_unique<Device>()) {}

SerialPort::~SerialPort() {
    close();
}

// Windows has no folder of port links.
IgnoredFolder SerialPort::ignoredFolder() const {
    return {};
}

// Windows tells nobody which program holds a port.
bool SerialPort::namesBusyHolders() const {
    return false;
}

void SerialPort::open(int portNumber) {
    Device& device = *device_;
    status_ = static_cast<std::int32_t>(PortStatus::Closed);
    lastBusy_.clear();
    if (device.handle != INVALID_HANDLE_VALUE) {
        device.calls.purgeComm(device.handle, kPurgeAll);
        device.calls.closeHandle(device.handle);
        device.handle = INVALID_HANDLE_VALUE;
        isOpen_ = 0;
    }
    if (portNumber < kFirstComPort || portNumber > kLastComPort) {
        return;
    }
    const Opened opened = openDevice(device.calls, portNumber);
    device.handle = opened.handle;
    isOpen_ = device.handle != INVALID_HANDLE_VALUE ? 1 : 0;
    if (isOpen_ == 0) {
        if (opened.error == ERROR_ACCESS_DENIED || opened.error == ERROR_SHARING_VIOLATION) {
            lastBusy_ = "COM" + std::to_string(portNumber);
        }
        return;
    }
    status_ = static_cast<std::int32_t>(PortStatus::Ready);
    device.lastInputTick = device.calls.getTickCount64();
    if (!configure()) {
        status_ = static_cast<std::int32_t>(PortStatus::Faulty);
    }
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = kReadWaitMs;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 0;
    if (!device.calls.setCommTimeouts(device.handle, &timeouts)) {
        warn("Not able to set Timeouts");
        status_ = static_cast<std::int32_t>(PortStatus::Faulty);
    }
    // Only a wish to the driver; a port that cannot size its queues still works.
    device.calls.setupComm(device.handle, kInputQueue, kOutputQueue);
}

bool SerialPort::configure() {
    Device& device = *device_;
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = kBaudRate;
    dcb.ByteSize = kByteSize;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fParity = parityCheck_ != 0 ? 1 : 0;
    dcb.fErrorChar = parityCheck_ != 0 ? 1 : 0;
    dcb.ErrorChar = kErrorChar;
    if (device.calls.setCommState(device.handle, &dcb)) {
        return true;
    }
    // Windows documents that binary mode must be on and that the XON and XOFF characters
    // must differ; a driver that holds to it refuses the block above.
    dcb.fBinary = 1;
    dcb.XonChar = kXonChar;
    dcb.XoffChar = kXoffChar;
    if (device.calls.setCommState(device.handle, &dcb)) {
        return true;
    }
    warn("Not able to set COM parameters");
    return false;
}

int SerialPort::read() {
    Device& device = *device_;
    if (device.handle == INVALID_HANDLE_VALUE) {
        return 0;
    }
    DWORD count = 0;
    if (!device.calls.readFile(device.handle, rxBuffer_.data(), kMaxRead, &count, nullptr)) {
        return 0;
    }
    if (count > 0) {
        device.lastInputTick = device.calls.getTickCount64();
    }
    return static_cast<int>(count);
}

int SerialPort::msSinceInput() const {
    const ULONGLONG since = device_->calls.getTickCount64() - device_->lastInputTick;
    return static_cast<int>(std::min<ULONGLONG>(since, kLongAgoMs));
}

std::uint8_t SerialPort::byteAt(int position) const {
    return position >= 0 && position < kBufferSize ? rxBuffer_[static_cast<std::size_t>(position)] : 0;
}

bool SerialPort::write(int value) {
    Device& device = *device_;
    if (device.handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    const auto byte = static_cast<std::uint8_t>(value & 0xFF);
    DWORD written = 0;
    return device.calls.writeFile(device.handle, &byte, 1, &written, nullptr) != 0;
}

void SerialPort::close() {
    Device& device = *device_;
    if (device.handle == INVALID_HANDLE_VALUE) {
        return;
    }
    device.calls.closeHandle(device.handle);
    device.handle = INVALID_HANDLE_VALUE;
    isOpen_ = 0;
}
