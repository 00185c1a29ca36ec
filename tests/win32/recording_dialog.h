#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "cp1250_literal.h"
#include "dialog.h"
#include "window.h"

// A dialog of the tests: it records every event its window sends and hands each to the
// test's script, which acts on the window as a dialog's logic would.
class RecordingDialog : public Dialog {
public:
    using Script = std::function<void(RecordingDialog&, Window&, const Event&)>;

    RecordingDialog(const DialogTemplate& dialogTemplate, Script script)
        : Dialog(dialogTemplate), script_(std::move(script)) {}

    struct Seen {
        Event::Kind kind;
        int id;
        Notification notification;
        bool operator==(const Seen&) const = default;
    };
    std::vector<Seen> seen;
    int rows = 0;

    bool saw(Event::Kind kind, int id, Notification n = Notification::Clicked) const {
        for (const Seen& s : seen) {
            if (s.kind == kind && s.id == id && s.notification == n) {
                return true;
            }
        }
        return false;
    }

    int rowCount(int) const override { return rows; }
    std::string cellText(int, int row, int column) const override {
        return column == 1 ? std::string("Klíč č. "_cp) + std::to_string(row) : std::to_string(row);
    }

    void handle(Window& window, const Event& event) {
        seen.push_back({event.kind, event.id, event.notification});
        if (script_) {
            script_(*this, window, event);
        }
    }
    using Dialog::endDialog;

protected:
    void onInitDialog() override { handle(window(), {Event::Kind::Init}); }
    void onCommand(int id, Notification n) override { handle(window(), {Event::Kind::Command, id, n}); }
    void onTimer(int id) override { handle(window(), {Event::Kind::Timer, id}); }
    void onSysCommand(int id) override { handle(window(), {Event::Kind::SysCommand, id}); }
    void onClose() override { handle(window(), {Event::Kind::Close}); }
    void onDestroy() override { seen.push_back({Event::Kind::Destroy, 0, Notification::Clicked}); }

private:
    Script script_;
};
