#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>

#include "error_kind.h"
#include "memory_image.h"

class MainWindowLink;
class QPushButton;
class WindowTimers;

// The archive: saves the memory image with the unit's four settings to a file, loads such
// a file and writes it into the unit, exports the keys as a table, and erases all keys or
// all logs in the unit.
//
// It works on its own copy of the image and the settings. The opener fills `image` and the
// four settings before running it, and afterwards reads two flags: `imageChanged` (a file
// was loaded: take the image and the settings back) and `keysErased` (the unit's keys are
// gone: clear your image). While it is open it drives the link through the main window
// with its own timers, one at a time; onTimer() is their state machine.
class ArchiveDialog : public QDialog {
    Q_OBJECT
public:
    // The dialog's timers and their periods.
    static constexpr int kKeepAliveTimer = 1, kKeepAlivePeriod = 1000;
    static constexpr int kEraseTimer = 2, kErasePeriod = 150;
    static constexpr int kWriteTimer = 3, kWritePeriod = 500;
    static constexpr int kSettingsTimer = 4, kSettingsPeriod = 700;

    // Control ids of the template, used as object names ("1038") so tests can find them.
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

    explicit ArchiveDialog(MainWindowLink& link, QWidget* parent = nullptr);

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

    // Runs once, when the dialog is first shown (or when a test calls it first): resets the
    // state and starts the keep-alive.
    void onInitDialog();
    void onTimer(int id);

    // Button handlers.
    void onCopyToPc();
    void onCopyToUnit();
    void onExport();
    void onEraseKeys();
    void onEraseLogs();

    // The four button states; every change of enablement goes through them.
    void disableButtons();
    void enableButtons();
    void enableAfterFailure();
    void failSettingsStep(int code);  // also stops the timer and reports the error

    WindowTimers& timers() { return *timers_; }
    QPushButton* button(int id) const;

protected:
    void showEvent(QShowEvent* event) override;

public slots:
    // Every way of closing (Zpět, Esc, the close box) ends here; it stops the running
    // operation at its current step.
    void done(int result) override;

private:
    void createControls();
    void setButtons(bool copyToPc, bool others, bool back);
    void startErase(int keys, const QString& sentence);
    bool confirm(const QString& sentence);
    // Stops the running timer and starts `id`; shows "Timer error!" when it is refused.
    bool switchTimer(int id, int periodMs);
    void stopTimer();
    // Stops the timer, reports through the main window, leaves the failure button state.
    void failOperation(int code, ErrorKind kind);
    // A file that cannot be opened or written: a log line and a message box.
    void reportFileProblem(const QString& text);

    // One step handler per timer.
    void stepKeepAlive();
    void stepErase();
    void stepImageWrite();
    void stepSettingsWrite();

    MainWindowLink& link_;
    WindowTimers* timers_;
    std::array<QPushButton*, 6> buttons_{};
    bool initialised_ = false;
};
