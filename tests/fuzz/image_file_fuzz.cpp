// readImageFile on arbitrary files. Input: a mode byte; mode 0 makes the rest the whole
// file, mode 1 takes a length byte and repeats the rest up to a file of 65532..65548 bytes,
// around the 65540 of a whole image file. The file lives in memory (memfd) and is read
// through its /proc path.

#include <sys/mman.h>
#include <unistd.h>

#include <string>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "image_file.h"

namespace {

constexpr int kNearWhole = kImageFileSize - 8;
constexpr int kLengths = 17;

int fileDescriptor = -1;
std::string filePath;

std::string fileOf(FuzzInput& input) {
    if ((input.takeByte() & 1) == 0) {
        return input.takeBytes(input.remaining());
    }
    const std::size_t length = kNearWhole + input.takeByte() % kLengths;
    const std::string pattern = input.takeBytes(input.remaining());
    std::string file(length, '\0');
    for (std::size_t i = 0; !pattern.empty() && i < length; ++i) {
        file[i] = pattern[i % pattern.size()];
    }
    return file;
}

bool replaceFile(const std::string& bytes) {
    return ::ftruncate(fileDescriptor, 0) == 0 &&
           ::pwrite(fileDescriptor, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fileDescriptor = ::memfd_create("zyl-image-file", 0);
    FUZZ_CHECK(fileDescriptor >= 0);
    filePath = "/proc/self/fd/" + std::to_string(fileDescriptor);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::string file = fileOf(input);
    FUZZ_CHECK(replaceFile(file));

    const ArchiveSettings before{7, 99, 1, 0};
    ArchiveSettings settings = before;
    static MemoryImage image;
    image.fill(0xA5);
    const FileResult result = readImageFile(filePath, settings, image);

    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(file[i]); };
    const auto isFlag = [](std::uint8_t b) { return b == '0' || b == '1'; };
    const bool headerGood = file.size() >= 4 && byte(0) <= 120 && byte(1) >= 15 && byte(1) <= 250 &&
                            isFlag(byte(2)) && isFlag(byte(3));
    if (!headerGood) {
        FUZZ_CHECK(result.status == FileResult::Status::Damaged && result.errorCode == 510);
    } else if (file.size() < static_cast<std::size_t>(kImageFileSize)) {
        FUZZ_CHECK(result.status == FileResult::Status::Truncated && result.errorCode == 511);
        FUZZ_CHECK(result.position == static_cast<int>(file.size()));
    } else {
        FUZZ_CHECK(result.ok());
        FUZZ_CHECK(settings.accessTime == byte(0) && settings.recordSize == byte(1));
        FUZZ_CHECK(settings.relayInverted == (byte(2) == '1') &&
                   settings.mainRelayInverted == (byte(3) == '1'));
        for (int i = 0; i < kImageSize; ++i) {
            FUZZ_CHECK(image[static_cast<std::size_t>(i)] == byte(static_cast<std::size_t>(i) + 4));
        }
        return 0;
    }
    // A refused file changes nothing.
    FUZZ_CHECK(settings.accessTime == before.accessTime && settings.recordSize == before.recordSize &&
               settings.relayInverted == before.relayInverted &&
               settings.mainRelayInverted == before.mainRelayInverted);
    for (std::uint8_t b : image) {
        FUZZ_CHECK(b == 0xA5);
    }
    return 0;
}
