#include "com_port_names.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

// Windows reaches COM1..COM9 by their plain names; from COM10 on only the device
// namespace finds the port.
TEST(ComPortNames, PlainNamesUpToNineDeviceNamespaceFromTen) {
    for (int port = 1; port <= 70; ++port) {
        SCOPED_TRACE(port);
        const std::string expected = (port <= 9 ? "COM" : "\\\\.\\COM") + std::to_string(port);
        EXPECT_EQ(kComPortNames[port], expected);
    }
}

TEST(ComPortNames, BoundaryRowsWrittenOut) {
    struct Row {
        int port;
        const char* name;
    };
    for (const Row& row :
         {Row{1, "COM1"}, Row{9, "COM9"}, Row{10, R"(\\.\COM10)"}, Row{70, R"(\\.\COM70)"}}) {
        SCOPED_TRACE(row.port);
        EXPECT_STREQ(kComPortNames[row.port], row.name);
    }
}

}  // namespace
