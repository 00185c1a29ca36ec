#pragma once

#include <string>
#include <string_view>

#include "utf16_text.h"  // file names and web addresses: UTF-8 on the dialogs' side

// The window's texts cross between the dialogs' code page 1250 and the W functions' UTF-16
// here only, with the dialogs' own code page table: what the user types reaches the unit
// as the same bytes whatever code page the PC runs with. A character the code page lacks
// becomes '?'.
std::wstring wideFromCp1250(std::string_view cp1250);
std::string cp1250FromWide(std::wstring_view wide);
