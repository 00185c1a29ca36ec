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

// A folder of its own for each test, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zyl-memory-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    int entryCount() const {
        auto entries = std::filesystem::directory_iterator(path_);
        return static_cast<int>(std::distance(begin(entries), end(entries)));
    }

private:
    std::filesystem::path path_;
};

inline void writeBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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
