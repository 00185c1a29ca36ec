#include "main_dialog.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTreeView>

#include <memory>

#include "about_dialog.h"
#include "code_page_1250.h"
#include "app_icon.h"
#include "desktop.h"
#include "dialog_units.h"
#include "key_list_model.h"
#include "maker_info.h"
#include "port_link.h"
#include "unit_commands.h"
#include "window_timers.h"

namespace {

// Floor check boxes: floor f sits in the left column (odd floors) or the right one, nine
// dialog units per pair of floors from y = 31.
QRect floorCheckRect(int floor) {
    const int row = (floor - 1) / 2;
    const bool left = floor % 2 == 1;
    const int x = left ? 18 : (floor <= 8 ? 42 : 38);
    const int w = floor <= 9 ? 20 : 24;
    return QRect(x, 31 + 9 * row, w, 10);
}

const QString kAboutItem = QStringLiteral("&About ZYL default...");

QString forLogBox(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

}  // namespace

MainDialog::MainDialog(PortLink& port, QWidget* parent)
    : QDialog(parent), link_(port), timers_(new WindowTimers([this](int id) { onTimer(id); }, this)) {
    createControls();
    onInitDialog();
}

MainDialog::~MainDialog() { onDestroy(); }

void MainDialog::createControls() {
    setWindowTitle(QStringLiteral("ZYL default - ") + QString::fromUtf8(kMakerNotice));
    setWindowIcon(appIcon());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    const DialogUnits du(this);
    setFixedSize(du.toPixels(308, 148));

    struct ButtonTemplate {
        int id;
        const char* text;
        QRect rect;
        bool visible;
        bool enabled;
    };
    static const ButtonTemplate buttonTemplates[] = {
        {kAddKeysButton, "Přidat klíče", {7, 7, 55, 14}, false, true},
        {kEditKeyButton, "Upravit klíč", {7, 55, 54, 14}, false, false},
        {kDeleteKeyButton, "Vymazat klíč", {7, 33, 54, 14}, false, true},
        {kSettingsButton, "Nastavení", {7, 72, 55, 14}, false, true},
        {kConnectButton, "Připojit ZYL a nahrát tovární nastavení", {7, 7, 293, 14}, true, true},
        {kArchiveButton, "Archiv", {7, 40, 55, 14}, false, true},
        {kHelpButton, "Nápověda", {7, 57, 54, 14}, false, true},
    };
    for (const ButtonTemplate& t : buttonTemplates) {
        auto* b = new QPushButton(QString::fromUtf8(t.text), this);
        b->setObjectName(QString::number(t.id));
        du.place(b, t.rect.x(), t.rect.y(), t.rect.width(), t.rect.height());
        b->setVisible(t.visible);
        b->setEnabled(t.enabled);
        b->setAutoDefault(false);
        buttons_[t.id - kAddKeysButton] = b;
    }
    button(kConnectButton)->setDefault(true);

    keyListModel_ = new KeyListModel(s_.keyList, s_.image, s_.recordSize, this);
    keyListView_ = new QTreeView(this);
    keyListView_->setObjectName(QString::number(kKeyListView));
    keyListView_->setModel(keyListModel_);
    keyListView_->setRootIsDecorated(false);
    keyListView_->setUniformRowHeights(true);
    keyListView_->setItemsExpandable(false);
    keyListView_->setAllColumnsShowFocus(true);
    keyListView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    keyListView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    keyListView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    keyListView_->header()->setStretchLastSection(false);
    du.place(keyListView_, 7, 19, 36, 38);
    keyListView_->setVisible(false);
    keyListView_->installEventFilter(this);
    connect(keyListView_, &QTreeView::clicked, this, [this] { onListClick(); });
    connect(keyListView_, &QTreeView::doubleClicked, this, [this] { onListDoubleClick(); });

    logBox_ = new QPlainTextEdit(this);
    logBox_->setObjectName(QString::number(kLogBox));
    logBox_->setReadOnly(true);
    logBox_->setLineWrapMode(QPlainTextEdit::NoWrap);
    logBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    logBox_->setUndoRedoEnabled(false);
    logBox_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(logBox_, &QPlainTextEdit::customContextMenuRequested, this, &MainDialog::showLogMenu);
    du.place(logBox_, 7, 22, 293, 118);

    liftNameStatic_ = new QLabel(this);
    liftNameStatic_->setObjectName(QString::number(kLiftNameStatic));
    du.place(liftNameStatic_, 10, 7, 8, 8);
    liftNameStatic_->setVisible(false);
    settingsStatic_ = new QLabel(this);
    settingsStatic_->setObjectName(QString::number(kSettingsStatic));
    du.place(settingsStatic_, 7, 30, 8, 8);
    settingsStatic_->setVisible(false);

    for (int floor = 1; floor <= 24; ++floor) {
        auto* check = new QCheckBox(QString::number(floor), this);
        check->setObjectName(QString::number(kFirstFloorCheck + floor - 1));
        const QRect r = floorCheckRect(floor);
        du.place(check, r.x(), r.y(), r.width(), r.height());
        check->setVisible(false);
        check->setEnabled(false);
        floorChecks_[floor - 1] = check;
    }
    floorGroup_ = new QGroupBox(QStringLiteral("Patra"), this);
    floorGroup_->setObjectName(QString::number(kFloorGroup));
    du.place(floorGroup_, 7, 14, 55, 126);
    floorGroup_->setVisible(false);
    floorGroup_->lower();

    connect(button(kConnectButton), &QPushButton::clicked, this, [this] { onConnect(); });
    connect(button(kSettingsButton), &QPushButton::clicked, this, [this] { loadFactoryDefaults(); });
    connect(button(kAddKeysButton), &QPushButton::clicked, this, [this] { onAddKeys(); });
    connect(button(kEditKeyButton), &QPushButton::clicked, this, [this] { onEditKey(); });
    connect(button(kDeleteKeyButton), &QPushButton::clicked, this, [this] { onDeleteKey(); });
    connect(button(kArchiveButton), &QPushButton::clicked, this, [this] { onArchive(); });
    connect(button(kHelpButton), &QPushButton::clicked, this, [this] { onHelp(); });
}

void MainDialog::onInitDialog() {
    keyListView_->setColumnWidth(0, 50);
    keyListView_->setColumnWidth(1, 400);
    keyListView_->setColumnWidth(2, 116);
    s_.buttonEnabled = MainDialogState::kNotConnectedButtons;
    enableButtons();
    s_.listClicked = 0;
    clearFloorChecks();
    s_.selectedRow = -1;
    s_.recordSize = 100;
    clearImage();
    button(kConnectButton)->setFocus();
}

QPushButton* MainDialog::button(int id) const { return buttons_.at(id - kAddKeysButton); }

QCheckBox* MainDialog::floorCheck(int floor) const { return floorChecks_.at(floor - 1); }

// --- Operation control -----------------------------------------------------------------

void MainDialog::disableButtons() {
    for (int i = 0; i < 6; ++i) {
        buttons_[i]->setEnabled(false);
    }
    s_.editOnDoubleClick = 0;
}

void MainDialog::enableButtons() {
    for (int i = 0; i < 6; ++i) {
        buttons_[i]->setEnabled(s_.buttonEnabled[i] != 0);
    }
    s_.editOnDoubleClick = s_.buttonEnabled[1];
    button(kConnectButton)->setEnabled(true);
}

void MainDialog::stopCurrentTimer() { timers_->stop(s_.currentTimerId); }

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
    timers_->stop(timerId);
    if (!startMainTimer(kIdlePollTimer, kIdlePollPeriod)) {
        return;
    }
    s_.pollStep = 0;
    enableButtons();
}

