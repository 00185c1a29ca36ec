#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "key_record.h"

// The two key-code forms and their checks. A byte code (bytes 8..11 zero) is valid when
// the 1-Wire CRC-8 (CRC-8/MAXIM) of bytes 0..6 equals byte 7; a character code is valid
// when its 12 bytes are "0".."9"/"A".."F" whose digit values XOR to 0.

std::uint8_t reverseBits(std::uint8_t b);
std::uint8_t crc8Maxim(const std::uint8_t* bytes, int count);
bool isValidByteCode(const KeyCode& key);
bool isValidCharCode(const KeyCode& key);

// 0..15 for "0".."9", "A".."F" (a code above 0x60 is upper-cased by clearing bit 5
// first), else -1.
int hexDigitValue(int c);

// Parses typed key text (16 hex digits = byte code, most significant byte first; 12 hex
// digits = character code, stored upper-case). Returns 0 and fills key when valid; -1
// with key all zero otherwise.
int parseKeyText(std::string_view text, KeyCode& key);

inline constexpr char kNoKeyText[] = "------------";

// What the key dialog shows for a code read at the reader: "------------" for all zero;
// the key text when its form's check holds; otherwise the code is cleared and
// "------------" shown.
std::string renderReaderKey(KeyCode& key);
