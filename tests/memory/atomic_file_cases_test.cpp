// The atomic save's cases that read the same on every platform: one table, run by the POSIX
// and by the Windows tests.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "atomic_file.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// The bytes a text-mode write would change: CR, LF, the old end-of-file mark, NUL.
const std::string kAwkwardBytes = "a\r\nb\nc\x1A\0d\xFF"s;

enum class Before { Nothing, OldFile, Folder, PlainFile };

struct SaveCase {
    const char* name;
    Before before;     // what the folder holds first: "out.bin", "dir" or "plain"
    const char* path;  // the name saved to, its parts separated by '/'
    bool written;
    int entries;  // in the folder afterwards: nothing else is left behind
};

void PrintTo(const SaveCase& c, std::ostream* os) {
    *os << c.name;
}

class AtomicFileCase : public ::testing::TestWithParam<SaveCase> {};

TEST_P(AtomicFileCase, SavesByteForByteOrLeavesWhatWasThere) {
    const SaveCase& c = GetParam();
    TempFolder folder;
    switch (c.before) {
        case Before::Nothing:
            break;
        case Before::OldFile:
            writeBytes(folder.file("out.bin"), "old");
            break;
        case Before::Folder:
            fs::create_directory(folder.file("dir"));
            break;
        case Before::PlainFile:
            writeBytes(folder.file("plain"), "x");
            break;
    }
    const std::string path = (fs::path(folder.path()) / fs::path(c.path).make_preferred()).string();
    std::string reason;
    EXPECT_EQ(writeFileAtomically(path, kAwkwardBytes, reason), c.written) << reason;
    if (c.written) {
        EXPECT_EQ(readBytes(path), kAwkwardBytes);
    } else {
        EXPECT_FALSE(reason.empty());
    }
    EXPECT_EQ(fs::is_directory(folder.file("dir")), c.before == Before::Folder);
    EXPECT_EQ(folder.entryCount(), c.entries);
}

INSTANTIATE_TEST_SUITE_P(
    Saves, AtomicFileCase,
    ::testing::Values(SaveCase{"NewFile", Before::Nothing, "out.bin", true, 1},
                      SaveCase{"ReplacedFile", Before::OldFile, "out.bin", true, 1},
                      SaveCase{"FolderInTheWay", Before::Folder, "dir", false, 1},
                      SaveCase{"FileWhereTheFolderShouldBe", Before::PlainFile, "plain/out.bin", false, 1},
                      SaveCase{"MissingFolder", Before::Nothing, "missing/out.bin", false, 0}),
    [](const ::testing::TestParamInfo<SaveCase>& info) { return std::string(info.param.name); });

}  // namespace
