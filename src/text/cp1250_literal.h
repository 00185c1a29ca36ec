#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "code_page_1250_table.h"

// The program's own texts stand in the source as readable UTF-8 and reach the windows and
// the unit as code page 1250: "Zpět"_cp is the view of the bytes 5A 70 EC 74, converted
// while compiling. A character the code page lacks, or a malformed sequence, does not
// compile.
namespace cp1250_literal {

template <std::size_t N>
struct Utf8 {
    char bytes[N]{};
    constexpr Utf8(const char (&text)[N]) {
        for (std::size_t i = 0; i < N; ++i) {
            bytes[i] = text[i];
        }
    }
};

// Not constexpr: reaching it while compiling stops the compilation.
inline void notInCodePage1250() {}

consteval char toByte(char32_t c) {
    if (c < 0x80) {
        return static_cast<char>(c);
    }
    for (std::size_t i = 0; i < kCp1250HighHalf.size(); ++i) {
        if (kCp1250HighHalf[i] == c) {
            return static_cast<char>(0x80 + i);
        }
    }
    notInCodePage1250();
    return '?';
}

template <std::size_t N>
struct Converted {
    std::array<char, N> bytes{};
    std::size_t size = 0;
};

template <std::size_t N>
consteval Converted<N> convert(const Utf8<N>& text) {
    Converted<N> out;
    for (std::size_t at = 0; at + 1 < N;) {
        const auto lead = static_cast<unsigned char>(text.bytes[at]);
        int trailing = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
        if (trailing < 0) {
            notInCodePage1250();
        }
        char32_t c = trailing == 0 ? lead : lead & (0x3F >> trailing);
        ++at;
        for (; trailing > 0; --trailing, ++at) {
            const auto next = static_cast<unsigned char>(text.bytes[at]);
            if ((next & 0xC0) != 0x80) {
                notInCodePage1250();
            }
            c = (c << 6) | (next & 0x3F);
        }
        out.bytes[out.size++] = toByte(c);
    }
    return out;
}

template <Utf8 Text>
inline constexpr Converted<sizeof(Text.bytes)> kConverted = convert(Text);

}  // namespace cp1250_literal

template <cp1250_literal::Utf8 Text>
consteval std::string_view operator""_cp() {
    const auto& converted = cp1250_literal::kConverted<Text>;
    return {converted.bytes.data(), converted.size};
}