bool MainDialog::startMainTimer(int timerId, int periodMs) {
    s_.currentTimerId = timers_->start(timerId, periodMs);
    if (s_.currentTimerId == 0) {
        Desktop::current().messageBox(this, QStringLiteral("Timer error!"));
        return false;
    }
    return true;
}

void MainDialog::reportError(int code, ErrorKind kind, const QString& text) {
    stopCurrentTimer();
    switch (kind) {
        case ErrorKind::Fatal: {
            s_.linkState = LinkState::Dead;
            disableButtons();
            const QString message =
                QStringLiteral("Zásadní chyba číslo %1!\r\nProsím vypněte a zapněte ZYL a tento program.").arg(code);
            logLine(message);
            Desktop::current().messageBox(this, message);
            break;
        }
        case ErrorKind::Disconnect: {
            s_.linkState = LinkState::NotConnected;
            const QString message = QStringLiteral("Chyba %1 - ZYL odpojeno.").arg(code);
            Desktop::current().messageBox(this, message);
            logLine(message);
            s_.buttonEnabled = MainDialogState::kNotConnectedButtons;
            enableButtons();
            break;
        }
        case ErrorKind::Logged:
            logLine(QStringLiteral("Chyba %1 - ").arg(code) + text);
            break;
    }
}

// --- Log -------------------------------------------------------------------------------

void MainDialog::reportError(int code, ErrorKind kind, std::string_view text) {
    reportError(code, kind, QString::fromStdString(cp1250ToUtf8(text)));
}

void MainDialog::logLine(std::string_view text) { logLine(QString::fromStdString(cp1250ToUtf8(text))); }

void MainDialog::logMark(std::string_view text) { logMark(QString::fromStdString(cp1250ToUtf8(text))); }

void MainDialog::logLine(const QString& text) {
    log_.prepend(text + QStringLiteral("\r\n"));
    showPendingMarks();
    QTextCursor cursor(logBox_->document());
    cursor.insertText(forLogBox(text) + QLatin1Char('\n'));
    topRunShown_ = 0;
    topRunShortened_ = false;
    logBox_->verticalScrollBar()->setValue(0);
}

// The box lays its top line out again on every change, and a unit that erases for long
// sends marks by the hundred a second: they reach the box once the current tick (or event)
// has returned, all at once.
void MainDialog::logMark(const QString& text) {
    log_.prepend(text);
    pendingMarks_.prepend(text);
    if (!marksQueued_) {
        marksQueued_ = true;
        QMetaObject::invokeMethod(
            this, [this] { showPendingMarks(); }, Qt::QueuedConnection);
    }
}

