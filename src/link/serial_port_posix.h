#pragma once

// SerialPort's state on POSIX systems, for serial_port_posix.cpp and its tests.

#include <chrono>
#include <functional>

#include "bluetooth_link.h"
#include "port_link.h"
#include "serial_port.h"

struct SerialPort::Device {
    // How open() waits for a Bluetooth link: the check is the kernel's unless a test stands
    // in for the radio. The link is looked at every `interval` until it is up (the port
    // opens), fails or `bound` has passed (the port counts as absent).
    struct BluetoothWait {
        std::function<BluetoothLink(int fd)> check = kernelBluetoothLink;
        std::chrono::milliseconds interval{50};
        std::chrono::milliseconds bound{10000};
    };

    int handle = -1;
    std::chrono::steady_clock::time_point lastInput;  // of the last read that took bytes, or of the open
    IgnoredFolder ignoredFolder;
    BluetoothWait bluetoothWait;
};
