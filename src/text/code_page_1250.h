#pragma once

#include <string>
#include <string_view>

// The unit stores texts (comments, the lift name) as code page 1250 bytes; the widgets
// show Unicode. These two conversions are the only bridge between them.
//
// Every byte has a character: the five bytes the code page leaves unassigned (0x81, 0x83,
// 0x88, 0x90, 0x98) become the C1 controls U+0081, U+0083, U+0088, U+0090, U+0098 and
// turn back into the same bytes, so a text read from the unit is never altered.
std::string cp1250ToUtf8(std::string_view bytes);

// Characters without a code page 1250 byte become '?', and so does each malformed UTF-8
// sequence.
std::string utf8ToCp1250(std::string_view utf8);
