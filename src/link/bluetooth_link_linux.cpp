// The kernel's view of an rfcomm port's link. The request and its structure are the
// kernel's public RFCOMM interface, written out here so that the build needs no Bluetooth
// development headers.

#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "bluetooth_link.h"

namespace {

// rfcomm terminals have a major number of their own; the minor is the device's id.
constexpr unsigned kRfcommMajor = 216;

// The device requests go to an RFCOMM socket, not to the terminal.
constexpr int kAfBluetooth = 31;
constexpr int kBtProtoRfcomm = 3;
const unsigned long kGetDeviceInfo = _IOR('R', 211, int);

struct DeviceAddress {
    std::uint8_t bytes[6];
};

struct DeviceInfo {
    std::int16_t id;
    std::uint32_t flags;
    std::uint16_t state;
    DeviceAddress source;
    DeviceAddress destination;
    std::uint8_t channel;
};
static_assert(sizeof(DeviceInfo) == 24, "the kernel's rfcomm_dev_info");

// The link's states are the kernel's Bluetooth socket states.
constexpr std::uint16_t kConnected = 1;
constexpr std::uint16_t kDisconnecting = 8;
constexpr std::uint16_t kClosed = 9;

}  // namespace

BluetoothLink kernelBluetoothLink(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode) || major(st.st_rdev) != kRfcommMajor) {
        return BluetoothLink::None;
    }
    const int socket = ::socket(kAfBluetooth, SOCK_RAW | SOCK_CLOEXEC, kBtProtoRfcomm);
    if (socket < 0) {
        return BluetoothLink::Up;
    }
    DeviceInfo info{};
    info.id = static_cast<std::int16_t>(minor(st.st_rdev));
    const int result = ::ioctl(socket, kGetDeviceInfo, &info);
    const int error = errno;
    ::close(socket);
    if (result != 0) {
        // A device released meanwhile (`rfcomm connect` ones go when their link fails) is
        // a failed link; any other refusal leaves the port as it is.
        return error == ENODEV ? BluetoothLink::Failed : BluetoothLink::Up;
    }
    switch (info.state) {
        case kConnected:
            return BluetoothLink::Up;
        case kDisconnecting:
        case kClosed:
            return BluetoothLink::Failed;
        default:
            return BluetoothLink::Connecting;
    }
}
