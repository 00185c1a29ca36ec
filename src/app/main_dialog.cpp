#include "main_dialog.h"

#include "about_dialog.h"
#include "cp1250_literal.h"
#include "unit_commands.h"
#include "window.h"

MainDialog::MainDialog(PortLink& port) : Dialog(kMainDialogTemplate), link_(port) {}

void MainDialog::onInitDialog() {
    s_.buttonEnabled = MainDialogState::kNotConnectedButtons;
    enableButtons();
    s_.listClicked = 0;
    clearFloorChecks();
    s_.selectedRow = -1;
    s_.recordSize = 100;
    clearImage();
    window().setFocus(kConnectButton);
}

void MainDialog::onCommand(int controlId, Notification notification) {
    using enum Notification;
    static constexpr CommandRoute<MainDialog> kRoutes[] = {
        {kConnectButton, Clicked, &MainDialog::onConnect},
        {kSettingsButton, Clicked, &MainDialog::loadFactoryDefaults},
        {kSettingsStatic, Clicked, &MainDialog::loadFactoryDefaults},  // the command id 1011
        {kAddKeysButton, Clicked, &MainDialog::onAddKeys},
        {kEditKeyButton, Clicked, &MainDialog::onEditKey},
        {kDeleteKeyButton, Clicked, &MainDialog::onDeleteKey},
        {kArchiveButton, Clicked, &MainDialog::onArchive},
        {kHelpButton, Clicked, &MainDialog::onHelp},
        {kKeyListView, Clicked, &MainDialog::onListClick},
        {kKeyListView, FocusGained, &MainDialog::onListClick},
        {kKeyListView, DoubleClicked, &MainDialog::onListDoubleClick},
        {kKeyListView, KeyDown, &MainDialog::onListKeyDown},
    };
    if (!routeCommand<MainDialog>(*this, kRoutes, controlId, notification)) {
        Dialog::onCommand(controlId, notification);  // Esc and the close box end the program
    }
}

// --- Operation control -----------------------------------------------------------------

void MainDialog::disableButtons() {
    for (int i = 0; i < MainDialogState::kButtonCount; ++i) {
        window().setEnabled(kAddKeysButton + i, false);
    }
    s_.editOnDoubleClick = 0;
}

void MainDialog::enableButtons() {
    for (int i = 0; i < MainDialogState::kButtonCount; ++i) {
        window().setEnabled(kAddKeysButton + i, s_.buttonEnabled[i] != 0);
    }
    s_.editOnDoubleClick = s_.buttonEnabled[1];
    window().setEnabled(kConnectButton, true);
}

void MainDialog::stopCurrentTimer() {
    window().stopTimer(s_.currentTimerId);
}

int MainDialog::startOperation(int timerId, int periodMs) {
    disableButtons();
    stopCurrentTimer();
    discardInput();
    if (!startMainTimer(timerId, periodMs)) {
        s_.currentTimerId = -1;
        return -1;
    }
    return timerId;
}

void MainDialog::returnToIdle(int timerId) {
    window().stopTimer(timerId);
    beginIdlePoll();
}

bool MainDialog::startMainTimer(int timerId, int periodMs) {
    s_.currentTimerId = window().startTimer(timerId, periodMs);
    if (s_.currentTimerId == 0) {
        window().messageBox("Timer error!"_cp);
        return false;
    }
    return true;
}

void MainDialog::reportError(int code, ErrorKind kind, std::string_view text) {
    stopCurrentTimer();
    switch (kind) {
        case ErrorKind::Fatal: {
            s_.linkState = LinkState::Dead;
            disableButtons();
            // Built by appending: clang 14 fails on a declaration initialised from a _cp literal.
            std::string message;
            message += "Zásadní chyba číslo "_cp;
            message += std::to_string(code);
            message += "!\r\nProsím vypněte a zapněte ZYL a tento program."_cp;
            logLine(message);
            window().messageBox(message);
            break;
        }
        case ErrorKind::Disconnect: {
            s_.linkState = LinkState::NotConnected;
            const std::string message = "Chyba " + std::to_string(code) + " - ZYL odpojeno.";
            window().messageBox(message);
            logLine(message);
            s_.buttonEnabled = MainDialogState::kNotConnectedButtons;
            enableButtons();
            break;
        }
        case ErrorKind::Logged:
            logLine("Chyba " + std::to_string(code) + " - " + std::string(text));
            break;
    }
}

// --- Log -------------------------------------------------------------------------------

void MainDialog::logLine(std::string_view text) {
    std::string piece(text);
    piece += "\r\n";
    log_.prepend(piece);
    window().logLinePrepended(kLogBox, piece);
}

void MainDialog::logMark(std::string_view text) {
    log_.prepend(text);
    window().logMarkPrepended(kLogBox, text);
}

// --- Memory image and key list ---------------------------------------------------------

