#include "main_dialog.h"

#include <cstdio>

#include "cp1250_literal.h"
#include "key_dialog.h"
#include "maker_info.h"
#include "unit_commands.h"
#include "window.h"

namespace {

// writeList has room for 100 records and its end mark.
constexpr int kMaxKeysPerRun = 100;
constexpr int kMaxShownLiftName = 49;

}  // namespace

void MainDialog::onAddKeys() {
    // Each key taken goes into the image at once but reaches the unit only with the write
    // after the run; a run that loses the link puts the image back from this copy.
    const MemoryImage beforeRun = s_.image;
    s_.addedCount = 0;
    s_.writeList[0] = -1;
    s_.writeIndex = 0;
    stopCurrentTimer();
    discardInput();
    s_.listClicked = 0;
    clearFloorChecks();
    sendByte(unit::kBeginAddKeys);
    while (s_.addedCount < kMaxKeysPerRun) {
        // With every record in use the next key would have no record to go to.
        if (s_.keyList.firstFreeSlot() == kEndMark) {
            constexpr std::string_view full = "Paměť klíčů ve ZYL je plná, další klíč nelze přidat."_cp;
            logLine(full);
            window().messageBox(full);
            break;
        }
        const int added = addOneKey(s_.addedCount);
        if (added == -1) {
            break;
        }
        s_.addedCount += added;
    }
    sendByte(unit::kEndAddKeys);
    // A lost or broken link reported while a key dialog was open stands: no write over it,
    // and no poll that would enable the buttons again.
    if (s_.linkState != LinkState::Connected) {
        if (s_.addedCount > 0) {
            s_.image = beforeRun;
            rebuildKeyList();
            logLine("Zaznamenané klíče nebyly do ZYL uloženy."_cp);
        }
        return;
    }
    if (s_.addedCount > 0) {
        logLine({});
        sendByte(unit::kWriteKey);
        if (!startMainTimer(kWriteTimer, kWritePeriod)) {
            return;
        }
        disableButtons();
        s_.writeIndex = 0;
        s_.writeStep = 0;
        return;
    }
    if (!startMainTimer(kIdlePollTimer, kIdlePollPeriod)) {
        return;
    }
    s_.pollStep = 0;
    enableButtons();
}

int MainDialog::addOneKey(int index) {
    KeyDialog dialog(*this);
    dialog.keyId = s_.keyList.firstFreeSlot();
    dialog.keyCode.fill(0);
    dialog.floorMask.fill(0);
    dialog.readerMode = 1;
    dialog.maxCommentLength = s_.recordSize - kCommentOffset;
    discardInput();
    // A dialog that closes over a lost link takes nothing, however it was left.
    if (window().runModal(dialog) != Dialog::kOk || s_.linkState != LinkState::Connected) {
        return -1;
    }
    s_.pendingId = dialog.keyId;
    s_.pendingKey = dialog.keyCode;
    s_.pendingFloors = dialog.floorMask;
    s_.pendingComment = dialog.comment;
    if (!checkPendingKey() || !writePendingRecord()) {
        return 0;
    }
    // The next dialog takes the lowest record still free.
    rebuildKeyList();
    s_.writeList[index] = s_.pendingId;
    s_.writeList[index + 1] = -1;
    logLine("Klíč byl zaznamenán"_cp);
    return 1;
}

bool MainDialog::chooseKey(int& record) {
    const int firstSelected = firstSelectedRow();
    if (!((firstSelected >= 0 && s_.listClicked == 1) || s_.selectedRow != -1)) {
        return false;
    }
    const int row = s_.selectedRow != -1 ? s_.selectedRow : firstSelected;
    record = recordOfRow(row);
    return record >= 0;
}

