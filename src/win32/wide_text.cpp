#include "wide_text.h"

#include <windows.h>

#include <cstddef>

#include "code_page_1250_table.h"

namespace {

constexpr char kUnmappable = '?';

char cp1250Byte(wchar_t c) {
    if (c < 0x80) {
        return static_cast<char>(c);
    }
    for (std::size_t i = 0; i < kCp1250HighHalf.size(); ++i) {
        if (kCp1250HighHalf[i] == static_cast<char32_t>(c)) {
            return static_cast<char>(0x80 + i);
        }
    }
    return kUnmappable;
}

}  // namespace

std::wstring wideFromCp1250(std::string_view cp1250) {
    std::wstring wide;
    wide.reserve(cp1250.size());
    for (const char byte : cp1250) {
        const auto b = static_cast<unsigned char>(byte);
        wide += b < 0x80 ? static_cast<wchar_t>(b) : static_cast<wchar_t>(kCp1250HighHalf[b - 0x80]);
    }
    return wide;
}

// A surrogate pair is one character the code page lacks, so one '?'.
std::string cp1250FromWide(std::wstring_view wide) {
    std::string bytes;
    bytes.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() && IS_LOW_SURROGATE(wide[i + 1])) {
            ++i;
            bytes += kUnmappable;
        } else {
            bytes += cp1250Byte(wide[i]);
        }
    }
    return bytes;
}
