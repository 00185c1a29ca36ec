#pragma once

#include "code_prompt_dialog.h"
#include "cp1250_literal.h"
#include "dialog.h"
#include "window.h"

// A main window of the harness's own, for driving the Win32 front-end by key presses
// without the program's logic: Return opens the code prompt; its code and a run of timer
// ticks go into the log box, newest on top.
class ProbeDialog : public Dialog {
public:
    static constexpr int kGoButton = 1004, kLogBox = 1009, kTickTimer = 1, kTicks = 20;

    ProbeDialog() : Dialog(kTemplate) {}

protected:
    void onCommand(int id, Notification n) override {
        if (id == kGoButton && n == Notification::Clicked) {
            CodePromptDialog prompt;
            if (window().runModal(prompt) == kOk) {
                logLine(std::string("Kód "_cp) + prompt.code);
                ticks_ = 0;
                window().setEnabled(kGoButton, false);
                window().startTimer(kTickTimer, 50);
            }
            return;
        }
        Dialog::onCommand(id, n);
    }
    void onTimer(int id) override {
        if (++ticks_ < kTicks) {
            window().logMarkPrepended(kLogBox, "*");
            return;
        }
        window().stopTimer(id);
        logLine("Tovarni nastavení uloženo"_cp);
        window().setEnabled(kGoButton, true);
    }

private:
    void logLine(std::string_view text) { window().logLinePrepended(kLogBox, std::string(text) + "\r\n"); }

    static constexpr ControlTemplate kControls[] = {
        {kGoButton, ControlKind::Button, "Připojit ZYL a nahrát tovární nastavení"_cp, 7, 7, 293, 14,
         control_style::kDefault},
        {kLogBox, ControlKind::LogBox, "", 7, 22, 293, 118},
    };
    static constexpr DialogTemplate kTemplate{902, "ZYL default - zkouška"_cp, 308, 148, "MS Sans Serif", 8,
                                              kControls, {0x10, "&About ZYL default..."}, true};
    int ticks_ = 0;
};
