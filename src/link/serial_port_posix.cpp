// SerialPort on POSIX terminals (termios). The Linux-only extras (the low-latency flag)
// are left out elsewhere.

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>

#ifdef __linux__
#include <linux/serial.h>
#endif

#include "com_port_names.h"
#include "port_holder.h"
#include "serial_port.h"
#include "serial_port_hooks.h"
#include "serial_port_posix.h"

SerialPort theSerialPort;

// With the parity check on, the kernel marks a byte received with a parity or framing
// error as 0xFF 0x00 <byte> and doubles a good 0xFF (PARMRK). read() turns each mark into
// 0xFF, the error character the port hands out for a bad byte, and each doubled 0xFF back
// into one.
namespace serial_port_detail {

constexpr std::uint8_t kMarkEscape = 0xFF;
constexpr std::uint8_t kMarkError = 0x00;
constexpr std::uint8_t kErrorChar = 0xFF;

// How many bytes the last mark of bytes[0..count) still lacks (0, 1 or 2): a read may
// stop in the middle of one.
int parityMarkShortfall(const std::uint8_t* bytes, int count) {
    int i = 0;
    while (i < count) {
        if (bytes[i] != kMarkEscape) {
            ++i;
        } else if (i + 1 == count) {
            return 1;
        } else if (bytes[i + 1] != kMarkError) {
            i += 2;
        } else if (i + 2 == count) {
            return 1;
        } else {
            i += 3;
        }
    }
    return 0;
}

// Collapses the marks in place; returns the new count.
int collapseParityMarks(std::uint8_t* bytes, int count) {
    int out = 0;
    int i = 0;
    while (i < count) {
        if (bytes[i] != kMarkEscape || i + 1 == count) {
            bytes[out++] = bytes[i++];
        } else if (bytes[i + 1] != kMarkError) {
            bytes[out++] = kMarkEscape;
            i += 2;
        } else {
            bytes[out++] = kErrorChar;
            i += 3;
        }
    }
    return out;
}

}  // namespace serial_port_detail

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kReadWait{10};
constexpr std::chrono::milliseconds kCloseDrain{20};
constexpr std::chrono::milliseconds kDrainPoll{1};

// Waits up to the deadline for input; false on time-out and on a hung-up line.
bool waitForInput(int fd, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, left > 0 ? static_cast<int>(left) : 0);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        return ready > 0 && (p.revents & POLLIN) != 0;
    }
}

int readSome(int fd, std::uint8_t* into, int count) {
    ssize_t n;
    do {
        n = ::read(fd, into, static_cast<std::size_t>(count));
    } while (n < 0 && errno == EINTR);
    return static_cast<int>(n);
}

std::string realDevice(const std::string& path) {
    std::string device = path;
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        device = real;
        std::free(real);
    }
    return device;
}

// "COM3 (/dev/ttyUSB0, skupina dialout)": the device behind the port and the group that
// may open it, for the note at the end of a failed search.
std::string describeRefusal(int portNumber, const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) {
        return {};
    }
    std::string text = "COM" + std::to_string(portNumber) + " (" + realDevice(path);
    if (const group* g = ::getgrgid(st.st_gid)) {
        text += ", skupina ";
        text += g->gr_name;
    }
    return text + ")";
}

// "COM2 (/dev/ttyACM0, drží ho minicom)", or without the program where /proc hides it.
std::string describeBusy(int portNumber, const std::string& path) {
    std::string text = "COM" + std::to_string(portNumber) + " (" + realDevice(path);
    if (const std::string holder = portHolder(path); !holder.empty()) {
        text += ", drží ho " + holder;
    }
    return text + ")";
}

