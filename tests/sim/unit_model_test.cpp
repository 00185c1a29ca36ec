#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <utility>
#include <vector>

#include "unit_commands.h"
#include "unit_model.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Millis = UnitModel::Millis;

// Feeds bytes at chosen times and looks at what has fallen due, as a serial port would.
class UnitModelTest : public ::testing::Test {
protected:
    explicit UnitModelTest(UnitModel::Config config = {}) : unit(config) {}

    void send(const Bytes& bytes, Millis at) {
        for (const std::uint8_t b : bytes) {
            unit.receive(b, at);
        }
    }
    // Sends the bytes at `at` and returns what is due 1 ms later.
    Bytes ask(const Bytes& bytes, Millis at) {
        send(bytes, at);
        return unit.takeOutput(at + 1);
    }
    // Every answer byte with the time it falls due, stepping the clock 1 ms at a time.
    std::vector<std::pair<Millis, std::uint8_t>> timeline(Millis from, Millis to) {
        std::vector<std::pair<Millis, std::uint8_t>> arrivals;
        for (Millis t = from; t <= to; ++t) {
            for (const std::uint8_t b : unit.takeOutput(t)) {
                arrivals.emplace_back(t, b);
            }
        }
        return arrivals;
    }
    void logIn(Millis at) {
        ASSERT_EQ(ask({0x04, 0x01, 0xA7, 0x5A, 0x59, 0x4C}, at), Bytes{0x07});
        ASSERT_EQ(ask({0x07, 0x12, 0xDB}, at + 10), Bytes{0x01});
    }

    UnitModel unit;
};

class HandshakeTest : public UnitModelTest, public ::testing::WithParamInterface<std::uint8_t> {};

TEST_P(HandshakeTest, AnswersUnitPresentOnlyAfterTheL) {
    EXPECT_TRUE(ask({0x04, 0x01, GetParam(), 0x5A, 0x59}, 0).empty());
    EXPECT_EQ(ask({0x4C}, 50), Bytes{unit::kUnitPresent});
}

INSTANTIATE_TEST_SUITE_P(UsbAndBluetooth, HandshakeTest,
                         ::testing::Values(unit::kHandshakeUsb, unit::kHandshakeBluetooth));

TEST_F(UnitModelTest, HandshakeWithAWrongByteIsNotAnswered) {
    EXPECT_TRUE(ask({0x01, 0xA7, 0x5A, 0x58, 0x4C}, 0).empty());
    EXPECT_TRUE(ask({0x01, 0xA5, 0x5A, 0x59, 0x4C}, 10).empty());
}

struct CodeCase {
    int configured;
    Bytes sent;
    std::uint8_t answer;
    bool loggedIn;

    friend void PrintTo(const CodeCase& c, std::ostream* os) {
        *os << "unit code " << c.configured << ", sent " << (c.sent[1] << 8 | c.sent[2]);
    }
};

class AccessCodeTest : public ::testing::TestWithParam<CodeCase> {};

TEST_P(AccessCodeTest, AcceptsOnlyTheUnitsCode) {
    UnitModel unit(UnitModel::Config{.accessCode = GetParam().configured});
    for (const std::uint8_t b : Bytes{0x01, 0xA6, 0x5A, 0x59, 0x4C}) {
        unit.receive(b, 0);
    }
    unit.takeOutput(10);
    for (const std::uint8_t b : GetParam().sent) {
        unit.receive(b, 20);
    }
    EXPECT_EQ(unit.takeOutput(21), Bytes{GetParam().answer});
    EXPECT_EQ(unit.loggedIn(), GetParam().loggedIn);
}

INSTANTIATE_TEST_SUITE_P(Codes, AccessCodeTest,
                         ::testing::Values(CodeCase{4827, {0x07, 0x12, 0xDB}, 0x01, true},
                                           CodeCase{4827, {0x07, 0x12, 0xDC}, 0x15, false},
                                           CodeCase{42, {0x07, 0x00, 0x2A}, 0x01, true},
                                           CodeCase{42, {0x07, 0x2A, 0x00}, 0x15, false}));

TEST_F(UnitModelTest, AccessCodeCountsOnlyRightAfterAHandshake) {
    // Outside that, 0x07 is no command: the 0x05 behind it is a keep-alive.
    EXPECT_EQ(ask({0x07, 0x05}, 0), Bytes{unit::kAck});
    EXPECT_FALSE(unit.loggedIn());
}

TEST_F(UnitModelTest, EndOfLinkLogsOut) {
    logIn(0);
    send({0x04}, 100);
    EXPECT_FALSE(unit.loggedIn());
    EXPECT_TRUE(unit.takeOutput(200).empty());
}

