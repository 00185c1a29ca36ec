#include <gtest/gtest.h>

#include <ostream>

#include "fault.h"

namespace {

struct ParsedFault {
    const char* text;
    Fault fault;

    friend void PrintTo(const ParsedFault& c, std::ostream* os) { *os << c.text; }
};

class FaultTextTest : public ::testing::TestWithParam<ParsedFault> {};

TEST_P(FaultTextTest, ParsesAndDescribesBackTheSameText) {
    const auto parsed = parseFault(GetParam().text);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(*parsed, GetParam().fault);
    EXPECT_EQ(describe(*parsed), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, FaultTextTest,
    ::testing::Values(ParsedFault{"none", {}}, ParsedFault{"silence@0x23", {FaultKind::Silence, 0x23}},
                      ParsedFault{"wrong@0x20:1", {FaultKind::WrongByte, 0x20, 1}},
                      ParsedFault{"drop-echo@0x24:5", {FaultKind::DropEcho, 0x24, 5}},
                      ParsedFault{"double-echo@0x11:13:2", {FaultKind::DoubleEcho, 0x11, 13, 2}},
                      ParsedFault{"stray@*:0:3", {FaultKind::StrayByte, std::nullopt, 0, 3}},
                      ParsedFault{"split@0x6B:5", {FaultKind::SplitAnswer, 0x6B, 5}},
                      ParsedFault{"refuse-code", {FaultKind::RefuseCode, std::nullopt}},
                      ParsedFault{"slow-erase@0x28", {FaultKind::SlowErase, 0x28}},
                      ParsedFault{"hangup@0x18:0:1", {FaultKind::HangUp, 0x18, 0, 1}}));

TEST(FaultText, AcceptsDecimalAndHexAlike) {
    EXPECT_EQ(parseFault("wrong@35:0x10:2"), (Fault{FaultKind::WrongByte, 0x23, 16, 2}));
    EXPECT_EQ(parseFault("split@0X6b"), (Fault{FaultKind::SplitAnswer, 0x6B}));
}

class MalformedFaultTest : public ::testing::TestWithParam<const char*> {};

TEST_P(MalformedFaultTest, IsRefused) {
    EXPECT_FALSE(parseFault(GetParam()).has_value());
}

INSTANTIATE_TEST_SUITE_P(Texts, MalformedFaultTest,
                         ::testing::Values("", "wrongbyte", "Silence", "wrong@", "wrong@0x100", "wrong@256",
                                           "wrong@0x", "wrong@zz", "wrong@0x20:", "wrong@0x20:-1",
                                           "wrong@0x20:1:", "wrong@0x20:1:2:3", "wrong@0x20:x1", "wrong@ 5",
                                           "wrong@0x20:99999999999"));

}  // namespace
