#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>

#include "key_record.h"
#include "unit_commands.h"

class MainWindowLink;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class WindowTimers;

// Adds or edits one key record: its record number, key code, floors and comment. The
// caller fills the public members, runs the dialog modally and, after OK, reads keyId,
// keyCode, floorMask and comment back; it checks the key and stores it itself.
//
// Adding (readerMode = 1): the key code comes from the unit's reader, polled on the
// dialog's own timer 1 while it is open, or is typed by hand after "Zadat klíč ručně".
// Editing (readerMode = 0): the key code stays as it was; floors and comment can change.
// The reader exchange runs in both modes (it also watches the link) but only changes the
// key while adding by reader.
//
// Start-up runs when the dialog is first shown; the closing steps (timer stopped,
// floorMask rebuilt from the boxes) run whenever it is done, for OK, "Zpět", Esc and the
// close box alike.
class KeyDialog : public QDialog {
    Q_OBJECT
public:
    // Control ids of template 103, used as object names ("1014") so tests can find them.
    enum ControlId {
        kOkButton = 1,
        kBackButton = 2,
        kHintStatic = 1011,
        kIdEdit = 1013,
        kKeyEdit = 1014,
        kCommentEdit = 1015,
        kIdLabel = 1017,
        kKeyLabel = 1018,
        kCommentLabel = 1019,
        kFloorGroup = 1020,
        kFirstFloorBox = 1023,
        kAllFloorsBox = 1047,
        kManualEntryBox = 1062,
    };
    static constexpr int kReaderTimer = 1, kReaderPeriod = 50;
    static constexpr int kMaxKeyId = 40000;
    // Empty reads in a row after which the unit counts as gone (about ten seconds).
    static constexpr int kMaxIdleReads = 200;

    explicit KeyDialog(MainWindowLink& link, QWidget* parent = nullptr);
    ~KeyDialog() override;

    // The reader exchange: one step per tick of timer 1; other ids are ignored.
    void onTimer(int id);

    WindowTimers& timers() { return *timers_; }
    int idleReadCount() const { return idleReads; }
    bool manualEntryOn() const { return manualEntry != 0; }

    // Filled by the caller before the dialog is shown, read back after OK.
    int maxCommentLength = 0;
    FloorMask floorMask{};
    int readerMode = 1;
    KeyCode keyCode{};
    QString comment;  // as shown; the caller converts it to code page 1250
    int keyId = 0;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void onInitDialog();
    void onAllFloorsClicked();
    void onManualEntryClicked();
    void onKeyFieldLeft();
    void onCommentLeft();
    bool takeFields();
    void renderKeyText();
    void clearKeyCode() { keyCode.fill(0); }
    void showKeyText(const QString& text);

    MainWindowLink& link_;
    WindowTimers* timers_;

    int manualEntry = 0;
    int idleReads = 0;
    int allFloors = 0;
    std::array<std::uint8_t, unit::kReaderAnswerSize> answer{};  // status, then 12 key bytes
    int exchangeStep = 0;
    int timerId = 0;
    QString keyText;

    bool started_ = false;
    bool closing_ = false;
    bool keyTextUnparsed_ = false;  // typed since the field was last parsed

    QPushButton* okButton_ = nullptr;
    QLabel* hintStatic_ = nullptr;
    QLineEdit* idEdit_ = nullptr;
    QLineEdit* keyEdit_ = nullptr;
    QLineEdit* commentEdit_ = nullptr;
    std::array<QCheckBox*, kFloors> floorBoxes_{};
    QCheckBox* allFloorsBox_ = nullptr;
    QCheckBox* manualEntryBox_ = nullptr;
};
