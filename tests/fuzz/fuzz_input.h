#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

// The fuzzer's bytes, taken from the front. Everything past the end reads as 0 (and as
// empty answers), so every input, however short, plays out to the end.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return position_ >= size_; }
    std::size_t remaining() const { return size_ - position_; }

    std::uint8_t takeByte() { return empty() ? 0 : data_[position_++]; }

    int takeWord() {
        const int high = takeByte();
        return high << 8 | takeByte();
    }

    // At most `count` bytes, fewer when the input runs out.
    std::string takeBytes(std::size_t count) {
        const std::size_t n = std::min(count, remaining());
        std::string bytes(reinterpret_cast<const char*>(data_ + position_), n);
        position_ += n;
        return bytes;
    }

    // A text of 0..`maxLength` bytes, its length in the byte before it.
    std::string takeText(std::size_t maxLength) { return takeBytes(takeByte() % (maxLength + 1)); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};
