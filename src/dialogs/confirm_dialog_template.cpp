#include "confirm_dialog.h"
#include "cp1250_literal.h"

namespace {

using namespace control_style;

// A check box never wraps its text; a long sentence is clipped at the box's width.
constexpr ControlTemplate kControls[] = {
    {ConfirmDialog::kOkButton, ControlKind::Button, "OK"_cp, 141, 7, 50, 14, kDefault | kDisabled},
    {ConfirmDialog::kCancelButton, ControlKind::Button, "Cancel"_cp, 192, 7, 50, 14},
    {ConfirmDialog::kTickBox, ControlKind::CheckBox, ""_cp, 7, 9, 133, 10},
};

}  // namespace

const DialogTemplate kConfirmDialogTemplate{
    106, "ZYL key"_cp, 249, 28, "MS Sans Serif"_cp, 8, kControls,
};
