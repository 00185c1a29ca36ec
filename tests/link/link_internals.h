#pragma once

// Internals of the POSIX port code that the tests reach past the public headers.

#include <cstdint>
#include <optional>
#include <string>

#include "port_link.h"

namespace com_ports_detail {
std::string portFolder(const char* runtimeDir, const std::string& tmpRoot);
IgnoredFolder ignoredFolder(const char* runtimeDir, const std::string& tmpRoot);
std::optional<std::string> portDevice(int portNumber, const std::string& folder, const std::string& devRoot,
                                      const std::string& sysTtyRoot);
}  // namespace com_ports_detail

namespace serial_port_detail {
int parityMarkShortfall(const std::uint8_t* bytes, int count);
int collapseParityMarks(std::uint8_t* bytes, int count);
}  // namespace serial_port_detail
