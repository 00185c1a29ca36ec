#pragma once

#include <optional>
#include <string_view>

// A field's text read as a whole number the way the dialogs' number fields take it: blanks
// around it allowed, an optional sign, decimal digits only, within int. Nothing else is a
// number. The text is code page 1250, where 0xA0 is a blank too.
std::optional<int> wholeNumber(std::string_view text);
