#pragma once

#include <string>
#include <string_view>

// File names and the system's texts are UTF-8 in the program's own code, and UTF-16 where
// they meet the W functions of Windows; they cross here, and nowhere else.
std::wstring wideFromUtf8(std::string_view utf8);
std::string utf8FromWide(std::wstring_view wide);
