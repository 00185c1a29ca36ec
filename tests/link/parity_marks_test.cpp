#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "link_internals.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct MarkCase {
    const char* name;
    Bytes raw;
    int shortfall;
    Bytes collapsed;
};

class ParityMarksTest : public ::testing::TestWithParam<MarkCase> {};

TEST_P(ParityMarksTest, CollapseToTheBytesTheUnitSent) {
    Bytes bytes = GetParam().raw;
    const int count = static_cast<int>(bytes.size());
    EXPECT_EQ(serial_port_detail::parityMarkShortfall(bytes.data(), count), GetParam().shortfall);
    bytes.resize(static_cast<std::size_t>(serial_port_detail::collapseParityMarks(bytes.data(), count)));
    EXPECT_EQ(bytes, GetParam().collapsed);
}

INSTANTIATE_TEST_SUITE_P(
    Reads, ParityMarksTest,
    ::testing::Values(MarkCase{"Plain", {0x01, 0x00, 0x7F}, 0, {0x01, 0x00, 0x7F}},
                      MarkCase{"DoubledFF", {0x41, 0xFF, 0xFF, 0x42}, 0, {0x41, 0xFF, 0x42}},
                      MarkCase{"BadByte", {0x41, 0xFF, 0x00, 0x13, 0x42}, 0, {0x41, 0xFF, 0x42}},
                      MarkCase{"BadZero", {0xFF, 0x00, 0x00}, 0, {0xFF}},
                      MarkCase{"MarkOfAMark", {0xFF, 0x00, 0xFF, 0xFF, 0xFF}, 0, {0xFF, 0xFF}},
                      MarkCase{"CutAfterEscape", {0x41, 0xFF}, 1, {0x41, 0xFF}},
                      MarkCase{"CutInsideMark", {0x41, 0xFF, 0x00}, 1, {0x41, 0xFF}},
                      MarkCase{"Empty", {}, 0, {}}),
    [](const ::testing::TestParamInfo<MarkCase>& info) { return info.param.name; });

}  // namespace
