#include <array>
#include <cstddef>

#include "cp1250_literal.h"
#include "main_dialog.h"

namespace {

using namespace control_style;

constexpr int kFloorCount = 24;
constexpr std::string_view kFloorNames[kFloorCount] = {
    "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11", "12",
    "13", "14", "15", "16", "17", "18", "19", "20", "21", "22", "23", "24",
};

// Floor f sits in the left column (odd floors) or the right one, nine dialog units per pair
// of floors from y = 31; the right column steps back where the numbers get two digits.
constexpr ControlTemplate floorCheck(int floor) {
    const int row = (floor - 1) / 2;
    const bool left = floor % 2 == 1;
    const int x = left ? 18 : (floor <= 8 ? 42 : 38);
    const int width = floor <= 9 ? 20 : 24;
    return {MainDialog::kFirstFloorCheck + floor - 1,
            ControlKind::CheckBox,
            kFloorNames[floor - 1],
            x,
            31 + 9 * row,
            width,
            10,
            kHidden | kDisabled};
}

constexpr ListColumn kKeyListColumns[] = {
    {"ID:", 50},
    {"Komentář:"_cp, 400},
    {"Klíč:"_cp, 116},
};

constexpr ControlTemplate kLeadingControls[] = {
    {MainDialog::kAddKeysButton, ControlKind::Button, "Přidat klíče"_cp, 7, 7, 55, 14, kHidden},
    {MainDialog::kEditKeyButton, ControlKind::Button, "Upravit klíč"_cp, 7, 55, 54, 14, kHidden | kDisabled},
    {MainDialog::kDeleteKeyButton, ControlKind::Button, "Vymazat klíč"_cp, 7, 33, 54, 14, kHidden},
    {MainDialog::kSettingsButton, ControlKind::Button, "Nastavení"_cp, 7, 72, 55, 14, kHidden},
    {MainDialog::kConnectButton, ControlKind::Button, "Připojit ZYL a nahrát tovární nastavení"_cp, 7, 7, 293,
     14, kDefault},
    {MainDialog::kArchiveButton, ControlKind::Button, "Archiv", 7, 40, 55, 14, kHidden},
    {MainDialog::kHelpButton, ControlKind::Button, "Nápověda"_cp, 7, 57, 54, 14, kHidden},
    {MainDialog::kKeyListView, ControlKind::ReportList, "", 7, 19, 36, 38, kHidden, kKeyListColumns},
    {MainDialog::kLogBox, ControlKind::LogBox, "", 7, 22, 293, 118},
    {MainDialog::kLiftNameStatic, ControlKind::Static, "", 10, 7, 8, 8, kHidden},
    {MainDialog::kSettingsStatic, ControlKind::Static, "", 7, 30, 8, 8, kHidden},
};

constexpr ControlTemplate kFloorGroupBox = {
    MainDialog::kFloorGroup, ControlKind::GroupBox, "Patra", 7, 14, 55, 126, kHidden};

constexpr std::size_t kLeadingCount = std::size(kLeadingControls);

constexpr auto kControls = [] {
    std::array<ControlTemplate, kLeadingCount + kFloorCount + 1> controls{};
    std::size_t at = 0;
    for (const ControlTemplate& c : kLeadingControls) {
        controls[at++] = c;
    }
    for (int floor = 1; floor <= kFloorCount; ++floor) {
        controls[at++] = floorCheck(floor);
    }
    controls[at] = kFloorGroupBox;
    return controls;
}();

}  // namespace

const DialogTemplate kMainDialogTemplate = {
    .id = 102,
    .caption = "ZYL default - servisní nástroj výrobce ZYL"_cp,
    .width = 308,
    .height = 148,
    .fontFace = "MS Sans Serif",
    .fontPointSize = 8,
    .controls = kControls,
    .systemMenuItem = {MainDialog::kAboutCommand, "&About ZYL default..."},
    .minimizeBox = true,
};
