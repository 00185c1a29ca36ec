#pragma once

#include <array>
#include <cstdint>

// A byte-for-byte copy of the unit's 64 KiB key memory.
inline constexpr int kImageSize = 65536;
using MemoryImage = std::array<std::uint8_t, kImageSize>;
