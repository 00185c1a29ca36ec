// COM port numbers on POSIX systems: the user's port folder first, then the serial
// devices present, counted in a fixed order.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <utility>
#include <vector>

#include "com_port_names.h"
#include "port_link.h"

// The same rules with the roots of the file system as parameters, so that tests can lay
// out their own /dev and /sys.
namespace com_ports_detail {
std::string portFolder(const char* runtimeDir, const std::string& tmpRoot);
IgnoredFolder ignoredFolder(const char* runtimeDir, const std::string& tmpRoot);
std::optional<std::string> portDevice(int portNumber, const std::string& folder, const std::string& devRoot,
                                      const std::string& sysTtyRoot);
}  // namespace com_ports_detail

namespace {

struct DeviceKind {
    std::string_view prefix;
    bool needsHardware;
};

// USB and Bluetooth ports exist only while their device does; the ttyS nodes are there
// whether or not a UART stands behind them.
constexpr DeviceKind kDeviceKinds[] = {
    {"ttyUSB", false},
    {"ttyACM", false},
    {"rfcomm", false},
    {"ttyS", true},
};

// Others must not be able to plant a link in the folder, nor see which ports we use: it
// has to be a directory of ours (not a link to one) that nobody else may enter.
FolderFault folderFault(const struct stat& st) {
    if (!S_ISDIR(st.st_mode)) {
        return FolderFault::NotFolder;
    }
    if (st.st_uid != ::getuid()) {
        return FolderFault::NotOwned;
    }
    return (st.st_mode & (S_IRWXG | S_IRWXO)) != 0 ? FolderFault::OpenToOthers : FolderFault::None;
}

// An XDG_RUNTIME_DIR that is not an absolute path is no runtime folder and counts as unset.
std::string folderPlace(const char* runtimeDir, const std::string& tmpRoot) {
    return runtimeDir != nullptr && runtimeDir[0] == '/' ? std::string(runtimeDir) + "/zyltool"
                                                         : tmpRoot + "/zyltool-" + std::to_string(::getuid());
}

// The number of "ttyUSB12" for the prefix "ttyUSB"; nothing when more than digits follow.
std::optional<unsigned long> deviceNumber(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) {
        return std::nullopt;
    }
    const std::string_view digits = name.substr(prefix.size());
    unsigned long number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc{} || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return number;
}

bool isCharacterDevice(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

// A ttyS port has hardware when the kernel ties it to a device and its UART type is known:
// the 8250 driver registers placeholder ports of type 0 (unknown) that fail every open.
// Reading sysfs decides this without opening the port.
bool hasHardware(const std::string& sysTtyRoot, const std::string& name) {
    const std::string port = sysTtyRoot + "/" + name;
    struct stat st {};
    if (::stat((port + "/device").c_str(), &st) != 0) {
        return false;
    }
    std::ifstream typeFile(port + "/type");
    int type = -1;
    return !(typeFile >> type) || type != 0;
}

std::vector<std::string> serialDevices(const std::string& devRoot, const std::string& sysTtyRoot) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(devRoot, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::vector<std::string> devices;
    for (const DeviceKind& kind : kDeviceKinds) {
        std::vector<std::pair<unsigned long, std::string>> ofKind;
        for (const std::string& name : names) {
            if (const auto number = deviceNumber(name, kind.prefix)) {
                ofKind.emplace_back(*number, name);
            }
        }
        std::sort(ofKind.begin(), ofKind.end());
        for (const auto& [number, name] : ofKind) {
            if (isCharacterDevice(devRoot + "/" + name) &&
                (!kind.needsHardware || hasHardware(sysTtyRoot, name))) {
                devices.push_back(devRoot + "/" + name);
            }
        }
    }
    return devices;
}

}  // namespace

namespace com_ports_detail {

std::string portFolder(const char* runtimeDir, const std::string& tmpRoot) {
    const std::string folder = folderPlace(runtimeDir, tmpRoot);
    struct stat st {};
    return ::lstat(folder.c_str(), &st) == 0 && folderFault(st) == FolderFault::None ? folder : std::string();
}

IgnoredFolder ignoredFolder(const char* runtimeDir, const std::string& tmpRoot) {
    const std::string folder = folderPlace(runtimeDir, tmpRoot);
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        return {};
    }
    const FolderFault fault = folderFault(st);
    return fault == FolderFault::None ? IgnoredFolder{} : IgnoredFolder{folder, fault};
}

std::optional<std::string> portDevice(int portNumber, const std::string& folder, const std::string& devRoot,
                                      const std::string& sysTtyRoot) {
    if (portNumber < kFirstComPort || portNumber > kLastComPort) {
        return std::nullopt;
    }
    if (!folder.empty()) {
        // Any entry decides, a dangling link too: the user named this port.
        const std::string entry = folder + "/com" + std::to_string(portNumber);
        struct stat st {};
        if (::lstat(entry.c_str(), &st) == 0) {
            return entry;
        }
    }
    const std::vector<std::string> devices = serialDevices(devRoot, sysTtyRoot);
    if (static_cast<std::size_t>(portNumber) > devices.size()) {
        return std::nullopt;
    }
    return devices[static_cast<std::size_t>(portNumber - 1)];
}

}  // namespace com_ports_detail

std::string comPortFolder() {
    return com_ports_detail::portFolder(std::getenv("XDG_RUNTIME_DIR"), "/tmp");
}

IgnoredFolder ignoredPortFolder() {
    return com_ports_detail::ignoredFolder(std::getenv("XDG_RUNTIME_DIR"), "/tmp");
}

std::optional<std::string> comPortDevice(int portNumber) {
    return com_ports_detail::portDevice(portNumber, comPortFolder(), "/dev", "/sys/class/tty");
}
