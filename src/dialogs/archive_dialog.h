#pragma once

#include <string>
#include <string_view>

#include "dialog.h"
#include "error_kind.h"
#include "memory_image.h"

class MainWindowLink;

// The archive: saves the memory image with the unit's four settings to a file, loads such
// a file and writes it into the unit, exports the keys as a table, and erases all keys or
// all logs in the unit.
//
// It works on its own copy of the image and the settings. The opener fills `image` and the
// four settings before running it, and afterwards reads two flags: `imageChanged` (a file
// was loaded: take the image and the settings back) and `keysErased` (the unit's keys are
// gone: clear your image). While it is open it drives the link through the main window
// with its own timers, one at a time; onTimer() is their state machine.
class ArchiveDialog : public Dialog {
public:
    // The dialog's timers and their periods.
    static constexpr int kKeepAliveTimer = 1, kKeepAlivePeriod = 1000;
    static constexpr int kEraseTimer = 2, kErasePeriod = 150;
    static constexpr int kWriteTimer = 3, kWritePeriod = 500;
    static constexpr int kSettingsTimer = 4, kSettingsPeriod = 700;

    enum ControlId {
        kBackButton = 2,
        kCopyToPcButton = 1036,
        kUpperGroup = 1037,
        kCopyToUnitButton = 1038,
        kEraseLogsButton = 1039,
        kEraseKeysButton = 1040,
        kExportButton = 1041,
        kLowerGroup = 1042,
    };

    explicit ArchiveDialog(MainWindowLink& link);

    // The transfer's own state: only the dialog writes it; public so it can be inspected.
    int progressCount = 0;  // erase progress bytes since the last "*"
    int imageChanged = 0;   // 1 = a file was loaded into image
    int blockIndex = 0;     // block of the image write, then step of the settings write
    int keysErased = 0;     // 1 = an erase of all keys completed
    int eraseKeys = 0;      // target of the erase: 1 = keys, 0 = logs
    int missCount = 0;      // keep-alive cycles in a row without 0x06
    int step = 0;           // step of the keep-alive, the erase and the image write
    int timerId = 0;        // the running timer's id; 0 when its start was refused

    // Filled by the opener, handed back through imageChanged.
    int mainRelayInverted = 0;
    int relayInverted = 0;
    int accessTime = 0;  // seconds, 0 = permanent access
    int recordSize = 0;  // 15 + comment length
    MemoryImage image{};

    // The four button states; every change of enablement goes through them.
    void disableButtons();
    void enableButtons();
    void enableAfterFailure();
    void failSettingsStep(int code);  // also stops the timer and reports the error

protected:
    // Resets the state and starts the keep-alive.
    void onInitDialog() override;
    // "Zpět", Esc and the close box are not routed: they end the run with kCancel.
    void onCommand(int controlId, Notification notification) override;
    void onTimer(int id) override;
    // The end of the run, however it came: the running operation stops at its current step.
    void onDestroy() override;

private:
    // Button handlers.
    void onCopyToPc();
    void onCopyToUnit();
    void onExport();
    void onEraseKeys();
    void onEraseLogs();

    void setButtons(bool copyToPc, bool others, bool back);
    void startErase(int keys, std::string_view sentence);
    bool confirm(std::string_view sentence);
    // Stops the running timer and starts `id`; shows "Timer error!" when it is refused.
    bool switchTimer(int id, int periodMs);
    void stopTimer();
    // Stops the timer, reports through the main window, leaves the failure button state.
    void failOperation(int code, ErrorKind kind);
    // A file that cannot be opened or written: a log line and a message box.
    void reportFileProblem(const std::string& text);

    // One step handler per timer.
    void stepKeepAlive();
    void stepErase();
    void stepImageWrite();
    void stepSettingsWrite();

    MainWindowLink& link_;
};

// Template 105: "Zpět" first, so the focus starts there; no OK button.
extern const DialogTemplate kArchiveDialogTemplate;
