#pragma once

// The maker's lines shown by the program: the caption suffix, the About box and the web
// page opened when the help file is missing.
inline constexpr char kMakerNotice[] = "servisní nástroj výrobce ZYL";
inline constexpr char kMakerWebPage[] = "https://www.zyl.cz";
inline constexpr char kMakerWebAddress[] = "www.zyl.cz";
