#include "key_record.h"

#include <algorithm>

int recordCount(int recordSize) {
    return recordSize < kMinRecordSize ? 0 : kImageSize / recordSize;
}

int listedCount(int recordSize) {
    return recordSize < kMinRecordSize ? 0 : kListedBytes / recordSize;
}

bool recordInImage(int record, int recordSize) {
    return record >= 0 && record < recordCount(recordSize);
}

KeyState keyStateOf(const KeyCode& key) {
    bool allOnes = true;
    for (std::uint8_t b : key) {
        if (b != 0x00 && b != 0xFF) {
            return KeyState::Used;
        }
        allOnes = allOnes && b == 0xFF;
    }
    return allOnes ? KeyState::End : KeyState::Free;
}

KeyState recordState(const MemoryImage& image, int record, int recordSize) {
    return keyStateOf(keyCodeOf(image, record, recordSize));
}

KeyCode keyCodeOf(const MemoryImage& image, int record, int recordSize) {
    KeyCode key{};
    if (recordInImage(record, recordSize)) {
        const auto base = image.begin() + record * recordSize;
        std::copy(base, base + kKeyCodeSize, key.begin());
    }
    return key;
}

FloorMask floorMaskOf(const MemoryImage& image, int record, int recordSize) {
    FloorMask mask{};
    if (recordInImage(record, recordSize)) {
        const auto base = image.begin() + record * recordSize + kFloorOffset;
        std::copy(base, base + kFloorMaskSize, mask.begin());
    }
    return mask;
}

bool floorAllowed(const FloorMask& mask, int floor) {
    if (floor < 1 || floor > kFloors) {
        return false;
    }
    return ((mask[(floor - 1) / 8] >> ((floor - 1) % 8)) & 1) != 0;
}

void setFloor(FloorMask& mask, int floor, bool allowed) {
    if (floor < 1 || floor > kFloors) {
        return;
    }
    const auto bit = static_cast<std::uint8_t>(1u << ((floor - 1) % 8));
    std::uint8_t& byte = mask[(floor - 1) / 8];
    byte = allowed ? byte | bit : byte & ~bit;
}

bool isByteCode(const KeyCode& key) {
    return std::all_of(key.begin() + 8, key.end(), [](std::uint8_t b) { return b == 0; });
}

std::string keyCodeText(const KeyCode& key, ZeroBytes zeros) {
    std::string text;
    if (isByteCode(key)) {
        // Two upper-case digits a byte ("%2.2X"), most significant byte first.
        constexpr char kHexDigits[] = "0123456789ABCDEF";
        for (int i = 7; i >= 0; --i) {
            text += kHexDigits[key[i] >> 4];
            text += kHexDigits[key[i] & 0x0F];
        }
        return text;
    }
    for (int i = kKeyCodeSize - 1; i >= 0; --i) {
        if (key[i] != 0 || zeros == ZeroBytes::Keep) {
            text += static_cast<char>(key[i]);
        }
    }
    return text;
}

std::string listComment(const MemoryImage& image, int record, int recordSize) {
    std::string text;
    if (!recordInImage(record, recordSize)) {
        return text;
    }
    const int base = record * recordSize;
    for (int i = base + kCommentOffset; i < base + recordSize; ++i) {
        if (image[i] >= 0x20 && image[i] != 0xFF) {
            text += static_cast<char>(image[i]);
        }
    }
    return text;
}
