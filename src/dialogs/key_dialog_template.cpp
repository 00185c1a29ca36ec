#include "cp1250_literal.h"
#include "key_dialog.h"

namespace {

using K = KeyDialog;
using namespace control_style;

// The frame first, so the floor boxes lie above it. The floor boxes stand in six columns
// of four (1-4, 5-8, ..., 21-24).
constexpr ControlTemplate kControls[] = {
    {K::kFloorGroup, ControlKind::GroupBox, "Patra"_cp, 7, 66, 236, 76},
    {K::kIdLabel, ControlKind::Static, "ID"_cp, 7, 7, 40, 8},
    {K::kKeyLabel, ControlKind::Static, "Klíč"_cp, 54, 7, 96, 8},
    {K::kCommentLabel, ControlKind::Static, "Komentář"_cp, 7, 36, 236, 8},
    {K::kIdEdit, ControlKind::Edit, {}, 7, 17, 40, 13, kDisabled},
    {K::kKeyEdit, ControlKind::Edit, {}, 54, 17, 96, 13, kCentered | kDisabled},
    {K::kCommentEdit, ControlKind::Edit, {}, 7, 46, 236, 13},
    {K::kManualEntryBox, ControlKind::CheckBox, "Zadat klíč ručně"_cp, 158, 19, 86, 10},
    {K::kFirstFloorBox + 0, ControlKind::CheckBox, "1"_cp, 17, 79, 30, 10},
    {K::kFirstFloorBox + 1, ControlKind::CheckBox, "2"_cp, 17, 91, 30, 10},
    {K::kFirstFloorBox + 2, ControlKind::CheckBox, "3"_cp, 17, 103, 30, 10},
    {K::kFirstFloorBox + 3, ControlKind::CheckBox, "4"_cp, 17, 115, 30, 10},
    {K::kFirstFloorBox + 4, ControlKind::CheckBox, "5"_cp, 54, 79, 30, 10},
    {K::kFirstFloorBox + 5, ControlKind::CheckBox, "6"_cp, 54, 91, 30, 10},
    {K::kFirstFloorBox + 6, ControlKind::CheckBox, "7"_cp, 54, 103, 30, 10},
    {K::kFirstFloorBox + 7, ControlKind::CheckBox, "8"_cp, 54, 115, 30, 10},
    {K::kFirstFloorBox + 8, ControlKind::CheckBox, "9"_cp, 91, 79, 30, 10},
    {K::kFirstFloorBox + 9, ControlKind::CheckBox, "10"_cp, 91, 91, 30, 10},
    {K::kFirstFloorBox + 10, ControlKind::CheckBox, "11"_cp, 91, 103, 30, 10},
    {K::kFirstFloorBox + 11, ControlKind::CheckBox, "12"_cp, 91, 115, 30, 10},
    {K::kFirstFloorBox + 12, ControlKind::CheckBox, "13"_cp, 128, 79, 30, 10},
    {K::kFirstFloorBox + 13, ControlKind::CheckBox, "14"_cp, 128, 91, 30, 10},
    {K::kFirstFloorBox + 14, ControlKind::CheckBox, "15"_cp, 128, 103, 30, 10},
    {K::kFirstFloorBox + 15, ControlKind::CheckBox, "16"_cp, 128, 115, 30, 10},
    {K::kFirstFloorBox + 16, ControlKind::CheckBox, "17"_cp, 165, 79, 30, 10},
    {K::kFirstFloorBox + 17, ControlKind::CheckBox, "18"_cp, 165, 91, 30, 10},
    {K::kFirstFloorBox + 18, ControlKind::CheckBox, "19"_cp, 165, 103, 30, 10},
    {K::kFirstFloorBox + 19, ControlKind::CheckBox, "20"_cp, 165, 115, 30, 10},
    {K::kFirstFloorBox + 20, ControlKind::CheckBox, "21"_cp, 202, 79, 30, 10},
    {K::kFirstFloorBox + 21, ControlKind::CheckBox, "22"_cp, 202, 91, 30, 10},
    {K::kFirstFloorBox + 22, ControlKind::CheckBox, "23"_cp, 202, 103, 30, 10},
    {K::kFirstFloorBox + 23, ControlKind::CheckBox, "24"_cp, 202, 115, 30, 10},
    {K::kAllFloorsBox, ControlKind::CheckBox, "Vše"_cp, 17, 127, 40, 10},
    {K::kHintStatic, ControlKind::Static, "Přidávání klíčů ukončíte tlačítkem Zpět"_cp, 7, 148, 236, 8},
    {K::kOkButton, ControlKind::Button, "OK"_cp, 139, 166, 50, 14, kDefault},
    {K::kBackButton, ControlKind::Button, "Zpět"_cp, 193, 166, 50, 14},
};

}  // namespace

const DialogTemplate kKeyDialogTemplate{
    103, "ZYL key - Přidat/upravit klíč"_cp, 250, 186, "MS Sans Serif"_cp, 8, kControls,
};
