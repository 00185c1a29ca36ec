#include "archive_dialog.h"
#include "cp1250_literal.h"

namespace {

// The template's order is also the tab order, so the focus starts on "Zpět"; the frames
// are no tab stops. One control a row, as a resource script lists them.
// clang-format off
constexpr ControlTemplate kControls[] = {
    {ArchiveDialog::kBackButton, ControlKind::Button, "Zpět"_cp, 110, 109, 50, 14},
    {ArchiveDialog::kUpperGroup, ControlKind::GroupBox, ""_cp, 7, 7, 153, 61},
    {ArchiveDialog::kCopyToPcButton, ControlKind::Button, "Zkopírovat paměť z ZYL do PC"_cp, 21, 16, 126, 14},
    {ArchiveDialog::kCopyToUnitButton, ControlKind::Button, "Zkopírovat paměť z PC do ZYL"_cp, 21, 31, 126, 14},
    {ArchiveDialog::kEraseLogsButton, ControlKind::Button, "Smazat všechny logy z ZYL"_cp, 21, 88, 126, 14},
    {ArchiveDialog::kEraseKeysButton, ControlKind::Button, "Smazat všechny klíče z ZYL"_cp, 21, 73, 126, 14},
    {ArchiveDialog::kLowerGroup, ControlKind::GroupBox, ""_cp, 7, 64, 153, 44},
    {ArchiveDialog::kExportButton, ControlKind::Button, "Exportovat paměť z ZYL do souboru"_cp, 21, 45, 126, 14},
};
// clang-format on

}  // namespace

const DialogTemplate kArchiveDialogTemplate{
    105, "ZYL key - Archiv"_cp, 167, 130, "MS Sans Serif"_cp, 8, kControls,
};
