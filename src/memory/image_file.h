#pragma once

#include <string>

#include "memory_image.h"

// The image file ("zrd"): access time (one byte, 0..120), record size (one byte,
// 15..250), relay inverted and main relay inverted ('1' or '0'), then the 65536 image
// bytes. 65540 bytes; longer files are accepted and the rest ignored.

inline constexpr int kImageFileSize = 65540;
inline constexpr char kImageFileFilter[] = "ZYL data (*.zrd)";
inline constexpr char kImageFileExtension[] = "zrd";

struct ArchiveSettings {
    int accessTime = 0;
    int recordSize = 0;
    int relayInverted = 0;
    int mainRelayInverted = 0;
};

struct FileResult {
    enum class Status { Ok, CannotOpen, Damaged, Truncated, WriteFailed };
    Status status = Status::Ok;
    int errorCode = 0;   // 510 (Damaged) or 511 (Truncated), else 0
    int position = 0;    // for 511: the offset of the first missing byte
    std::string detail;  // the system's reason for CannotOpen and WriteFailed

    bool ok() const { return status == Status::Ok; }
};

// Reads the whole file before taking anything: on any failure the settings and the image
// are left exactly as they were. Only a regular file is read; a folder, a pipe or a device
// is CannotOpen at once, never waited for.
FileResult readImageFile(const std::string& path, ArchiveSettings& settings, MemoryImage& image);

// Writes to a temporary file beside the target and renames it over the target only when
// every byte and the close succeeded; on failure the old file stays as it was.
FileResult writeImageFile(const std::string& path, const ArchiveSettings& settings, const MemoryImage& image);
