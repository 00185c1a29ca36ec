#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "atomic_file.h"
#include "memory_test_support.h"

namespace {

namespace fs = std::filesystem;

TEST(AtomicFile, CreatesAndReplacesWithoutLeavingTemporaries) {
    TempFolder folder;
    const std::string path = folder.file("out.bin");
    std::string reason;
    ASSERT_TRUE(writeFileAtomically(path, std::string("a\0b", 3), reason)) << reason;
    EXPECT_EQ(readBytes(path), std::string("a\0b", 3));
    ASSERT_TRUE(writeFileAtomically(path, "new", reason)) << reason;
    EXPECT_EQ(readBytes(path), "new");
    EXPECT_EQ(folder.entryCount(), 1);
}

TEST(AtomicFile, ReplacedFileKeepsItsPermissions) {
    TempFolder folder;
    const std::string path = folder.file("out.bin");
    writeBytes(path, "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::string reason;
    ASSERT_TRUE(writeFileAtomically(path, "new", reason)) << reason;
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(AtomicFile, WritesThroughALinkAndKeepsTheLink) {
    TempFolder folder;
    writeBytes(folder.file("real.bin"), "old");
    fs::create_symlink("real.bin", folder.file("link.bin"));
    std::string reason;
    ASSERT_TRUE(writeFileAtomically(folder.file("link.bin"), "new", reason)) << reason;
    EXPECT_TRUE(fs::is_symlink(folder.file("link.bin")));
    EXPECT_EQ(readBytes(folder.file("real.bin")), "new");
    EXPECT_EQ(folder.entryCount(), 2);
}

TEST(AtomicFile, RefusesToReplaceWhatIsNoRegularFile) {
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
    for (const std::string& path : {folder.file("plain/out.bin"), folder.file("missing/out.bin")}) {
        SCOPED_TRACE(path);
        std::string reason;
        EXPECT_FALSE(writeFileAtomically(path, "new", reason));
        EXPECT_FALSE(reason.empty());
    }
    EXPECT_EQ(folder.entryCount(), 1);
}

TEST(AtomicFile, FailedWriteLeavesTheOldFileAsItWas) {
    TempFolder folder;
    const std::string path = folder.file("out.bin");
    writeBytes(path, "old contents");
    std::string reason;
    bool written = true;
    {
        FileSizeLimit limit(4096);
        written = writeFileAtomically(path, std::string(65540, 'n'), reason);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(reason, std::strerror(EFBIG));
    EXPECT_EQ(readBytes(path), "old contents");
    EXPECT_EQ(folder.entryCount(), 1);
}

}  // namespace