// The device number of the program's controlling terminal (the seventh field of
// /proc/self/stat, after the name in parentheses, which may itself hold any character);
// nothing without one.
std::optional<dev_t> controllingTerminal() {
    std::ifstream file("/proc/self/stat");
    const std::string stat{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const auto nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream fields(stat.substr(nameEnd + 1));
    std::string state;
    long parent = 0, group = 0, session = 0;
    unsigned long tty = 0;
    if (!(fields >> state >> parent >> group >> session >> tty) || tty == 0) {
        return std::nullopt;
    }
    // The kernel's encoding: minor bits 0..7 and 20..31, major bits 8..19.
    return makedev((tty >> 8) & 0xFFF, (tty & 0xFF) | ((tty >> 12) & 0xFFF00));
}

// Terminals that are no serial port: the user's own (the handshake would land in it and
// leave it raw at 19200 baud, and a program started in the background would stop on the
// first setting), /dev/tty as another name for it, and /dev/ptmx, which hands out a new
// pseudo-terminal to every open.
bool isPort(int fd) {
    constexpr unsigned kTtyAuxMajor = 5, kTtyMinor = 0, kPtmxMinor = 2;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {
        return false;
    }
    if (major(st.st_rdev) == kTtyAuxMajor &&
        (minor(st.st_rdev) == kTtyMinor || minor(st.st_rdev) == kPtmxMinor)) {
        return false;
    }
    return st.st_rdev != controllingTerminal();
}

// USB adapters answer sooner with the low-latency flag; drivers without it (a
// pseudo-terminal among them) refuse the request, which costs nothing.
void requestLowLatency([[maybe_unused]] int fd) {
#ifdef __linux__
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) == 0) {
        serial.flags |= ASYNC_LOW_LATENCY;
        ::ioctl(fd, TIOCSSERIAL, &serial);
    }
#endif
}

void releaseDevice(int fd) {
    // Left set, TIOCEXCL would outlive us on a terminal someone else keeps open.
    ::ioctl(fd, TIOCNXCL);
    ::flock(fd, LOCK_UN);
    ::close(fd);
}

// The link is looked at between short sleeps, with the handler called between them, so the
// window stays painted while a unit out of reach takes the whole bound. Closing the port
// then gives up the connection the open started.
bool awaitBluetoothLink(const SerialPort::Device::BluetoothWait& wait, int fd, int portNumber) {
    BluetoothLink link = wait.check(fd);
    if (link == BluetoothLink::None || link == BluetoothLink::Up) {
        return true;
    }
    serial_port_detail::reportLinkWait(portNumber, LinkWaitStep::Begun);
    const auto giveUp = Clock::now() + wait.bound;
    for (; link == BluetoothLink::Connecting; link = wait.check(fd)) {
        if (Clock::now() >= giveUp) {
            serial_port_detail::reportLinkWait(portNumber, LinkWaitStep::TimedOut);
            return false;
        }
        std::this_thread::sleep_for(wait.interval);
        serial_port_detail::reportLinkWait(portNumber, LinkWaitStep::Pending);
    }
    if (link == BluetoothLink::Up) {
        return true;
    }
    serial_port_detail::reportLinkWait(portNumber, LinkWaitStep::Failed);
    return false;
}

}  // namespace

void serial_port_detail::showWarningUnhandled(const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

SerialPort::SerialPort() : device_(std::make_unique<Device>()) {}

SerialPort::~SerialPort() {
    close();
}

IgnoredFolder SerialPort::ignoredFolder() const {
    return device_->ignoredFolder;
}

bool SerialPort::namesBusyHolders() const {
    return true;
}

void SerialPort::open(int portNumber) {
    status_ = static_cast<std::int32_t>(PortStatus::Closed);
    lastRefusal_.clear();
    lastBusy_.clear();
    device_->ignoredFolder = {};
    if (device_->handle >= 0) {
        ::tcflush(device_->handle, TCIOFLUSH);
        releaseDevice(device_->handle);
        device_->handle = -1;
        isOpen_ = 0;
    }
    if (portNumber < kFirstComPort || portNumber > kLastComPort) {
        return;
    }
    device_->ignoredFolder = ignoredPortFolder();
    const auto path = comPortDevice(portNumber);
    if (!path) {
        return;
    }
    // Non-blocking, so that an open never waits for carrier detect.
    const int fd = ::open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == EACCES || errno == EPERM) {
            lastRefusal_ = describeRefusal(portNumber, *path);
        } else if (errno == EBUSY) {
            lastBusy_ = describeBusy(portNumber, *path);
        }
        return;
    }
    // Anything that is not a terminal, or a terminal that is no port, is absent, and
    // nothing is written to it.
    if (!::isatty(fd) || !isPort(fd)) {
        ::close(fd);
        return;
    }
    // A port another program holds keeps its settings, so the locks come before any of
    // them: other serial tools use flock, and TIOCEXCL keeps out everyone but root.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        if (busy) {
            lastBusy_ = describeBusy(portNumber, *path);
        }
        return;
    }
    ::ioctl(fd, TIOCEXCL);
    if (!awaitBluetoothLink(device_->bluetoothWait, fd, portNumber)) {
        releaseDevice(fd);
        return;
    }
    device_->handle = fd;
    isOpen_ = 1;
    status_ = static_cast<std::int32_t>(PortStatus::Ready);
    device_->lastInput = Clock::now();
    if (!configure()) {
        status_ = static_cast<std::int32_t>(PortStatus::Faulty);
    }
    // The 10 ms read time-out is read()'s poll; what remains of it here is a descriptor
    // that never blocks.
    const int flags = ::fcntl(device_->handle, F_GETFL);
    if (flags < 0 || ::fcntl(device_->handle, F_SETFL, flags | O_NONBLOCK) != 0) {
        warn("Not able to set Timeouts");
        status_ = static_cast<std::int32_t>(PortStatus::Faulty);
    }
}

