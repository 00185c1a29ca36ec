#pragma once

#include <string>

#include "cp1250_literal.h"
#include "dialog.h"
#include "window.h"

// The probe's second window: a field for a code, OK and Zpět, as the connect dialog asks.
class CodePromptDialog : public Dialog {
public:
    static constexpr int kCodeEdit = 1014;
    std::string code;  // code page 1250, as typed

    CodePromptDialog() : Dialog(kTemplate) {}

protected:
    void onCommand(int id, Notification n) override {
        if (id == kOk && n == Notification::Clicked) {
            code = window().text(kCodeEdit);
        }
        Dialog::onCommand(id, n);
    }

private:
    static constexpr ControlTemplate kControls[] = {
        {-1, ControlKind::Static, "Vložte přístupový kód"_cp, 7, 10, 166, 8, control_style::kCentered},
        {kCodeEdit, ControlKind::Edit, "", 55, 22, 70, 12, control_style::kPassword},
        {kOk, ControlKind::Button, "OK", 36, 42, 50, 14, control_style::kDefault},
        {kCancel, ControlKind::Button, "Zpět"_cp, 94, 42, 50, 14},
    };
    static constexpr DialogTemplate kTemplate{901, "ZYL key"_cp, 180, 62, "MS Sans Serif", 8, kControls};
};
