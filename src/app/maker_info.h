#pragma once

#include <string_view>

#include "cp1250_literal.h"

// The maker's lines shown by the program (code page 1250): the About box and the web page
// opened when the help file is missing. The main window's caption carries the notice too.
inline constexpr std::string_view kMakerNotice = "servisní nástroj výrobce ZYL"_cp;
inline constexpr std::string_view kMakerWebPage = "https://www.zyl.cz";
inline constexpr std::string_view kMakerWebAddress = "www.zyl.cz";
