#include "about_dialog.h"
#include "maker_info.h"

namespace {

// The statics have no ids in the resource; these stand in for them.
enum : int { kIcon = -1, kVersion = -2, kNotice = -3, kWebAddress = -4 };

constexpr ControlTemplate kControls[] = {
    {kIcon, ControlKind::Icon, "", 11, 17, 20, 20},
    {kVersion, ControlKind::Static, "ZYL default Verze 130218", 40, 10, 119, 8},
    {kNotice, ControlKind::Static, kMakerNotice, 40, 25, 119, 8},
    {Dialog::kOk, ControlKind::Button, "OK", 178, 7, 50, 14, control_style::kDefault},
    {kWebAddress, ControlKind::Static, kMakerWebAddress, 40, 35, 97, 8},
};

}  // namespace

const DialogTemplate kAboutDialogTemplate = {
    .id = 100,
    .caption = "ZYL default",
    .width = 235,
    .height = 55,
    .fontFace = "MS Sans Serif",
    .fontPointSize = 8,
    .controls = kControls,
};
