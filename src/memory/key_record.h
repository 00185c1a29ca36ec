#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "memory_image.h"

// A key record: 12 key-code bytes (byte 0 least significant), a 24-bit floor mask, then
// the comment in code page 1250, zero-filled. Records lie back to back from address 0.
inline constexpr int kKeyCodeSize = 12;
inline constexpr int kFloorMaskSize = 3;
inline constexpr int kFloorOffset = 12;
inline constexpr int kCommentOffset = 15;
inline constexpr int kMinRecordSize = 15;
inline constexpr int kFloors = 24;
inline constexpr int kMaxRecords = 65536 / kMinRecordSize;  // 4369
inline constexpr int kListedBytes = 0xFF80;  // the top 128 bytes are never part of a listed record
inline constexpr int kEndMark = 0xFFFF;      // ends the free-slot list

using KeyCode = std::array<std::uint8_t, kKeyCodeSize>;
using FloorMask = std::array<std::uint8_t, kFloorMaskSize>;

// Records in the whole image (used by the key check and the search), and records lying
// wholly below 0xFF80 (used by the key list and the free-slot list). A record size below
// 15 has no room for a record and gives 0.
int recordCount(int recordSize);
int listedCount(int recordSize);

// Whether record `record` lies wholly inside the image. Everything below that reads or
// writes a record checks this first: a record outside reads as all zero (a free record
// with no floors and no comment) and is never written.
bool recordInImage(int record, int recordSize);

// used: some key byte is neither 0x00 nor 0xFF; end: all 0xFF (not written since the
// unit's erase); free: anything else (a deleted key, a cleared image).
enum class KeyState { Used, End, Free };
KeyState keyStateOf(const KeyCode& key);
KeyState recordState(const MemoryImage& image, int record, int recordSize);

KeyCode keyCodeOf(const MemoryImage& image, int record, int recordSize);
FloorMask floorMaskOf(const MemoryImage& image, int record, int recordSize);

// Floor f (1..24) is bit (f-1) mod 8 of byte (f-1) div 8.
bool floorAllowed(const FloorMask& mask, int floor);
void setFloor(FloorMask& mask, int floor, bool allowed);

// A byte code has bytes 8..11 all zero; anything else is a character code.
bool isByteCode(const KeyCode& key);

// The key text: a byte code as 16 uppercase hex digits from byte 7 down to byte 0, a
// character code as the 12 bytes from byte 11 down to byte 0. In the key list a 0x00 byte
// of a character code adds nothing; in the CSV it is written as a zero byte.
enum class ZeroBytes { Skip, Keep };
std::string keyCodeText(const KeyCode& key, ZeroBytes zeros = ZeroBytes::Skip);

// The comment as the key list shows it: code page 1250 bytes 0x20..0xFE of bytes
// 15..recordSize-1, every other byte skipped without ending the text.
std::string listComment(const MemoryImage& image, int record, int recordSize);
