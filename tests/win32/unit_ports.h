#pragma once

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

// The COM ports the test run has laid out, from the environment (scripts/run-wine-tests
// sets both): ZYL_TEST_UNIT_PORTS where a simulated unit answers with the access code
// 4827, ZYL_TEST_ABSENT_PORTS where no device is. Empty when unset.
inline std::vector<int> portsFromEnvironment(const char* name) {
    std::vector<int> ports;
    if (const char* value = std::getenv(name)) {
        std::istringstream list(value);
        for (int port; list >> port;) {
            ports.push_back(port);
        }
    }
    return ports;
}

inline std::vector<int> unitPorts() {
    return portsFromEnvironment("ZYL_TEST_UNIT_PORTS");
}

inline std::vector<int> absentPorts() {
    return portsFromEnvironment("ZYL_TEST_ABSENT_PORTS");
}

inline constexpr char kNoUnitPorts[] =
    "no simulated unit: ZYL_TEST_UNIT_PORTS is unset (scripts/run-wine-tests sets it)";
inline constexpr int kUnitAccessCode = 4827;
