#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "key_list.h"
#include "memory_test_support.h"

namespace {

// The row/record mapping as the main window once walked it: a cursor into freeSlots
// skipping the free record numbers one by one.
int walkRecordOfRow(const KeyList& list, int row) {
    int k = 0;
    for (int j = 0; j < kMaxRecords; ++j) {
        if (list.freeSlots()[k] == j) {
            ++k;
        } else if (row == 0) {
            return j;
        } else {
            --row;
        }
    }
    return -1;
}

int walkRowOfRecord(const KeyList& list, int record) {
    int k = 0;
    for (int j = 0; j <= record; ++j) {
        if (list.freeSlots()[k] == j) {
            ++k;
        }
    }
    return record - k;
}

std::vector<int> freeSlotsUpToEndMark(const KeyList& list) {
    std::vector<int> slots;
    for (int slot : list.freeSlots()) {
        slots.push_back(slot);
        if (slot == kEndMark) {
            break;
        }
    }
    return slots;
}

TEST(KeyList, ClearedImageAtSize100ListsNothingAndFreesTheListedRange) {
    MemoryImage image{};
    KeyList list;
    list.rebuild(image, 100);
    std::vector<int> expected;
    for (int record = 0; record < 654; ++record) {
        expected.push_back(record);
    }
    expected.push_back(kEndMark);
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(freeSlotsUpToEndMark(list), expected);
    EXPECT_EQ(list.firstFreeSlot(), 0);
    EXPECT_EQ(list.recordOfRow(0), -1);
}

TEST(KeyList, RowsSkipFreeRecords) {
    MemoryImage image{};
    putRecord(image, 100, 0, keyOf({1}));
    putRecord(image, 100, 2, keyOf({2}));
    KeyList list;
    list.rebuild(image, 100);
    EXPECT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.recordOfRow(0), 0);
    EXPECT_EQ(list.recordOfRow(1), 2);
    EXPECT_EQ(list.rowOfRecord(0), 0);
    EXPECT_EQ(list.rowOfRecord(2), 1);
    EXPECT_EQ(list.firstFreeSlot(), 1);
    EXPECT_EQ(list.recordOfRow(2), -1);
    EXPECT_EQ(list.recordOfRow(-1), -1);
    EXPECT_EQ(list.rowOfRecord(-1), -1);
}

TEST(KeyList, EndRecordsMixedKeysAndRecordsAboveTheListedRangeAreNotRows) {
    MemoryImage image{};
    putRecord(image, 100, 0, filledKey(0xFF));
    KeyCode mixed = filledKey(0xFF);
    mixed[5] = 0x00;
    putRecord(image, 100, 1, mixed);
    putRecord(image, 100, 2, keyOf({7}));
    putRecord(image, 100, 654, keyOf({9}));  // in the image, but reaching into its top 128 bytes
    KeyList list;
    list.rebuild(image, 100);
    EXPECT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.recordOfRow(0), 2);
    EXPECT_EQ(list.freeSlots()[0], 0);
    EXPECT_EQ(list.freeSlots()[1], 1);
    EXPECT_EQ(list.freeSlots()[2], 3);
}

TEST(KeyList, FullImageLeavesOnlyTheEndMark) {
    MemoryImage image{};
    KeyList list;
    list.rebuild(image, 15);  // every slot free first, so nothing stale may survive
    for (int record = 0; record < recordCount(15); ++record) {
        putRecord(image, 15, record, keyOf({static_cast<std::uint8_t>(record), 0x55}));
    }
    list.rebuild(image, 15);
    EXPECT_EQ(list.rowCount(), 4360);
    EXPECT_EQ(list.firstFreeSlot(), kEndMark);
    EXPECT_EQ(freeSlotsUpToEndMark(list), std::vector<int>{kEndMark});
    for (int n : {0, 1, 2000, 4359}) {
        EXPECT_EQ(list.recordOfRow(n), n);
        EXPECT_EQ(list.rowOfRecord(n), n);
    }
}

TEST(KeyList, MappingAgreesWithTheCursorWalk) {
    std::mt19937 random(1250);
    for (int recordSize : {15, 65, 100}) {
        MemoryImage image{};
        for (int record = 0; record < recordCount(recordSize); ++record) {
            if (random() % 3 != 0) {
                putRecord(image, recordSize, record, keyOf({1, static_cast<std::uint8_t>(record)}));
            }
        }
        KeyList list;
        list.rebuild(image, recordSize);
        for (int row = 0; row < list.rowCount(); ++row) {
            ASSERT_EQ(list.recordOfRow(row), walkRecordOfRow(list, row)) << recordSize << " row " << row;
        }
        for (int record = 0; record < listedCount(recordSize); ++record) {
            ASSERT_EQ(list.rowOfRecord(record), walkRowOfRecord(list, record))
                << recordSize << " record " << record;
        }
    }
}

