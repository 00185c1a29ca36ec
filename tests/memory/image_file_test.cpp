#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "image_file.h"
#include "memory_test_support.h"

namespace {

MemoryImage patternImage() {
    MemoryImage image;
    for (int i = 0; i < kImageSize; ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    }
    return image;
}

std::string fileBytes(std::string_view header, std::size_t imageBytes) {
    std::string bytes(header);
    for (std::size_t i = 0; i < imageBytes; ++i) {
        bytes += static_cast<char>(i % 251);
    }
    return bytes;
}

class ImageFile : public ::testing::Test {
protected:
    // What a failed read must leave in place.
    void expectUntouched() const {
        EXPECT_EQ(settings.accessTime, 9);
        EXPECT_EQ(settings.recordSize, 99);
        EXPECT_EQ(settings.relayInverted, 1);
        EXPECT_EQ(settings.mainRelayInverted, 1);
        EXPECT_TRUE(image == previous);
    }

    TempFolder folder;
    std::string path = folder.file("memory.zrd");
    ArchiveSettings settings{9, 99, 1, 1};
    MemoryImage previous = patternImage();
    MemoryImage image = previous;
};

TEST_F(ImageFile, RoundTripGivesTheSameSettingsAndImage) {
    const ArchiveSettings saved{0, 65, 1, 0};
    MemoryImage savedImage{};
    writeRecord(savedImage, 65, 0, keyOf({1, 2, 3}), {1, 0, 0x80}, "Kabina");
    savedImage[kImageSize - 1] = 0xFF;
    ASSERT_TRUE(writeImageFile(path, saved, savedImage).ok());

    const std::string bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), 65540u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x00\x41"
                                              "10",
                                              4));

    const FileResult result = readImageFile(path, settings, image);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.errorCode, 0);
    EXPECT_EQ(settings.accessTime, 0);
    EXPECT_EQ(settings.recordSize, 65);
    EXPECT_EQ(settings.relayInverted, 1);
    EXPECT_EQ(settings.mainRelayInverted, 0);
    EXPECT_TRUE(image == savedImage);
}

TEST_F(ImageFile, WritesLowByteOfNumbersAndAnyNonZeroFlagAsOne) {
    ASSERT_TRUE(writeImageFile(path, {0x105, 0x1FA, 7, -1}, MemoryImage{}).ok());
    EXPECT_EQ(readBytes(path).substr(0, 4),
              "\x05\xFA"
              "11");
}

TEST_F(ImageFile, ShortFilesAreDamagedOrTruncated) {
    const struct {
        const char* name;
        std::string bytes;
        FileResult::Status status;
        int errorCode;
        int position;
    } cases[] = {
        {"empty", "", FileResult::Status::Damaged, 510, 0},
        {"3 bytes",
         "\x05\x41"
         "1",
         FileResult::Status::Damaged, 510, 0},
        {"header only",
         fileBytes("\x05\x41"
                   "10",
                   0),
         FileResult::Status::Truncated, 511, 4},
        {"100 bytes",
         fileBytes("\x05\x41"
                   "10",
                   96),
         FileResult::Status::Truncated, 511, 100},
        {"65539 bytes",
         fileBytes("\x05\x41"
                   "10",
                   65535),
         FileResult::Status::Truncated, 511, 65539},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path, c.bytes);
        const FileResult result = readImageFile(path, settings, image);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.errorCode, c.errorCode);
        EXPECT_EQ(result.position, c.position);
        expectUntouched();
    }
}

TEST_F(ImageFile, HeaderBounds) {
    const struct {
        std::string header;
        bool accepted;
    } cases[] = {
        {std::string("\x78\x0F"
                     "00",
                     4),
         true},
        {std::string("\x79\x0F"
                     "00",
                     4),
         false},
        {std::string("\x00\xFA"
                     "00",
                     4),
         true},
        {std::string("\x00\x0E"
                     "00",
                     4),
         false},
        {std::string("\x00\xFB"
                     "00",
                     4),
         false},
        {std::string("\x00\x41"
                     "20",
                     4),
         false},
        {std::string("\x00\x41"
                     "0x",
                     4),
         false},
        {std::string("\x00\x41\x00"
                     "1",
                     4),
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.header));
        writeBytes(path, fileBytes(c.header, kImageSize));
        const FileResult result = readImageFile(path, settings, image);
        EXPECT_EQ(result.ok(), c.accepted);
        if (!c.accepted) {
            EXPECT_EQ(result.status, FileResult::Status::Damaged);
            EXPECT_EQ(result.errorCode, 510);
            expectUntouched();
        }
        settings = {9, 99, 1, 1};
        image = previous;
    }
}

TEST_F(ImageFile, DamagedHeaderWinsOverTruncation) {
    writeBytes(path, fileBytes("\x79\x41"
                               "10",
                               10));
    EXPECT_EQ(readImageFile(path, settings, image).errorCode, 510);
}

TEST_F(ImageFile, LongerFileIsAcceptedAndItsTailIgnored) {
    const std::string bytes = fileBytes(
        "\x05\x41"
        "01",
        kImageSize + 1000);
    writeBytes(path, bytes);
    ASSERT_TRUE(readImageFile(path, settings, image).ok());
    EXPECT_EQ(settings.relayInverted, 0);
    EXPECT_EQ(settings.mainRelayInverted, 1);
    EXPECT_EQ(std::string(image.begin(), image.end()), bytes.substr(4, kImageSize));
}

// A pipe with no writer and a terminal nobody types into would hold the window for good if
// they were read: they are refused like a missing file, at once.
TEST_F(ImageFile, WhatCannotBeReadChangesNothingAndIsNeverWaitedFor) {
    const std::string fifo = folder.file("fifo.zrd");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(::grantpt(terminal), 0);
    ASSERT_EQ(::unlockpt(terminal), 0);
    for (const std::string& unreadable :
         {folder.file("missing.zrd"), folder.file("."), fifo, std::string(::ptsname(terminal))}) {
        SCOPED_TRACE(unreadable);
        const FileResult result = readImageFile(unreadable, settings, image);
        EXPECT_EQ(result.status, FileResult::Status::CannotOpen);
        EXPECT_FALSE(result.detail.empty());
        expectUntouched();
    }
    ::close(terminal);
}

TEST_F(ImageFile, FailedWriteReportsAndKeepsTheOldFile) {
    writeBytes(path, "old");
    FileResult result;
    {
        FileSizeLimit limit(1024);
        result = writeImageFile(path, {5, 65, 0, 0}, image);
    }
    EXPECT_EQ(result.status, FileResult::Status::WriteFailed);
    EXPECT_FALSE(result.detail.empty());
    EXPECT_EQ(readBytes(path), "old");
    EXPECT_EQ(folder.entryCount(), 1);

    writeBytes(folder.file("plain"), "x");
    result = writeImageFile(folder.file("plain/memory.zrd"), {5, 65, 0, 0}, image);
    EXPECT_EQ(result.status, FileResult::Status::WriteFailed);
    EXPECT_FALSE(result.detail.empty());
}

}  // namespace
