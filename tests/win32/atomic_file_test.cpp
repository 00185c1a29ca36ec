#include "atomic_file.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "temp_folder.h"

namespace {

TEST(AtomicFile, ReadOnlyFileIsLeftAsItWas) {
    TempFolder folder;
    const std::string path = folder.file("out.bin");
    writeBytes(path, "old");
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    std::string reason;
    EXPECT_FALSE(writeFileAtomically(path, "new", reason));
    EXPECT_FALSE(reason.empty());
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(readBytes(path), "old");
    EXPECT_EQ(folder.entryCount(), 1);
}

// A spreadsheet keeps the exported table open without letting anyone replace it.
TEST(AtomicFile, FileHeldOpenElsewhereIsLeftAsItWas) {
    TempFolder folder;
    const std::string path = folder.file("keys.csv");
    writeBytes(path, "old");
    HANDLE held = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::string reason;
    const bool written = writeFileAtomically(path, "new", reason);
    ::CloseHandle(held);
    EXPECT_FALSE(written);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(readBytes(path), "old");
    EXPECT_EQ(folder.entryCount(), 1);
}

}  // namespace
