#include <gtest/gtest.h>

#include "cp1250_literal.h"
#include "main_harness.h"

namespace {

struct FaultCase {
    const char* fault;
    int code;
    ErrorKind kind;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.fault << " -> " << c.code;
}

class ResetFault : public ::testing::TestWithParam<FaultCase> {};

// Every wrong or missing answer of the factory reset ends in its error with the specified
// report: the message, the log line, the buttons, no timer, and the port left as it was.
TEST_P(ResetFault, EndsInItsError) {
    const FaultCase c = GetParam();
    MainHarness h;
    h.unit.setFault(*parseFault(c.fault));
    h.acceptConnectDialog();
    h.window.click(MainDialog::kConnectButton);
    ASSERT_GE(h.stepper.runToEnd(), 0);

    EXPECT_EQ(h.window.activeTimer(), 0);
    EXPECT_EQ(h.dialog.state().portOpen, 1);  // a failed reset leaves the port to the user's next try
    EXPECT_FALSE(h.logged("Tovarni nastavení uloženo"));
    const std::string top = h.logLines().back();
    switch (c.kind) {
        case ErrorKind::Fatal: {
            const std::string message = fatalMessage(c.code);
            EXPECT_EQ(h.screen.boxTexts(), std::vector<std::string>{message});
            EXPECT_TRUE(h.dialog.logText().starts_with(message + "\r\n"));
            for (int id = 1000; id <= 1005; ++id) {
                EXPECT_FALSE(h.enabled(id)) << id;
            }
            break;
        }
        case ErrorKind::Disconnect: {
            const std::string message = "Chyba " + std::to_string(c.code) + " - ZYL odpojeno.";
            EXPECT_EQ(h.screen.boxTexts(), std::vector<std::string>{message});
            EXPECT_EQ(top, message);
            for (int id = 1000; id <= 1005; ++id) {
                EXPECT_EQ(h.enabled(id), id == 1004) << id;
            }
            break;
        }
        case ErrorKind::Logged:
            EXPECT_TRUE(h.screen.boxes.empty());
            EXPECT_EQ(top, "Chyba " + std::to_string(c.code) + " - Uložení názvu výtahu se nezdařilo!");
            for (int id = 1000; id <= 1005; ++id) {
                EXPECT_FALSE(h.enabled(id)) << id;
            }
            break;
    }
}

constexpr auto F = ErrorKind::Fatal;
constexpr auto D = ErrorKind::Disconnect;

INSTANTIATE_TEST_SUITE_P(
    Codes, ResetFault,
    ::testing::Values(FaultCase{"wrong@0x1E:1", 301, ErrorKind::Logged},  // no 0xFF after the name's end
                      FaultCase{"wrong@0x23", 302, F}, FaultCase{"silence@0x23", 303, F},
                      FaultCase{"wrong@0x1F", 304, F}, FaultCase{"silence@0x1F", 305, F},
                      FaultCase{"wrong@0x19", 306, F}, FaultCase{"silence@0x19", 307, F},
                      FaultCase{"wrong@0x20:0", 308, F},        // a wrong echo of the code's high byte
                      FaultCase{"double-echo@0x20:0", 309, F},  // 0x12 0x12: two bytes
                      FaultCase{"wrong@0x20:1", 310, F},        // a wrong echo of the low byte
                      FaultCase{"drop-echo@0x20:2", 311, F},    // the low byte's echo alone
                      FaultCase{"wrong@0x20:2", 312, F},
                      FaultCase{"wrong@0x24:5", 320, F},      // a wrong echo of the seconds
                      FaultCase{"drop-echo@0x24:2", 320, F},  // a lost echo breaks the chain
                      FaultCase{"stray@0x24:1", 320, F},      // so does a stray byte
                      FaultCase{"wrong@0x24:6", 321, F}, FaultCase{"drop-echo@0x24:6", 322, F},
                      FaultCase{"silence@0x18", 521, D}, FaultCase{"silence@0x28", 522, D},
                      FaultCase{"wrong@0x18:0", 521, D},  // anything but 0x07 first
                      FaultCase{"wrong@0x18:3", 523, D}, FaultCase{"wrong@0x28:3", 524, D},
                      FaultCase{"slow-erase@0x18", 525, D}, FaultCase{"slow-erase@0x28", 526, D},
                      FaultCase{"hangup@0x18", 521, D}, FaultCase{"hangup@0x24", 320, F}));

// Faults the reset does not notice, because only what is judged can fail.
TEST(ResetFaultUnnoticed, AnAnswerSplitAcrossTicksInTheEraseIsStillAnAnswer) {
    MainHarness h;
    h.unit.setFault(*parseFault("split@0x18:3"));
    h.acceptConnectDialog();
    h.window.click(MainDialog::kConnectButton);
    h.stepper.runToEnd();
    EXPECT_EQ(h.logLines().back(), "Tovarni nastavení uloženo");
}

TEST(ResetFaultUnnoticed, AStrayByteAfterTheEraseAcknowledgementGoesUnnoticed) {
    MainHarness h;
    h.unit.setFault(*parseFault("stray@0x18:0"));  // 0x07 0x55: only the first byte is judged
    h.acceptConnectDialog();
    h.window.click(MainDialog::kConnectButton);
    h.stepper.runToEnd();
    EXPECT_EQ(h.logLines().back(), "Tovarni nastavení uloženo");
}

}  // namespace