TEST_F(UnitModelTest, KeepAliveIsAcknowledged) {
    EXPECT_EQ(ask({0x05}, 0), Bytes{unit::kAck});
}

TEST_F(UnitModelTest, AnswersAreHeldUntilDue) {
    send({0x05}, 100);
    EXPECT_EQ(unit.nextOutputTime(), 101);
    EXPECT_TRUE(unit.takeOutput(100).empty());
    EXPECT_EQ(unit.takeOutput(101), Bytes{unit::kAck});
    EXPECT_EQ(unit.nextOutputTime(), -1);
}

TEST_F(UnitModelTest, OutputCanBeTakenInPortions) {
    send({0x6B}, 0);
    EXPECT_EQ(unit.takeOutput(1, 5).size(), 5u);
    EXPECT_EQ(unit.takeOutput(1).size(), 8u);
}

TEST_F(UnitModelTest, ReaderWithoutKeyAnswersThirteenZeros) {
    EXPECT_EQ(ask({0x6B}, 0), Bytes(13, 0x00));
}

TEST_F(UnitModelTest, ReaderReportsTheHeldKeyUntilReleased) {
    const KeyCode key{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF, 0, 0, 0, 0};
    unit.holdKey(key);
    Bytes expected{0x01};
    expected.insert(expected.end(), key.begin(), key.end());
    EXPECT_EQ(ask({0x6B}, 0), expected);
    unit.releaseKey();
    EXPECT_EQ(ask({0x6B}, 100), Bytes(13, 0x00));
    EXPECT_EQ(unit.events().size(), 1u);
}

TEST_F(UnitModelTest, EmptyLiftNameIsAnsweredWithTwoFFs) {
    send({0x1E}, 0);
    EXPECT_EQ(ask({0xFF}, 200), (Bytes{0xFF, 0xFF}));
    EXPECT_EQ(unit.liftName(), "");
}

TEST_F(UnitModelTest, LiftNameBytesAreEchoedSinglyAndStored) {
    EXPECT_TRUE(ask({0x1E}, 0).empty());
    EXPECT_EQ(ask({'A'}, 200), Bytes{'A'});
    EXPECT_EQ(ask({0x8A}, 400), Bytes{0x8A});  // Š in code page 1250
    EXPECT_EQ(ask({'c'}, 600), Bytes{'c'});
    EXPECT_EQ(ask({0xFF}, 800), (Bytes{0xFF, 0xFF}));
    EXPECT_EQ(unit.liftName(),
              "A\x8A"
              "c");
}

TEST_F(UnitModelTest, LiftNameKeepsAtMost49Bytes) {
    send({0x1E}, 0);
    send(Bytes(60, 'x'), 0);
    send({0xFF}, 0);
    EXPECT_EQ(unit.liftName(), std::string(49, 'x'));
}

struct SettingCase {
    std::uint8_t command;
    std::uint8_t value;
    int (*stored)(const UnitModel&);

    friend void PrintTo(const SettingCase& c, std::ostream* os) { *os << "command " << int{c.command}; }
};

class SettingTest : public UnitModelTest, public ::testing::WithParamInterface<SettingCase> {};

