#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "dialog.h"
#include "key_record.h"
#include "unit_commands.h"

class MainWindowLink;

// Template 103.
extern const DialogTemplate kKeyDialogTemplate;

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
// The closing steps (a typed code still unparsed is parsed, timer stopped, floorMask
// rebuilt from the boxes) run on every way out: OK, "Zpět", Esc and the close box alike.
class KeyDialog : public Dialog {
public:
    enum ControlId {
        kOkButton = kOk,
        kBackButton = kCancel,
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

    explicit KeyDialog(MainWindowLink& link);

    int idleReadCount() const { return idleReads; }
    bool manualEntryOn() const { return manualEntry != 0; }

    // Filled by the caller before the dialog is shown, read back after OK.
    int maxCommentLength = 0;
    FloorMask floorMask{};
    int readerMode = 1;
    KeyCode keyCode{};
    std::string comment;  // code page 1250
    int keyId = 0;

protected:
    void onInitDialog() override;
    void onCommand(int controlId, Notification notification) override;
    // The reader exchange: one step per tick of timer 1; other ids are ignored.
    void onTimer(int id) override;

private:
    void onOk();
    void onBack();
    void onAllFloorsClicked();
    void onManualEntryClicked();
    void onKeyTyped();
    void onKeyFieldLeft();
    void onCommentLeft();
    void closeDialog(int result);
    bool takeFields();
    void renderKeyText();
    void clearKeyCode() { keyCode.fill(0); }
    void showKeyText(const std::string& text);

    MainWindowLink& link_;

    int manualEntry = 0;
    int idleReads = 0;
    int allFloors = 0;
    std::array<std::uint8_t, unit::kReaderAnswerSize> answer{};  // status, then 12 key bytes
    int exchangeStep = 0;
    int timerId = 0;
    std::string keyText;

    bool closing_ = false;
    bool keyTextUnparsed_ = false;  // typed since the field was last parsed
};
