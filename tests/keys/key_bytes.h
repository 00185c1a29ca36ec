#pragma once

#include <algorithm>
#include <initializer_list>
#include <string>

#include "key_samples.h"

// Byte sequences of the key tests: what went out on the line, and what a record holds.
namespace keys_test {

// Where `part` first occurs in `whole`, or -1.
inline int find(const Bytes& whole, const Bytes& part) {
    const auto it = std::search(whole.begin(), whole.end(), part.begin(), part.end());
    return it == whole.end() ? -1 : static_cast<int>(it - whole.begin());
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

inline Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}
inline Bytes bytesOf(const KeyCode& key) {
    return Bytes(key.begin(), key.end());
}

}  // namespace keys_test
