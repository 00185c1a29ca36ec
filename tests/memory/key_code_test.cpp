#include <gtest/gtest.h>

#include <random>

#include "key_code.h"
#include "memory_test_support.h"

namespace {

// The 1-Wire CRC computed the other way round: most significant bit first on bit-reversed
// bytes with the plain polynomial 0x31, the result reversed back.
std::uint8_t crcMostSignificantBitFirst(const std::uint8_t* bytes, int count) {
    std::uint8_t crc = 0;
    for (int i = 0; i < count; ++i) {
        std::uint8_t b = reverseBits(bytes[i]);
        for (int bit = 0; bit < 8; ++bit) {
            const bool differ = ((b ^ crc) & 0x80) != 0;
            crc = static_cast<std::uint8_t>(crc << 1);
            if (differ) {
                crc ^= 0x31;
            }
            b = static_cast<std::uint8_t>(b << 1);
        }
    }
    return reverseBits(crc);
}

TEST(ReverseBits, MirrorsTheBitOrder) {
    const std::pair<std::uint8_t, std::uint8_t> cases[] = {
        {0x00, 0x00}, {0x01, 0x80}, {0x80, 0x01}, {0xF0, 0x0F}, {0x12, 0x48}, {0xA5, 0xA5}, {0xFF, 0xFF}};
    for (auto [in, out] : cases) {
        EXPECT_EQ(reverseBits(in), out) << int(in);
    }
}

TEST(Crc8Maxim, MatchesPublishedValues) {
    const std::uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(crc8Maxim(check, 9), 0xA1);  // the catalogued check value of CRC-8/MAXIM
    EXPECT_EQ(crc8Maxim(kAppNoteRom.data(), 7), 0xA2);
    EXPECT_EQ(crc8Maxim(kAppNoteRom.data(), 8), 0x00);  // a ROM with its CRC sums to zero
}

TEST(Crc8Maxim, ReflectedAndBitReversedFormsAgree) {
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        ASSERT_EQ(crc8Maxim(&byte, 1), crcMostSignificantBitFirst(&byte, 1)) << b;
    }
    std::mt19937 random(7);
    for (int n = 0; n < 5000; ++n) {
        std::uint8_t bytes[7];
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(random());
        }
        ASSERT_EQ(crc8Maxim(bytes, 7), crcMostSignificantBitFirst(bytes, 7));
    }
}

TEST(HexDigitValue, UpperCasesAbove0x60First) {
    const std::pair<int, int> cases[] = {
        {'0', 0},  {'9', 9},  {'A', 10}, {'F', 15}, {'a', 10}, {'f', 15}, {'G', -1},  {'g', -1},
        {'/', -1}, {':', -1}, {'@', -1}, {'`', -1}, {0, -1},   {' ', -1}, {0xC1, -1}, {0xE1, -1},
    };
    for (auto [c, value] : cases) {
        EXPECT_EQ(hexDigitValue(c), value) << c;
    }
}

TEST(IsValidCharCode, NeedsUpperCaseDigitsWhoseXorIsZero) {
    EXPECT_TRUE(isValidCharCode(charKey("0123456789AB")));
    EXPECT_TRUE(isValidCharCode(charKey("000000000000")));
    EXPECT_FALSE(isValidCharCode(charKey("000000000001")));
    EXPECT_FALSE(isValidCharCode(charKey("0123456789ab")));
    EXPECT_FALSE(isValidCharCode(charKey("00000000000 ")));
}

struct ParseCase {
    const char* text;
    int result;
    KeyCode key;
};

TEST(ParseKeyText, ReadsBothFormsAndClearsTheKeyOnFailure) {
    const ParseCase cases[] = {
        {"A200000001B81C02", 0, kAppNoteRom},
        {"a200000001b81c02", 0, kAppNoteRom},
        {"0000000000000000", 0, KeyCode{}},  // the CRC of seven zero bytes is zero
        {"A300000001B81C02", -1, KeyCode{}},
        {"A200000001B81C0G", -1, KeyCode{}},
        {"0123456789AB", 0, charKey("0123456789AB")},
        {"0123456789ab", 0, charKey("0123456789AB")},
        {"000000000000", 0, charKey("000000000000")},
        {"000000000001", -1, KeyCode{}},
        {"00000000000x", -1, KeyCode{}},
        {"", -1, KeyCode{}},
        {"00000000000", -1, KeyCode{}},
        {"0000000000000", -1, KeyCode{}},
        {"000000000000000", -1, KeyCode{}},
        {"00000000000000000", -1, KeyCode{}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        KeyCode key = filledKey(0x77);
        EXPECT_EQ(parseKeyText(c.text, key), c.result);
        EXPECT_EQ(key, c.key);
    }
}

TEST(ParseKeyText, TwelveDecimalDigitsAreACharacterCode) {
    KeyCode key;
    ASSERT_EQ(parseKeyText("000000000000", key), 0);
    EXPECT_FALSE(isByteCode(key));
    EXPECT_EQ(keyCodeText(key), "000000000000");
}

TEST(RenderReaderKey, ShowsValidCodesAndClearsTheOthers) {
    KeyCode flipped = kAppNoteRom;
    flipped[3] ^= 0x10;
    const struct {
        const char* name;
        KeyCode key;
        std::string text;
        KeyCode keyAfter;
    } cases[] = {
        {"no key", KeyCode{}, "------------", KeyCode{}},
        {"byte code with its CRC", kAppNoteRom, "A200000001B81C02", kAppNoteRom},
        {"byte code with one bit changed", flipped, "------------", KeyCode{}},
        {"character code", charKey("0123456789AB"), "0123456789AB", charKey("0123456789AB")},
        {"character code failing its XOR", charKey("0123456789AC"), "------------", KeyCode{}},
        {"all 0xFF", filledKey(0xFF), "------------", KeyCode{}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KeyCode key = c.key;
        EXPECT_EQ(renderReaderKey(key), c.text);
        EXPECT_EQ(key, c.keyAfter);
    }
}

}  // namespace
