#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

// A private folder under /tmp (mode 0700), removed with everything in it at the end.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = "/tmp/zyl-link-test-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};
