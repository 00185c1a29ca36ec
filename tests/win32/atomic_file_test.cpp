#include "atomic_file.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// The bytes a text-mode write would change: CR, LF, the old end-of-file mark, NUL.
const std::string kAwkwardBytes = "a\r\nb\nc\x1A\0d\xFF"s;

TEST(AtomicFile, CreatesAndReplacesByteForByteWithoutLeavingTemporaries) {
    TempFolder folder;
    const std::string path = folder.file("out.bin");
    std::string reason;
    ASSERT_TRUE(writeFileAtomically(path, kAwkwardBytes, reason)) << reason;
    EXPECT_EQ(readBytes(path), kAwkwardBytes);
    ASSERT_TRUE(writeFileAtomically(path, "new", reason)) << reason;
    EXPECT_EQ(readBytes(path), "new");
    EXPECT_EQ(folder.entryCount(), 1);
}

TEST(AtomicFile, RefusesToReplaceAFolder) {
    TempFolder folder;
    fs::create_directory(folder.file("dir"));
    std::string reason;
    EXPECT_FALSE(writeFileAtomically(folder.file("dir"), "new", reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(fs::is_directory(folder.file("dir")));
    EXPECT_EQ(folder.entryCount(), 1);
}

TEST(AtomicFile, ReportsAFolderThatCannotHoldTheFile) {
    TempFolder folder;
    writeBytes(folder.file("plain"), "x");
    for (const std::string& path : {folder.file("plain\\out.bin"), folder.file("missing\\out.bin")}) {
        SCOPED_TRACE(path);
        std::string reason;
        EXPECT_FALSE(writeFileAtomically(path, "new", reason));
        EXPECT_FALSE(reason.empty());
    }
    EXPECT_EQ(folder.entryCount(), 1);
}

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
