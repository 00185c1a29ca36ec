// The image file and the CSV table as Windows stores them: byte for byte, with no text-mode
// translation of CR, LF or the 0x1A end-of-file mark; and read only from a file on the disk.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "csv_export.h"
#include "image_file.h"
#include "key_list.h"
#include "temp_folder.h"

namespace {

// Every byte value, CR LF and 0x1A among them, in every position of a 256-byte run.
MemoryImage everyByteImage() {
    MemoryImage image;
    for (int i = 0; i < kImageSize; ++i) {
        image[i] = static_cast<std::uint8_t>(i + i / 256);
    }
    return image;
}

TEST(SavedFiles, ImageFileRoundTripsEveryByteValue) {
    TempFolder folder;
    const std::string path = folder.file("memory.zrd");
    const MemoryImage written = everyByteImage();
    const FileResult result = writeImageFile(path, {5, 65, 1, 0}, written);
    ASSERT_TRUE(result.ok()) << result.detail;
    EXPECT_EQ(readBytes(path).size(), static_cast<std::size_t>(kImageFileSize));

    ArchiveSettings settings;
    MemoryImage read{};
    ASSERT_TRUE(readImageFile(path, settings, read).ok());
    EXPECT_EQ(settings.accessTime, 5);
    EXPECT_EQ(settings.recordSize, 65);
    EXPECT_EQ(settings.relayInverted, 1);
    EXPECT_EQ(settings.mainRelayInverted, 0);
    EXPECT_TRUE(read == written);
}

TEST(SavedFiles, CsvFileHoldsExactlyTheTable) {
    TempFolder folder;
    const std::string path = folder.file("keys.csv");
    MemoryImage image;
    image.fill(0xFF);
    KeyCode key{};
    key[0] = 0x1A;
    key[1] = '\r';
    key[2] = '\n';
    ASSERT_TRUE(writeRecord(image, 100, 0, key, {0x01, 0x00, 0x80}, "radek\r\ndva"));
    const std::string table = csvTable(image, 100);
    ASSERT_NE(table.find("\r\n"), std::string::npos);

    const FileResult result = writeCsvFile(path, image, 100);
    ASSERT_TRUE(result.ok()) << result.detail;
    EXPECT_EQ(readBytes(path), table);
}

// A pipe whose writer sends nothing, or a device, would hold the window if it were read:
// only a file on the disk is read.
TEST(SavedFiles, ImageFileIsReadOnlyFromADiskFile) {
    const std::string pipeName = "\\\\.\\pipe\\zyl-image-" + std::to_string(::GetCurrentProcessId());
    HANDLE pipe = ::CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0,
                                     0, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    for (const std::string& path : {pipeName, std::string("NUL")}) {
        SCOPED_TRACE(path);
        ArchiveSettings settings{9, 99, 1, 1};
        MemoryImage image{};
        const FileResult result = readImageFile(path, settings, image);
        EXPECT_EQ(result.status, FileResult::Status::CannotOpen);
        EXPECT_FALSE(result.detail.empty());
        EXPECT_EQ(settings.recordSize, 99);
    }
    ::CloseHandle(pipe);
}

}  // namespace
