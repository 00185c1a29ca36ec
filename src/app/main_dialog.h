#pragma once

#include <QDialog>

#include <array>
#include <cstdint>

#include "link_exchange.h"
#include "log_text.h"
#include "main_dialog_state.h"
#include "main_window_link.h"

class KeyListModel;
class PortLink;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeView;
class WindowTimers;

// The main window: the connect button, the log box, and the (hidden in this edition) key
// list, floor boxes and key buttons. Its timer drives every exchange of the main window,
// one operation at a time; each operation is a step handler in a file of its own.
class MainDialog : public QDialog, public MainWindowLink {
    Q_OBJECT
public:
    // Main-window timer ids and periods.
    static constexpr int kHandshakeTimer = 1, kHandshakePeriod = 50;
    static constexpr int kIdlePollTimer = 2, kIdlePollPeriod = 500, kIdlePollAfterCancelPeriod = 1000;
    static constexpr int kFactoryTimer = 4, kFactoryPeriod = 200;
    static constexpr int kDeleteTimer = 6, kDeletePeriod = 200;
    static constexpr int kWriteTimer = 7, kWritePeriod = 200;
    static constexpr int kEraseTimer = 8, kErasePeriod = 150;

    // Control ids of the template, used as object names ("1004") so tests can find them.
    enum ControlId {
        kAddKeysButton = 1000, kEditKeyButton = 1001, kDeleteKeyButton = 1002, kSettingsButton = 1003,
        kConnectButton = 1004, kArchiveButton = 1005, kHelpButton = 1006, kKeyListView = 1007,
        kLogBox = 1009, kLiftNameStatic = 1010, kSettingsStatic = 1011, kFirstFloorCheck = 1012,
        kFloorGroup = 1060,
    };

    static constexpr int kAboutCommand = 0x10;

    explicit MainDialog(PortLink& port, QWidget* parent = nullptr);
    ~MainDialog() override;

    MainDialogState& state() { return s_; }
    const MainDialogState& state() const { return s_; }
    WindowTimers& timers() { return *timers_; }
    QString logText() const { return log_.text(); }

    // Link primitives (also what the key and archive dialogs use).
    void sendByte(std::uint8_t b) override { link_.sendByte(b); }
    int readAnswer() override { return link_.readAnswer(); }
    void discardInput() override { link_.discardInput(); }
    std::uint8_t answerByte(int position) override { return link_.answerByte(position); }
    int sendEchoed(std::uint8_t b) { return link_.sendEchoed(b); }
    std::uint8_t lastSentByte() const { return link_.lastSentByte(); }
    void setLastSentByte(std::uint8_t b) { link_.setLastSentByte(b); }

    // Operation control.
    void disableButtons();
    void enableButtons();
    int startOperation(int timerId, int periodMs);
    void returnToIdle(int timerId);
    void stopCurrentTimer();
    void reportError(int code, ErrorKind kind, const QString& text);
    void reportError(int code, ErrorKind kind, std::string_view text) override;

    // Log: logText() gets every line and mark at once. The box shows a line at once, marks
    // once the current event has returned; past kLongestShownRun marks in front of one line
    // it shows "…" and the run's last kLongestShownRun marks.
    void logLine(const QString& text);
    void logMark(const QString& text);
    void logLine(std::string_view text) override;
    void logMark(std::string_view text) override;

    // Memory image and key list.
    void clearImage() override;
    void rebuildKeyList();
    int recordOfRow(int row) const;
    int rowOfRecord(int record) const;
    void selectKeyByCode();
    void selectRow(int newRow, int oldRow);
    void showFloors(int row);
    void clearFloorChecks();
    bool checkPendingKey();
    bool writePendingRecord();

    // Window events.
    void onTimer(int timerId);
    void onSysCommand(int command);
    void onDestroy();

    // Connection and factory reset.
    void onConnect();
    void searchPorts(int first, int last);
    void onLinkWait(int portNumber, LinkWaitStep step);
    void loadFactoryDefaults();

    // Key commands.
    void onAddKeys();
    int addOneKey(int index);
    void onEditKey();
    void onDeleteKey();
    void onArchive();
    void onHelp();
    void onListClick();
    void onListKeyDown();
    void onListDoubleClick();
    void showSettings();

    // Widgets, for the tests and the demo driver.
    QPushButton* button(int id) const;
    QCheckBox* floorCheck(int floor) const;  // 1..24
    QTreeView* keyListView() const { return keyListView_; }
    KeyListModel* keyListModel() const { return keyListModel_; }
    QPlainTextEdit* logBox() const { return logBox_; }
    QLabel* liftNameStatic() const { return liftNameStatic_; }
    QLabel* settingsStatic() const { return settingsStatic_; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void onInitDialog();
    int firstSelectedRow() const;
    bool chooseKey(int& record);
    // Starts a main-window timer as the current one; "Timer error!" and false when refused.
    bool startMainTimer(int timerId, int periodMs);
    void logSkippedPorts();
    bool answerHolds(std::uint8_t b);
    void judgeAcknowledgement(const char* doneLine, int wrongCode, int silentCode);
    void eraseProgress();
    void showPendingMarks();
    void showLogMenu(const QPoint& position);

    // One step handler per operation, each in a file of its own.
    void stepHandshake();
    void stepFactorySettings();
    void stepLiftName();
    void stepSettings();
    void stepErase();
    void stepIdlePoll();
    void stepKeyDelete();
    void stepKeyWrite();

    MainDialogState s_;
    LinkExchange link_;
    LogText log_;
    // The log box's side of the marks: those not shown yet (newest first), how many of the
    // top line's marks the box shows, and whether it shows them shortened.
    static constexpr int kLongestShownRun = 1000;
    QString pendingMarks_;
    bool marksQueued_ = false;
    int topRunShown_ = 0;
    bool topRunShortened_ = false;
    WindowTimers* timers_;
    QStringList refusedPorts_;
    QStringList busyPorts_;

    std::array<QPushButton*, 7> buttons_{};
    std::array<QCheckBox*, 24> floorChecks_{};
    QTreeView* keyListView_ = nullptr;
    KeyListModel* keyListModel_ = nullptr;
    QPlainTextEdit* logBox_ = nullptr;
    QLabel* liftNameStatic_ = nullptr;
    QLabel* settingsStatic_ = nullptr;
    QGroupBox* floorGroup_ = nullptr;
};
