#pragma once

#include <array>
#include <string_view>

#include "key_record.h"

// The rows of the key list and the free slots between them, rebuilt from the image. Row n
// is the n-th used record among the first listedCount(recordSize) records; freeSlots()
// holds the other record numbers ascending, followed by the end mark 0xFFFF.
class KeyList {
public:
    KeyList();

    void rebuild(const MemoryImage& image, int recordSize);

    int rowCount() const { return rowCount_; }
    int recordOfRow(int row) const;                      // -1 for a row outside the list
    int rowOfRecord(int record) const;                   // record minus the free slots up to it; -1 below 0
    int firstFreeSlot() const { return freeSlots_[0]; }  // kEndMark when every record is used
    const std::array<int, kMaxRecords + 1>& freeSlots() const { return freeSlots_; }

private:
    std::array<int, kMaxRecords + 1> freeSlots_;
    std::array<int, kMaxRecords> rowRecords_;
    int rowCount_ = 0;
    int freeCount_ = 0;  // entries of freeSlots_ before the end mark
};

// The first record among 0..recordCount-1 whose key code equals key, or -1.
int findRecordByKey(const MemoryImage& image, int recordSize, const KeyCode& key);

// Whether a new key may be stored: not all 0x00, not all 0xFF, and not already held by a
// record before the first end record.
enum class KeyCheck { Accepted, AllZero, AllOnes, AlreadyStored };
KeyCheck checkPendingKey(const MemoryImage& image, int recordSize, const KeyCode& key);

// Overwrites record `record`: key, floors, the comment cut to recordSize-15 bytes, zeros
// after it. Refuses (returns false, image untouched) a record that does not lie wholly
// inside the image.
bool writeRecord(MemoryImage& image, int recordSize, int record, const KeyCode& key, const FloorMask& floors,
                 std::string_view commentCp1250);

// A deleted key: its 12 key bytes become 0; floors and comment stay. A record outside the
// image is left alone.
void deleteKey(MemoryImage& image, int recordSize, int record);