TEST_P(SettingTest, IsAcknowledgedAfterTheValueWithoutEcho) {
    EXPECT_TRUE(ask({GetParam().command}, 0).empty());
    EXPECT_EQ(ask({GetParam().value}, 200), Bytes{unit::kAck});
    EXPECT_EQ(GetParam().stored(unit), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    RecordSizeTimeRelay, SettingTest,
    ::testing::Values(SettingCase{unit::kRecordSize, 0x41, [](const UnitModel& u) { return u.recordSize(); }},
                      SettingCase{unit::kAccessTime, 0, [](const UnitModel& u) { return u.accessTime(); }},
                      SettingCase{unit::kRelayByte, 0xC0,
                                  [](const UnitModel& u) { return static_cast<int>(u.relayByte()); }}));

TEST_F(UnitModelTest, AccessCodeHighByteIsEchoedAloneAndTheLowOneWithAck) {
    send({0x20}, 0);
    EXPECT_EQ(ask({0x00}, 200), Bytes{0x00});
    EXPECT_EQ(ask({0x2A}, 400), (Bytes{0x2A, unit::kAck}));
    EXPECT_EQ(unit.accessCode(), 42);
    EXPECT_EQ(ask({0x01, 0xA7, 0x5A, 0x59, 0x4C, 0x07, 0x00, 0x2A}, 600), (Bytes{0x07, 0x01}));
}

TEST_F(UnitModelTest, ClockBytesAreEchoedAndAcknowledgedTwoSecondsLater) {
    send({0x24}, 0);
    const Bytes clock{13, 12, 31, 23, 59, 58};
    Millis at = 200;
    for (const std::uint8_t b : clock) {
        EXPECT_EQ(ask({b}, at), Bytes{b});
        at += 200;
    }
    const Millis seconds = at - 200;
    EXPECT_TRUE(unit.takeOutput(seconds + 1999).empty());
    EXPECT_EQ(unit.takeOutput(seconds + 2000), Bytes{unit::kAck});
    EXPECT_EQ(unit.clock().year, 13);
    EXPECT_EQ(unit.clock().month, 12);
    EXPECT_EQ(unit.clock().second, 58);
}

TEST_F(UnitModelTest, KeyEraseReportsProgressAndErasesTheMemory) {
    unit.memory().fill(0x00);
    send({0x18, 0x08}, 0);
    send({0x11}, 150);
    const auto arrivals = timeline(150, 1800);
    ASSERT_GE(arrivals.size(), 3u);
    EXPECT_EQ(arrivals.front(), std::make_pair(Millis{151}, unit::kUnitPresent));
    EXPECT_EQ(arrivals.back(), std::make_pair(Millis{151 + 1500}, unit::kEraseDone));
    for (std::size_t i = 1; i + 1 < arrivals.size(); ++i) {
        EXPECT_EQ(arrivals[i].second, unit::kEraseProgress);
        EXPECT_LE(arrivals[i].first - arrivals[i - 1].first, 100);
    }
    EXPECT_LE(arrivals.back().first - arrivals[arrivals.size() - 2].first, 100);
    EXPECT_TRUE(std::all_of(unit.memory().begin(), unit.memory().end(), [](auto b) { return b == 0xFF; }));
    EXPECT_EQ(unit.keyErasures(), 1);
    EXPECT_EQ(unit.logErasures(), 0);
}

TEST_F(UnitModelTest, LogEraseClearsTheLogAndLeavesTheMemory) {
    unit.memory().fill(0x00);
    unit.holdKey({1});
    send({0x28, 0x08, 0x13}, 0);
    const auto arrivals = timeline(0, 2000);
    EXPECT_EQ(arrivals.front().second, unit::kUnitPresent);
    EXPECT_EQ(arrivals.back().second, unit::kEraseDone);
    EXPECT_EQ(unit.logErasures(), 1);
    EXPECT_TRUE(unit.events().empty());
    EXPECT_EQ(unit.memory()[0], 0x00);
}

class MalformedEraseTest : public UnitModelTest, public ::testing::WithParamInterface<Bytes> {};

TEST_P(MalformedEraseTest, IsNotAnswered) {
    unit.memory().fill(0x00);
    send(GetParam(), 0);
    EXPECT_TRUE(unit.takeOutput(5000).empty());
    EXPECT_EQ(unit.keyErasures() + unit.logErasures(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sequences, MalformedEraseTest,
                         ::testing::Values(Bytes{0x18, 0x08, 0x13}, Bytes{0x28, 0x08, 0x11},
                                           Bytes{0x18, 0x09, 0x11}));

// A record of 20 bytes: 5 comment bytes.
class KeyWriteTest : public UnitModelTest {
protected:
    static constexpr int kRecord = 0x0102;
    static constexpr int kBase = kRecord * 20;

    void SetUp() override { ASSERT_EQ(ask({0x23, 20}, 0), Bytes{unit::kAck}); }

    // Record number, key code and floors, each byte echoed before the next goes out.
    void writeFirstPart(const KeyCode& key, const Bytes& floors) {
        send({0x11}, 100);
        Bytes part{0x01, 0x02};
        part.insert(part.end(), key.begin(), key.end());
        part.insert(part.end(), floors.begin(), floors.end());
        Millis at = 200;
        for (const std::uint8_t b : part) {
            ASSERT_EQ(ask({b}, at), Bytes{b});
            at += 200;
        }
        const Millis lastFloor = at - 200;
        EXPECT_TRUE(unit.takeOutput(lastFloor + 2).empty());
        EXPECT_EQ(unit.takeOutput(lastFloor + 50), Bytes{unit::kAck});
    }
    Bytes record() const { return Bytes(unit.memory().begin() + kBase, unit.memory().begin() + kBase + 20); }

    const KeyCode key{0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0, 0, 0, 0};
};

TEST_F(KeyWriteTest, StoresKeyFloorsAndCommentAnsweringOnlyTheClosingZero) {
    writeFirstPart(key, {0x05, 0x00, 0x80});
    EXPECT_TRUE(ask({'A'}, 5000).empty());
    EXPECT_TRUE(ask({'b'}, 5200).empty());
    EXPECT_EQ(ask({0x00}, 5400), Bytes{unit::kAck});
    Bytes expected(key.begin(), key.end());
    expected.insert(expected.end(), {0x05, 0x00, 0x80, 'A', 'b', 0, 0, 0});
    EXPECT_EQ(record(), expected);
    EXPECT_EQ(unit.memory()[kBase + 20], 0xFF);
}

TEST_F(KeyWriteTest, CommentFillingTheRecordIsClosedByTheExtraZero) {
    writeFirstPart(key, {0xFF, 0xFF, 0xFF});
    EXPECT_TRUE(ask({'1', '2', '3', '4', '5'}, 5000).empty());
    EXPECT_EQ(ask({0x00}, 6000), Bytes{unit::kAck});
    Bytes expected(key.begin(), key.end());
    expected.insert(expected.end(), {0xFF, 0xFF, 0xFF, '1', '2', '3', '4', '5'});
    EXPECT_EQ(record(), expected);
    EXPECT_EQ(unit.memory()[kBase + 20], 0xFF);
    EXPECT_EQ(ask({0x05}, 7000), Bytes{unit::kAck});  // back to commands
}

TEST_F(KeyWriteTest, DeleteEchoesTheRecordNumberAndClearsOnlyTheKey) {
    writeFirstPart(key, {0x01, 0x02, 0x03});
    ask({0x00}, 5000);
    send({0x13}, 6000);
    EXPECT_EQ(ask({0x01}, 6200), Bytes{0x01});
    EXPECT_EQ(ask({0x02}, 6400), Bytes{0x02});
    EXPECT_EQ(unit.takeOutput(6450), Bytes{unit::kAck});
    Bytes expected(12, 0x00);
    expected.insert(expected.end(), {0x01, 0x02, 0x03, 0, 0, 0, 0, 0});
    EXPECT_EQ(record(), expected);
}

class ImageWriteTest : public ::testing::TestWithParam<int> {};

TEST_P(ImageWriteTest, TakesAllBlocksAndAnswersEachAfterItsLastByte) {
    UnitModel unit(UnitModel::Config{.blockAcceptedEvery = GetParam()});
    for (const std::uint8_t b : Bytes{0x1D, 0x07, 0x1A}) {
        unit.receive(b, 0);
    }
    ASSERT_EQ(unit.takeOutput(1), Bytes{unit::kImageReady});
    MemoryImage image;
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    }
    for (int block = 0; block < unit::kImageBlocks; ++block) {
        const Millis at = 500 + 500 * block;
        for (int i = 0; i < unit::kImageBlockSize; ++i) {
            unit.receive(image[static_cast<std::size_t>(block * unit::kImageBlockSize + i)], at);
            if (i == unit::kImageBlockSize - 2) {
                ASSERT_TRUE(unit.takeOutput(at + 1).empty());
            }
        }
        const bool alternate = GetParam() > 0 && (block + 1) % GetParam() == 0;
        const Millis answered = at + UnitModel::Config{}.blockAckDelayMs;
        ASSERT_TRUE(unit.takeOutput(answered - 1).empty()) << block;  // the block is still on the line
        ASSERT_EQ(unit.takeOutput(answered), Bytes{alternate ? unit::kBlockAccepted : unit::kAck}) << block;
    }
    EXPECT_EQ(unit.memory(), image);
    EXPECT_EQ(unit.imageBlocksReceived(), unit::kImageBlocks);
    unit.receive(unit::kKeepAlive, 300000);
    EXPECT_EQ(unit.takeOutput(300001), Bytes{unit::kAck});
}

INSTANTIATE_TEST_SUITE_P(AckAndEveryThirdBlockAccepted, ImageWriteTest, ::testing::Values(0, 3));

TEST_F(UnitModelTest, BytesThatStartNoCommandAreIgnored) {
    EXPECT_TRUE(ask({0x00, 0x42, 0xFF, 0x76, 0x7A, 0x06}, 0).empty());
    EXPECT_EQ(ask({0x05}, 10), Bytes{unit::kAck});
    EXPECT_EQ(unit.received().size(), 7u);
}

TEST_F(UnitModelTest, CommandWhoseParametersStopComingIsDropped) {
    send({0x23}, 0);
    EXPECT_EQ(ask({0x05}, 10'001), Bytes{unit::kAck});
    EXPECT_EQ(unit.recordSize(), 65);
}

}  // namespace
