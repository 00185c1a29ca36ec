#include "code_page_1250.h"

#include <cstdint>

#include "code_page_1250_table.h"

namespace {

constexpr char kUnmappable = '?';

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char toCp1250(char32_t c) {
    if (c < 0x80) {
        return static_cast<char>(c);
    }
    for (std::size_t i = 0; i < kCp1250HighHalf.size(); ++i) {
        if (kCp1250HighHalf[i] == c) {
            return static_cast<char>(0x80 + i);
        }
    }
    return kUnmappable;
}

// One UTF-8 sequence starting at `at`: the code point, or -1 for a malformed sequence. `at`
// moves past the sequence; a malformed one is left at its first byte that does not fit,
// so each broken sequence costs exactly one replacement and no good byte is swallowed.
long decodeUtf8(std::string_view in, std::size_t& at) {
    const auto lead = static_cast<std::uint8_t>(in[at++]);
    if (lead < 0x80) {
        return lead;
    }
    int trailing = 0;
    char32_t c = 0;
    // The bounds of the second byte also rule out overlong forms, surrogates and values
    // above U+10FFFF.
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trailing = 1;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailing = 2;
        c = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trailing = 3;
        c = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return -1;
    }
    for (int i = 0; i < trailing; ++i) {
        if (at >= in.size()) {
            return -1;
        }
        const auto next = static_cast<std::uint8_t>(in[at]);
        if (next < low || next > high) {
            return -1;
        }
        c = (c << 6) | (next & 0x3F);
        ++at;
        low = 0x80;
        high = 0xBF;
    }
    return static_cast<long>(c);
}

}  // namespace

std::string cp1250ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char b : bytes) {
        const auto byte = static_cast<std::uint8_t>(b);
        appendUtf8(out, byte < 0x80 ? byte : kCp1250HighHalf[byte - 0x80]);
    }
    return out;
}

std::string utf8ToCp1250(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        const long c = decodeUtf8(utf8, at);
        out += c < 0 ? kUnmappable : toCp1250(static_cast<char32_t>(c));
    }
    return out;
}
