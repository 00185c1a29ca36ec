#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "atomic_file.h"
#include "memory_test_support.h"

namespace {

namespace fs = std::filesystem;

::mode_t modeOf(const std::string& path) {
    struct ::stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

// The umask of the test run must not show: group and others' write bits survive too.
TEST(AtomicFile, ReplacedFileKeepsItsPermissionsAndNewFileGetsTheUsualOnes) {
    TempFolder folder;
    const ::mode_t oldMask = ::umask(027);
    for (const ::mode_t mode : {0640, 0666, 0604, 0700}) {
        SCOPED_TRACE(mode);
        const std::string path = folder.file("out.bin");
        writeBytes(path, "old");
        ::chmod(path.c_str(), mode);
        std::string reason;
        EXPECT_TRUE(writeFileAtomically(path, "new", reason)) << reason;
        EXPECT_EQ(modeOf(path), mode);
    }
    std::string reason;
    EXPECT_TRUE(writeFileAtomically(folder.file("new.bin"), "new", reason)) << reason;
    EXPECT_EQ(modeOf(folder.file("new.bin")), 0640u);
    ::umask(oldMask);
    EXPECT_EQ(folder.entryCount(), 2);
}

// Without its owner's write bit a file is refused even for root, who may write anything.
TEST(AtomicFile, ReadOnlyFileIsLeftAsItWas) {
    TempFolder folder;
    for (const ::mode_t mode : {0444, 0466}) {
        SCOPED_TRACE(mode);
        const std::string path = folder.file("out.bin");
        writeBytes(path, "old");
        ::chmod(path.c_str(), mode);
        std::string reason;
        EXPECT_FALSE(writeFileAtomically(path, "new", reason));
        EXPECT_EQ(reason, std::strerror(EACCES));
        EXPECT_EQ(readBytes(path), "old");
        EXPECT_EQ(modeOf(path), mode);
        ::chmod(path.c_str(), 0644);
    }
    EXPECT_EQ(folder.entryCount(), 1);
}

// The temporary file's name must not be longer than the name the user chose.
TEST(AtomicFile, SavesANameAsLongAsTheFolderAllows) {
    TempFolder folder;
    const std::string path = folder.file(std::string(251, 'k') + ".zrd");
    std::string reason;
    ASSERT_TRUE(writeFileAtomically(path, "old", reason)) << reason;
    ASSERT_TRUE(writeFileAtomically(path, "new", reason)) << reason;
    EXPECT_EQ(readBytes(path), "new");
    EXPECT_EQ(folder.entryCount(), 1);
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
