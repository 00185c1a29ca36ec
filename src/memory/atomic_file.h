#pragma once

#include <string>
#include <string_view>

// Saves a whole file or nothing: the bytes go to a new file beside the target, every
// write, the flush to the disk and the close are checked, and only then is the new file
// renamed over the target. A failed save leaves the old file exactly as it was and no
// temporary file behind.
//
// A target that is a link to a regular file is written through the link (the link stays);
// a target that exists but is no regular file (a directory, a device), or is read-only, is
// refused. A replaced file keeps its permissions.
//
// Returns true on success; otherwise false with the system's reason in `reason`.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& reason);
