#include "com_port_names.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <string>

#include "link_internals.h"
#include "scoped_env.h"
#include "temp_folder.h"

namespace {

using com_ports_detail::ignoredFolder;
using com_ports_detail::portDevice;
using com_ports_detail::portFolder;

// A /dev and a /sys/class/tty of the test's own: device nodes are links to /dev/null, a
// character device anyone may look at.
class ComPortNamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(root_.path().empty());
        for (const std::string& dir : {dev(), sys(), root_ / "run", folder()}) {
            ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0) << dir;
        }
    }

    std::string dev() const { return root_ / "dev"; }
    std::string sys() const { return root_ / "sys"; }
    std::string folder() const { return root_ / "run/zyltool"; }

    void addDevice(const std::string& name) const {
        ASSERT_EQ(::symlink("/dev/null", (dev() + "/" + name).c_str()), 0);
    }
    // A ttyS port as sysfs shows it; type 0 is the 8250 driver's placeholder.
    void addUart(const std::string& name, int type) const {
        addDevice(name);
        const std::string port = sys() + "/" + name;
        ASSERT_EQ(::mkdir(port.c_str(), 0755), 0);
        ASSERT_EQ(::mkdir((port + "/device").c_str(), 0755), 0);
        std::ofstream(port + "/type") << type << "\n";
    }
    void addEntry(int portNumber, const std::string& target) const {
        const std::string entry = folder() + "/com" + std::to_string(portNumber);
        ASSERT_EQ(::symlink(target.c_str(), entry.c_str()), 0);
    }

    std::optional<std::string> device(int portNumber) const {
        return portDevice(portNumber, folder(), dev(), sys());
    }
    std::optional<std::string> devNode(const std::string& name) const { return dev() + "/" + name; }

    TempFolder root_;
};

TEST_F(ComPortNamesTest, DevicesCountInKindOrderThenNumericOrder) {
    for (const char* name : {"ttyS1", "ttyUSB10", "rfcomm1", "ttyACM0", "ttyUSB2", "ttyUSB", "ttyUSBx",
                             "ttyUSB3a", "tty0", "ttyS"}) {
        addDevice(name);
    }
    addUart("ttyS0", 4);
    addUart("ttyS2", 0);
    std::ofstream(dev() + "/ttyUSB5") << "not a device";

    EXPECT_EQ(device(1), devNode("ttyUSB2"));
    EXPECT_EQ(device(2), devNode("ttyUSB10"));
    EXPECT_EQ(device(3), devNode("ttyACM0"));
    EXPECT_EQ(device(4), devNode("rfcomm1"));
    EXPECT_EQ(device(5), devNode("ttyS0"));  // ttyS1 has no device, ttyS2 no UART
    EXPECT_EQ(device(6), std::nullopt);
}

TEST_F(ComPortNamesTest, FolderEntryBeatsEnumerationOfItsNumberOnly) {
    addDevice("ttyUSB0");
    addDevice("ttyUSB1");
    addEntry(1, "/dev/pts/77");

    EXPECT_EQ(device(1), folder() + "/com1");
    EXPECT_EQ(device(2), devNode("ttyUSB1"));
}

TEST_F(ComPortNamesTest, DanglingEntryStillDecides) {
    addDevice("ttyUSB0");
    addEntry(1, root_ / "missing");

    // open() follows the link and finds nothing: the port is absent.
    EXPECT_EQ(device(1), folder() + "/com1");
}

TEST_F(ComPortNamesTest, NumbersOutsideOneToSeventyResolveToNothing) {
    addDevice("ttyUSB0");
    addEntry(0, "/dev/null");
    addEntry(71, "/dev/null");
    for (const int number : {0, -1, 71}) {
        EXPECT_EQ(device(number), std::nullopt) << number;
        EXPECT_EQ(comPortDevice(number), std::nullopt) << number;
    }
    EXPECT_EQ(device(70), std::nullopt);
}

TEST_F(ComPortNamesTest, WithoutFolderOnlyEnumerationCounts) {
    addDevice("ttyACM0");
    EXPECT_EQ(portDevice(1, "", dev(), sys()), devNode("ttyACM0"));
    EXPECT_EQ(portDevice(2, "", dev(), sys()), std::nullopt);
}

TEST_F(ComPortNamesTest, RuntimeFolderIsUsedWhenPrivate) {
    const std::string runtime = root_ / "run";
    EXPECT_EQ(portFolder(runtime.c_str(), root_ / "tmp"), folder());
    EXPECT_EQ(ignoredFolder(runtime.c_str(), root_ / "tmp").fault, FolderFault::None);

    const ScopedEnv env("XDG_RUNTIME_DIR", runtime.c_str());
    EXPECT_EQ(comPortFolder(), folder());
}