void MainDialog::onEditKey() {
    int record = 0;
    if (!chooseKey(record)) {
        logLine("Nebyl vybrán žádný klíč!"_cp);
        return;
    }
    KeyDialog dialog(*this);
    dialog.keyCode = keyCodeOf(s_.image, record, s_.recordSize);
    dialog.floorMask = floorMaskOf(s_.image, record, s_.recordSize);
    dialog.comment = listComment(s_.image, record, s_.recordSize);
    dialog.keyId = record;
    dialog.readerMode = 0;
    dialog.maxCommentLength = s_.recordSize - kCommentOffset;
    s_.listClicked = 0;
    clearFloorChecks();
    stopCurrentTimer();
    discardInput();
    const int result = window().runModal(dialog);
    // As after adding: a link lost or broken meanwhile leaves nothing to write or poll.
    if (s_.linkState != LinkState::Connected) {
        return;
    }
    if (result != Dialog::kOk) {
        // A slower poll after a cancelled edit.
        if (startMainTimer(kIdlePollTimer, kIdlePollAfterCancelPeriod)) {
            s_.pollStep = 0;
            enableButtons();
        }
        return;
    }
    // The edited key is not checked again: its code cannot change here.
    s_.pendingId = dialog.keyId;
    s_.pendingKey = dialog.keyCode;
    s_.pendingFloors = dialog.floorMask;
    s_.pendingComment = dialog.comment;
    writePendingRecord();
    s_.writeList[0] = s_.pendingId;
    s_.writeList[1] = -1;
    rebuildKeyList();
    // The unit has no record update: the record is deleted, then written again.
    s_.editAfterDelete = 1;
    s_.deleteId = s_.pendingId;
    discardInput();
    sendByte(unit::kDeleteKey);
    logLine({});
    startOperation(kDeleteTimer, kDeletePeriod);
    s_.deleteStep = 0;
    s_.writeIndex = 0;
}

void MainDialog::onDeleteKey() {
    int record = 0;
    if (!chooseKey(record)) {
        logLine("Nebyl vybrán žádný klíč!"_cp);
        return;
    }
    s_.listClicked = 0;
    const Window::Answer answer = window().messageBox(
        std::string("Opravdu chcete vymazat klíč s ID "_cp) + std::to_string(record) + "?",
        "ZYL - Vymazání klíče"_cp, Window::Buttons::YesNo);
    if (answer != Window::Answer::Yes) {
        return;
    }
    s_.deleteId = record;
    logLine(" ");
    clearFloorChecks();
    deleteKey(s_.image, s_.recordSize, record);
    rebuildKeyList();
    s_.editAfterDelete = 0;
    discardInput();
    sendByte(unit::kDeleteKey);
    startOperation(kDeleteTimer, kDeletePeriod);
    s_.deleteStep = 0;
}

// The help page sits beside the program when it was installed with it; otherwise the
// maker's web page stands in. C's stdio rather than a stream: the Windows program carries
// nothing of iostream.
void MainDialog::onHelp() {
    constexpr char helpFile[] = "ZYL_help.htm";
    if (std::FILE* help = std::fopen(helpFile, "rb")) {
        std::fclose(help);
        window().openExternal(helpFile);
    } else {
        window().openExternal(kMakerWebPage);
    }
}

void MainDialog::onListClick() {
    s_.listClicked = 1;
    const int row = firstSelectedRow();
    if (row < 0) {
        return;
    }
    showFloors(row);
    if (s_.selectedRow != row) {
        // The user's choice wins over a row the program highlighted.
        selectRow(-1, s_.selectedRow);
    }
}

void MainDialog::onListKeyDown() {
    clearFloorChecks();
    selectRow(-1, s_.selectedRow);
    s_.selectedRow = -1;
}

void MainDialog::onListDoubleClick() {
    if (s_.editOnDoubleClick != 1) {
        return;
    }
    onEditKey();
    s_.listClicked = 1;
}

void MainDialog::showSettings() {
    std::string summary = s_.accessTime != 0
                              ? std::string("Čas přístupu: "_cp) + std::to_string(s_.accessTime) + ",     "
                              : std::string("Trvalý přístup,     "_cp);
    summary += "Počet znaků komentáře: "_cp;
    summary += std::to_string(s_.recordSize - kCommentOffset);
    summary += ",     Inverze relé: "_cp;
    summary += s_.relayInvert != 0 ? "ano,     " : "ne,     ";
    summary += "Inverze hlavniho relé: "_cp;
    summary += s_.mainRelayInvert != 0 ? "ano" : "ne";
    window().setText(kSettingsStatic, summary);
    if (static_cast<int>(s_.liftName.size()) > kMaxShownLiftName) {
        s_.liftName.resize(kMaxShownLiftName + 1);
    }
    window().setText(kLiftNameStatic, s_.liftName);
}
