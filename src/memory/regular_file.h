#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads the start of a file that is a regular file, and refuses anything else (a folder, a
// named pipe, a terminal, a device) without waiting for it: a pipe with no writer or a
// terminal would otherwise hold the caller until someone types or writes.
//
// Returns true with at most `limit` bytes in `bytes` (fewer when the file is shorter);
// otherwise false with the system's reason in `reason` and `bytes` untouched.
bool readRegularFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes,
                     std::string& reason);
