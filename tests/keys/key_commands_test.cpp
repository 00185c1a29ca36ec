#include <filesystem>
#include <fstream>

#include "key_flow_fixture.h"
#include "maker_info.h"
#include "temp_folder.h"

using namespace keys_test;

namespace {

class KeyCommandsTest : public KeyFlowTest {
protected:
    KeyCommandsTest() {
        for (int record = 0; record < 4; ++record) {
            storeKey(record, numberedKey(record + 1), {static_cast<std::uint8_t>(1 << record), 0, 0});
        }
    }
};

// Runs with the current directory set to a fresh temporary one.
class InTemporaryDirectory {
public:
    InTemporaryDirectory() : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir_.path());
    }
    ~InTemporaryDirectory() { std::filesystem::current_path(previous_); }
    std::string path() const { return dir_.path(); }

private:
    TempFolder dir_;
    std::filesystem::path previous_;
};

TEST_F(KeyCommandsTest, HelpOpensTheLocalHelpFileWhenItIsThere) {
    InTemporaryDirectory here;
    std::ofstream help(here.path() + "/ZYL_help.htm");
    ASSERT_TRUE(help.is_open());
    help.close();
    h.dialog.onHelp();
    EXPECT_EQ(h.screen.opened, std::vector<std::string>{"ZYL_help.htm"});
    EXPECT_TRUE(h.screen.boxes.empty());
}

TEST_F(KeyCommandsTest, HelpOpensTheMakersPageWhenTheFileIsMissing) {
    InTemporaryDirectory here;
    h.dialog.onHelp();
    EXPECT_EQ(h.screen.opened, std::vector<std::string>{std::string(kMakerWebPage)});
    EXPECT_TRUE(h.screen.boxes.empty());
}

TEST_F(KeyCommandsTest, ClickShowsTheFloorsOfTheClickedRowAndDropsTheProgramsHighlight) {
    h.dialog.selectRow(1, -1);
    clickRow(2);
    EXPECT_EQ(s().listClicked, 1);
    EXPECT_EQ(s().selectedRow, -1);
    EXPECT_TRUE(floorChecked(3));
    EXPECT_FALSE(floorChecked(2));
}

TEST_F(KeyCommandsTest, ClickOnTheHighlightedRowKeepsIt) {
    h.dialog.selectRow(2, -1);
    clickRow(2);
    EXPECT_EQ(s().selectedRow, 2);
    EXPECT_TRUE(floorChecked(3));
}

TEST_F(KeyCommandsTest, KeyDownClearsTheFloorsAndTheHighlight) {
    h.dialog.selectRow(2, -1);
    h.dialog.onListKeyDown();
    EXPECT_EQ(s().selectedRow, -1);
    for (int floor = 1; floor <= kFloors; ++floor) {
        EXPECT_FALSE(floorChecked(floor)) << floor;
    }
}

TEST_F(KeyCommandsTest, DoubleClickEditsOnlyWhileTheEditButtonIsEnabled) {
    h.dialog.selectRow(1, -1);
    s().buttonEnabled[1] = 0;
    h.dialog.enableButtons();
    h.dialog.onListDoubleClick();
    EXPECT_EQ(h.screen.modalRuns, 0);

    s().buttonEnabled[1] = 1;
    h.dialog.enableButtons();
    h.dialog.onListDoubleClick();
    EXPECT_EQ(h.screen.modalRuns, 1);
    EXPECT_EQ(s().listClicked, 1);
}

TEST_F(KeyCommandsTest, SettingsSummaryWithPermanentAccessAndALongLiftNameCut) {
    s().accessTime = 0;
    s().relayInvert = 1;
    s().mainRelayInvert = 0;
    s().liftName = std::string(60, 'L');
    h.dialog.showSettings();

    EXPECT_EQ(h.window.text(MainDialog::kSettingsStatic),
              "Trvalý přístup,     Počet znaků komentáře: 50,     Inverze relé: ano,     "
              "Inverze hlavniho relé: ne"_cp);
    EXPECT_EQ(s().liftName, std::string(50, 'L'));
    EXPECT_EQ(h.window.text(MainDialog::kLiftNameStatic), std::string(50, 'L'));
}

TEST_F(KeyCommandsTest, SettingsSummaryWithAccessTimeAndACzechLiftName) {
    s().accessTime = 7;
    s().relayInvert = 0;
    s().mainRelayInvert = 1;
    s().liftName = utf8ToCp1250("Výtah č. 2");
    h.dialog.showSettings();

    EXPECT_EQ(h.window.text(MainDialog::kSettingsStatic),
              "Čas přístupu: 7,     Počet znaků komentáře: 50,     Inverze relé: ne,     "
              "Inverze hlavniho relé: ano"_cp);
    EXPECT_EQ(h.window.text(MainDialog::kLiftNameStatic), "Výtah č. 2"_cp);
}

}  // namespace
