#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "key_code.h"
#include "key_record.h"

// Key codes the key tests share; no toolkit, so the dialog's logic tests use them too.
namespace keys_test {

using Bytes = std::vector<std::uint8_t>;

// A byte code: the seven serial bytes (family code first) and their 1-Wire CRC.
inline KeyCode byteKey(std::array<std::uint8_t, 7> serial) {
    KeyCode key{};
    for (int i = 0; i < 7; ++i) {
        key[i] = serial[i];
    }
    key[7] = crc8Maxim(key.data(), 7);
    return key;
}

// Application note 27 of the 1-Wire maker: serial 02 1C B8 01 00 00 00 has the CRC A2.
inline KeyCode an27Key() {
    return {0x02, 0x1C, 0xB8, 0x01, 0x00, 0x00, 0x00, 0xA2, 0, 0, 0, 0};
}

// A distinct valid byte code for every n.
inline KeyCode numberedKey(int n) {
    return byteKey(
        {0x01, static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), 0x5A, 0x10, 0x20, 0x30});
}

// A character code as it is typed: the first character is byte 11.
inline KeyCode charKey(std::string_view text) {
    KeyCode key{};
    for (int j = 0; j < 12; ++j) {
        key[11 - j] = static_cast<std::uint8_t>(text[j]);
    }
    return key;
}

}  // namespace keys_test
