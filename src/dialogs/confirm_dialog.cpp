#include "confirm_dialog.h"

#include "window.h"

ConfirmDialog::ConfirmDialog() : Dialog(kConfirmDialogTemplate) {}

void ConfirmDialog::onInitDialog() {
    ticked = 0;
    window().setText(kTickBox, text);
    window().setFocus(kCancelButton);
}

void ConfirmDialog::onCommand(int controlId, Notification notification) {
    static constexpr CommandRoute<ConfirmDialog> kRoutes[] = {
        {kTickBox, Notification::Clicked, &ConfirmDialog::onTick},
    };
    if (!routeCommand<ConfirmDialog>(*this, kRoutes, controlId, notification)) {
        Dialog::onCommand(controlId, notification);
    }
}

// The box changes its own mark on every click, so `ticked` follows it click for click.
void ConfirmDialog::onTick() {
    if (ticked == 1) {
        window().setEnabled(kOkButton, false);
        ticked = 0;
    } else {
        window().setEnabled(kOkButton, true);
        ticked = 1;
    }
}