TEST(FindRecordByKey, FindsTheFirstEqualRecordInTheWholeImage) {
    MemoryImage image{};
    putRecord(image, 100, 3, keyOf({5}));
    putRecord(image, 100, 8, keyOf({5}));
    putRecord(image, 100, 654, keyOf({6}));
    EXPECT_EQ(findRecordByKey(image, 100, keyOf({5})), 3);
    EXPECT_EQ(findRecordByKey(image, 100, keyOf({6})), 654);
    EXPECT_EQ(findRecordByKey(image, 100, keyOf({7})), -1);
}

TEST(CheckPendingKey, RefusesBlankAndStoredKeysBeforeTheFirstEndRecord) {
    MemoryImage image{};
    putRecord(image, 100, 3, keyOf({3}));
    putRecord(image, 100, 5, filledKey(0xFF));
    putRecord(image, 100, 7, keyOf({7}));
    const struct {
        const char* name;
        KeyCode key;
        KeyCheck expected;
    } cases[] = {
        {"all zero, though free records hold it", filledKey(0x00), KeyCheck::AllZero},
        {"all 0xFF, though an end record holds it", filledKey(0xFF), KeyCheck::AllOnes},
        {"stored before the end record", keyOf({3}), KeyCheck::AlreadyStored},
        {"stored after the end record", keyOf({7}), KeyCheck::Accepted},
        {"new", keyOf({4}), KeyCheck::Accepted},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(checkPendingKey(image, 100, c.key), c.expected);
    }
}

TEST(CheckPendingKey, WithoutEndRecordSearchesUpToTheLastWholeRecord) {
    MemoryImage image{};
    putRecord(image, 100, 654, keyOf({9}));
    EXPECT_EQ(checkPendingKey(image, 100, keyOf({9})), KeyCheck::AlreadyStored);
}

TEST(WriteRecord, WritesKeyFloorsAndCommentAndZeroesTheRest) {
    MemoryImage image;
    image.fill(0xEE);
    ASSERT_TRUE(writeRecord(image, 20, 1, keyOf({1, 2}), {0x01, 0x00, 0x80}, "ABC"));
    const std::uint8_t expected[20] = {1, 2, 0,    0,    0,    0,   0,   0,   0, 0,
                                       0, 0, 0x01, 0x00, 0x80, 'A', 'B', 'C', 0, 0};
    EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), image.begin() + 20));
    EXPECT_EQ(image[19], 0xEE);
    EXPECT_EQ(image[40], 0xEE);
}

TEST(WriteRecord, CutsALongCommentAtTheRecordEnd) {
    MemoryImage image{};
    ASSERT_TRUE(writeRecord(image, 20, 0, keyOf({1}), {}, "ABCDEFGH"));
    EXPECT_EQ(listComment(image, 0, 20), "ABCDE");
    EXPECT_EQ(image[20], 0);
    ASSERT_TRUE(writeRecord(image, 15, 0, keyOf({1}), {}, "ABC"));
    EXPECT_EQ(image[15], 'A');  // left from before: a 15-byte record has no comment bytes
}

TEST(WriteRecord, RefusesRecordsNotWhollyInsideTheImage) {
    MemoryImage image{};
    for (int record : {kEndMark, 655, -1}) {
        SCOPED_TRACE(record);
        EXPECT_FALSE(writeRecord(image, 100, record, keyOf({1}), {0xFF, 0xFF, 0xFF}, "X"));
    }
    EXPECT_FALSE(writeRecord(image, 10, 0, keyOf({1}), {}, ""));
    EXPECT_TRUE(image == MemoryImage{});
    EXPECT_TRUE(writeRecord(image, 100, 654, keyOf({1}), {}, std::string(85, 'c')));
    EXPECT_EQ(image[65499], 'c');
    EXPECT_EQ(image[65500], 0);
}

TEST(DeleteKey, ClearsOnlyTheKeyBytes) {
    MemoryImage image{};
    putRecord(image, 100, 1, keyOf({1, 2, 3}), {0x04, 0, 0}, "Kabina");
    deleteKey(image, 100, 1);
    EXPECT_EQ(keyCodeOf(image, 1, 100), KeyCode{});
    EXPECT_EQ(floorMaskOf(image, 1, 100), (FloorMask{0x04, 0, 0}));
    EXPECT_EQ(listComment(image, 1, 100), "Kabina");

    const MemoryImage before = image;
    deleteKey(image, 100, 655);
    deleteKey(image, 100, -1);
    EXPECT_TRUE(image == before);
}

}  // namespace