// Even once a tick, a line of a hundred thousand marks costs the box a good part of a
// core. So a run longer than the box can show usefully is shown as an ellipsis and its
// last marks, which further marks no longer change; the log text keeps every mark.
void MainDialog::showPendingMarks() {
    marksQueued_ = false;
    if (pendingMarks_.isEmpty()) {
        return;
    }
    if (!topRunShortened_) {
        const QString marks = forLogBox(pendingMarks_);
        QTextCursor cursor(logBox_->document());
        if (topRunShown_ + marks.size() <= kLongestShownRun) {
            cursor.insertText(marks);
            topRunShown_ += marks.size();
        } else {
            cursor.setPosition(topRunShown_, QTextCursor::KeepAnchor);
            const QString run = marks + cursor.selectedText();
            cursor.insertText(QStringLiteral("…") + run.right(kLongestShownRun));
            topRunShortened_ = true;
        }
    }
    pendingMarks_.clear();
    logBox_->verticalScrollBar()->setValue(0);
}

// --- Memory image and key list ---------------------------------------------------------

void MainDialog::clearImage() {
    s_.image.fill(0);
    rebuildKeyList();
}

void MainDialog::rebuildKeyList() {
    s_.keyList.rebuild(s_.image, s_.recordSize);
    keyListModel_->reset();
}

int MainDialog::recordOfRow(int row) const { return s_.keyList.recordOfRow(row); }

int MainDialog::rowOfRecord(int record) const { return s_.keyList.rowOfRecord(record); }

int MainDialog::firstSelectedRow() const {
    const QModelIndexList rows = keyListView_->selectionModel()->selectedRows();
    int first = -1;
    for (const QModelIndex& index : rows) {
        if (first < 0 || index.row() < first) {
            first = index.row();
        }
    }
    return first;
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
    QItemSelectionModel* selection = keyListView_->selectionModel();
    if (oldRow >= 0 && oldRow < keyListModel_->rowCount()) {
        const QModelIndex old = keyListModel_->index(oldRow, 0);
        selection->select(old, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        if (selection->currentIndex().row() == oldRow) {
            selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        }
    }
    if (newRow < 0 || newRow >= keyListModel_->rowCount()) {
        s_.selectedRow = -1;
        return;
    }
    const QModelIndex index = keyListModel_->index(newRow, 0);
    selection->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    keyListView_->scrollTo(index, QAbstractItemView::EnsureVisible);
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
        floorCheck(floor)->setChecked(floorAllowed(floors, floor));
    }
}

void MainDialog::clearFloorChecks() {
    for (QCheckBox* check : floorChecks_) {
        check->setChecked(false);
    }
}

bool MainDialog::checkPendingKey() {
    switch (::checkPendingKey(s_.image, s_.recordSize, s_.pendingKey)) {
        case KeyCheck::AllZero:
            reportError(110, ErrorKind::Logged, QStringLiteral("Neplatné číslo klíče"));
            Desktop::current().messageBox(this, QStringLiteral("Neplatné číslo klíče!"));
            return false;
        case KeyCheck::AllOnes:
            reportError(111, ErrorKind::Logged, QStringLiteral("Neplatné číslo klíče"));
            Desktop::current().messageBox(this, QStringLiteral("Neplatné číslo klíče!"));
            return false;
        case KeyCheck::AlreadyStored:
            Desktop::current().messageBox(this, QStringLiteral("Tento klíč je již uložen!"));
            reportError(112, ErrorKind::Logged, QStringLiteral("Tento klíč je již uložen"));
            return false;
        case KeyCheck::Accepted:
            break;
    }
    return true;
}

bool MainDialog::writePendingRecord() {
    return writeRecord(s_.image, s_.recordSize, s_.pendingId, s_.pendingKey, s_.pendingFloors, s_.pendingComment);
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
        AboutDialog about(this);
        Desktop::current().runModal(about);
    }
}

// The desktop's window menu is not ours to extend on every platform, so the About item of
// the system menu sits in the window's own context menu, below a separator as there.
void MainDialog::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addSeparator();
    menu.addAction(kAboutItem, this, [this] { onSysCommand(kAboutCommand); });
    menu.exec(event->globalPos());
}

// The log box fills the window and shadows the window's menu with its own, so the About
// item follows the box's standard items there too.
void MainDialog::showLogMenu(const QPoint& position) {
    const std::unique_ptr<QMenu> menu(logBox_->createStandardContextMenu(position));
    menu->addSeparator();
    menu->addAction(kAboutItem, this, [this] { onSysCommand(kAboutCommand); });
    menu->exec(logBox_->viewport()->mapToGlobal(position));
}

bool MainDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == keyListView_) {
        if (event->type() == QEvent::FocusIn) {
            onListClick();
        } else if (event->type() == QEvent::KeyPress) {
            onListKeyDown();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MainDialog::onDestroy() {
    timers_->stop(s_.currentTimerId);
    if (s_.portOpen == 1) {
        sendByte(unit::kEndOfLink);
        link_.port().close();
        s_.portOpen = 0;
    }
}
