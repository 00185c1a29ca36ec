#include "connect_dialog.h"
#include "cp1250_literal.h"

namespace {

using C = ConnectDialog;
using namespace control_style;

// In tab order: the code first, so the focus starts there. The radio pair is a group of its
// own, so the arrow keys move between USB and Bluetooth only.
constexpr ControlTemplate kControls[] = {
    {C::kPromptStatic, ControlKind::Static, "Vložte přístupový kód"_cp, 7, 44, 166, 8, kCentered},
    {C::kCodeEdit, ControlKind::Edit, {}, 55, 55, 70, 12, kPassword},
    {C::kLinkStatic, ControlKind::Static, "Připojit přes:"_cp, 7, 9, 62, 8},
    {C::kUsbRadio, ControlKind::RadioButton, "USB"_cp, 72, 8, 36, 10, kHidden | kGroup},
    {C::kBluetoothRadio, ControlKind::RadioButton, "Bluetooth"_cp, 112, 8, 60, 10, kHidden},
    {C::kManualPortCheck, ControlKind::CheckBox, "Nastavit port ručně"_cp, 7, 25, 86, 10, kGroup},
    {C::kComStatic, ControlKind::Static, "COM"_cp, 100, 26, 18, 8},
    {C::kPortEdit, ControlKind::Edit, {}, 120, 24, 30, 12, kDisabled},
    {C::kOkButton, ControlKind::Button, "OK"_cp, 36, 74, 50, 14, kDefault},
    {C::kBackButton, ControlKind::Button, "Zpět"_cp, 94, 74, 50, 14},
};

}  // namespace

const DialogTemplate kConnectDialogTemplate{
    104, "ZYL key"_cp, 180, 94, "MS Sans Serif"_cp, 8, kControls,
};
