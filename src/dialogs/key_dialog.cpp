#include "key_dialog.h"

#include <optional>

#include "cp1250_literal.h"
#include "key_code.h"
#include "main_window_link.h"
#include "whole_number.h"
#include "window.h"

KeyDialog::KeyDialog(MainWindowLink& link) : Dialog(kKeyDialogTemplate), link_(link) {}

void KeyDialog::onCommand(int controlId, Notification notification) {
    using N = Notification;
    static constexpr CommandRoute<KeyDialog> kRoutes[] = {
        {kOkButton, N::Clicked, &KeyDialog::onOk},
        {kBackButton, N::Clicked, &KeyDialog::onBack},
        {kAllFloorsBox, N::Clicked, &KeyDialog::onAllFloorsClicked},
        {kManualEntryBox, N::Clicked, &KeyDialog::onManualEntryClicked},
        {kKeyEdit, N::Edited, &KeyDialog::onKeyTyped},
        {kKeyEdit, N::FocusLost, &KeyDialog::onKeyFieldLeft},
        {kCommentEdit, N::FocusLost, &KeyDialog::onCommentLeft},
    };
    routeCommand<KeyDialog>(*this, kRoutes, controlId, notification);
}

void KeyDialog::onInitDialog() {
    closing_ = false;
    keyTextUnparsed_ = false;
    window().setText(kCommentEdit, comment);
    window().setText(kIdEdit, std::to_string(keyId));
    window().setText(kKeyEdit, keyText);

    timerId = window().startTimer(kReaderTimer, kReaderPeriod);
    if (timerId == 0) {
        window().messageBox("Timer error!"_cp);
        return;
    }
    exchangeStep = 0;
    const bool adding = readerMode == 1;
    if (adding) {
        floorMask.fill(0);
        clearKeyCode();
    }
    keyText = keyCodeText(keyCode);
    if (adding) {
        keyText = kNoKeyText;
    } else {
        window().setVisible(kManualEntryBox, false);
        window().setText(kHintStatic, {});
    }
    window().setText(kKeyEdit, keyText);
    window().setText(kCommentEdit, comment);
    for (int k = 0; k < kFloors; ++k) {
        window().setChecked(kFirstFloorBox + k, floorAllowed(floorMask, k + 1));
    }
    // Bytes left on the line from before the dialog must not pass for a reader answer.
    link_.discardInput();
    idleReads = 0;
    manualEntry = 0;
    allFloors = 0;
}

void KeyDialog::onOk() {
    closeDialog(kOk);
}

void KeyDialog::onBack() {
    closeDialog(kCancel);
}

void KeyDialog::onAllFloorsClicked() {
    allFloors = ~allFloors;
    for (int k = 0; k < kFloors; ++k) {
        window().setChecked(kFirstFloorBox + k, allFloors != 0);
    }
}

void KeyDialog::onManualEntryClicked() {
    clearKeyCode();
    if (manualEntry == 1) {
        window().setEnabled(kKeyEdit, false);
        manualEntry = 0;
        keyTextUnparsed_ = false;
        showKeyText(kNoKeyText);
    } else {
        window().setEnabled(kKeyEdit, true);
        manualEntry = 1;
        showKeyText({});
    }
}

void KeyDialog::onKeyTyped() {
    keyTextUnparsed_ = true;
}

void KeyDialog::onKeyFieldLeft() {
    // The focus leaves the fields as the window goes away; that is no leaving by the user.
    if (closing_) {
        return;
    }
    keyTextUnparsed_ = false;
    if (manualEntry != 1) {
        return;
    }
    if (parseKeyText(window().text(kKeyEdit), keyCode) != 0) {
        clearKeyCode();
        window().messageBox("Chybný kód klíče!"_cp);
    }
}

void KeyDialog::onCommentLeft() {
    if (closing_) {
        return;
    }
    // Counted in the unit's characters: one code page 1250 byte each.
    if (static_cast<int>(window().text(kCommentEdit).size()) > maxCommentLength) {
        window().messageBox(
            std::string("Zadaný komentář je příliš dlouhý,\npočet znaků komentáře je maximálně "_cp) +
            std::to_string(maxCommentLength) + ".");
    }
}

void KeyDialog::closeDialog(int result) {
    // Enter closes the dialog without moving the focus: a typed code still has to be
    // parsed before the caller reads keyCode.
    if (manualEntry == 1 && (window().hasFocus(kKeyEdit) || keyTextUnparsed_)) {
        onKeyFieldLeft();
    }
    if (result == kOk && !takeFields()) {
        return;
    }
    closing_ = true;
    window().stopTimer(timerId);
    floorMask.fill(0);
    for (int k = 0; k < kFloors; ++k) {
        if (window().isChecked(kFirstFloorBox + k)) {
            setFloor(floorMask, k + 1, true);
        }
    }
    endDialog(result);
}

bool KeyDialog::takeFields() {
    comment = window().text(kCommentEdit);
    const std::optional<int> id = wholeNumber(window().text(kIdEdit));
    if (!id || *id < 0 || *id > kMaxKeyId) {
        window().messageBox(std::string("Zadejte prosím celé číslo v rozsahu 0 až "_cp) +
                            std::to_string(kMaxKeyId) + ".");
        return false;
    }
    keyId = *id;
    keyText = window().text(kKeyEdit);
    return true;
}

void KeyDialog::showKeyText(const std::string& text) {
    keyText = text;
    window().setText(kKeyEdit, text);
}
