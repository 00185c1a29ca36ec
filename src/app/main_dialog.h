#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dialog.h"
#include "link_exchange.h"
#include "log_text.h"
#include "main_dialog_state.h"
#include "main_window_link.h"
#include "port_link.h"

// Template 102: the connect button, the log box, and the (hidden in this edition) key list,
// floor boxes and key buttons.
extern const DialogTemplate kMainDialogTemplate;

// The main window's logic. Its timer drives every exchange of the main window, one
// operation at a time; each operation is a step handler in a file of its own, started
// only by its own begin…, which starts its timer and resets its own step counter. A
// refused timer shows "Timer error!" and leaves the operation unstarted.
//
// The chain of operations (files main_dialog_<file>.cpp):
//
// | timer | ms  | operation        | begun by            | file             | success   | failure    |
// |-------|-----|------------------|---------------------|------------------|-----------|------------|
// | 1     | 50  | handshake        | beginHandshake      | handshake        | 4         | (*)        |
// | 4     | 200 | factory settings | loadFactoryDefaults | factory_settings | 8         | fatal      |
// | 8     | 150 | erase keys, logs | beginErase          | erase            | end       | disconnect |
// | 6     | 200 | key delete       | beginKeyDelete      | key_delete       | 7 or 2    | fatal      |
// | 7     | 200 | key write        | beginKeyWrite       | key_write        | 2         | fatal      |
// | 2     | 500 | idle poll        | beginIdlePoll       | idle_poll        | runs on   | disconnect |
//
// (*) No unit: the next port of a search, else the buttons; a refused code: the buttons.
// "fatal" and "disconnect" are reportError's kinds; the delete goes on to 7 for an edit.
// "end": 0x04 sent, the port closed, the buttons enabled, no timer.
// The port search (port_search) begins the handshake on a port that opens; the key
// commands (key_commands) begin the delete, the write and the poll (1000 ms after a
// cancelled edit); the archive returns to the poll.
class MainDialog : public Dialog, public MainWindowLink {
public:
    // Main-window timer ids and periods.
    static constexpr int kHandshakeTimer = 1, kHandshakePeriod = 50;
    static constexpr int kIdlePollTimer = 2, kIdlePollPeriod = 500, kIdlePollAfterCancelPeriod = 1000;
    static constexpr int kFactoryTimer = 4, kFactoryPeriod = 200;
    static constexpr int kDeleteTimer = 6, kDeletePeriod = 200;
    static constexpr int kWriteTimer = 7, kWritePeriod = 200;
    static constexpr int kEraseTimer = 8, kErasePeriod = 150;

    // Control ids of the template.
    enum ControlId {
        kAddKeysButton = 1000,
        kEditKeyButton = 1001,
        kDeleteKeyButton = 1002,
        kSettingsButton = 1003,
        kConnectButton = 1004,
        kArchiveButton = 1005,
        kHelpButton = 1006,
        kKeyListView = 1007,
        kLogBox = 1009,
        kLiftNameStatic = 1010,
        kSettingsStatic = 1011,
        kFirstFloorCheck = 1012,
        kFloorGroup = 1060,
    };

    static constexpr int kAboutCommand = 0x10;

    explicit MainDialog(PortLink& port);

    MainDialogState& state() { return s_; }
    const MainDialogState& state() const { return s_; }
    // The whole log, code page 1250, newest line on top.
    std::string logText() const { return log_.text(); }

    // Link primitives (also what the key and archive dialogs use).
    void sendByte(std::uint8_t b) override { link_.sendByte(b); }
    int readAnswer() override { return link_.readAnswer(); }
    void discardInput() override { link_.discardInput(); }
    std::uint8_t answerByte(int position) override { return link_.answerByte(position); }
    int msSinceInput() override { return link_.msSinceInput(); }
    int sendEchoed(std::uint8_t b) { return link_.sendEchoed(b); }
    std::uint8_t lastSentByte() const { return link_.lastSentByte(); }
    void setLastSentByte(std::uint8_t b) { link_.setLastSentByte(b); }

    // Operation control.
    void disableButtons();
    void enableButtons();
    int startOperation(int timerId, int periodMs);
    void returnToIdle(int timerId);
    void stopCurrentTimer();
    void reportError(int code, ErrorKind kind, std::string_view text) override;

    // Log: a line on top of the log text, or a mark in front of its top line; the box is
    // told each piece, so it never needs the whole text again.
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

    // The key list's rows: ID, comment, key.
    int rowCount(int listId) const override;
    std::string cellText(int listId, int row, int column) const override;

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

protected:
    void onInitDialog() override;
    void onCommand(int controlId, Notification notification) override;
    void onTimer(int timerId) override;
    void onSysCommand(int command) override;
    void onDestroy() override;

private:
    int firstSelectedRow() const;
    bool chooseKey(int& record);
    // Starts a main-window timer as the current one; "Timer error!" and false when refused.
    bool startMainTimer(int timerId, int periodMs);
    void logSkippedPorts();
    bool answerHolds(std::uint8_t b);
    void judgeAcknowledgement(std::string_view doneLine, int wrongCode, int silentCode);
    void eraseProgress();

    // Each operation's start: its timer and its own counters. loadFactoryDefaults is the
    // factory settings' start.
    void beginHandshake();
    void beginErase();
    // Starts the poll and enables the buttons; false when the timer was refused.
    bool beginIdlePoll(int periodMs = kIdlePollPeriod);
    // Sends the write command and starts writing writeList from its first record.
    bool beginKeyWrite();
    // Sends the delete command for the record; for an edit the write of writeList follows.
    void beginKeyDelete(int record, bool writeAfter);

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
    // Ports the last search skipped, for the notes after "ZYL nenalezeno!" (code page 1250).
    std::vector<std::string> refusedPorts_;
    std::vector<std::string> busyPorts_;
};
