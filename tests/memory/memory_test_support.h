#pragma once

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "key_list.h"
#include "key_record.h"
#include "memory_image.h"
#include "temp_folder.h"

// Lets no file of this process grow beyond `bytes` while it lives: a write past the limit
// fails with EFBIG, which is a real write failure even for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = old_;
        lowered.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

inline KeyCode keyOf(std::initializer_list<std::uint8_t> bytes) {
    KeyCode key{};
    std::copy(bytes.begin(), bytes.end(), key.begin());
    return key;
}

// Character code bytes from the text as shown: its first character is byte 11.
inline KeyCode charKey(std::string_view shown) {
    KeyCode key{};
    for (std::size_t i = 0; i < shown.size() && i < key.size(); ++i) {
        key[key.size() - 1 - i] = static_cast<std::uint8_t>(shown[i]);
    }
    return key;
}

// The 1-Wire ROM of Maxim's application note 27: family 0x02, serial 0x000001B81C, CRC 0xA2.
inline const KeyCode kAppNoteRom = keyOf({0x02, 0x1C, 0xB8, 0x01, 0x00, 0x00, 0x00, 0xA2});

// A used record with the given key, floors and comment.
inline void putRecord(MemoryImage& image, int recordSize, int record, const KeyCode& key,
                      const FloorMask& floors = {}, std::string_view comment = {}) {
    writeRecord(image, recordSize, record, key, floors, comment);
}

inline KeyCode filledKey(std::uint8_t value) {
    KeyCode key;
    key.fill(value);
    return key;
}
