#include <gtest/gtest.h>

#include "code_page_1250.h"

namespace {

TEST(CodePage1250, EveryByteSurvivesARoundTrip) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(utf8ToCp1250(cp1250ToUtf8(byte)), byte) << b;
    }
}

TEST(CodePage1250, CzechTextMapsToItsBytes) {
    const struct {
        const char* utf8;
        const char* cp1250;
    } cases[] = {
        {"Příliš žluťoučký kůň úpěl ďábelské ódy",
         "P\xF8\xEDli\x9A \x9Elu\x9Do"
         "u\xE8k\xFD k\xF9\xF2 \xFAp\xECl \xEF\xE1"
         "belsk\xE9 \xF3"
         "dy"},
        {"Komentář", "Koment\xE1\xF8"},
        {"€‚„…Š", "\x80\x82\x84\x85\x8A"},
        {"\u00A0ˇŁ˙", "\xA0\xA1\xA3\xFF"},
        {"\u0081\u0083\u0088\u0090\u0098", "\x81\x83\x88\x90\x98"},  // the unassigned bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(utf8ToCp1250(c.utf8), c.cp1250);
        EXPECT_EQ(cp1250ToUtf8(c.cp1250), c.utf8);
    }
}

TEST(CodePage1250, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(utf8ToCp1250("ñ日本😀x"), "????x");
    EXPECT_EQ(utf8ToCp1250("\u0080\u0082"), "??");  // C1 controls other than the five unassigned
}

TEST(CodePage1250, EachMalformedSequenceBecomesOneQuestionMark) {
    const struct {
        const char* name;
        std::string utf8;
        std::string cp1250;
    } cases[] = {
        {"lone continuation byte", "a\x80z", "a?z"},
        {"truncated at the end", "a\xC3", "a?"},
        {"truncated before an ASCII byte",
         "\xC3"
         "A",
         "?A"},
        {"truncated three-byte sequence",
         "\xE2\x82"
         "A",
         "?A"},
        {"overlong slash", "\xC0\xAF", "??"},
        {"overlong three-byte form", "\xE0\x80\x80", "???"},
        {"surrogate", "\xED\xA0\x80", "???"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", "????"},
        {"invalid lead byte", "\xFF\xFE", "??"},
        {"good sequence after a bad one", "\xC3\xC3\xA1", "?\xE1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(utf8ToCp1250(c.utf8), c.cp1250);
    }
}

}  // namespace
