#include "main_dialog.h"

#include <QFile>
#include <QLabel>

#include "code_page_1250.h"
#include "desktop.h"
#include "key_dialog.h"
#include "maker_info.h"
#include "qt_dialog_window.h"
#include "unit_commands.h"
#include "window_timers.h"

namespace {

// writeList has room for 100 records and its end mark.
constexpr int kMaxKeysPerRun = 100;
constexpr int kMaxShownLiftName = 49;

QString fromUnit(const std::string& bytes) {
    return QString::fromStdString(cp1250ToUtf8(bytes));
}

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
            const QString full = QStringLiteral("Paměť klíčů ve ZYL je plná, další klíč nelze přidat.");
            logLine(full);
            Desktop::current().messageBox(this, full);
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
            logLine(QStringLiteral("Zaznamenané klíče nebyly do ZYL uloženy."));
        }
        return;
    }
    if (s_.addedCount > 0) {
        logLine(QString());
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
    QtDialogWindow window(dialog, this);
    if (Desktop::current().runModal(window) != Dialog::kOk || s_.linkState != LinkState::Connected) {
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
    logLine(QStringLiteral("Klíč byl zaznamenán"));
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
        logLine(QStringLiteral("Nebyl vybrán žádný klíč!"));
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
    QtDialogWindow window(dialog, this);
    const int result = Desktop::current().runModal(window);
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
    logLine(QString());
    startOperation(kDeleteTimer, kDeletePeriod);
    s_.deleteStep = 0;
    s_.writeIndex = 0;
}

void MainDialog::onDeleteKey() {
    int record = 0;
    if (!chooseKey(record)) {
        logLine(QStringLiteral("Nebyl vybrán žádný klíč!"));
        return;
    }
    s_.listClicked = 0;
    const Desktop::Answer answer = Desktop::current().messageBox(
        this, QStringLiteral("Opravdu chcete vymazat klíč s ID %1?").arg(record),
        QStringLiteral("ZYL - Vymazání klíče"), Desktop::Buttons::YesNo);
    if (answer != Desktop::Answer::Yes) {
        return;
    }
    s_.deleteId = record;
    logLine(QStringLiteral(" "));
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
// maker's web page stands in.
void MainDialog::onHelp() {
    const QString helpFile = QStringLiteral("ZYL_help.htm");
    QFile help(helpFile);
    if (help.open(QIODevice::ReadOnly)) {
        help.close();
        Desktop::current().openExternal(helpFile);
    } else {
        Desktop::current().openExternal(QString::fromLatin1(kMakerWebPage));
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
    QString summary = s_.accessTime != 0 ? QStringLiteral("Čas přístupu: %1,     ").arg(s_.accessTime)
                                         : QStringLiteral("Trvalý přístup,     ");
    summary +=
        QStringLiteral("Počet znaků komentáře: %1,     Inverze relé: ").arg(s_.recordSize - kCommentOffset);
    summary += s_.relayInvert != 0 ? QStringLiteral("ano,     ") : QStringLiteral("ne,     ");
    summary += QStringLiteral("Inverze hlavniho relé: ");
    summary += s_.mainRelayInvert != 0 ? QStringLiteral("ano") : QStringLiteral("ne");
    settingsStatic_->setText(summary);
    if (static_cast<int>(s_.liftName.size()) > kMaxShownLiftName) {
        s_.liftName.resize(kMaxShownLiftName + 1);
    }
    liftNameStatic_->setText(fromUnit(s_.liftName));
}
