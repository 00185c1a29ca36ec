#include "dialog.h"

#include "window.h"

void Dialog::handleEvent(Window& window, const Event& event) {
    window_ = &window;
    switch (event.kind) {
        case Event::Kind::Init:
            if (!running_) {
                running_ = true;
                onInitDialog();
            }
            break;
        case Event::Kind::Command:
            onCommand(event.id, event.notification);
            break;
        case Event::Kind::Timer:
            onTimer(event.id);
            break;
        case Event::Kind::SysCommand:
            onSysCommand(event.id);
            break;
        case Event::Kind::Close:
            onClose();
            break;
        case Event::Kind::Destroy:
            running_ = false;
            onDestroy();
            break;
    }
}

int Dialog::rowCount(int) const {
    return 0;
}

std::string Dialog::cellText(int, int, int) const {
    return {};
}

void Dialog::onCommand(int controlId, Notification notification) {
    // Without a table of its own a dialog still closes on OK and Cancel.
    if (notification == Notification::Clicked && (controlId == kOk || controlId == kCancel)) {
        endDialog(controlId);
    }
}

void Dialog::endDialog(int result) {
    window_->endDialog(result);
}
