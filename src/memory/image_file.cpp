#include "image_file.h"

#include <algorithm>
#include <vector>

#include "atomic_file.h"
#include "key_record.h"
#include "regular_file.h"

namespace {

constexpr int kHeaderSize = 4;
constexpr int kMaxAccessTime = 120;
constexpr int kMaxRecordSize = 250;
constexpr char kFlagOn = '1';
constexpr char kFlagOff = '0';
constexpr int kDamaged = 510;
constexpr int kTruncated = 511;

using FileBytes = std::vector<std::uint8_t>;

FileResult failure(FileResult::Status status, int errorCode = 0, int position = 0, std::string detail = {}) {
    FileResult result;
    result.status = status;
    result.errorCode = errorCode;
    result.position = position;
    result.detail = std::move(detail);
    return result;
}

bool isFlag(std::uint8_t b) {
    return b == kFlagOn || b == kFlagOff;
}

bool headerAccepted(const FileBytes& bytes) {
    return bytes[0] <= kMaxAccessTime && bytes[1] >= kMinRecordSize && bytes[1] <= kMaxRecordSize &&
           isFlag(bytes[2]) && isFlag(bytes[3]);
}

}  // namespace

FileResult readImageFile(const std::string& path, ArchiveSettings& settings, MemoryImage& image) {
    FileBytes bytes;
    std::string reason;
    if (!readRegularFile(path, kImageFileSize, bytes, reason)) {
        return failure(FileResult::Status::CannotOpen, 0, 0, reason);
    }
    const auto length = static_cast<int>(bytes.size());
    if (length < kHeaderSize || !headerAccepted(bytes)) {
        return failure(FileResult::Status::Damaged, kDamaged);
    }
    if (length < kImageFileSize) {
        // The position of the first image byte the file lacks, which is its length.
        return failure(FileResult::Status::Truncated, kTruncated, length);
    }

    settings.accessTime = bytes[0];
    settings.recordSize = bytes[1];
    settings.relayInverted = bytes[2] == kFlagOn ? 1 : 0;
    settings.mainRelayInverted = bytes[3] == kFlagOn ? 1 : 0;
    std::copy(bytes.begin() + kHeaderSize, bytes.begin() + kImageFileSize, image.begin());
    return {};
}

FileResult writeImageFile(const std::string& path, const ArchiveSettings& settings,
                          const MemoryImage& image) {
    std::string bytes;
    bytes.reserve(kImageFileSize);
    bytes += static_cast<char>(settings.accessTime & 0xFF);
    bytes += static_cast<char>(settings.recordSize & 0xFF);
    bytes += settings.relayInverted != 0 ? kFlagOn : kFlagOff;
    bytes += settings.mainRelayInverted != 0 ? kFlagOn : kFlagOff;
    bytes.append(reinterpret_cast<const char*>(image.data()), image.size());

    std::string reason;
    if (!writeFileAtomically(path, bytes, reason)) {
        return failure(FileResult::Status::WriteFailed, 0, 0, reason);
    }
    return {};
}