void MainDialog::clearImage() {
    s_.image.fill(0);
    rebuildKeyList();
}

void MainDialog::rebuildKeyList() {
    s_.keyList.rebuild(s_.image, s_.recordSize);
    window().rowsChanged(kKeyListView);
}

int MainDialog::recordOfRow(int row) const {
    return s_.keyList.recordOfRow(row);
}

int MainDialog::rowOfRecord(int record) const {
    return s_.keyList.rowOfRecord(record);
}

int MainDialog::rowCount(int listId) const {
    return listId == kKeyListView ? s_.keyList.rowCount() : 0;
}

std::string MainDialog::cellText(int listId, int row, int column) const {
    if (listId != kKeyListView) {
        return {};
    }
    const int record = recordOfRow(row);
    switch (column) {
        case 0:
            return std::to_string(record);
        case 1:
            return listComment(s_.image, record, s_.recordSize);
        case 2:
            return keyCodeText(keyCodeOf(s_.image, record, s_.recordSize), ZeroBytes::Skip);
    }
    return {};
}

int MainDialog::firstSelectedRow() const {
    const std::vector<int> rows = window().selectedRows(kKeyListView);
    return rows.empty() ? -1 : rows.front();
}

void MainDialog::selectKeyByCode() {
    const int record = findRecordByKey(s_.image, s_.recordSize, s_.readerKey);
    // Only a listed key has a row; a matching record beyond the list or a free one has none.
    if (record < 0 || record >= listedCount(s_.recordSize) ||
        recordState(s_.image, record, s_.recordSize) != KeyState::Used) {
        return;
    }
    const int row = rowOfRecord(record);
    if (firstSelectedRow() >= 0) {
        s_.selectedRow = firstSelectedRow();
    }
    selectRow(row, s_.selectedRow);
}

void MainDialog::selectRow(int newRow, int oldRow) {
    const int rows = s_.keyList.rowCount();
    if (oldRow >= 0 && oldRow < rows) {
        window().setRowSelected(kKeyListView, oldRow, false);
    }
    if (newRow < 0 || newRow >= rows) {
        s_.selectedRow = -1;
        return;
    }
    window().setRowSelected(kKeyListView, newRow, true);
    s_.selectedRow = newRow;
    showFloors(newRow);
}

void MainDialog::showFloors(int row) {
    clearFloorChecks();
    if (row < 0) {
        return;
    }
    const FloorMask floors = floorMaskOf(s_.image, recordOfRow(row), s_.recordSize);
    for (int floor = 1; floor <= kFloors; ++floor) {
        window().setChecked(kFirstFloorCheck + floor - 1, floorAllowed(floors, floor));
    }
}

void MainDialog::clearFloorChecks() {
    for (int floor = 1; floor <= kFloors; ++floor) {
        window().setChecked(kFirstFloorCheck + floor - 1, false);
    }
}

bool MainDialog::checkPendingKey() {
    switch (::checkPendingKey(s_.image, s_.recordSize, s_.pendingKey)) {
        case KeyCheck::AllZero:
            reportError(110, ErrorKind::Logged, "Neplatné číslo klíče"_cp);
            window().messageBox("Neplatné číslo klíče!"_cp);
            return false;
        case KeyCheck::AllOnes:
            reportError(111, ErrorKind::Logged, "Neplatné číslo klíče"_cp);
            window().messageBox("Neplatné číslo klíče!"_cp);
            return false;
        case KeyCheck::AlreadyStored:
            window().messageBox("Tento klíč je již uložen!"_cp);
            reportError(112, ErrorKind::Logged, "Tento klíč je již uložen"_cp);
            return false;
        case KeyCheck::Accepted:
            break;
    }
    return true;
}

bool MainDialog::writePendingRecord() {
    return writeRecord(s_.image, s_.recordSize, s_.pendingId, s_.pendingKey, s_.pendingFloors,
                       s_.pendingComment);
}

// --- Window events ---------------------------------------------------------------------

void MainDialog::onTimer(int timerId) {
    switch (timerId) {
        case kHandshakeTimer:
            stepHandshake();
            break;
        case kIdlePollTimer:
            stepIdlePoll();
            break;
        case kFactoryTimer:
            stepFactorySettings();
            break;
        case kDeleteTimer:
            stepKeyDelete();
            break;
        case kWriteTimer:
            stepKeyWrite();
            break;
        case kEraseTimer:
            stepErase();
            break;
    }
}

void MainDialog::onSysCommand(int command) {
    if ((command & 0xFFF0) == kAboutCommand) {
        AboutDialog about;
        window().runModal(about);
    }
}

void MainDialog::onDestroy() {
    window().stopTimer(s_.currentTimerId);
    if (s_.portOpen == 1) {
        sendByte(unit::kEndOfLink);
        link_.port().close();
        s_.portOpen = 0;
    }
}
