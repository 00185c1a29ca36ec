#pragma once

#include <string>

#include "dialog.h"

// Guards a destructive command with a tick box carrying the caller's sentence: OK stays
// disabled until the box is ticked, so neither a stray click nor Enter can confirm.
//
// The caller sets `text` after construction and runs the dialog modally; kOk means
// confirmed, anything else (Cancel, Esc, the close box) refused.
class ConfirmDialog : public Dialog {
public:
    enum ControlId { kOkButton = 1, kCancelButton = 2, kTickBox = 1041 };

    ConfirmDialog();

    std::string text;  // code page 1250: the sentence shown beside the tick box
    int ticked = 0;    // 1 while the box is ticked

protected:
    void onInitDialog() override;
    // OK and Cancel are not routed: they end the run with their own ids as results.
    void onCommand(int controlId, Notification notification) override;

private:
    void onTick();
};

// Template 106: OK (default, disabled), Cancel, then the tick box, so Cancel gets the focus.
extern const DialogTemplate kConfirmDialogTemplate;