TEST_F(ComPortNamesTest, RuntimeFolderMissingMeansNoFolder) {
    const std::string runtime = root_ / "elsewhere";
    ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
    ASSERT_EQ(::mkdir((root_ / "tmp").c_str(), 0700), 0);
    const std::string fallback = root_ / "tmp/zyltool-" + std::to_string(::getuid());
    ASSERT_EQ(::mkdir(fallback.c_str(), 0700), 0);

    EXPECT_EQ(portFolder(runtime.c_str(), root_ / "tmp"), "");
    EXPECT_EQ(ignoredFolder(runtime.c_str(), root_ / "tmp").fault, FolderFault::None);  // nothing to ignore
}

TEST_F(ComPortNamesTest, TmpFolderServesWhenRuntimeDirIsUnsetOrNotAbsolute) {
    const std::string tmp = root_ / "tmp";
    ASSERT_EQ(::mkdir(tmp.c_str(), 0700), 0);
    EXPECT_EQ(portFolder(nullptr, tmp), "");

    const std::string fallback = tmp + "/zyltool-" + std::to_string(::getuid());
    ASSERT_EQ(::mkdir(fallback.c_str(), 0700), 0);
    EXPECT_EQ(portFolder(nullptr, tmp), fallback);
    EXPECT_EQ(portFolder("", tmp), fallback);
    EXPECT_EQ(portFolder("run", tmp), fallback);
}

// Folders another user could plant a link in, or read, are ignored, and said to be.
enum class Unsafe { OpenToAll, GroupReadable, OthersMayEnter, LinkToPrivateFolder, RegularFile };
constexpr FolderFault kFaults[] = {FolderFault::OpenToOthers, FolderFault::OpenToOthers,
                                   FolderFault::OpenToOthers, FolderFault::NotFolder, FolderFault::NotFolder};

const char* unsafeName(const ::testing::TestParamInfo<Unsafe>& info) {
    constexpr const char* kNames[] = {"OpenToAll", "GroupReadable", "OthersMayEnter", "LinkToPrivateFolder",
                                      "RegularFile"};
    return kNames[static_cast<int>(info.param)];
}

class UnsafeFolderTest : public ComPortNamesTest, public ::testing::WithParamInterface<Unsafe> {};

TEST_P(UnsafeFolderTest, IsIgnored) {
    const std::string tmp = root_ / "tmp";
    ASSERT_EQ(::mkdir(tmp.c_str(), 0700), 0);
    const std::string candidate = tmp + "/zyltool-" + std::to_string(::getuid());
    switch (GetParam()) {
        case Unsafe::OpenToAll:
            ASSERT_EQ(::mkdir(candidate.c_str(), 0700), 0);
            ASSERT_EQ(::chmod(candidate.c_str(), 0777), 0);
            break;
        case Unsafe::GroupReadable:
            ASSERT_EQ(::mkdir(candidate.c_str(), 0700), 0);
            ASSERT_EQ(::chmod(candidate.c_str(), 0750), 0);
            break;
        case Unsafe::OthersMayEnter:
            ASSERT_EQ(::mkdir(candidate.c_str(), 0700), 0);
            ASSERT_EQ(::chmod(candidate.c_str(), 0701), 0);
            break;
        case Unsafe::LinkToPrivateFolder:
            ASSERT_EQ(::symlink(folder().c_str(), candidate.c_str()), 0);
            break;
        case Unsafe::RegularFile:
            std::ofstream(candidate) << "";
            break;
    }
    EXPECT_EQ(portFolder(nullptr, tmp), "");
    const IgnoredFolder ignored = ignoredFolder(nullptr, tmp);
    EXPECT_EQ(ignored.path, candidate);
    EXPECT_EQ(ignored.fault, kFaults[static_cast<int>(GetParam())]);
}

INSTANTIATE_TEST_SUITE_P(Folders, UnsafeFolderTest,
                         ::testing::Values(Unsafe::OpenToAll, Unsafe::GroupReadable, Unsafe::OthersMayEnter,
                                           Unsafe::LinkToPrivateFolder, Unsafe::RegularFile),
                         unsafeName);

TEST_F(ComPortNamesTest, RuntimeFolderOpenToOthersIsIgnored) {
    ASSERT_EQ(::chmod(folder().c_str(), 0777), 0);
    EXPECT_EQ(portFolder((root_ / "run").c_str(), root_ / "tmp"), "");

    const ScopedEnv env("XDG_RUNTIME_DIR", (root_ / "run").c_str());
    EXPECT_EQ(ignoredPortFolder().path, folder());
    EXPECT_EQ(ignoredPortFolder().fault, FolderFault::OpenToOthers);
}

TEST_F(ComPortNamesTest, FolderOfAnotherUserIsIgnored) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can hand a folder to another user";
    }
    ASSERT_EQ(::chown(folder().c_str(), 65534, 65534), 0);
    EXPECT_EQ(portFolder((root_ / "run").c_str(), root_ / "tmp"), "");
    EXPECT_EQ(ignoredFolder((root_ / "run").c_str(), root_ / "tmp").fault, FolderFault::NotOwned);
}

}  // namespace
