#pragma once

#include <optional>
#include <string>

#include "port_link.h"

// How COM port numbers 1..70 name devices.
//
// Windows: kComPortNames[n] ("COM1".."COM9", "\\.\COM10".."\\.\COM70"; index 0 "None").
//
// Other systems: COM n resolves first through the per-user port folder, comPortFolder():
// an entry "comN" there (a symbolic link, like Wine's dosdevices) decides COM n even when
// its target is missing (then COM n is absent). Without an entry, COM n is the n-th serial
// device present, in the order /dev/ttyUSB*, /dev/ttyACM*, /dev/rfcomm*, then /dev/ttyS*
// ports that have real hardware, each kind in numeric order.

#ifdef _WIN32
extern const char* const kComPortNames[71];
#else
// $XDG_RUNTIME_DIR/zyltool, or /tmp/zyltool-<uid> when that variable is unset. Empty when
// the folder is missing or unsafe (not a directory owned by the user without access for
// others).
std::string comPortFolder();

// When something stands where the port folder belongs but is unsafe and so ignored, its
// path and what is wrong with it; otherwise (used, or missing) no fault.
IgnoredFolder ignoredPortFolder();

// The device path of COM n, or nothing when COM n is absent or out of 1..70.
std::optional<std::string> comPortDevice(int portNumber);
#endif
