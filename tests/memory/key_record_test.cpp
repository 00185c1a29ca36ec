#include <gtest/gtest.h>

#include "key_record.h"
#include "memory_test_support.h"

namespace {

struct CountCase {
    int recordSize;
    int records;
    int listed;
};

TEST(RecordCounts, WholeImageAndListedRangeDiffer) {
    const CountCase cases[] = {
        {100, 655, 654}, {65, 1008, 1006}, {15, 4369, 4360}, {250, 262, 261}, {14, 0, 0}, {0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.recordSize);
        EXPECT_EQ(recordCount(c.recordSize), c.records);
        EXPECT_EQ(listedCount(c.recordSize), c.listed);
    }
}

TEST(RecordCounts, RecordInImageOnlyWhenItsLastByteIsInside) {
    EXPECT_TRUE(recordInImage(0, 100));
    EXPECT_TRUE(recordInImage(654, 100));  // bytes 65400..65499
    EXPECT_FALSE(recordInImage(655, 100));
    EXPECT_FALSE(recordInImage(-1, 100));
    EXPECT_FALSE(recordInImage(kEndMark, 15));
    EXPECT_FALSE(recordInImage(0, 14));
}

TEST(KeyState, UsedEndAndFreeFollowTheKeyBytes) {
    KeyCode mixed = filledKey(0xFF);
    mixed[3] = 0x00;
    KeyCode almostEnd = filledKey(0xFF);
    almostEnd[11] = 0xFE;
    EXPECT_EQ(keyStateOf(filledKey(0x00)), KeyState::Free);
    EXPECT_EQ(keyStateOf(filledKey(0xFF)), KeyState::End);
    EXPECT_EQ(keyStateOf(mixed), KeyState::Free);
    EXPECT_EQ(keyStateOf(almostEnd), KeyState::Used);
    EXPECT_EQ(keyStateOf(keyOf({0x01})), KeyState::Used);
}

TEST(KeyState, RecordOutsideTheImageReadsAsFreeAndEmpty) {
    MemoryImage image;
    image.fill(0x41);
    EXPECT_EQ(recordState(image, 655, 100), KeyState::Free);
    EXPECT_EQ(keyCodeOf(image, 655, 100), KeyCode{});
    EXPECT_EQ(floorMaskOf(image, -1, 100), FloorMask{});
    EXPECT_EQ(listComment(image, 655, 100), "");
    EXPECT_EQ(recordState(image, 654, 100), KeyState::Used);
}

struct TextCase {
    const char* name;
    KeyCode key;
    std::string listText;
    std::string csvText;
};

TEST(KeyCodeText, BothFormsAndTheZeroByteRule) {
    using namespace std::string_literals;
    const TextCase cases[] = {
        {"byte code, most significant byte first", keyOf({1, 2, 3, 4, 5, 6, 7, 8}), "0807060504030201",
         "0807060504030201"},
        {"byte A5 as two digits", keyOf({0xA5, 0, 0, 0, 0, 0, 0, 0x0F}), "0F000000000000A5",
         "0F000000000000A5"},
        {"character code from byte 11 down",
         keyOf({'0', '5', '6', '7', '8', '9', 'F', 'E', 'D', 'C', 'B', 'A'}), "ABCDEF987650", "ABCDEF987650"},
        {"0x00 in a character code", keyOf({'1', '2', 0, '3', 0, 0, 0, 0, 0, 0, 0, 'Z'}), "Z321",
         "Z"s + std::string(7, '\0') + "3" + std::string(1, '\0') + "21"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(keyCodeText(c.key, ZeroBytes::Skip), c.listText);
        EXPECT_EQ(keyCodeText(c.key, ZeroBytes::Keep), c.csvText);
    }
}

TEST(ListComment, KeepsPrintableBytesAndSkipsTheOthersWithoutStopping) {
    const struct {
        const char* name;
        std::string stored;
        std::string shown;
    } cases[] = {
        {"six characters then zeros", "Kabina", "Kabina"},
        {"line feed in the middle", "Kab\nina", "Kabina"},
        {"control bytes and 0xFF skipped",
         "\x01"
         "A\x1F"
         "B\xFF"
         "C",
         "ABC"},
        {"code page letters and 0xFE kept", "\x80\xE8\xFE", "\x80\xE8\xFE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryImage image{};
        writeRecord(image, 100, 1, keyOf({1}), {}, c.stored);
        EXPECT_EQ(listComment(image, 1, 100), c.shown);
    }
}

TEST(ListComment, StopsAtTheEndOfItsRecord) {
    MemoryImage image{};
    writeRecord(image, 20, 0, keyOf({1}), {}, "ABCDE");
    writeRecord(image, 20, 1, keyOf({'X', 'Y', 'Z'}), {}, "next");
    EXPECT_EQ(listComment(image, 0, 20), "ABCDE");
    EXPECT_EQ(listComment(image, 0, 15), "");
}

TEST(FloorMask, FloorOneIsBitZeroOfTheFirstByte) {
    const FloorMask mask = {0x01, 0x80, 0x00};
    for (int floor = 1; floor <= kFloors; ++floor) {
        EXPECT_EQ(floorAllowed(mask, floor), floor == 1 || floor == 16) << floor;
    }
    EXPECT_FALSE(floorAllowed({0xFF, 0xFF, 0xFF}, 0));
    EXPECT_FALSE(floorAllowed({0xFF, 0xFF, 0xFF}, 25));
}

TEST(FloorMask, SetFloorTouchesOnlyItsBit) {
    FloorMask mask{};
    setFloor(mask, 24, true);
    setFloor(mask, 1, true);
    setFloor(mask, 9, true);
    EXPECT_EQ(mask, (FloorMask{0x01, 0x01, 0x80}));
    setFloor(mask, 9, false);
    setFloor(mask, 0, true);
    setFloor(mask, 25, true);
    EXPECT_EQ(mask, (FloorMask{0x01, 0x00, 0x80}));
}

}  // namespace
