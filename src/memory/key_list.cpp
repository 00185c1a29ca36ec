#include "key_list.h"

#include <algorithm>

KeyList::KeyList() {
    freeSlots_.fill(kEndMark);
    rowRecords_.fill(0);
}

void KeyList::rebuild(const MemoryImage& image, int recordSize) {
    rowCount_ = 0;
    freeCount_ = 0;
    const int listed = listedCount(recordSize);
    for (int record = 0; record < listed; ++record) {
        if (recordState(image, record, recordSize) == KeyState::Used) {
            rowRecords_[rowCount_++] = record;
        } else {
            freeSlots_[freeCount_++] = record;
        }
    }
    // Everything after the last free slot reads as the end mark, not as a stale slot of
    // an earlier image.
    std::fill(freeSlots_.begin() + freeCount_, freeSlots_.end(), kEndMark);
}

int KeyList::recordOfRow(int row) const {
    return row >= 0 && row < rowCount_ ? rowRecords_[row] : -1;
}

int KeyList::rowOfRecord(int record) const {
    if (record < 0) {
        return -1;
    }
    const auto slots = freeSlots_.begin();
    const auto freeUpToRecord = std::upper_bound(slots, slots + freeCount_, record) - slots;
    return record - static_cast<int>(freeUpToRecord);
}

int findRecordByKey(const MemoryImage& image, int recordSize, const KeyCode& key) {
    const int count = recordCount(recordSize);
    for (int record = 0; record < count; ++record) {
        if (keyCodeOf(image, record, recordSize) == key) {
            return record;
        }
    }
    return -1;
}

KeyCheck checkPendingKey(const MemoryImage& image, int recordSize, const KeyCode& key) {
    if (std::all_of(key.begin(), key.end(), [](std::uint8_t b) { return b == 0x00; })) {
        return KeyCheck::AllZero;
    }
    if (std::all_of(key.begin(), key.end(), [](std::uint8_t b) { return b == 0xFF; })) {
        return KeyCheck::AllOnes;
    }
    const int count = recordCount(recordSize);
    for (int record = 0; record < count; ++record) {
        const KeyCode stored = keyCodeOf(image, record, recordSize);
        if (stored == key) {
            return KeyCheck::AlreadyStored;
        }
        // Memory from the first end record on has not been written since the unit's erase.
        if (keyStateOf(stored) == KeyState::End) {
            return KeyCheck::Accepted;
        }
    }
    return KeyCheck::Accepted;
}

bool writeRecord(MemoryImage& image, int recordSize, int record, const KeyCode& key, const FloorMask& floors,
                 std::string_view commentCp1250) {
    if (!recordInImage(record, recordSize)) {
        return false;
    }
    const auto base = image.begin() + record * recordSize;
    std::copy(key.begin(), key.end(), base);
    std::copy(floors.begin(), floors.end(), base + kFloorOffset);
    const auto commentStart = base + kCommentOffset;
    std::fill(commentStart, base + recordSize, 0);
    const std::size_t length =
        std::min(commentCp1250.size(), static_cast<std::size_t>(recordSize - kCommentOffset));
    std::copy_n(commentCp1250.begin(), length, commentStart);
    return true;
}

void deleteKey(MemoryImage& image, int recordSize, int record) {
    if (recordInImage(record, recordSize)) {
        std::fill_n(image.begin() + record * recordSize, kKeyCodeSize, 0);
    }
}