// 19200 baud, 8N1, raw, no flow control, VMIN = VTIME = 0, built from nothing so that no
// earlier owner's setting survives. The parity check is input checking with the marks
// read() turns into 0xFF; the line itself stays without parity.
bool SerialPort::configure() {
    termios tio{};
    ::cfmakeraw(&tio);
    tio.c_cflag = CS8 | CREAD | CLOCAL;
    if (parityCheck_ != 0) {
        tio.c_iflag |= INPCK | PARMRK;
    }
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, B19200) != 0 || ::cfsetospeed(&tio, B19200) != 0 ||
        ::tcsetattr(device_->handle, TCSANOW, &tio) != 0) {
        warn("Not able to set COM parameters");
        return false;
    }
    // Both lines held off; a pseudo-terminal has no modem lines and refuses this.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(device_->handle, TIOCMBIC, &lines);
    requestLowLatency(device_->handle);
    return true;
}

int SerialPort::read() {
    if (device_->handle < 0) {
        return 0;
    }
    const auto deadline = Clock::now() + kReadWait;
    int n =
        waitForInput(device_->handle, deadline) ? readSome(device_->handle, rxBuffer_.data(), kMaxRead) : 0;
    if (n > 0 && parityCheck_ != 0) {
        // The kernel queues a mark whole, so the rest of one cut by the read's size is
        // there to take; the collapsed count stays within 950.
        for (int lack; (lack = serial_port_detail::parityMarkShortfall(rxBuffer_.data(), n)) > 0;) {
            const int more = readSome(device_->handle, rxBuffer_.data() + n, lack);
            if (more <= 0) {
                break;
            }
            n += more;
        }
        n = serial_port_detail::collapseParityMarks(rxBuffer_.data(), n);
    }
    if (n > 0) {
        device_->lastInput = Clock::now();
        return n;
    }
    // A hung-up line answers poll at once; waiting out the 10 ms keeps a caller that reads
    // on every tick from spinning on it.
    std::this_thread::sleep_until(deadline);
    return 0;
}

int SerialPort::msSinceInput() const {
    const auto since =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - device_->lastInput);
    return static_cast<int>(std::min<std::int64_t>(since.count(), kLongAgoMs));
}

std::uint8_t SerialPort::byteAt(int position) const {
    return position >= 0 && position < kBufferSize ? rxBuffer_[static_cast<std::size_t>(position)] : 0;
}

bool SerialPort::write(int value) {
    if (device_->handle < 0) {
        return false;
    }
    const auto byte = static_cast<std::uint8_t>(value & 0xFF);
    ssize_t n;
    do {
        n = ::write(device_->handle, &byte, 1);
    } while (n < 0 && errno == EINTR);
    return n == 1;
}

void SerialPort::close() {
    if (device_->handle < 0) {
        return;
    }
    // Linux waits up to 30 s in close() for output a dead line will never send, so the
    // last bytes (the final end-of-link) get a few milliseconds and the rest is dropped.
    const auto giveUp = Clock::now() + kCloseDrain;
    bool drained = false;
    for (int pending = 0; ::ioctl(device_->handle, TIOCOUTQ, &pending) == 0 && Clock::now() < giveUp;) {
        if (pending == 0) {
            drained = true;
            break;
        }
        std::this_thread::sleep_for(kDrainPoll);
    }
    // Only output still waiting is dropped: on a pseudo-terminal a flush also discards what
    // the far side has not read yet, the end-of-link byte among it.
    if (!drained) {
        ::tcflush(device_->handle, TCOFLUSH);
    }
    releaseDevice(device_->handle);
    device_->handle = -1;
    isOpen_ = 0;
}
