#include "key_code.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kCrc8MaximReflected = 0x8C;  // x^8 + x^5 + x^4 + 1, bit order reversed
constexpr int kByteCodeDigits = 16;
constexpr int kCharCodeDigits = 12;
constexpr int kCrcByte = 7;

}  // namespace

std::uint8_t reverseBits(std::uint8_t b) {
    std::uint8_t reversed = 0;
    for (int i = 0; i < 8; ++i) {
        reversed = static_cast<std::uint8_t>((reversed << 1) | ((b >> i) & 1));
    }
    return reversed;
}

std::uint8_t crc8Maxim(const std::uint8_t* bytes, int count) {
    std::uint8_t crc = 0;
    for (int i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? static_cast<std::uint8_t>((crc >> 1) ^ kCrc8MaximReflected) : crc >> 1;
        }
    }
    return crc;
}

bool isValidByteCode(const KeyCode& key) {
    return crc8Maxim(key.data(), kCrcByte) == key[kCrcByte];
}

bool isValidCharCode(const KeyCode& key) {
    int sum = 0;
    for (std::uint8_t b : key) {
        // Only upper-case digits count: a stored code is always upper case.
        const bool digit = (b >= '0' && b <= '9') || (b >= 'A' && b <= 'F');
        if (!digit) {
            return false;
        }
        sum ^= hexDigitValue(b);
    }
    return sum == 0;
}

int hexDigitValue(int c) {
    if (c > 0x60) {
        c &= ~0x20;
    }
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

int parseKeyText(std::string_view text, KeyCode& key) {
    key.fill(0);
    KeyCode parsed{};
    if (text.size() == kByteCodeDigits) {
        for (int i = 0; i < 8; ++i) {
            const int high = hexDigitValue(static_cast<unsigned char>(text[2 * i]));
            const int low = hexDigitValue(static_cast<unsigned char>(text[2 * i + 1]));
            if (high < 0 || low < 0) {
                return -1;
            }
            parsed[7 - i] = static_cast<std::uint8_t>(16 * high + low);
        }
        if (!isValidByteCode(parsed)) {
            return -1;
        }
    } else if (text.size() == kCharCodeDigits) {
        for (int j = 0; j < kCharCodeDigits; ++j) {
            int c = static_cast<unsigned char>(text[j]);
            if (hexDigitValue(c) < 0) {
                return -1;
            }
            if (c > 0x60) {
                c &= ~0x20;  // stored upper case, like every code the reader gives
            }
            parsed[11 - j] = static_cast<std::uint8_t>(c);
        }
        if (!isValidCharCode(parsed)) {
            return -1;
        }
    } else {
        return -1;
    }
    key = parsed;
    return 0;
}

std::string renderReaderKey(KeyCode& key) {
    if (std::all_of(key.begin(), key.end(), [](std::uint8_t b) { return b == 0; })) {
        return kNoKeyText;
    }
    const bool valid = isByteCode(key) ? isValidByteCode(key) : isValidCharCode(key);
    if (!valid) {
        key.fill(0);
        return kNoKeyText;
    }
    return keyCodeText(key);
}
