#pragma once

#include <string>

// The system's own wording for a Windows error code (a DWORD), in the language of the
// user's Windows, in UTF-8, without the line break FormatMessage ends it with.
std::string windowsErrorText(unsigned long error);
